#pragma once
// An item's own page, for the sites whose playlist pages do not carry what the row needs.
#include "host/core/httpconnection.h"
#include "host/core/workerthread.h"

#include <optional>
#include <string>

namespace quib::collect {

// The page text; empty when the fetch failed, so the row goes without its Url and the
// collection goes on. Nothing when the transfer was abandoned because the worker is stopping:
// the item is then not reported at all.
std::optional<std::string> FetchItemPage(THttpConnection& connection, const std::string& url, int limit,
                                         const WorkerThread& worker);

}  // namespace quib::collect
