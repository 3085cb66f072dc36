#include "collect/resourcesearch.h"

#include "collect/stopflag.h"
#include "host/core/httpconnection.h"
#include "host/core/httpmulti.h"

#include <QHash>
#include <QSet>
#include <QUrl>

#include <thread>

namespace quib::collect {

QString ResourceSite::DisplayName() const
{
    if (!name.trimmed().isEmpty())
        return name.trimmed();
    const QString host = QUrl(base.trimmed()).host();
    return host.isEmpty() ? base.trimmed() : host;
}

bool ResourceSearch::AllFailed() const
{
    if (outcomes.empty())
        return false;
    for (const ResourceSiteOutcome& outcome : outcomes)
        if (outcome.error.isEmpty())
            return false;
    return true;
}

namespace {

// An answer from a stranger: capped in size and time.
NetworkSettings ResourceNetwork(const NetworkSettings& network, int deadlineSeconds)
{
    NetworkSettings settings = network;
    settings.maxBodyBytes = std::min(settings.maxBodyBytes, kResourceMaxBody);
    if (deadlineSeconds > 0)
        settings.transferDeadlineSeconds = deadlineSeconds;
    return settings;
}

int StallLimit(int deadlineSeconds) { return deadlineSeconds > 0 ? deadlineSeconds : 16; }

TStopQuery StopQueryOf(const StopFlag* stop)
{
    return [stop](bool& terminated) { terminated = stop && stop->IsSet(); };
}

}  // namespace

ResourcePage FetchResourcePage(const std::string& url, const NetworkSettings& network, const StopFlag* stop,
                               int deadlineSeconds)
{
    THttpConnection connection(ResourceNetwork(network, deadlineSeconds), StopQueryOf(stop));
    return ParseResourceAnswer(connection.Get(url, StallLimit(deadlineSeconds)));
}

ResourcePages::ResourcePages(const NetworkSettings& network, const StopFlag* stop, int deadlineSeconds)
    : m_network(ResourceNetwork(network, deadlineSeconds)), m_stop(stop), m_deadlineSeconds(deadlineSeconds),
      m_jobs(std::max(1, network.pageJobs))
{
    if (m_jobs > 1)
        m_transfers = std::make_unique<THttpMulti>(m_network, m_jobs, StopQueryOf(stop));
}

ResourcePages::~ResourcePages() = default;

void ResourcePages::Expect(const std::string& url)
{
    if (!m_transfers || m_keys.contains(url) || m_transfers->Running() >= m_jobs)
        return;
    if (m_transfers->Start(m_nextKey, url, StallLimit(m_deadlineSeconds)))
        m_keys.emplace(url, m_nextKey++);
    m_transfers->Pump();
}

ResourcePage ResourcePages::Fetch(const std::string& url)
{
    const auto started = m_keys.find(url);
    if (started == m_keys.end())
        return FetchResourcePage(url, m_network, m_stop, m_deadlineSeconds);
    const int key = started->second;
    m_keys.erase(started);
    THttpMulti::Result result = m_transfers->Take(key);
    if (result.error)
        std::rethrow_exception(result.error);
    return ParseResourceAnswer(result.body);
}

ResourceSearch SearchResourceSites(const std::vector<ResourceSite>& sites, const QString& word,
                                   const NetworkSettings& network, const StopFlag* stop, int deadlineSeconds)
{
    ResourceSearch search;
    search.outcomes.resize(sites.size());
    std::vector<ResourcePage> pages(sites.size());
    {
        // Each thread writes its own slot only; joining them is the hand-over.
        std::vector<std::jthread> requests;
        requests.reserve(sites.size());
        for (std::size_t i = 0; i < sites.size(); ++i) {
            requests.emplace_back([&, i] {
                ResourceQuery query;
                query.word = word;
                const std::string url = ResourceQueryAddress(sites[i].base, query).toStdString();
                try {
                    pages[i] = FetchResourcePage(url, network, stop, deadlineSeconds);
                    if (!pages[i].Ok())
                        search.outcomes[i].error = pages[i].error;
                } catch (const std::exception& e) {
                    search.outcomes[i].error = QString::fromUtf8(e.what());
                }
            });
        }
    }
    // In the sites' order; a series another site already gave joins that one's group.
    QHash<QString, std::size_t> groupOf;
    std::vector<std::vector<ResourceHit>> groups;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        search.outcomes[i].warnings = std::move(pages[i].warnings);
        for (ResourceRecord& record : pages[i].records) {
            ResourceHit hit;
            hit.site = static_cast<int>(i);
            hit.address = ResourceRecordAddress(ResourceAddress{sites[i].base.trimmed(), record.id});
            hit.record = std::move(record);
            auto at = groupOf.constFind(hit.record.name);
            if (at == groupOf.cend()) {
                at = groupOf.insert(hit.record.name, groups.size());
                groups.emplace_back();
            }
            groups[*at].push_back(std::move(hit));
            ++search.outcomes[i].hits;
        }
    }
    for (auto& group : groups)
        for (ResourceHit& hit : group)
            search.hits.push_back(std::move(hit));
    return search;
}

ResourceUpdates WalkResourceUpdates(const QString& base, int hours, const ResourceFetch& fetch,
                                    const ResourceExpect& expect, int window)
{
    ResourceUpdates updates;
    ResourceQuery query;
    query.hours = hours;
    const auto addressOf = [&base, &query](int number) {
        query.page = number;
        return ResourceQueryAddress(base, query).toStdString();
    };
    int pages = 1;
    QSet<QString> seen;
    for (int number = 1; number <= pages; ++number) {
        // The pages after this one go out with it, as far as the count allows; the first page
        // goes alone, since it tells the count.
        if (expect && number > 1)
            for (int ahead = number; ahead < number + window && ahead <= pages; ++ahead)
                expect(addressOf(ahead));
        ResourcePage page;
        try {
            page = fetch(addressOf(number));
        } catch (const std::exception& e) {
            updates.error = QString::fromUtf8(e.what());
            return updates;
        }
        ++updates.pagesRead;
        if (!page.Ok()) {
            updates.error = QStringLiteral("第 %1 页：%2").arg(number).arg(page.error);
            return updates;
        }
        for (const QString& warning : page.warnings)
            updates.warnings << QStringLiteral("第 %1 页：%2").arg(number).arg(warning);
        // A page without records, or only with records seen (a site that ignores pg answers its
        // first page again), ends the walk, whatever the page count promised. A record that moved
        // to a later page while the walk went on is taken once.
        bool anyNew = false;
        for (ResourceRecord& record : page.records) {
            if (seen.contains(record.id))
                continue;
            seen.insert(record.id);
            anyNew = true;
            updates.records.push_back(std::move(record));
        }
        if (!anyNew)
            break;
        if (number == 1) {
            // A site that gives no page count is read until its pages run dry.
            pages = page.pageCount > 0 ? page.pageCount : kResourcePageCap;
            if (pages > kResourcePageCap) {
                updates.warnings << QStringLiteral("资源站说共有 %1 页，只读前 %2 页（每次最多读 %2 页）")
                                        .arg(pages)
                                        .arg(kResourcePageCap);
                pages = kResourcePageCap;
            }
        }
    }
    return updates;
}

ResourceUpdates WalkResourceUpdates(const QString& base, int hours, ResourcePages& pages)
{
    return WalkResourceUpdates(
        base, hours, [&pages](const std::string& url) { return pages.Fetch(url); },
        [&pages](const std::string& url) { pages.Expect(url); }, pages.Jobs());
}

}  // namespace quib::collect
