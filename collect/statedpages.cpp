#include "collect/statedpages.h"

namespace quib::collect {

namespace {

constexpr std::size_t kMaxDigits = 9;  // fits an int

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The count right after `at` (where before ended), followed by after; nothing otherwise.
std::optional<int> CountAt(std::string_view page, std::size_t at, std::string_view after)
{
    while (at < page.size() && IsBlank(page[at]))
        ++at;
    int count = 0;
    std::size_t digits = 0;
    for (; at < page.size() && page[at] >= '0' && page[at] <= '9'; ++at, ++digits) {
        if (digits == kMaxDigits)
            return std::nullopt;
        count = count * 10 + (page[at] - '0');
    }
    while (at < page.size() && IsBlank(page[at]))
        ++at;
    if (digits == 0 || count == 0 || page.substr(at, after.size()) != after)
        return std::nullopt;
    return count;
}

}  // namespace

std::optional<int> StatedPageCount(std::string_view page, std::string_view before, std::string_view after)
{
    if (before.empty())
        return std::nullopt;
    // The pager closes the page: its statement is the last one.
    for (std::size_t at = page.rfind(before); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : page.rfind(before, at - 1)) {
        if (const std::optional<int> count = CountAt(page, at + before.size(), after))
            return count;
    }
    return std::nullopt;
}

}  // namespace quib::collect
