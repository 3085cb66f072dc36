#pragma once
// How many pages an album has, where its pager says so ("共 12 页"). The count only bounds how
// far pages are fetched ahead: the walk still decides from each page whether another follows.
#include <optional>
#include <string_view>

namespace quib::collect {

// The number between before and after ("共" … "页" in the page's own encoding), blanks around it
// allowed; nothing when the page does not state one or states no sensible count (0, or one of
// more than nine digits).
std::optional<int> StatedPageCount(std::string_view page, std::string_view before, std::string_view after);

}  // namespace quib::collect
