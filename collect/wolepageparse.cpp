#include "collect/wolepageparse.h"

#include "collect/itempagefetch.h"
#include "collect/textcursor.h"

namespace quib::collect {

void TWolePageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<p class=\"videoTitle\"><a href=\"", kQuote = "\"", kTitle = "title=\"";

    TextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(rest, kItem, [&](TextCursor& item) {
        ItemLink = BaseUrl + item.FieldBefore(kQuote);
        const auto itemPage = FetchItemPage(*DetailConnection, ItemLink, kFetchLimit, *this);
        if (!itemPage)
            return false;
        ItemData = *itemPage;
        item.SkipPast(kTitle);
        ItemCaption = item.FieldBefore(kQuote);
        ItemDate.clear();
        return true;
    });
    if (!goesOn)
        return;

    const std::string next = "album-p-" + std::to_string(Index + 2) + "_aid-" + Id + ".html";
    if (rest.Contains(next)) {
        Url = BaseUrl + next;
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
