#include "ououpageparse.h"

#include "gbk.h"
#include "textcursor.h"

void TOuouPageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<li class=\"spename\"><a href=\"", kQuote = "\"", kTagEnd = ">",
                           kLinkEnd = "</a>";

    ItemCount = 0;
    // The page is UTF-8 and the markers are ASCII, which never match inside a character: the
    // page is scanned as it came and only the fields cut out are converted.
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
        ItemLink = gbk::FromUtf8(rest.FieldBefore(kQuote));
        ItemData = ItemLink;
        rest.SkipPast(kTagEnd);
        ItemCaption = gbk::FromUtf8(rest.TrimmedFieldBefore(kLinkEnd));
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
