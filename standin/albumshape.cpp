#include "standin/albumshape.h"

#include <charconv>

namespace quib::standin {

namespace {

std::optional<int> WholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<AlbumShape> ParseAlbumShape(std::string_view id)
{
    const auto x = id.find('x');
    if (x == std::string_view::npos)
        return std::nullopt;
    const auto pages = WholeNumber(id.substr(0, x));
    const auto items = WholeNumber(id.substr(x + 1));
    if (!pages || !items || *pages < 1 || *pages > kMaxAlbumPages || *items < 1 || *items > kMaxItemsPerPage)
        return std::nullopt;
    return AlbumShape{*pages, *items};
}

std::optional<AlbumPage> PageOf(const AlbumShape& shape, int page)
{
    if (page < 1 || page > shape.pages)
        return std::nullopt;
    const int first = (page - 1) * shape.itemsPerPage + 1;
    return AlbumPage{page, shape.pages, first, first + shape.itemsPerPage - 1};
}

}  // namespace quib::standin
