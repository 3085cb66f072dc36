#include "collect/resourcesearchrun.h"

#include "host/core/app.h"
#include "host/core/workerthread.h"

#include <utility>

namespace quib::collect {

namespace {

class ResourceSearchWorker : public WorkerThread {
public:
    ResourceSearchWorker(NetworkSettings network, std::vector<ResourceSite> sites, QString word, StopFlag stop,
                         std::function<void(ResourceSearch)> done)
        : m_network(std::move(network)), m_sites(std::move(sites)), m_word(std::move(word)), m_stop(std::move(stop)),
          m_done(std::move(done))
    {
    }

protected:
    void Execute() override
    {
        ResourceSearch result = SearchResourceSites(m_sites, m_word, m_network, &m_stop);
        // Handed over, not waited for: the page may be busy with a modal box meanwhile.
        Post([done = std::move(m_done), stop = m_stop, result = std::move(result)]() mutable {
            if (stop.IsSet())
                return;
            try {
                done(std::move(result));
            } catch (...) {
            }
        });
    }

private:
    NetworkSettings m_network;
    std::vector<ResourceSite> m_sites;
    QString m_word;
    StopFlag m_stop;
    std::function<void(ResourceSearch)> m_done;
};

}  // namespace

void StartResourceSearch(IApp& app, std::vector<ResourceSite> sites, QString word, StopFlag stop,
                         std::function<void(ResourceSearch)> done)
{
    WorkerThread::Start<ResourceSearchWorker>(app.GetWorkers(), app.GetNetwork(), std::move(sites), std::move(word),
                                              std::move(stop), std::move(done));
}

}  // namespace quib::collect
