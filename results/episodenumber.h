#pragma once
// The episode number a video's title names. Sites write it many ways (第12集, 第十二集, EP12, E12,
// 12集, (12), or a number that ends the title); a year, a resolution, a date or a series' total
// (全40集) in the same title is not one.
#include <QString>
#include <QStringView>

#include <optional>

namespace quib::results {

// The episodes a title names: one, or a range (第1-2集 names 1 and 2).
struct EpisodeSpan {
    int first = 0;
    int last = 0;  // first, unless the title names a range

    bool operator==(const EpisodeSpan&) const = default;
};

// The largest episode number read; six digits at most, so that no title can name a range that
// costs more than a few megabytes to check.
inline constexpr int kLargestEpisode = 999999;

// The episode number (the first of a range), or nothing when the title names none.
std::optional<int> EpisodeNumber(QStringView title);
// The episodes the title names, or nothing when it names none.
std::optional<EpisodeSpan> EpisodeRange(QStringView title);
// EpisodeRange of a title that may be changed on the way (its letters and full-width forms
// normalised where they lie): a reader of many titles reuses one buffer for them all.
std::optional<EpisodeSpan> EpisodeRangeInPlace(QString& title);

}  // namespace quib::results
