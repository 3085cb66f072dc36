#pragma once
// Asking resource sites over the network: one keyword search over many sites at once, each with
// its own deadline, merged into one list; and the walk over every page of what changed lately.
// Blocking calls: run them off the user-interface thread (or from the command line).
#include "collect/resourceapi.h"
#include "host/core/networksettings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quib {
class THttpMulti;
}

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

// API pages fetched several at once (NetworkSettings::pageJobs) over reused connections, with the
// caps of FetchResourcePage: a page expected is on its way before it is asked for.
class ResourcePages {
public:
    explicit ResourcePages(const NetworkSettings& network, const StopFlag* stop = nullptr,
                           int deadlineSeconds = kResourceSearchDeadline);
    ~ResourcePages();
    ResourcePages(const ResourcePages&) = delete;
    ResourcePages& operator=(const ResourcePages&) = delete;

    int Jobs() const { return m_jobs; }
    // Starts url's transfer when one of the jobs is free.
    void Expect(const std::string& url);
    // The page at url: the transfer expected, or one of its own; throws HttpError when it fails.
    ResourcePage Fetch(const std::string& url);

private:
    NetworkSettings m_network;
    const StopFlag* m_stop;
    int m_deadlineSeconds;
    int m_jobs;
    std::unique_ptr<THttpMulti> m_transfers;
    std::map<std::string, int> m_keys;  // the transfers started, by address
    int m_nextKey = 0;
};

// Every record changed in the last `hours`, page after page of ac=detail&h=hours, up to
// kResourcePageCap pages (the cap is said in warnings when the site claims more). A page that
// fails ends the walk with error set; the records read so far are kept. The records come in the
// pages' order; expect, when given, is told of up to `window` pages before each is fetched (none
// past the count the first page states), so they can be on their way at once.
struct ResourceUpdates {
    std::vector<ResourceRecord> records;
    QStringList warnings;
    QString error;
    int pagesRead = 0;
};
using ResourceFetch = std::function<ResourcePage(const std::string& url)>;
using ResourceExpect = std::function<void(const std::string& url)>;
ResourceUpdates WalkResourceUpdates(const QString& base, int hours, const ResourceFetch& fetch,
                                    const ResourceExpect& expect = {}, int window = 1);
// The same over the network, window pages at once.
ResourceUpdates WalkResourceUpdates(const QString& base, int hours, ResourcePages& pages);

}  // namespace quib::collect
