// Feed collection: the fast mode's launchers and the rows their items become.
#include "collectionengine.h"
#include "feeddates.h"
#include "rssparse.h"

void CollectionEngine::ParseTudouRss(const std::string& url, const std::string& id, int index)
{
    StartWorker<TTudouRssParse>(url, id, index, &CollectionEngine::GetTudouRssUrl);
}

void CollectionEngine::ParseYoukuRss(const std::string& url, const std::string& id, int index)
{
    StartWorker<TYoukuRssParse>(url, id, index, &CollectionEngine::GetYoukuRssUrl);
}

void CollectionEngine::GetTudouRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                                const std::string& Date, int, TPageParse&)
{
    AddRow(RowFields{Caption, Html, TudouFeedDate(Date), Url, true});
}

void CollectionEngine::GetYoukuRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                                const std::string& Date, int, TPageParse&)
{
    AddRow(RowFields{Caption, Html, YoukuFeedDate(Date), Url, true});
}
