#pragma once
// What the episode numbers of a collected list say about it: the range found, the numbers
// missing in it, the ones named twice, and the rows whose address repeats an earlier row.
#include "results/resultrow.h"

#include <QString>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quib::results {

class MemData;

struct EpisodeCheck {
    int rows = 0;
    int unnumbered = 0;              // rows whose title names no episode
    std::optional<int> first, last;  // lowest and highest episode found
    std::vector<int> missing;        // between first and last, named by no row
    std::vector<int> duplicated;     // named by more than one row
    int repeatedAddresses = 0;       // rows whose address an earlier row already has
    int withoutAddress = 0;          // rows with no address at all (incomplete: not copied)

    bool operator==(const EpisodeCheck&) const = default;
};

// One row's episode number (nothing when the title names none; the first of a range) and its
// address.
struct EpisodeEntry {
    std::optional<int> number;
    std::string address;
    int last = 0;  // the last episode of a range (第1-2集); not above number for a single one
};

// The episode a row's title names, read from its GBK bytes.
std::optional<int> EpisodeOfRow(const ResultRow& row);
// The entries of a table's rows in storage order.
std::vector<EpisodeEntry> EpisodeEntries(const MemData& table);

// A range counts every episode in it. An address listed twice is one repeated address; its rows
// count as episodes again only when they name different ones.
EpisodeCheck CheckEpisodes(std::span<const EpisodeEntry> entries);
// The same for the table's rows as they are stored (CheckEpisodes(EpisodeEntries(table))), in one
// pass that copies no address.
EpisodeCheck CheckEpisodes(const MemData& table);

// "共 45 条，第1–46集，缺第23集；重复地址 2 条；无地址 3 条": what a status line under the grid says.
QString EpisodeStatusLine(const EpisodeCheck& check);

// Row positions ordered by episode number, stable; rows without a number follow the numbered
// ones in their own order.
std::vector<int> EpisodeOrder(std::span<const EpisodeEntry> entries);

// For each entry, whether an earlier entry has the same (non-empty) address.
std::vector<bool> RepeatedAddresses(std::span<const EpisodeEntry> entries);

}  // namespace quib::results
