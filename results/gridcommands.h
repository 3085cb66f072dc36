#pragma once
// The rules behind the grid's commands: which context-menu items show where, which rows the
// check-mark commands touch, what quick find selects, which links may be opened, and the
// episode order and repeated addresses of the rows on show.
#include "results/resultrow.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quib::results {

// Where the right mouse button was released.
enum class MenuSpot { TitleFooter, TitleCell, Elsewhere };

// The edit scope of bulk edit: all checked rows, or the checked rows among the selected ones.
enum class EditScope { AllChecked = 0, SelectedChecked = 1 };

struct MenuItemsShown {
    bool edit = false, find = false, selAll = false, unSelAll = false, deSel = false, link = false, retry = false,
         autoRetry = true, episodeSort = false, unSelRepeat = false;
    std::optional<EditScope> scope;  // set when the spot decides the scope; otherwise unchanged

    bool operator==(const MenuItemsShown&) const = default;
};

MenuItemsShown MenuVisibility(MenuSpot spot, bool anyRowSelected);

// 全部选中: every row when fewer than two are selected, otherwise just the selected ones.
std::vector<int> RowsToCheck(int rowCount, const std::vector<int>& selectedRows);

// Quick find: exact, case-sensitive, on character boundaries; an empty text matches nothing.
bool TitleMatches(std::string_view title, std::string_view text);
// The rows (from `order`) whose titles match, in that order.
std::vector<int> FindRows(const std::vector<int>& order, const std::function<const std::string&(int)>& titleOf,
                          std::string_view text);

// Storage indexes 0 .. rowCount-1.
std::vector<int> AllRows(int rowCount);
// The rows bulk edit walks: the whole table for scope 0, the selected rows for scope 1. Of
// these, only the rows checked when the walk reaches them are edited.
std::vector<int> EditWalk(EditScope scope, const std::vector<int>& selectedRows, int rowCount);

class MemData;

// 按集数排序: the rows of `order` (storage indexes as shown) by the episode their titles name;
// rows naming the same episode, and the rows naming none (after the others), keep their order.
std::vector<int> ByEpisode(const MemData& data, const std::vector<int>& order);
// 取消重复地址: the checked rows of `order` whose address an earlier checked row of it already
// has. Unchecking them leaves every address checked once, on its first row; an unchecked row
// keeps no address from being copied.
std::vector<int> RepeatedCheckedAddresses(const MemData& data, const std::vector<int>& order);

}  // namespace quib::results
