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
// 时间 the record's update time. An episode without an address gives no row.
std::vector<results::RowFields> ResourceEpisodeRows(const ResourceRecord& record, int source);

}  // namespace quib::collect
