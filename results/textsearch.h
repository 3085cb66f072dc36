#pragma once
// Substring search on GBK text that only matches at character starts, so a search never lands
// on the trail byte of a two-byte character (trail bytes include the ASCII letters).
#include <cstddef>
#include <string>
#include <string_view>

namespace quib::results::textsearch {

inline constexpr std::size_t npos = std::string_view::npos;

// Byte offset of the first occurrence of `needle` in `text`, npos if none or if `needle` is empty.
std::size_t Find(std::string_view text, std::string_view needle);
// The same, with ASCII letters matched regardless of case; two-byte characters match exactly.
std::size_t FindNoCase(std::string_view text, std::string_view needle);
// Every occurrence of an ASCII tag such as "<url>", in any letter case, replaced by `value`.
// The replacement itself is not searched again.
std::string ReplaceAllNoCase(std::string_view text, std::string_view tag, std::string_view value);
// Every exact occurrence of `tag` replaced by `value`.
std::string ReplaceAll(std::string_view text, std::string_view tag, std::string_view value);

}  // namespace quib::results::textsearch
