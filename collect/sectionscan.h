#pragma once
// Walks the repeated sections of a feed or data document ("<item>", "<album>", "<file>"). Each
// section is read from its own text only, up to where the next one starts, so a field missing
// from one section is never taken from the next and the sections after it are never lost.
#include "host/core/gbk.h"
#include "collect/textcursor.h"

#include <functional>
#include <string>
#include <string_view>

namespace quib::collect {

// What one section of a document yields; a document fills the fields it has.
struct ScannedItem {
    std::string caption;
    std::string link;
    std::string data;
    std::string date;
};

using ItemSink = std::function<void(const ScannedItem&)>;

// Calls read(section) for each section that follows an opener, in document order; the text
// before the first opener (a feed's channel title) belongs to no section.
template <class Read>
void ForEachSection(std::string_view text, std::string_view opener, Read&& read)
{
    std::size_t at = text.find(opener);
    while (at != std::string_view::npos) {
        const std::size_t begin = at + opener.size();
        at = text.find(opener, begin);
        const std::size_t end = at == std::string_view::npos ? text.size() : at;
        TextCursor section{text.substr(begin, end - begin)};
        read(section);
    }
}

// The text of the field that starts at the cursor: up to end, but never into the field read after
// it (whose marker is next). A field left open would otherwise run on over the fields after it,
// which are read again on their own, and its row would show their markup; it stops where next, or
// the tag holding next, begins.
inline std::string_view FieldView(const TextCursor& section, std::string_view end, std::string_view next)
{
    std::string_view text = section.ViewBefore(end);
    const std::size_t at = next.empty() ? std::string_view::npos : section.Find(next);
    if (at < text.size())
        text = text.substr(0, at > 0 && text[at - 1] == '<' ? at - 1 : at);
    return TrimView(text);
}

// Reads a section's "<title>" (UTF-8 in the document) into out.caption, up to the field read after
// it (next); a section without a title of its own holds nothing.
inline bool ReadSectionTitle(TextCursor& section, ScannedItem& out, std::string_view next)
{
    if (!section.Contains("<title>"))
        return false;
    section.SkipPast("<title>");
    out.caption = Trim(gbk::FromUtf8(FieldView(section, "</", next)));
    return true;
}

}  // namespace quib::collect
