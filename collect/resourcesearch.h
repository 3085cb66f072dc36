#pragma once
// Asking resource sites over the network: one keyword search over many sites at once, each with
// its own deadline, merged into one list; and the walk over every page of what changed lately.
// Blocking calls: run them off the user-interface thread (or from the command line).
#include "collect/resourceapi.h"
#include "host/core/networksettings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace quib::collect {

class StopFlag;

// A resource site as the operator lists it.
struct ResourceSite {
    QString name;  // empty: the host of the base address stands for it
    QString base;  // the base address, e.g. http://example.com/api.php/provide/vod/
    QString DisplayName() const;
};

// One series found.
struct ResourceHit {
    int site = 0;     // index into the sites searched
    QString address;  // the record address (ResourceRecordAddress), what --site api takes
    ResourceRecord record;
};

// How one site answered a search.
struct ResourceSiteOutcome {
    QString error;  // empty when the site answered
    QStringList warnings;
    int hits = 0;
};

struct ResourceSearch {
    std::vector<ResourceHit> hits;              // merged: see SearchResourceSites
    std::vector<ResourceSiteOutcome> outcomes;  // one per site, in the order given
    bool AllFailed() const;
};

// Seconds one site may take to answer a search.
inline constexpr int kResourceSearchDeadline = 15;

// Searches every site for word (ac=detail&wd=), all at once, and waits for the last; a site that
// fails or takes longer than deadlineSeconds is marked and the others still count. The hits are
// merged in the sites' order, a series found on several sites kept together (at its first place).
// stop, when given, abandons the requests still running.
ResourceSearch SearchResourceSites(const std::vector<ResourceSite>& sites, const QString& word,
                                   const NetworkSettings& network, const StopFlag* stop = nullptr,
                                   int deadlineSeconds = kResourceSearchDeadline);

// Fetches one API address with the caps an answer from a stranger needs (size, deadline) and
// reads it; throws HttpError when the transfer fails.
ResourcePage FetchResourcePage(const std::string& url, const NetworkSettings& network, const StopFlag* stop = nullptr,
                               int deadlineSeconds = kResourceSearchDeadline);

// Every record changed in the last `hours`, page after page of ac=detail&h=hours, up to
// kResourcePageCap pages (the cap is said in warnings when the site claims more). A page that
// fails ends the walk with error set; the records read so far are kept.
struct ResourceUpdates {
    std::vector<ResourceRecord> records;
    QStringList warnings;
    QString error;
    int pagesRead = 0;
};
using ResourceFetch = std::function<ResourcePage(const std::string& url)>;
ResourceUpdates WalkResourceUpdates(const QString& base, int hours, const ResourceFetch& fetch);

}  // namespace quib::collect
