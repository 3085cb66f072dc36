#include "standin/hostileshapes.h"

#include <charconv>

namespace quib::standin {

namespace {

struct Named {
    HostileShape shape;
    std::string_view name;
};

constexpr Named kNames[] = {
    {HostileShape::TudouOpenLinks, "tudou-open"},
    {HostileShape::OuouOpenLinks, "ouou-open"},
    {HostileShape::YoukuLateBlock, "youku-lateblock"},
    {HostileShape::SinaOpenItems, "sina-open"},
    {HostileShape::NestedDiv, "div"},
    {HostileShape::NestedHeadingDiv, "h4div"},
    {HostileShape::ReopenedFormatting, "reopen"},
    {HostileShape::ApiLargeBody, "api-large"},
    {HostileShape::ApiDeepNesting, "api-deep"},
    {HostileShape::ApiHashes, "api-hashes"},
    {HostileShape::ApiBadUtf8, "api-badutf8"},
    {HostileShape::ApiPageCount, "api-pagecount"},
};

// The largest page a stand-in address may ask for.
constexpr std::size_t kMaxKiB = 64u << 10;

// head, then unit(n) for n = 0, 1, ... while the page is shorter than bytes, then tail.
template <class Unit>
std::string Fill(std::string head, std::size_t bytes, Unit&& unit, const std::string& tail)
{
    std::string page = std::move(head);
    page.reserve(bytes + tail.size() + 256);
    for (std::size_t n = 0; page.size() + tail.size() < bytes; ++n)
        page += unit(n);
    return page + tail;
}

const std::string kApiHead =
    "{\"code\":1,\"msg\":\"数据列表\",\"page\":1,\"pagecount\":1,\"limit\":\"20\",\"total\":1,"
    "\"list\":[";

std::string ApiRecord(int id, const std::string& name, const std::string& playUrl)
{
    return "{\"vod_id\":" + std::to_string(id) + ",\"vod_name\":\"" + name +
           "\",\"type_id\":13,\"type_name\":\"国产剧\",\"vod_time\":\"2024-11-03 08:00:00\",\"vod_remarks\":"
           "\"更新至1集\",\"vod_play_from\":\"ffm3u8\",\"vod_play_url\":\"" +
           playUrl + "\"}";
}

const std::string kUtf8Head = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
const std::string kGbkHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">";

}  // namespace

std::string_view HostileShapeName(HostileShape shape)
{
    for (const Named& named : kNames)
        if (named.shape == shape)
            return named.name;
    return {};
}

std::optional<HostileShape> HostileShapeNamed(std::string_view name)
{
    for (const Named& named : kNames)
        if (named.name == name)
            return named.shape;
    return std::nullopt;
}

std::string HostilePage(HostileShape shape, std::size_t bytes)
{
    switch (shape) {
    case HostileShape::TudouOpenLinks:
        return Fill(
            kGbkHead + "<title>豆单 - 土豆网</title></head><body><div class=\"pack_list\"><ul>\n", bytes,
            [](std::size_t) { return std::string("<li>视频：<a href=\"\">"); },
            "</ul></div><div class=\"foot\"><a href=\"/\">土豆网</a></div></body></html>\n");
    case HostileShape::OuouOpenLinks:
        return Fill(
            kUtf8Head + "<title>播放列表</title></head><body><ul class=\"plist\">\n", bytes,
            [](std::size_t) { return std::string("<li class=\"spename\"><a href=\"\">"); },
            "</ul><div class=\"foot\"><a href=\"/\">偶偶网</a></div></body></html>\n");
    case HostileShape::YoukuLateBlock:
        // Items with some filler between them: 2 MiB hold a few thousand, each an item page to fetch.
        return Fill(
            kUtf8Head + "<title>专辑</title></head><body>\n", bytes,
            [](std::size_t n) {
                return "<li class=\"videoImg\"><a href=\"http://www.youku.com/show_item/hostile/" +
                       std::to_string(n + 1) + ".html\" title=\"t\"><img alt=\"优酷视频 第" + std::to_string(n + 1) +
                       "集\" src=\"x.jpg\"></a></li>\n<!--" + std::string(200, '.') + "-->\n";
            },
            "<ul class=\"video\"><li>end</li></ul></body></html>\n");
    case HostileShape::SinaOpenItems:
        return Fill(
            kGbkHead + "<title>专辑</title></head><body><ul>\n", bytes,
            [](std::size_t) { return std::string("<li><input name=\"playlist\" /><a href=\"\">新浪视频"); },
            "</ul><div title=\"end\">上传时间： 2009-05-01 <br></div><div id=\"sa\" class=\"pager\"></div>"
            "</body></html>\n");
    case HostileShape::NestedDiv:
        return Fill(
            kGbkHead + "</head><body>", bytes, [](std::size_t) { return std::string("<div>"); },
            "<title>豆单</title><script>var iid=1000000001,</script></body></html>\n");
    case HostileShape::NestedHeadingDiv:
        return Fill(
            kUtf8Head + "</head><body>", bytes, [](std::size_t) { return std::string("<h4>x<div>"); },
            "<title>豆单</title><script>var iid=1000000001,pageMessage = {};pageMessage.evid = 'evhostile';"
            "</script></body></html>\n");
    case HostileShape::ReopenedFormatting: {
        std::string formatting = "<p>";
        for (std::size_t n = 0; formatting.size() < bytes / 2; ++n)
            formatting += "<b a=" + std::to_string(n) + ">";
        return Fill(
            kGbkHead + "</head><body>" + formatting, bytes, [](std::size_t) { return std::string("</p><p>x"); },
            "<title>豆单</title><script>var iid=1000000001,</script></body></html>\n");
    }
    case HostileShape::ApiLargeBody:
        return Fill(
            kApiHead +
                "{\"vod_id\":1,\"vod_name\":\"大\",\"vod_play_from\":\"ffm3u8\",\"vod_play_url\":"
                "\"第01集$https:\\/\\/vod.standin.test\\/1.m3u8\",\"vod_content\":\"",
            bytes, [](std::size_t) { return std::string("很长很长的简介。"); }, "\"}]}");
    case HostileShape::ApiDeepNesting:
        return Fill(
            kApiHead, bytes, [](std::size_t) { return std::string("["); }, "");
    case HostileShape::ApiHashes:
        return Fill(
            kApiHead +
                "{\"vod_id\":1,\"vod_name\":\"井\",\"vod_play_from\":\"ffm3u8\",\"vod_play_url\":"
                "\"第01集$https:\\/\\/vod.standin.test\\/1.m3u8",
            bytes, [](std::size_t) { return std::string(1000, '#'); }, "\"}]}");
    case HostileShape::ApiBadUtf8:
        return Fill(
            kApiHead, bytes,
            [](std::size_t n) {
                return std::string(n ? "," : "") +
                       ApiRecord(static_cast<int>(n) + 1, "\xC3\x28\xFF\xFE坏\xE4\xB8",
                                 "\xFF$https:\\/\\/vod.standin.test\\/" + std::to_string(n) + ".m3u8");
            },
            "]}");
    case HostileShape::ApiPageCount: return HostileApiPage(1);
    }
    return {};
}

std::string HostileApiPage(int page)
{
    std::string body = "{\"code\":1,\"msg\":\"数据列表\",\"page\":" + std::to_string(page) +
                       ",\"pagecount\":1000000000,\"limit\":\"20\",\"total\":20000000000,\"list\":[";
    for (int k = 0; k < 20; ++k) {
        const int id = (page % 50000000) * 20 + k;
        body += (k ? "," : "") +
                ApiRecord(id, "无尽", "第01集$https:\\/\\/vod.standin.test\\/" + std::to_string(id) + ".m3u8");
    }
    return body + "]}";
}

std::optional<HostileRequest> ParseHostileId(std::string_view id)
{
    constexpr std::string_view kPrefix = "hostile-";
    if (!id.starts_with(kPrefix))
        return std::nullopt;
    id.remove_prefix(kPrefix.size());
    const std::size_t dash = id.rfind('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto shape = HostileShapeNamed(id.substr(0, dash));
    const std::string_view size = id.substr(dash + 1);
    std::size_t kib = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), kib);
    if (!shape || size.empty() || error != std::errc() || end != size.data() + size.size() || kib < 1 || kib > kMaxKiB)
        return std::nullopt;
    return HostileRequest{*shape, kib << 10};
}

}  // namespace quib::standin
