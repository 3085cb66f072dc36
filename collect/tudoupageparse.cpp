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
    // Scanned where it lies; each marker is searched once per place (see TextCursor).
    TextCursor rest(std::string_view{page});
    while (rest.Contains(kItem)) {
        if (StopRequestedNow()) {
            Url.clear();
            return;
        }
        rest.SkipPast(kItem);
        ++ItemCount;
        // The fields are cut only for an item that is reported.
        if (!OnGetUrl)
            continue;
        ItemLink = std::string(sitehosts::kTudouRoot) + rest.FieldBefore(kQuote);
        ItemData = ItemLink;
        rest.SkipPast(kTagEnd);
        ItemCaption = rest.TrimmedFieldBefore(kLinkEnd);
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
