#include "collect/xunleiscan.h"

#include "host/core/gbk.h"

namespace quib::collect {

namespace {

constexpr std::string_view kClose = "</";
constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

}  // namespace

void ScanXunleiMovie(std::string_view document, const ItemSink& sink)
{
    ForEachSection(document, "<album>", [&sink](TextCursor& album) {
        ScannedItem out;
        if (!ReadSectionTitle(album, out, "<ID>"))
            return;
        album.SkipPast("<ID>");
        out.link = Trim(album.TextBefore(kClose));
        sink(out);
    });
}

void ScanXunleiAlbum(std::string_view document, const ItemSink& sink)
{
    ForEachSection(document, "<file>", [&sink](TextCursor& file) {
        ScannedItem out;
        if (!ReadSectionTitle(file, out, "<source>"))
            return;
        file.SkipPast("<source>");
        out.data = Trim(gbk::FromUtf8(file.TextBefore(kClose)));
        sink(out);
    });
}

std::string XunleiSourceAddress(std::string_view source)
{
    std::string address;
    while (!source.empty()) {
        const std::size_t open = source.find(kCdataOpen);
        address += source.substr(0, open);
        if (open == std::string_view::npos)
            break;
        source.remove_prefix(open + kCdataOpen.size());
        const std::size_t close = source.find(kCdataClose);
        address += source.substr(0, close);
        source.remove_prefix(close == std::string_view::npos ? source.size() : close + kCdataClose.size());
    }
    return address;
}

}  // namespace quib::collect
