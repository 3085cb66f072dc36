#include "collect/tudoupageparse.h"

#include "collect/addressrules.h"
#include "host/core/gbk.h"
#include "collect/sitehosts.h"
#include "collect/statedpages.h"
#include "collect/textcursor.h"

namespace quib::collect {
std::optional<std::string> TTudouPageParse::PageAddress(int index) const
{
    return FirstAddress(Starter::TudouByWeb, Id, index + 1, 0);
}

// Pages are numbered from 1, indexes from 0.
std::optional<int> TTudouPageParse::StatedLastIndex(const std::string& page) const
{
    static const std::string kBefore = gbk::FromUtf8("共"), kAfter = gbk::FromUtf8("页");
    const std::optional<int> pages = StatedPageCount(page, kBefore, kAfter);
    return pages ? std::optional<int>(*pages - 1) : std::nullopt;
}

void TTudouPageParse::ParseHTMLDocument(const std::string& page)
{
    static const std::string kItem = gbk::FromUtf8("<li>视频：<a href=\"");
    const std::string_view kQuote = "\"", kTagEnd = ">", kLinkEnd = "</a>";

    // Scanned where it lies; each marker is searched once per place (see TextCursor).
    TextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(rest, kItem, [&](TextCursor& item) {
        // The fields were moved on with the last item: each is built once, in a buffer of its size.
        const std::string_view path = FieldOf(item.ViewBefore(kQuote));
        ItemLink.reserve(sitehosts::kTudouRoot.size() + path.size());
        ItemLink.assign(sitehosts::kTudouRoot).append(path);
        ItemData = ItemLink;
        item.SkipPast(kTagEnd);
        ItemCaption.assign(TrimmedFieldOf(item.ViewBefore(kLinkEnd)));
        ItemDate.clear();
        return true;
    });
    if (!goesOn)
        return;

    const int next = Index + 2;
    if (rest.Contains("<li><a href=\"javascript://\">" + std::to_string(next) + "</a></li>")) {
        Url = *PageAddress(Index + 1);
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
