#pragma once
// Albums of any size, generated on request: the requested ID says how big the album is, in the
// form "<pages>x<items>" (pages of items each; "3x5" is 15 items on 3 pages). The sites turn a
// page of it into their own markup.
#include <optional>
#include <string_view>

namespace quib::standin {

struct AlbumShape {
    int pages = 0;
    int itemsPerPage = 0;
    int ItemCount() const { return pages * itemsPerPage; }
};

struct AlbumPage {
    int page = 0;  // 1-based
    int pages = 0;
    int firstItem = 0;  // 1-based number of the page's first item, counted over the whole album
    int lastItem = 0;   // inclusive
    bool HasNext() const { return page < pages; }
};

// Generous, but small enough that no request can make a page unreasonably large.
inline constexpr int kMaxAlbumPages = 10000;
inline constexpr int kMaxItemsPerPage = 10000;

// Reads "<pages>x<items>"; nothing for any other ID or for sizes out of 1..the maxima.
std::optional<AlbumShape> ParseAlbumShape(std::string_view id);
// The items on one page; nothing when the page lies outside the album.
std::optional<AlbumPage> PageOf(const AlbumShape& shape, int page);

}  // namespace quib::standin
