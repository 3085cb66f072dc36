#include "collect/addressrules.h"

#include "host/core/gbk.h"

namespace quib::collect {

namespace {

constexpr std::size_t kMaxIdChars = 50;

// The up to 50 characters after the first `marker`; two-byte characters count once.
std::string_view PieceAfter(std::string_view address, std::string_view marker)
{
    const std::size_t at = address.find(marker);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = address.substr(at + marker.size());
    std::size_t bytes = 0;
    for (std::size_t chars = 0; chars < kMaxIdChars && bytes < rest.size(); ++chars)
        bytes += gbk::CharBytes(rest, bytes);
    return rest.substr(0, bytes);
}

}  // namespace

std::string CutAfter(std::string_view address, std::string_view marker, std::initializer_list<std::string_view> ends)
{
    const std::string_view piece = PieceAfter(address, marker);
    for (std::string_view end : ends) {
        const std::size_t at = piece.find(end);
        if (at != std::string_view::npos)
            return std::string(piece.substr(0, at));
    }
    return std::string(piece);
}

}  // namespace quib::collect
