#pragma once
// The address 访问页面 opens in the desktop's browser for a row's Link.
#include <QUrl>

#include <optional>
#include <string_view>

namespace quib::results {

// Only web addresses, since a link comes from a downloaded page and must not start local programs
// or files: http and https, and a link without a scheme that starts with a host name (as a typed
// address leaves it: "www.ouou.com/play/v_321.html"), which opens as http. `link` is GBK text.
std::optional<QUrl> VisitAddress(std::string_view link);

}  // namespace quib::results
