#pragma once
// A text cursor over GBK text that matches markers as whole characters, the way a search in
// the decoded (wide) text would: a match that would begin on the second byte of a two-byte
// character is no match. Like TextCursor it only moves forward.
//
// Positions found are remembered per marker while the cursor has not passed them, so asking
// again and again where a far marker lies (the Sina list asks before every item) stays linear
// in the page size.
#include <string>
#include <string_view>
#include <vector>

class GbkTextCursor {
public:
    explicit GbkTextCursor(std::string text);

    std::string_view Rest() const { return std::string_view(text_).substr(pos_); }
    bool Contains(std::string_view marker) const { return Find(marker) != std::string_view::npos; }
    // Offset of the first whole-character match within the rest, npos when there is none.
    std::size_t Find(std::string_view marker) const;

    // Deletes everything up to and including the first marker; a missing marker empties the
    // rest, as TextCursor does.
    bool SkipPast(std::string_view marker);
    // The text up to, not including, the first end; empty when end does not occur.
    std::string TextBefore(std::string_view end) const;

private:
    std::size_t FindFrom(std::string_view marker, std::size_t from) const;
    bool StartsCharacter(std::size_t at) const;

    struct Found {
        std::string marker;
        std::size_t at;  // absolute; npos: absent from here on
    };

    std::string text_;
    std::size_t pos_ = 0;
    mutable std::vector<Found> found_;
    // Second bytes of two-byte characters, learnt by walking the text forward only as far as a
    // check needs; walked_ is the first character start not yet walked.
    mutable std::vector<bool> trails_;
    mutable std::size_t walked_ = 0;
};
