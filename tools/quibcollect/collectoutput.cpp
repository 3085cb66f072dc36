#include "tools/quibcollect/collectoutput.h"

#include "host/core/gbk.h"
#include "results/memdata.h"

namespace quib::cli {

using namespace quib::results;

CollectionOutput PlanOutput(const MemData& table, std::span<const int> displayOrder, std::string_view site,
                            const OutputChoice& choice, const CollectArchive* archive)
{
    CollectionOutput output;
    const std::vector<EpisodeEntry> entries = EpisodeEntries(table);
    if (choice.checkEpisodes)
        output.check = CheckEpisodes(entries);

    std::vector<int> rows(displayOrder.begin(), displayOrder.end());
    if (choice.sortEpisodes) {
        std::vector<EpisodeEntry> shown;
        shown.reserve(rows.size());
        for (const int row : rows)
            shown.push_back(entries.at(static_cast<std::size_t>(row)));
        std::vector<int> sorted;
        sorted.reserve(rows.size());
        for (const int position : EpisodeOrder(shown))
            sorted.push_back(rows[static_cast<std::size_t>(position)]);
        rows = std::move(sorted);
    }

    for (const int row : rows) {
        const std::string key = CollectArchive::Key(site, gbk::ToUtf8(table.Row(row).Url));
        if (choice.onlyNew && archive && !key.empty() && archive->Contains(key))
            continue;
        output.rows.push_back(row);
        if (archive && !key.empty())
            output.archiveKeys.push_back(key);
    }
    return output;
}

}  // namespace quib::cli
