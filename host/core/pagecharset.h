#pragma once
// The text of a fetched page as UTF-8: the charset named by the Content-Type header, else by
// the page's own meta tag, else UTF-8 when the bytes are valid UTF-8 and GBK when not.
#include <string>
#include <string_view>

namespace quib {

enum class PageCharset { Utf8, Gbk };

PageCharset DetectPageCharset(std::string_view body, std::string_view contentType);
std::string PageTextToUtf8(std::string_view body, std::string_view contentType);

}  // namespace quib
