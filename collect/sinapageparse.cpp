#include "collect/sinapageparse.h"

#include "collect/addressrules.h"
#include "host/core/gbk.h"
#include "collect/gbktextcursor.h"
#include "collect/textcursor.h"

#include <algorithm>

namespace quib::collect {

namespace {

// Where a marker lies, counted from 1; 0 when it is absent.
std::size_t PlaceOf(std::size_t offset) { return offset == std::string_view::npos ? 0 : offset + 1; }

// The page up to the cursor, with room for a marker that begins before it and ends after it.
std::string_view PagePast(std::string_view page, const GbkTextCursor& rest, std::string_view marker)
{
    const std::size_t cursor = page.size() - rest.Rest().size();
    return page.substr(0, std::min(page.size(), cursor + marker.size() - 1));
}

}  // namespace

std::optional<std::string> TSinaPageParse::PageAddress(int index) const
{
    return FirstAddress(Starter::SinaByWeb, Id, index + 1, 0);
}

void TSinaPageParse::ParseHTMLDocument(const std::string& page)
{
    static const std::string kUploaded = gbk::FromUtf8("上传时间："), kNext = gbk::FromUtf8("下一页&gt;&gt;</a>");
    const std::string_view kItem = "name=\"playlist\"", kHref = "href=\"", kQuote = "\"", kTitle = "title=\"",
                           kBreak = "<br>", kListEnd = "id=\"sa\" ";

    // Scanned character by character, not byte by byte: a marker never matches from the middle
    // of a Chinese character.
    GbkTextCursor rest(std::string_view{page});
    const bool goesOn = ScanItems(
        rest, kItem, kHref,
        [&](GbkTextCursor& item) {
            ItemLink = item.FieldBefore(kQuote);
            ItemData = ItemLink;
            item.SkipPast(kTitle);
            ItemCaption = item.TrimmedFieldBefore(kQuote);
            item.SkipPast(kUploaded);
            ItemDate = item.TrimmedFieldBefore(kBreak);
            return true;
        },
        // The list ends with the block marked by kListEnd; items behind it belong elsewhere.
        [&](const GbkTextCursor& after) { return PlaceOf(after.Find(kListEnd)) >= PlaceOf(after.Find(kItem)); });
    if (!goesOn)
        return;

    // The next page is known from the pager anywhere in the page, whether it held items or not. The
    // pager closes the list, so it is looked for behind the items first, and the text before them is
    // read again only when it is not there.
    if (rest.Contains(kNext) || GbkTextCursor(PagePast(page, rest, kNext)).Contains(kNext)) {
        Url = *PageAddress(Index + 1);
        ++Index;
    } else {
        Url.clear();
    }
}

}  // namespace quib::collect
