#include "sinapageparse.h"

#include "addressrules.h"
#include "gbk.h"
#include "gbktextcursor.h"
#include "textcursor.h"

namespace {

// Where a marker lies, counted from 1; 0 when it is absent.
std::size_t PlaceOf(std::size_t offset) { return offset == std::string_view::npos ? 0 : offset + 1; }

}  // namespace

void TSinaPageParse::ParseHTMLDocument(const std::string& page)
{
    static const std::string kUploaded = gbk::FromUtf8("上传时间："), kNext = gbk::FromUtf8("下一页&gt;&gt;</a>");
    const std::string_view kItem = "name=\"playlist\"", kHref = "href=\"", kQuote = "\"", kTitle = "title=\"",
                           kBreak = "<br>", kListEnd = "id=\"sa\" ";

    ItemCount = 0;
    // Scanned character by character, not byte by byte: a marker never matches from the middle
    // of a Chinese character.
    GbkTextCursor rest(std::string_view{page});
    // The next page is known from the pager alone, whether this page holds items or not.
    if (rest.Contains(kNext)) {
        Url = FirstAddress(Starter::SinaByWeb, Id, Index + 2, 0);
        ++Index;
    } else {
        Url.clear();
    }

    while (rest.Contains(kItem)) {
        if (StopRequestedNow()) {
            Url.clear();
            return;
        }
        rest.SkipPast(kItem);
        rest.SkipPast(kHref);
        ++ItemCount;
        // The fields are cut only for an item that is reported.
        if (OnGetUrl) {
            ItemLink = rest.FieldBefore(kQuote);
            ItemData = ItemLink;
            rest.SkipPast(kTitle);
            ItemCaption = rest.TrimmedFieldBefore(kQuote);
            rest.SkipPast(kUploaded);
            ItemDate = rest.TrimmedFieldBefore(kBreak);
            HandOverItem();
        }
        // The list ends with the block marked by kListEnd; items behind it belong elsewhere.
        if (PlaceOf(rest.Find(kListEnd)) < PlaceOf(rest.Find(kItem)))
            break;
    }
}
