#pragma once
// A text cursor over GBK text that matches markers as whole characters, the way a search in
// the decoded (wide) text would: a match that would begin on the second byte of a two-byte
// character is no match. Like TextCursor it only moves forward, remembers where each marker
// lies while the cursor has not passed it, and scans the text where it lies.
//
// A match is checked by stepping back to the nearest byte below 0x40 (no such byte is part of a
// two-byte character, so the next one starts a character) and reading characters forward from
// there. Each marker also remembers the last character start it has read up to, and never steps
// back behind it: a page of nothing but Chinese text costs no more than one with markup.
#include "collect/textcursor.h"

#include <string>
#include <string_view>
#include <vector>

namespace quib::collect {

class GbkTextCursor {
public:
    explicit GbkTextCursor(std::string_view text) : m_text(text) {}
    explicit GbkTextCursor(const char* text) : m_text(text) {}
    explicit GbkTextCursor(std::string&& text) : m_owned(std::move(text)), m_text(m_owned) {}
    GbkTextCursor(const GbkTextCursor&) = delete;
    GbkTextCursor& operator=(const GbkTextCursor&) = delete;

    std::string_view Rest() const { return m_text.substr(m_pos); }
    bool Contains(std::string_view marker) const { return Find(marker) != std::string_view::npos; }
    // Offset of the first whole-character match within the rest, npos when there is none.
    std::size_t Find(std::string_view marker) const;

    // Deletes everything up to and including the first marker; a missing marker empties the
    // rest, as TextCursor does.
    bool SkipPast(std::string_view marker);
    // The text up to, not including, the first end; empty when end does not occur.
    std::string TextBefore(std::string_view end) const { return std::string(ViewBefore(end)); }
    std::string_view ViewBefore(std::string_view end) const;
    // TextBefore cut to a field's size, and Trim(TextBefore) likewise.
    std::string FieldBefore(std::string_view end) const { return std::string(FieldOf(ViewBefore(end))); }
    std::string TrimmedFieldBefore(std::string_view end) const { return std::string(TrimmedFieldOf(ViewBefore(end))); }

private:
    struct Place {
        std::string marker;
        const char* asked;     // where the marker was first asked for from
        std::size_t at;        // absolute; npos: absent from here on
        std::size_t frontier;  // a character start this marker's checks have read up to
        bool endsOnCharacter;  // what follows a match starts a character
    };
    Place& PlaceOf(std::string_view marker) const;
    std::size_t FindAt(Place& place) const;
    std::size_t FindFrom(Place& place, std::size_t from) const;
    bool StartsCharacter(Place& place, std::size_t at) const;

    std::string m_owned;
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_start = 0;  // the first character start at or after m_pos
    mutable std::vector<Place> m_places;
};

}  // namespace quib::collect
