#pragma once
// Text written into a stand-in page's markup or attribute values, with the characters that would
// end them escaped.
#include <string>
#include <string_view>

namespace quib::standin {

std::string HtmlEscape(std::string_view text);

}  // namespace quib::standin
