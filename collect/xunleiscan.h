#pragma once
// What the Xunlei data service's documents hold: a movie document lists the movie's albums
// (releases or sources), an album document its files. Both are read as received; titles and
// sources are UTF-8 and are turned into GBK.
#include "collect/sectionscan.h"

#include <string>
#include <string_view>

namespace quib::collect {

// caption = the album's title, link = its ID.
void ScanXunleiMovie(std::string_view document, const ItemSink& sink);
// caption = the file's title, data = its source.
void ScanXunleiAlbum(std::string_view document, const ItemSink& sink);

// A source may come wrapped in a CDATA section; the row holds the bare address. Text outside a
// section is kept as it is, and a section without its closing "]]>" runs to the end.
std::string XunleiSourceAddress(std::string_view source);

}  // namespace quib::collect
