#pragma once
// What quib-collect makes of one finished collection: which rows it prints and in what order, what
// it adds to the archive, and the episode check.
#include "tools/quibcollect/collectarchive.h"
#include "results/episodecheck.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quib::results {
class MemData;
}

namespace quib::cli {

struct OutputChoice {
    bool onlyNew = false;       // leave out rows the archive already has
    bool sortEpisodes = false;  // episode order instead of the table's
    bool checkEpisodes = false;
};

struct CollectionOutput {
    std::vector<int> rows;                       // table positions to print, in order
    std::vector<std::string> archiveKeys;        // keys of the printed rows, for CollectArchive::Append
    std::optional<results::EpisodeCheck> check;  // over the whole collection, whatever is printed
};

// displayOrder: the table's positions as the grid shows them. archive may be null.
CollectionOutput PlanOutput(const results::MemData& table, std::span<const int> displayOrder, std::string_view site,
                            const OutputChoice& choice, const CollectArchive* archive);

}  // namespace quib::cli
