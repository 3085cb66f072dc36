#include "collect/youkupageparse.h"

#include "collect/addressrules.h"
#include "host/core/gbk.h"
#include "collect/statedpages.h"
#include "collect/textcursor.h"

namespace quib::collect {
std::optional<std::string> TYoukuPageParse::PageAddress(int index) const
{
    return FirstAddress(Starter::YoukuByWeb, Id, index + 1, 0);
}

// Pages are numbered from 1, indexes from 0.
std::optional<int> TYoukuPageParse::StatedLastIndex(const std::string& page) const
{
    const std::optional<int> pages = StatedPageCount(page, "共", "页");
    return pages ? std::optional<int>(*pages - 1) : std::nullopt;
}

void TYoukuPageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<li class=\"videoImg\"><a href=\"", kQuote = "\"", kTitle = "alt=\"",
                           kBlock = "<ul class=\"video\">";

    // The page is UTF-8 and the markers are ASCII, which never match inside a character: the
    // page is scanned as it came and only the fields cut out are converted.
    TextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(
        rest, kItem, {},
        [&](TextCursor& item) {
            ItemLink = gbk::FromUtf8(item.FieldBefore(kQuote));
            std::vector<std::string> upcoming;
            for (TextCursor ahead(item.Rest()); upcoming.size() < ItemPagesAhead() && ahead.SkipPast(kItem);)
                upcoming.push_back(gbk::FromUtf8(ahead.FieldBefore(kQuote)));
            const auto itemPage = ItemPage(ItemLink, upcoming);
            if (!itemPage)
                return false;
            ItemData = *itemPage;
            item.SkipPast(kTitle);
            ItemCaption = gbk::FromUtf8(item.TrimmedFieldBefore(kQuote));
            ItemDate.clear();
            return true;
        },
        // Each video of the list opens a block of its own; what follows the last block is
        // not part of the list.
        [&](const TextCursor& after) { return after.Contains(kBlock); });
    if (!goesOn)
        return;

    const int next = Index + 2;
    if (rest.Contains("playlist_show/id_" + Id + "_orderby_9_page_" + std::to_string(next) + ".html")) {
        Url = *PageAddress(Index + 1);
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
