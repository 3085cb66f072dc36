#include "collect/sinapageparse.h"

#include "collect/addressrules.h"
#include "host/framework/gbk.h"
#include "collect/gbktextcursor.h"
#include "collect/textcursor.h"

namespace {

// Where a marker lies, counted from 1; 0 when it is absent.
std::size_t PlaceOf(std::size_t offset) { return offset == std::string_view::npos ? 0 : offset + 1; }

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
    // The next page is known from the pager alone, whether this page holds items or not.
    if (rest.Contains(kNext)) {
        Url = *PageAddress(Index + 1);
        ++Index;
    } else {
        Url.clear();
    }

    ScanItems(
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
}
