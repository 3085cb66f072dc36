#include "feedscan.h"

#include "gbk.h"

namespace {

constexpr std::string_view kItem = "<item>";
constexpr std::string_view kClose = "</";
constexpr std::string_view kQuote = "\"";


std::string ElementText(TextCursor& item, std::string_view open)
{
    item.SkipPast(open);
    return Trim(item.TextBefore(kClose));
}

std::string AttributeText(TextCursor& item, std::string_view openWithQuote)
{
    item.SkipPast(openWithQuote);
    return Trim(item.TextBefore(kQuote));
}

}  // namespace

void ScanTudouFeed(std::string_view feed, const ItemSink& sink)
{
    ForEachSection(feed, kItem, [&sink](TextCursor& item) {
        ScannedItem out;
        if (!ReadSectionTitle(item, out))
            return;
        out.link = ElementText(item, "<link>");
        out.data = AttributeText(item, "tudou:info id=\"");
        out.date = AttributeText(item, "pubDate=\"");
        sink(out);
    });
}

void ScanYoukuFeed(std::string_view feed, const ItemSink& sink)
{
    ForEachSection(feed, kItem, [&sink](TextCursor& item) {
        ScannedItem out;
        if (!ReadSectionTitle(item, out))
            return;
        out.link = ElementText(item, "<link>");
        out.date = ElementText(item, "<pubDate>");
        out.data = ElementText(item, "<guid>");
        sink(out);
    });
}
