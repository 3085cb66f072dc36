#include "collect/wolepageparse.h"

#include "collect/textcursor.h"

namespace quib::collect {
std::string TWolePageParse::PageName(int index) const
{
    return "album-p-" + std::to_string(index + 1) + "_aid-" + Id + ".html";
}

// The album's pages lie in the folder of its first, whichever the draw picked.
std::optional<std::string> TWolePageParse::PageAddress(int index) const { return BaseUrl + PageName(index); }

void TWolePageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<p class=\"videoTitle\"><a href=\"", kQuote = "\"", kTitle = "title=\"";

    TextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(rest, kItem, [&](TextCursor& item) {
        ItemLink = BaseUrl + item.FieldBefore(kQuote);
        std::vector<std::string> upcoming;
        for (TextCursor ahead(item.Rest()); upcoming.size() < ItemPagesAhead() && ahead.SkipPast(kItem);)
            upcoming.push_back(BaseUrl + ahead.FieldBefore(kQuote));
        const auto itemPage = ItemPage(ItemLink, upcoming);
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

    const std::string next = PageName(Index + 1);
    if (rest.Contains(next)) {
        Url = BaseUrl + next;
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
