#include "results/bulkedit.h"

#include "host/core/gbk.h"
#include "results/textsearch.h"

namespace quib::results {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Byte offset where character `chars` (from 0) begins; the size when the text is shorter.
std::size_t OffsetOfChar(std::string_view text, std::size_t chars)
{
    std::size_t pos = 0;
    for (; chars > 0 && pos < text.size(); --chars)
        pos += gbk::CharBytes(text, pos);
    return pos;
}

}  // namespace

namespace bulkedit {

std::string Trim(std::string_view title)
{
    // Trail bytes of two-byte characters are never <= 32, so this cannot split one.
    std::size_t first = 0, last = title.size();
    while (first < last && IsBlank(title[first]))
        ++first;
    while (last > first && IsBlank(title[last - 1]))
        --last;
    return std::string(title.substr(first, last - first));
}

std::string Cut(std::string_view title, EditSide side, int count)
{
    if (count <= 0)
        return std::string(title);
    const std::size_t n = static_cast<std::size_t>(count);
    if (side == EditSide::Front)
        return std::string(title.substr(OffsetOfChar(title, n)));
    const std::size_t chars = gbk::CharCount(title);
    if (n >= chars)
        return {};
    return std::string(title.substr(0, OffsetOfChar(title, chars - n)));
}

std::string KeepByMarker(std::string_view title, std::string_view marker, EditSide side)
{
    const std::size_t at = textsearch::Find(title, marker);
    if (at == textsearch::npos)
        return std::string(title);
    if (side == EditSide::Front)
        return std::string(title.substr(at));
    return std::string(title.substr(0, at + gbk::CharBytes(marker, 0)));
}

std::string ReplaceFirst(std::string_view title, std::string_view oldText, std::string_view newText)
{
    const std::size_t at = textsearch::FindNoCase(title, oldText);
    if (at == textsearch::npos)
        return std::string(title);
    std::string out(title.substr(0, at));
    out.append(newText);
    out.append(title.substr(at + oldText.size()));
    return out;
}

std::string ApplyPattern(std::string_view pattern, std::string_view title, int recId)
{
    return textsearch::ReplaceAll(textsearch::ReplaceAll(pattern, "<title>", title), "<id>", std::to_string(recId));
}

std::string EditTitle(std::string_view title, int recId, const BulkEditSettings& settings, std::size_t fieldSize)
{
    // A title already longer than its field leaves within it, whichever steps apply.
    std::string text(gbk::CutToBytes(title, fieldSize));
    const auto store = [&](std::string next) { text = gbk::CutToBytes(next, fieldSize); };
    if (settings.trim)
        store(Trim(text));
    if (settings.cutCount > 0)
        store(Cut(text, settings.cutSide, settings.cutCount));
    if (!settings.marker.empty())
        store(KeepByMarker(text, settings.marker, settings.markerSide));
    if (!settings.oldText.empty())
        store(ReplaceFirst(text, settings.oldText, settings.newText));
    if (!Trim(settings.format).empty())
        store(ApplyPattern(settings.format, text, recId));
    return text;
}

}  // namespace bulkedit

}  // namespace quib::results
