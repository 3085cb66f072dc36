// Feed collection on the form: the fast mode's launchers and the rows their items become.
#include "feeddates.h"
#include "parse.h"
#include "rssparse.h"

void TParseForm::ParseTudouRss(const std::string& url, const std::string& id, int index)
{
    StartWorker<TTudouRssParse>(url, id, index, &TParseForm::GetTudouRssUrl);
}

void TParseForm::ParseYoukuRss(const std::string& url, const std::string& id, int index)
{
    StartWorker<TYoukuRssParse>(url, id, index, &TParseForm::GetYoukuRssUrl);
}

void TParseForm::GetTudouRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                                const std::string& Date, int, TPageParse&)
{
    AppendRow(RowFields{Caption, Html, TudouFeedDate(Date), Url, true});
}

void TParseForm::GetYoukuRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                                const std::string& Date, int, TPageParse&)
{
    AppendRow(RowFields{Caption, Html, YoukuFeedDate(Date), Url, true});
}
