#include "collect/gbktextcursor.h"

#include <algorithm>
#include <cstring>

namespace quib::collect {

namespace {

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// Bytes of the character at pos, as a GBK decoder reads them: a lead byte pairs only with a
// valid trail byte; anything else stands alone.
std::size_t CharWidth(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    return pos + 1 < text.size() && IsLead(byte(pos)) && IsTrail(byte(pos + 1)) ? 2 : 1;
}

// True when a marker that starts a character also ends at a character's end, so the text after a
// match starts a character: false when its last byte may pair with the byte that follows.
bool EndsOnCharacter(std::string_view marker)
{
    for (std::size_t pos = 0; pos < marker.size(); pos += CharWidth(marker, pos))
        if (pos + 1 == marker.size() && IsLead(static_cast<unsigned char>(marker[pos])))
            return false;
    return true;
}

}  // namespace

GbkTextCursor::Place& GbkTextCursor::PlaceOf(std::string_view marker) const
{
    // Markers are mostly the same constants asked for again: their address says it.
    for (Place& place : m_places)
        if (place.marker.size() == marker.size() &&
            (place.asked == marker.data() || std::memcmp(place.marker.data(), marker.data(), marker.size()) == 0))
            return place;
    m_places.push_back(Place{std::string(marker), marker.data(), std::string::npos, 0, EndsOnCharacter(marker)});
    Place& place = m_places.back();
    place.at = FindFrom(place, m_pos);
    return place;
}

std::size_t GbkTextCursor::Find(std::string_view marker) const { return FindAt(PlaceOf(marker)); }

std::size_t GbkTextCursor::FindAt(Place& place) const
{
    if (place.at != std::string::npos && place.at < m_pos)
        place.at = FindFrom(place, m_pos);
    return place.at == std::string::npos ? std::string_view::npos : place.at - m_pos;
}

bool GbkTextCursor::SkipPast(std::string_view marker)
{
    Place& place = PlaceOf(marker);
    const std::size_t at = FindAt(place);
    if (at == std::string_view::npos) {
        m_pos = m_start = m_text.size();
        return false;
    }
    m_start = m_pos + at;
    m_pos = m_start + marker.size();
    // A marker may end inside a character (its last byte a lead byte): the next character
    // start is then one further on.
    if (place.endsOnCharacter)
        m_start = m_pos;
    while (m_start < m_pos)
        m_start += CharWidth(m_text, m_start);
    return true;
}

std::string_view GbkTextCursor::ViewBefore(std::string_view end) const
{
    const std::size_t at = Find(end);
    return at == std::string_view::npos ? std::string_view() : Rest().substr(0, at);
}

std::size_t GbkTextCursor::FindFrom(Place& place, std::size_t from) const
{
    for (;;) {
        const std::size_t at = FindMarker(m_text, place.marker, from);
        if (at == std::string_view::npos || StartsCharacter(place, at))
            return at;
        from = at + 1;
    }
}

bool GbkTextCursor::StartsCharacter(Place& place, std::size_t at) const
{
    const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(m_text[i]); };
    // No byte below 0x40 is part of a two-byte character: most markers begin with one.
    if (byte(at) < 0x40)
        return true;
    // Between the cursor and the next character start lie only second bytes.
    if (at < m_start)
        return false;
    // A byte after one that cannot begin a character (a letter, a blank, a second byte) begins
    // one: only a lead byte before the candidate leaves it open.
    if (at == m_start || !IsLead(byte(at - 1)))
        return true;
    // m_start is a character start, and so is the frontier of this marker's checks; candidates
    // of one marker come in order, so neither lies behind at.
    std::size_t floor = std::max(m_start, place.frontier);
    if (floor > at)
        floor = m_start;
    std::size_t start = at;
    while (start > floor && byte(start - 1) >= 0x40)
        --start;
    while (start < at)
        start += CharWidth(m_text, start);
    place.frontier = start;
    return start == at;
}

}  // namespace quib::collect
