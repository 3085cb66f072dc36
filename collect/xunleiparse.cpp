#include "collect/xunleiparse.h"

#include "collect/xunleiscan.h"

namespace quib::collect {

void TXunleiMovieParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    KeepWholeList = true;
    ScanXunleiMovie(page, [this](const ScannedItem& album) { ReportItem(album.caption, album.link, {}, {}); });
}

void TXunleiAlbumListParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    KeepWholeList = true;
    ScanXunleiAlbum(page, [this](const ScannedItem& file) { ReportItem(file.caption, {}, file.data, {}); });
}

}  // namespace quib::collect
