#include "rssparse.h"

#include "feedscan.h"

void TTudouRssParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    ScanTudouFeed(page, [this](const ScannedItem& item) {
        ItemCaption = item.caption;
        ItemLink = item.link;
        ItemData = item.data;
        ItemDate = item.date;
        ++ItemCount;
        Synchronize([this] { CallGetUrl(); });
    });
}

void TYoukuRssParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    ScanYoukuFeed(page, [this](const ScannedItem& item) {
        ItemCaption = item.caption;
        ItemLink = item.link;
        ItemData = item.data;
        ItemDate = item.date;
        ++ItemCount;
        Synchronize([this] { CallGetUrl(); });
    });
}
