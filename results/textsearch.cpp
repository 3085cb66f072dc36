#include "results/textsearch.h"

#include "host/core/gbk.h"

namespace quib::results {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `needle` starts at `pos`, comparing character by character so a fold never touches
// the bytes of a two-byte character.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view needle, bool ignoreCase)
{
    if (text.size() - pos < needle.size())
        return false;
    for (std::size_t i = 0; i < needle.size();) {
        const std::size_t width = gbk::CharBytes(needle, i);
        if (width == 1) {
            const char a = text[pos + i], b = needle[i];
            if (ignoreCase ? FoldAscii(a) != FoldAscii(b) : a != b)
                return false;
        } else if (text.compare(pos + i, width, needle, i, width) != 0) {
            return false;
        }
        i += width;
    }
    return true;
}

std::size_t FindFrom(std::string_view text, std::size_t from, std::string_view needle, bool ignoreCase)
{
    if (needle.empty())
        return textsearch::npos;
    for (std::size_t pos = from; pos + needle.size() <= text.size(); pos += gbk::CharBytes(text, pos))
        if (MatchesAt(text, pos, needle, ignoreCase))
            return pos;
    return textsearch::npos;
}

std::string Replace(std::string_view text, std::string_view tag, std::string_view value, bool ignoreCase)
{
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (std::size_t hit = FindFrom(text, 0, tag, ignoreCase); hit != textsearch::npos;
         hit = FindFrom(text, done, tag, ignoreCase)) {
        out.append(text, done, hit - done);
        out.append(value);
        done = hit + tag.size();
    }
    out.append(text, done);
    return out;
}

}  // namespace

namespace textsearch {

std::size_t Find(std::string_view text, std::string_view needle) { return FindFrom(text, 0, needle, false); }

std::size_t FindNoCase(std::string_view text, std::string_view needle) { return FindFrom(text, 0, needle, true); }

std::string ReplaceAllNoCase(std::string_view text, std::string_view tag, std::string_view value)
{
    return Replace(text, tag, value, true);
}

std::string ReplaceAll(std::string_view text, std::string_view tag, std::string_view value)
{
    return Replace(text, tag, value, false);
}

}  // namespace textsearch

}  // namespace quib::results
