#pragma once
// Walks rows of a result table and lets the interface process pending messages after each
// one, so a long table keeps the window responsive. Those messages may run other commands:
// the walk stops when the table is emptied (a new collection) or destroyed meanwhile, and
// skips rows that no longer exist.
#include "results/memdata.h"

#include <QPointer>

#include <functional>
#include <vector>

namespace quib::results {

enum class WalkEnd { Done, TableEmptied, TableGone };

// Calls `visit` with each storage index of `rows` still in the table, then processes messages.
WalkEnd WalkRows(MemData& data, const std::vector<int>& rows, const std::function<void(int)>& visit);

}  // namespace quib::results
