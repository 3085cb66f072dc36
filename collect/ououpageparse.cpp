#include "collect/ououpageparse.h"

#include "host/core/gbk.h"
#include "collect/textcursor.h"

namespace quib::collect {
std::optional<std::string> TOuouPageParse::PageAddress(int index) const
{
    return BaseUrl + std::to_string(index + 1) + ".html";
}

void TOuouPageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kItem = "<li class=\"spename\"><a href=\"", kQuote = "\"", kTagEnd = ">", kLinkEnd = "</a>";

    // The page is UTF-8 and the markers are ASCII, which never match inside a character: the
    // page is scanned as it came and only the fields cut out are converted.
    TextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(rest, kItem, [&](TextCursor& item) {
        ItemLink = gbk::FromUtf8(item.FieldBefore(kQuote));
        ItemData = ItemLink;
        item.SkipPast(kTagEnd);
        ItemCaption = gbk::FromUtf8(item.TrimmedFieldBefore(kLinkEnd));
        ItemDate.clear();
        return true;
    });
    if (!goesOn)
        return;

    const std::string next = std::to_string(Index + 2);
    if (rest.Contains("/" + next + ".html\" class=\"font_cn\">" + next + "</a>")) {
        Url = *PageAddress(Index + 1);
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
