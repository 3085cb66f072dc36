#include "collect/feedscan.h"

#include "host/core/gbk.h"

namespace quib::collect {

namespace {

constexpr std::string_view kItem = "<item>";
constexpr std::string_view kClose = "</";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kTudouInfo = "tudou:info id=\"";

// Skips past open and reads the field's text up to end, stopping before the field marked next.
std::string FieldText(TextCursor& item, std::string_view open, std::string_view end, std::string_view next = {})
{
    item.SkipPast(open);
    return std::string(FieldView(item, end, next));
}

}  // namespace

void ScanTudouFeed(std::string_view feed, const ItemSink& sink)
{
    ForEachSection(feed, kItem, [&sink](TextCursor& item) {
        ScannedItem out;
        if (!ReadSectionTitle(item, out, "<link>"))
            return;
        out.link = FieldText(item, "<link>", kClose, kTudouInfo);
        out.data = FieldText(item, kTudouInfo, kQuote, "pubDate=\"");
        out.date = FieldText(item, "pubDate=\"", kQuote);
        sink(out);
    });
}

void ScanYoukuFeed(std::string_view feed, const ItemSink& sink)
{
    ForEachSection(feed, kItem, [&sink](TextCursor& item) {
        ScannedItem out;
        if (!ReadSectionTitle(item, out, "<link>"))
            return;
        out.link = FieldText(item, "<link>", kClose, "<pubDate>");
        out.date = FieldText(item, "<pubDate>", kClose, "<guid>");
        out.data = FieldText(item, "<guid>", kClose);
        sink(out);
    });
}

}  // namespace quib::collect
