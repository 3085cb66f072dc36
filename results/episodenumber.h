#pragma once
// The episode number a video's title names. Sites write it many ways (第12集, 第十二集, EP12, E12,
// 12集, (12), or a number that ends the title); a year, a resolution, a date or a series' total
// (全40集) in the same title is not one.
#include <QStringView>

#include <optional>

// The episode number, 0..9999, or nothing when the title names none.
std::optional<int> EpisodeNumber(QStringView title);
