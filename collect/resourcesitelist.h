#pragma once
// The operator's resource sites (a name and the base address of each) and the source he last
// chose for each site's records, in one small XML file beside the site file. No widgets: the
// resource-site page, the video search and the collection form read it alike. Every change is
// read, changed and written at once, so no holder of an old copy can undo another's change.
#include "collect/resourcesearch.h"

#include <QString>

#include <cstddef>
#include <map>
#include <stdexcept>
#include <vector>

namespace quib::collect {

struct ResourceSiteList {
    std::vector<ResourceSite> sites;  // the base address is a site's identity in the list
    // Base address (as the record address names it) -> the source chosen last for that site.
    std::map<QString, QString> lastSources;

    // The entry whose base address is base, exactly; -1 when there is none.
    int Find(const QString& base) const;
};

namespace resourcesites {

// "data/tool.quib.apisites.xml" under the application directory.
QString FilePath(const QString& appPath);

// A list file larger than this is not a list of sites.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1024} * 1024;

// The list in the file; an empty list when there is no file. Throws std::runtime_error (UTF-8
// message) when the file cannot be read or is not such a list.
ResourceSiteList Load(const QString& path);

// Writes the list through a temporary file and a rename. A file found there that cannot be read
// as a list is first kept beside it ("<path>.unreadable", numbered when taken) rather than lost.
// Throws std::runtime_error (UTF-8 message) on any failure, leaving the file as it was.
void Save(const QString& path, const ResourceSiteList& list);

// The source last chosen for the records of the site at base; empty when there is none or the
// list cannot be read.
QString LastSource(const QString& path, const QString& base);
// Remembers that choice. Throws as Save does; a list that cannot be read is left alone (throws).
void RememberSource(const QString& path, const QString& base, const QString& source);

// An address the list takes: http or https with a host. The reason when it is not, else empty.
QString AddressProblem(const QString& base);

}  // namespace resourcesites

}  // namespace quib::collect
