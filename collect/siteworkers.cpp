// The site worker behind each starter. The site parser classes register here as they come;
// a starter without one reports that its kind of collection cannot run yet.
#include "collectionengine.h"
#include "gbk.h"
#include "memdata.h"
#include "ououpageparse.h"
#include "sinapageparse.h"
#include "sitecuts.h"
#include "sixroomspageparse.h"
#include "tudoupageparse.h"
#include "wolepageparse.h"
#include "youkupageparse.h"

#include <QPointer>

#include <stdexcept>

namespace {

RowFields ItemRow(std::string caption, std::string url, std::string date, std::string link)
{
    RowFields row;
    row.Caption = std::move(caption);
    row.Url = std::move(url);
    row.Date = std::move(date);
    row.Link = std::move(link);
    return row;
}

}  // namespace

void CollectionEngine::LaunchSiteWorker(const WorkerStart& start)
{
    switch (start.starter) {
    case Starter::TudouByWeb: ParseTudou(start.url, start.id, start.index); break;
    case Starter::YoukuByWeb: ParseYouku(start.url, start.id, start.index); break;
    case Starter::WoleByWeb: Parse56(start.url, start.id, start.index); break;
    case Starter::LjfByWeb: Parse6JF(start.url, start.id, start.index); break;
    case Starter::OuouByWeb: ParseOuou(start.url, start.id, start.index); break;
    case Starter::SinaByWeb: ParseSina(start.url, start.id, start.index); break;
    case Starter::TudouByRss: ParseTudouRss(start.url, start.id, start.index); break;
    case Starter::YoukuByRss: ParseYoukuRss(start.url, start.id, start.index); break;
    case Starter::XunleiByMovie: ParseXunleiMovie(start.url, start.id, start.index); break;
    default:
        throw std::runtime_error("这种采集方式还不能使用");
    }
}

void CollectionEngine::ParseTudou(const std::string& url, const std::string& id, int index)
{
    StartWorker<TTudouPageParse>(url, id, index, &CollectionEngine::GetTudouUrl);
}

void CollectionEngine::ParseYouku(const std::string& url, const std::string& id, int index)
{
    StartWorker<TYoukuPageParse>(url, id, index, &CollectionEngine::GetYoukuUrl);
}

void CollectionEngine::Parse56(const std::string& url, const std::string& id, int index)
{
    StartWorker<T56PageParse>(url, id, index, &CollectionEngine::Get56Url);
}

void CollectionEngine::Parse6JF(const std::string& url, const std::string& id, int index)
{
    StartWorker<T6JFPageParse>(url, id, index, &CollectionEngine::Get6JFUrl);
}

void CollectionEngine::ParseOuou(const std::string& url, const std::string& id, int index)
{
    StartWorker<TOuouPageParse>(url, id, index, &CollectionEngine::GetOuouUrl);
}

void CollectionEngine::ParseSina(const std::string& url, const std::string& id, int index)
{
    StartWorker<TSinaPageParse>(url, id, index, &CollectionEngine::GetSinaUrl);
}

void CollectionEngine::Get56Url(const std::string& Html, const std::string& Url, const std::string& Caption,
                          const std::string&, int, TPageParse&)
{
    AppendCutRow([&] { return ItemRow(Caption, Cut56Url(Html), std::string(), Url); });
}

void CollectionEngine::GetTudouUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                             const std::string&, int, TPageParse&)
{
    AppendCutRow([&] { return ItemRow(Caption, CutTudouUrl(Html), std::string(), Url); });
}

void CollectionEngine::GetYoukuUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                             const std::string&, int, TPageParse&)
{
    AppendCutRow([&] { return ItemRow(Caption, CutYoukuUrl(Html), std::string(), Url); });
}

void CollectionEngine::Get6JFUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                           const std::string&, int, TPageParse&)
{
    if (!Caption.empty()) {
        AppendCutRow([&] { return ItemRow(Caption, Html, std::string(), Url); });
        return;
    }
    // No readable title in the text: the page's elements may still hold the video.
    const int index = AddRow(RowFields{});
    if (index < 0)
        return;
    try {
        TParseData data;
        data.Site = "6";
        data.Kind = 1;
        const QPointer<CollectionEngine> alive(this);
        RunSimpleParser(Url, data, false);
        if (!alive)
            return;  // closed while the page loaded: nothing left to write into
        m_data.Update(index, ItemRow(gbk::FromUnicode(data.Caption), gbk::FromUnicode(data.Url), std::string(), Url));
    } catch (...) {
        // The row keeps what it had; the collection goes on.
    }
}

void CollectionEngine::GetOuouUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                            const std::string&, int, TPageParse&)
{
    AppendCutRow([&] { return ItemRow(Caption, CutOuouUrl(Html), std::string(), Url); });
}

void CollectionEngine::GetSinaUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                            const std::string& Date, int, TPageParse&)
{
    AppendCutRow([&] { return ItemRow(Caption, CutSinaUrl(Html), Date, Url); });
}
