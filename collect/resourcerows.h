#pragma once
// What a resource site's record becomes in the result table: one row per episode of one source.
#include "collect/resourceapi.h"
#include "results/resultrow.h"

#include <QString>

#include <vector>

namespace quib::collect {

// The row title of an episode: its own name, prefixed with the series name when the name is only
// a number ("01" of 长河 becomes "长河 第01集", as the other sites title their episodes).
QString ResourceEpisodeTitle(const QString& series, const QString& episode);

// The source of that name, -1 when the record has none.
int ResourceSourceIndex(const ResourceRecord& record, const QString& name);

// The rows (GBK) of the record's source at index: 标题 the episode title, 地址 the play address,
// 时间 the record's update time. An episode without an address gives no row, and neither does one
// whose address is longer than the table's 地址 holds (a cut address would play nothing): those
// are counted in tooLong when given.
std::vector<results::RowFields> ResourceEpisodeRows(const ResourceRecord& record, int source, int* tooLong = nullptr);
// What to tell when addresses were too long.
QString ResourceTooLongNote(int tooLong);

}  // namespace quib::collect
