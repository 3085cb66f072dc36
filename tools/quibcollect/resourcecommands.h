#pragma once
// quib-collect's resource-site commands: the search over several sites (--search WORD --api BASE...)
// and the rows of every series changed lately (--api BASE --updated-hours N), for a cron job that
// feeds a CMS. Both print to standard output and report on standard error.
#include "host/core/networksettings.h"

#include <optional>

namespace quib::cli {

struct CollectOptions;
class CollectArchive;

// The exit status of the resource command the options name; nothing when they name none.
std::optional<int> RunResourceCommand(const CollectOptions& options, const NetworkSettings& network,
                                      CollectArchive* archive);

}  // namespace quib::cli
