#include "ououpageparse.h"

#include "gbk.h"
#include "textcursor.h"

void TOuouPageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<li class=\"spename\"><a href=\"", kQuote = "\"", kTagEnd = ">",
                           kLinkEnd = "</a>";

    ItemCount = 0;
    TextCursor rest(gbk::FromUtf8(page));
    while (rest.Contains(kItem)) {
        if (StopRequestedNow()) {
            Url.clear();
            return;
        }
        rest.SkipPast(kItem);
        ItemLink = rest.TextBefore(kQuote);
        ItemData = ItemLink;
        ++ItemCount;
        if (!OnGetUrl)
            continue;
        rest.SkipPast(kTagEnd);
        ItemCaption = Trim(rest.TextBefore(kLinkEnd));
        ItemDate.clear();
        HandOverItem();
    }

    const std::string next = std::to_string(Index + 2);
    if (rest.Contains("/" + next + ".html\" class=\"font_cn\">" + next + "</a>")) {
        Url = BaseUrl + next + ".html";
        ++Index;
    } else {
        Url.clear();
    }
}
