#pragma once
// Pages shaped to make a careless scanner or HTML parser spend time or memory that grows faster
// than the page: items whose end marker never comes, a list marker that stands only at the end,
// thousands of unclosed elements, formatting elements a parser reopens in every paragraph. The
// stand-in web serves them (sites/hostile.cpp); the benchmarks and fuzz seeds build them too.
#include <optional>
#include <string>
#include <string_view>

namespace quib::standin {

enum class HostileShape {
    TudouOpenLinks,      // "<li>视频：<a href=\"\">" over and over, no "</a>" but one at the very end
    OuouOpenLinks,       // the same with Ouou's item marker
    YoukuLateBlock,      // Youku items, the list's block marker only at the end
    SinaOpenItems,       // Sina items without title, upload time or line break until the end
    NestedDiv,           // "<div>" over and over, never closed
    NestedHeadingDiv,    // "<h4>x<div>" over and over
    ReopenedFormatting,  // "<p><b a=0><b a=1>…" then "</p><p>x" over and over
    // Answers of a resource site (JSON):
    ApiLargeBody,    // one record whose description fills the body
    ApiDeepNesting,  // "[" over and over inside the record list
    ApiHashes,       // a play list of one episode followed by "#" over and over
    ApiBadUtf8,      // records whose names hold bytes that are no UTF-8
    ApiPageCount,    // a page count of 10^9, every page with records of its own (HostileApiPage)
};

// The shape's name as it appears in a stand-in address ("tudou-open", "div", ...).
std::string_view HostileShapeName(HostileShape shape);
std::optional<HostileShape> HostileShapeNamed(std::string_view name);

// A page of the shape of about `bytes` bytes, in UTF-8 (the GBK sites convert it when they serve it).
std::string HostilePage(HostileShape shape, std::size_t bytes);

// Page `page` of the ApiPageCount site: twenty records of their own, and 10^9 pages claimed.
std::string HostileApiPage(int page);

// "hostile-<name>-<KiB>" (e.g. "hostile-div-1024"): the shape and the page size in bytes.
struct HostileRequest {
    HostileShape shape;
    std::size_t bytes;
};
std::optional<HostileRequest> ParseHostileId(std::string_view id);

}  // namespace quib::standin
