#pragma once
// The scanning primitives of the site parsers: one text, consumed from the front. The cursor
// only moves forward over the text it was given and remembers, per marker, where it found it
// (or that it is absent from there on): asking for the same marker again never searches the
// same text twice, so a page costs time linear in its size, whatever its shape, and is never
// copied while it is scanned.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quib::collect {

// The first place at or after from where marker occurs in text, npos when it does not. Pages are
// mostly markup, so a marker's first byte ('<', '"', a letter) occurs every few bytes: instead of
// stopping at each, sixteen places at a time are tested for the marker's first and last bytes,
// and only the few that have both are compared in full.
inline std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t from)
{
    const std::size_t n = marker.size();
    if (from > text.size() || text.size() - from < n)
        return std::string_view::npos;
    if (n < 2)
        return text.find(marker, from);
    const char* const s = text.data();
    const std::size_t end = text.size() - n + 1;  // one past the last place a match can start
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(marker[0]);
    const __m128i last = _mm_set1_epi8(marker[n - 1]);
    for (; i + 16 <= end; i += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + n - 1));
        auto both = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        while (both != 0) {
            const auto bit = static_cast<std::size_t>(__builtin_ctz(both));
            if (std::memcmp(s + i + bit + 1, marker.data() + 1, n - 2) == 0)
                return i + bit;
            both &= both - 1;
        }
    }
#endif
    for (; i < end; ++i)
        if (s[i] == marker[0] && s[i + n - 1] == marker[n - 1] && std::memcmp(s + i + 1, marker.data() + 1, n - 2) == 0)
            return i;
    return std::string_view::npos;
}

// Where each marker was last found; shared by the plain and the GBK cursor. A marker's place
// is valid while the cursor has not passed it.
class MarkerPlaces {
public:
    static constexpr std::size_t kAbsent = std::string_view::npos;

    // The remembered absolute place of marker at or after pos, or nullptr when it must be
    // searched (then Remember it).
    const std::size_t* Known(std::string_view marker, std::size_t pos) const
    {
        for (const Place& place : m_places) {
            // Markers are mostly the same constants asked for again: their address says it.
            if (place.marker.size() != marker.size() ||
                (place.asked != marker.data() && std::memcmp(place.marker.data(), marker.data(), marker.size()) != 0))
                continue;
            // Absent from an earlier place on means absent from here on too.
            return place.at == kAbsent || place.at >= pos ? &place.at : nullptr;
        }
        return nullptr;
    }
    void Remember(std::string_view marker, std::size_t at)
    {
        for (Place& place : m_places)
            if (place.marker == marker) {
                place.at = at;
                return;
            }
        m_places.push_back(Place{std::string(marker), marker.data(), at});
    }

private:
    struct Place {
        std::string marker;
        const char* asked;  // where the marker was first asked for from
        std::size_t at;
    };
    std::vector<Place> m_places;
};

// A field cut from a page holds at most this many bytes. The largest row field holds 255 (512
// bytes of UTF-8 still give more once converted to GBK); an end marker far away, or a missing
// one followed by a distant one, must not make every item copy the rest of the page.
inline constexpr std::size_t kFieldBytes = 512;

// Drops blanks and control characters (codes up to 32) at both ends.
inline std::string_view TrimView(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return text.substr(first, last - first);
}

inline std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

// The first kFieldBytes of text, or, trimmed, the first kFieldBytes from its first non-blank
// byte on, trimmed again: what Trim(text) would give, up to the field limit.
inline std::string_view FieldOf(std::string_view text) { return text.substr(0, kFieldBytes); }
inline std::string_view TrimmedFieldOf(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    return TrimView(text.substr(first, kFieldBytes));
}

class TextCursor {
public:
    // Scans text where it lies: the caller keeps it alive while the cursor is used.
    explicit TextCursor(std::string_view text) : m_text(text) {}
    explicit TextCursor(const char* text) : m_text(text) {}
    // Scans a text of its own.
    explicit TextCursor(std::string&& text) : m_owned(std::move(text)), m_text(m_owned) {}
    TextCursor(const TextCursor&) = delete;
    TextCursor& operator=(const TextCursor&) = delete;

    // The rest of the text, from the cursor on.
    std::string_view Rest() const { return m_text.substr(m_pos); }
    bool Contains(std::string_view marker) const { return Find(marker) != std::string_view::npos; }
    // Offset of marker within the rest, npos when absent.
    std::size_t Find(std::string_view marker) const
    {
        const std::size_t* known = m_places.Known(marker, m_pos);
        std::size_t at;
        if (known) {
            at = *known;
        } else {
            at = FindMarker(m_text, marker, m_pos);
            m_places.Remember(marker, at);
        }
        return at == std::string_view::npos ? at : at - m_pos;
    }

    // Deletes everything up to and including the first marker. A missing marker empties the
    // rest: nothing behind it can then be mistaken for what followed the marker.
    bool SkipPast(std::string_view marker)
    {
        const std::size_t at = Find(marker);
        if (at == std::string_view::npos) {
            m_pos = m_text.size();
            return false;
        }
        m_pos += at + marker.size();
        return true;
    }

    // The text up to, not including, the first end; empty when end does not occur.
    std::string TextBefore(std::string_view end) const { return std::string(ViewBefore(end)); }
    std::string_view ViewBefore(std::string_view end) const
    {
        const std::size_t at = Find(end);
        return at == std::string_view::npos ? std::string_view() : Rest().substr(0, at);
    }
    // TextBefore cut to a field's size, and Trim(TextBefore) likewise.
    std::string FieldBefore(std::string_view end) const { return std::string(FieldOf(ViewBefore(end))); }
    std::string TrimmedFieldBefore(std::string_view end) const { return std::string(TrimmedFieldOf(ViewBefore(end))); }

    // The first count bytes of the rest (fewer at the end).
    std::string Take(std::size_t count) const { return std::string(Rest().substr(0, count)); }

    bool AtEnd() const { return m_pos >= m_text.size(); }

private:
    std::string m_owned;
    std::string_view m_text;
    std::size_t m_pos = 0;
    mutable MarkerPlaces m_places;
};

}  // namespace quib::collect
