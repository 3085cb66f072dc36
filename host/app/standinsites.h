#pragma once
// The demonstration data of a stand-in run: on its first start the data folder gets a site file
// with one stand-in CMS site per version, so the collector opens with its site tabs in place.
#include <QString>

namespace quib::host {

// Writes <appPath>data/tool.quib.sites.xml unless a site file (under this name or the old
// "data/sites.xml") is there already. Returns true when it wrote one.
bool SeedStandinSites(const QString& appPath);

}  // namespace quib::host
