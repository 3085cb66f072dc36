#include "xunleiparse.h"

#include "xunleiscan.h"

void TXunleiMovieParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    ScanXunleiMovie(page, [this](const ScannedItem& album) {
        ItemCaption = album.caption;
        ItemLink = album.link;
        ++ItemCount;
        Synchronize([this] { CallGetUrl(); });
    });
}

void TXunleiAlbumListParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();
    if (!OnGetUrl)
        return;
    ScanXunleiAlbum(page, [this](const ScannedItem& file) {
        ItemCaption = file.caption;
        ItemData = file.data;
        ++ItemCount;
        Synchronize([this] { CallGetUrl(); });
    });
}
