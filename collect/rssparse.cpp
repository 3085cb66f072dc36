#include "collect/rssparse.h"

#include "collect/feedscan.h"

namespace quib::collect {

void TTudouRssParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    KeepWholeList = true;
    ScanTudouFeed(page, [this](const ScannedItem& item) { ReportItem(item.caption, item.link, item.data, item.date); });
}

void TYoukuRssParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    KeepWholeList = true;
    ScanYoukuFeed(page, [this](const ScannedItem& item) { ReportItem(item.caption, item.link, item.data, item.date); });
}

}  // namespace quib::collect
