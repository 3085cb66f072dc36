#include "results/episodecheck.h"

#include "results/episodenumber.h"
#include "host/core/gbk.h"
#include "results/memdata.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string_view>
#include <unordered_set>

namespace quib::results {

namespace {

// So a line under the grid stays one line on a list with hundreds of gaps.
constexpr std::size_t kGroupsShown = 8;

// 23 / 25–27, as the numbers run.
QStringList RunsOf(const std::vector<int>& numbers)
{
    QStringList runs;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        runs << (i == j ? QString::number(numbers[i]) : QStringLiteral("%1–%2").arg(numbers[i]).arg(numbers[j]));
        i = j + 1;
    }
    return runs;
}

// 第23、25–27集, shortened with its count when long.
QString EpisodeList(const std::vector<int>& numbers)
{
    QStringList runs = RunsOf(numbers);
    QString tail = QStringLiteral("集");
    if (static_cast<std::size_t>(runs.size()) > kGroupsShown) {
        runs = runs.mid(0, kGroupsShown);
        tail = QStringLiteral("…集（共 %1 集）").arg(numbers.size());
    }
    return QStringLiteral("第") + runs.join(QStringLiteral("、")) + tail;
}

}  // namespace

std::optional<int> EpisodeOfRow(const ResultRow& row) { return EpisodeNumber(gbk::ToUnicode(row.Caption)); }

namespace {

// An entry whose address is read where the table holds it, for a check made at once.
struct EntryView {
    std::optional<int> number;
    std::string_view address;
    int last = 0;
};

template <class Entry>
int LastOf(const Entry& entry)
{
    return std::max(*entry.number, entry.last);
}

template <class Entry>
bool SameEpisodes(const Entry& a, const Entry& b)
{
    if (!a.number || !b.number)
        return a.number == b.number;
    return *a.number == *b.number && LastOf(a) == LastOf(b);
}

// Calls take(entry, address) for every row of the table in storage order, with its episodes read
// from its title; one buffer serves every title.
template <class Take>
void ReadEntries(const MemData& table, Take&& take)
{
    QString title;
    for (int i = 0; i < table.Count(); ++i) {
        const ResultRow& row = table.Row(i);
        title.truncate(0);
        gbk::AppendUnicode(title, row.Caption, true);
        std::optional<int> number;
        int last = 0;
        if (const std::optional<EpisodeSpan> span = EpisodeRangeInPlace(title)) {
            number = span->first;
            last = span->last;
        }
        take(number, last, row.Url);
    }
}

// The first entry of each address, found by open addressing over the entries' positions: one
// allocation for the whole table instead of a node per row.
class FirstWithAddress {
public:
    explicit FirstWithAddress(std::size_t entries) : m_slots(std::bit_ceil(entries + entries / 2 + 1), 0) {}

    // The first position whose entry has the address of entries[position]: position itself when
    // no earlier one has.
    template <class Entry>
    std::size_t Of(std::span<const Entry> entries, std::size_t position)
    {
        const std::string_view address = entries[position].address;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = std::hash<std::string_view>{}(address)&mask;; slot = (slot + 1) & mask) {
            if (m_slots[slot] == 0) {
                m_slots[slot] = static_cast<std::uint32_t>(position + 1);
                return position;
            }
            const std::size_t earlier = m_slots[slot] - 1;
            if (std::string_view(entries[earlier].address) == address)
                return earlier;
        }
    }

private:
    std::vector<std::uint32_t> m_slots;  // a position + 1; 0 for a free slot
};

template <class Entry>
EpisodeCheck Check(std::span<const Entry> entries)
{
    EpisodeCheck check;
    check.rows = static_cast<int>(entries.size());
    std::vector<EpisodeSpan> named;  // every episode range a row names, as often as it is named
    named.reserve(entries.size());
    FirstWithAddress firstWith(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (entry.address.empty()) {
            ++check.withoutAddress;
        } else if (const std::size_t earlier = firstWith.Of(entries, i); earlier != i) {
            ++check.repeatedAddresses;
            // The same video listed again says nothing new about its episode.
            if (SameEpisodes(entries[earlier], entry))
                continue;
        }
        if (entry.number)
            named.push_back({*entry.number, LastOf(entry)});
        else
            ++check.unnumbered;
    }
    if (named.empty())
        return check;
    check.first = std::min_element(named.begin(), named.end(), [](const auto& a, const auto& b) {
                      return a.first < b.first;
                  })->first;
    check.last = std::max_element(named.begin(), named.end(), [](const auto& a, const auto& b) {
                     return a.last < b.last;
                 })->last;
    // How many rows name each number, as steps at the ranges' ends: the numbers are bounded
    // (kLargestEpisode), the ranges are not walked one by one.
    std::vector<int> steps(static_cast<std::size_t>(*check.last - *check.first) + 2, 0);
    for (const EpisodeSpan& span : named) {
        ++steps[static_cast<std::size_t>(span.first - *check.first)];
        --steps[static_cast<std::size_t>(span.last - *check.first) + 1];
    }
    int naming = 0;
    for (int number = *check.first; number <= *check.last; ++number) {
        naming += steps[static_cast<std::size_t>(number - *check.first)];
        if (naming == 0)
            check.missing.push_back(number);
        else if (naming > 1)
            check.duplicated.push_back(number);
    }
    return check;
}

}  // namespace

std::vector<EpisodeEntry> EpisodeEntries(const MemData& table)
{
    std::vector<EpisodeEntry> entries;
    entries.reserve(static_cast<std::size_t>(table.Count()));
    ReadEntries(table, [&](std::optional<int> number, int last, const std::string& address) {
        entries.push_back(EpisodeEntry{number, address, last});
    });
    return entries;
}

EpisodeCheck CheckEpisodes(std::span<const EpisodeEntry> entries) { return Check(entries); }

EpisodeCheck CheckEpisodes(const MemData& table)
{
    std::vector<EntryView> entries;
    entries.reserve(static_cast<std::size_t>(table.Count()));
    ReadEntries(table, [&](std::optional<int> number, int last, std::string_view address) {
        entries.push_back(EntryView{number, address, last});
    });
    return Check(std::span<const EntryView>(entries));
}

QString EpisodeStatusLine(const EpisodeCheck& check)
{
    QString line = QStringLiteral("共 %1 条").arg(check.rows);
    if (check.first) {
        line += check.first == check.last ? QStringLiteral("，第%1集").arg(*check.first)
                                          : QStringLiteral("，第%1–%2集").arg(*check.first).arg(*check.last);
        if (!check.missing.empty())
            line += QStringLiteral("，缺") + EpisodeList(check.missing);
        if (!check.duplicated.empty())
            line += QStringLiteral("，重复") + EpisodeList(check.duplicated);
        if (check.unnumbered > 0)
            line += QStringLiteral("，%1 条无集数").arg(check.unnumbered);
    } else if (check.rows > 0) {
        line += QStringLiteral("，未识别集数");
    }
    if (check.repeatedAddresses > 0)
        line += QStringLiteral("；重复地址 %1 条").arg(check.repeatedAddresses);
    if (check.withoutAddress > 0)
        line += QStringLiteral("；无地址 %1 条").arg(check.withoutAddress);
    return line;
}

std::vector<int> EpisodeOrder(std::span<const EpisodeEntry> entries)
{
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto& left = entries[static_cast<std::size_t>(a)].number;
        const auto& right = entries[static_cast<std::size_t>(b)].number;
        if (left && right)
            return *left < *right;
        return left.has_value() && !right.has_value();
    });
    return order;
}

std::vector<bool> RepeatedAddresses(std::span<const EpisodeEntry> entries)
{
    std::vector<bool> repeated(entries.size(), false);
    std::unordered_set<std::string_view> seen;
    seen.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& address = entries[i].address;
        if (!address.empty() && !seen.insert(address).second)
            repeated[i] = true;
    }
    return repeated;
}

}  // namespace quib::results
