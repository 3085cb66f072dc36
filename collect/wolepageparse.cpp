#include "wolepageparse.h"

#include "itempagefetch.h"
#include "textcursor.h"

void T56PageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<p class=\"videoTitle\"><a href=\"", kQuote = "\"", kTitle = "title=\"";

    ItemCount = 0;
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
        ItemLink = BaseUrl + rest.FieldBefore(kQuote);
        const auto itemPage = FetchItemPage(*DetailConnection, ItemLink, kFetchLimit, *this);
        if (!itemPage) {
            Url.clear();
            return;
        }
        ItemData = *itemPage;
        rest.SkipPast(kTitle);
        ItemCaption = rest.FieldBefore(kQuote);
        ItemDate.clear();
        HandOverItem();
    }

    const std::string next = "album-p-" + std::to_string(Index + 2) + "_aid-" + Id + ".html";
    if (rest.Contains(next)) {
        Url = BaseUrl + next;
        ++Index;
    } else {
        Url.clear();
    }
}
