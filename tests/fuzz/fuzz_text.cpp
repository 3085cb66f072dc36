// The scanning cursors against a plain search that starts over every time, and the GBK helpers.
// Input: a byte of flags, four marker lengths, the markers, sixteen operations, then the text.
#include "tests/fuzz/fuzzcheck.h"
#include "host/core/gbk.h"
#include "collect/gbktextcursor.h"
#include "collect/textcursor.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace quib;
using namespace quib::collect;

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Where each character starts, reading GBK from the front (a lead byte pairs only with a trail).
std::vector<bool> CharacterStarts(std::string_view text)
{
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t pos = 0; pos < text.size();) {
        starts[pos] = true;
        const auto lead = static_cast<unsigned char>(text[pos]);
        const auto trail = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
        pos += lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

// The plain cursor as it was before places were remembered: every question searches again.
struct Plain {
    std::string_view text;
    std::size_t pos = 0;
    const std::vector<bool>* starts = nullptr;  // whole characters only, when set
    std::size_t Find(std::string_view marker) const
    {
        for (std::size_t from = pos;;) {
            const std::size_t at = text.find(marker, from);
            if (at == npos || !starts || (*starts)[at])
                return at == npos ? npos : at - pos;
            from = at + 1;
        }
    }
    bool SkipPast(std::string_view marker)
    {
        const std::size_t at = Find(marker);
        pos = at == npos ? text.size() : pos + at + marker.size();
        return at != npos;
    }
    std::string TextBefore(std::string_view end) const
    {
        const std::size_t at = Find(end);
        return at == npos ? std::string() : std::string(text.substr(pos, at));
    }
};

template <class Cursor>
void Compare(std::string_view text, const std::array<std::string, 4>& markers, std::string_view ops,
             const std::vector<bool>* starts)
{
    Cursor cursor(text);
    Plain plain{text, 0, starts};
    for (const char op : ops) {
        const std::string& marker = markers[static_cast<unsigned char>(op) & 3];
        switch ((static_cast<unsigned char>(op) >> 2) & 3) {
        case 0: FUZZ_CHECK(cursor.Find(marker) == plain.Find(marker)); break;
        case 1: FUZZ_CHECK(cursor.SkipPast(marker) == plain.SkipPast(marker)); break;
        case 2: FUZZ_CHECK(cursor.TextBefore(marker) == plain.TextBefore(marker)); break;
        case 3:
            FUZZ_CHECK(cursor.TrimmedFieldBefore(marker) == std::string(TrimmedFieldOf(plain.TextBefore(marker))));
            break;
        }
        FUZZ_CHECK(cursor.Rest() == text.substr(plain.pos));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.size() < 5)
        return 0;
    std::array<std::string, 4> markers;
    std::size_t at = 5;
    for (int i = 0; i < 4; ++i) {
        const std::size_t length = static_cast<unsigned char>(input[1 + i]) % 6 + 1;
        markers[i] = std::string(input.substr(std::min(at, input.size()), length));
        if (markers[i].empty())
            markers[i] = "<";
        at += length;
    }
    at = std::min(at, input.size());
    const std::string_view ops = input.substr(at, 16);
    const std::string_view text = input.substr(std::min(at + 16, input.size()));

    Compare<TextCursor>(text, markers, ops, nullptr);
    const std::vector<bool> starts = CharacterStarts(text);
    Compare<GbkTextCursor>(text, markers, ops, &starts);

    // The GBK helpers: a cut never splits a character and never exceeds its size; text GBK can
    // hold survives the trip through UTF-8.
    const std::size_t limit = static_cast<unsigned char>(input[0]);
    const std::string_view cut = gbk::CutToBytes(text, limit);
    FUZZ_CHECK(cut.size() <= limit || cut.size() == text.size());
    FUZZ_CHECK(text.substr(0, cut.size()) == cut);
    FUZZ_CHECK(starts[cut.size()] || cut.size() == text.size());
    FUZZ_CHECK(gbk::CharCount(text) <= text.size());
    const std::string fromUtf8 = gbk::FromUtf8(text);
    FUZZ_CHECK(gbk::FromUtf8(gbk::ToUtf8(fromUtf8)) == fromUtf8);
    const std::string wide = gbk::FromUnicode(gbk::ToUnicode(text));
    FUZZ_CHECK(gbk::CharCount(wide) <= text.size());
    return 0;
}
