#include "results/gridcommands.h"

#include "results/episodecheck.h"
#include "results/memdata.h"
#include "results/textsearch.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace quib::results {

MenuItemsShown MenuVisibility(MenuSpot spot, bool anyRowSelected)
{
    MenuItemsShown shown;
    switch (spot) {
    case MenuSpot::TitleFooter:
        shown.edit = true;
        shown.scope = EditScope::AllChecked;
        break;
    case MenuSpot::TitleCell:
        shown.edit = shown.find = true;
        shown.link = shown.retry = anyRowSelected;
        shown.episodeSort = shown.unSelRepeat = true;
        shown.scope = EditScope::SelectedChecked;
        break;
    case MenuSpot::Elsewhere:
        shown.selAll = shown.unSelAll = shown.deSel = shown.find = true;
        shown.link = shown.retry = anyRowSelected;
        shown.episodeSort = shown.unSelRepeat = true;
        break;
    }
    return shown;
}

std::vector<int> RowsToCheck(int rowCount, const std::vector<int>& selectedRows)
{
    return selectedRows.size() >= 2 ? selectedRows : AllRows(rowCount);
}

bool TitleMatches(std::string_view title, std::string_view text)
{
    return textsearch::Find(title, text) != textsearch::npos;
}

std::vector<int> FindRows(const std::vector<int>& order, const std::function<const std::string&(int)>& titleOf,
                          std::string_view text)
{
    std::vector<int> rows;
    if (text.empty())
        return rows;
    for (int row : order)
        if (TitleMatches(titleOf(row), text))
            rows.push_back(row);
    return rows;
}

std::vector<int> AllRows(int rowCount)
{
    std::vector<int> rows(static_cast<std::size_t>(std::max(rowCount, 0)));
    for (int i = 0; i < rowCount; ++i)
        rows[static_cast<std::size_t>(i)] = i;
    return rows;
}

std::vector<int> EditWalk(EditScope scope, const std::vector<int>& selectedRows, int rowCount)
{
    return scope == EditScope::SelectedChecked ? selectedRows : AllRows(rowCount);
}

std::vector<int> ByEpisode(const MemData& data, const std::vector<int>& order)
{
    std::vector<EpisodeEntry> entries;
    entries.reserve(order.size());
    for (int row : order)
        entries.push_back({EpisodeOfRow(data.Row(row)), {}});
    std::vector<int> rows;
    rows.reserve(order.size());
    for (int position : EpisodeOrder(entries))
        rows.push_back(order[static_cast<std::size_t>(position)]);
    return rows;
}

std::vector<int> RepeatedCheckedAddresses(const MemData& data, const std::vector<int>& order)
{
    std::vector<int> rows;
    std::unordered_set<std::string_view> seen;
    for (int row : order) {
        const ResultRow& item = data.Row(row);
        if (item.Status && !item.Url.empty() && !seen.insert(item.Url).second)
            rows.push_back(row);
    }
    return rows;
}

}  // namespace quib::results
