#include "tudoupageparse.h"

#include "addressrules.h"
#include "gbk.h"
#include "sitehosts.h"
#include "textcursor.h"

void TTudouPageParse::ParseHTMLDocument(const std::string& page)
{
    static const std::string kItem = gbk::FromUtf8("<li>视频：<a href=\"");
    const std::string_view kQuote = "\"", kTagEnd = ">", kLinkEnd = "</a>";

    ItemCount = 0;
    TextCursor rest(page);
    while (rest.Contains(kItem)) {
        if (StopRequestedNow()) {
            Url.clear();
            return;
        }
        rest.SkipPast(kItem);
        ItemLink = std::string(sitehosts::kTudouRoot) + rest.TextBefore(kQuote);
        ++ItemCount;
        if (!OnGetUrl)
            continue;
        ItemData = ItemLink;
        rest.SkipPast(kTagEnd);
        ItemCaption = Trim(rest.TextBefore(kLinkEnd));
        ItemDate.clear();
        HandOverItem();
    }

    const int next = Index + 2;
    if (rest.Contains("<li><a href=\"javascript://\">" + std::to_string(next) + "</a></li>")) {
        Url = FirstAddress(Starter::TudouByWeb, Id, next, 0);
        ++Index;
    } else {
        Url.clear();
    }
}
