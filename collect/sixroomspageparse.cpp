#include "collect/sixroomspageparse.h"

#include "host/core/gbk.h"
#include "collect/sitehosts.h"
#include "collect/textcursor.h"

namespace quib::collect {
// Positions are numbered from 0, as the index is.
std::optional<std::string> TSixRoomsPageParse::PageAddress(int index) const
{
    return std::string(sitehosts::kSixRoomsRoot) + "/plist/" + Id + "/" + std::to_string(index) + ".html";
}

void TSixRoomsPageParse::ParseHTMLDocument(const std::string& page)
{
    const std::string_view kVideo = "pageMessage.evid = '", kVideoEnd = "'", kTitle = "<h4>", kTitleEnd = "</h4>";

    // One video per page: one stop check per page.
    if (StopRequestedNow()) {
        Url.clear();
        return;
    }
    ItemCount = 0;
    // UTF-8 scanned as it came (the markers are ASCII); only the fields are converted.
    TextCursor rest(std::string_view{page});
    // A page without a video past the last position ends the playlist; an empty page is a
    // position whose video the row callback reads again.
    if (!rest.Contains(kVideo) && !rest.AtEnd()) {
        Url.clear();
        return;
    }
    ItemLink = Url;
    rest.SkipPast(kTitle);
    ItemCaption = gbk::FromUtf8(rest.TrimmedFieldBefore(kTitleEnd));
    ItemDate.clear();
    rest.SkipPast(kVideo);
    ItemData = gbk::FromUtf8(rest.FieldBefore(kVideoEnd));
    Synchronize([this] { CallGetUrl(); });

    Url = *PageAddress(Index + 1);
    ++Index;
}

}  // namespace quib::collect
