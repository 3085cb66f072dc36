#pragma once
// A search over resource sites run off the user-interface thread: the sites are asked on a worker
// the host knows (so it is waited for at shutdown), and the merged result comes back on the
// user-interface thread, unless whoever asked has gone or stopped it meanwhile.
#include "collect/resourcesearch.h"
#include "collect/stopflag.h"

#include <functional>
#include <vector>

namespace quib {
class IApp;
}

namespace quib::collect {

// Starts the search and returns at once; done runs later on the user-interface thread, only
// while stop is not set. Setting stop abandons the requests still running.
void StartResourceSearch(IApp& app, std::vector<ResourceSite> sites, QString word, StopFlag stop,
                         std::function<void(ResourceSearch)> done);

}  // namespace quib::collect
