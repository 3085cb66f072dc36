#pragma once
// The merged list of series a resource search found, as the page and the video search show it:
// series, remarks, the site it was found on, its update time and its play sources.
#include "collect/resourcesearch.h"

#include <vector>

class QTreeWidget;

namespace quib::collect {

// Fills list (five columns) with the search's hits, one row each in the search's order; sites
// are the sites searched, in the order the search was given them.
void ShowResourceHits(QTreeWidget& list, const ResourceSearch& search, const std::vector<ResourceSite>& sites);

}  // namespace quib::collect
