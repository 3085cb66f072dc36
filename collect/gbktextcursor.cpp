#include "gbktextcursor.h"

namespace {

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// Bytes of the character at pos, as a GBK decoder reads them: a lead byte pairs only with a
// valid trail byte; anything else stands alone.
std::size_t CharWidth(const std::string& text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    return pos + 1 < text.size() && IsLead(byte(pos)) && IsTrail(byte(pos + 1)) ? 2 : 1;
}

}  // namespace

GbkTextCursor::GbkTextCursor(std::string text) : text_(std::move(text)) {}

std::size_t GbkTextCursor::Find(std::string_view marker) const
{
    for (Found& found : found_) {
        if (found.marker != marker)
            continue;
        if (found.at == std::string::npos)
            return std::string_view::npos;
        if (found.at < pos_)
            found.at = FindFrom(marker, pos_);
        return found.at == std::string::npos ? std::string_view::npos : found.at - pos_;
    }
    const std::size_t at = FindFrom(marker, pos_);
    found_.push_back(Found{std::string(marker), at});
    return at == std::string::npos ? std::string_view::npos : at - pos_;
}

bool GbkTextCursor::SkipPast(std::string_view marker)
{
    const std::size_t at = Find(marker);
    if (at == std::string_view::npos) {
        pos_ = text_.size();
        return false;
    }
    pos_ += at + marker.size();
    return true;
}

std::string GbkTextCursor::TextBefore(std::string_view end) const
{
    const std::size_t at = Find(end);
    return at == std::string_view::npos ? std::string() : std::string(Rest().substr(0, at));
}

std::size_t GbkTextCursor::FindFrom(std::string_view marker, std::size_t from) const
{
    for (;;) {
        const std::size_t at = text_.find(marker, from);
        if (at == std::string::npos || StartsCharacter(at))
            return at;
        from = at + 1;
    }
}

bool GbkTextCursor::StartsCharacter(std::size_t at) const
{
    // No trail byte is below 0x40, so such a byte always starts a character: most markers
    // begin with one and need no walk.
    if (at >= text_.size() || static_cast<unsigned char>(text_[at]) < 0x40)
        return true;
    if (trails_.empty())
        trails_.resize(text_.size());
    while (walked_ <= at) {
        const std::size_t width = CharWidth(text_, walked_);
        if (width == 2)
            trails_[walked_ + 1] = true;
        walked_ += width;
    }
    return !trails_[at];
}
