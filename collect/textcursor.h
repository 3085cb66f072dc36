#pragma once
// The scanning primitives of the site parsers: one text, consumed from the front. The cursor
// only moves forward over the text it was given, so a page costs time linear in its size and is
// never copied again while it is scanned.
#include <string>
#include <string_view>

class TextCursor {
public:
    explicit TextCursor(std::string text) : text_(std::move(text)) {}

    // The rest of the text, from the cursor on.
    std::string_view Rest() const { return std::string_view(text_).substr(pos_); }
    bool Contains(std::string_view marker) const { return Find(marker) != std::string_view::npos; }
    // Offset of marker within the rest, npos when absent.
    std::size_t Find(std::string_view marker) const { return Rest().find(marker); }

    // Deletes everything up to and including the first marker. A missing marker empties the
    // rest: nothing behind it can then be mistaken for what followed the marker.
    bool SkipPast(std::string_view marker)
    {
        const std::size_t at = Find(marker);
        if (at == std::string_view::npos) {
            pos_ = text_.size();
            return false;
        }
        pos_ += at + marker.size();
        return true;
    }

    // The text up to, not including, the first end; empty when end does not occur.
    std::string TextBefore(std::string_view end) const
    {
        const std::size_t at = Find(end);
        return at == std::string_view::npos ? std::string() : std::string(Rest().substr(0, at));
    }

    // The first count bytes of the rest (fewer at the end).
    std::string Take(std::size_t count) const { return std::string(Rest().substr(0, count)); }

    bool AtEnd() const { return pos_ >= text_.size(); }

private:
    std::string text_;
    std::size_t pos_ = 0;
};

// Drops blanks and control characters (codes up to 32) at both ends.
inline std::string Trim(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return std::string(text.substr(first, last - first));
}
