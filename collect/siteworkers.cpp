// The site worker behind each starter, from the table of sites, and the rows its items become.
#include "collect/collectionengine.h"
#include "host/core/gbk.h"
#include "results/memdata.h"

#include <QPointer>

namespace quib::collect {

using namespace quib::results;

void CollectionEngine::LaunchSiteWorker(const WorkerStart& start)
{
    const SiteRecord& site = SiteOfStarter(start.starter);
    if (site.movieAlbums) {
        ParseXunleiMovie(start.url, start.id, start.index);
        return;
    }
    if (site.resourceRecord) {
        ParseResourceRecord(start.url, start.id, start.index);
        return;
    }
    const CollectionWay& way = WayOf(start.starter);
    const auto worker = way.start(m_app.GetWorkers(), m_app.GetNetwork(), start.url, start.id, start.index,
                                  {ItemRows(site, way), Guarded(&CollectionEngine::ParseError),
                                   Guarded(&CollectionEngine::ParseEnd), StopCheck()});
    m_pageGauge = worker->PageInProgress();
}

TPageParse::TOnGetUrlEvent CollectionEngine::ItemRows(const SiteRecord& site, const CollectionWay& way)
{
    // The records live as long as the program; the engine may not (see Guarded).
    return [alive = m_alive, &site, &way](std::string Html, std::string Url, std::string Caption, std::string Date, int,
                                          TPageParse&) {
        if (CollectionEngine* engine = *alive)
            engine->AddItemRow(site, way, SiteItem{Html, Url, Caption, Date});
    };
}

void CollectionEngine::AddItemRow(const SiteRecord& site, const CollectionWay& way, const SiteItem& item)
{
    if (site.feed && &way == &*site.feed) {
        // A feed's item is taken as it comes; a cut that fails fails the collection.
        AddRow(way.itemRow(item));
        return;
    }
    if (site.walkUntitledItem && item.caption.empty()) {
        ReadUntitledItem(site, item.link);
        return;
    }
    AppendCutRow([&] { return way.itemRow(item); });
}

void CollectionEngine::ReadUntitledItem(const SiteRecord& site, const std::string& link)
{
    // No readable title in the text: the page's elements may still hold the video.
    const int index = AddRow(RowFields{});
    if (index < 0)
        return;
    try {
        TParseData data;
        data.Site = std::string(site.ruleSite);
        data.Kind = 1;
        const QPointer<CollectionEngine> alive(this);
        RunSimpleParser(link, data, false);
        if (!alive)
            return;  // closed while the page loaded: nothing left to write into
        RowFields row;
        row.Caption = gbk::FromUnicode(data.Caption);
        row.Url = gbk::FromUnicode(data.Url);
        row.Date = std::string();
        row.Link = link;
        m_data.Update(index, row);
    } catch (...) {
        // The row keeps what it had; the collection goes on.
    }
}

}  // namespace quib::collect
