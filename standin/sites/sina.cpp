// Sina (新浪) video albums: pages of checkable items, the list closed by the pager block, and
// a sidebar of recommendations behind it that is not part of the album.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <cstdio>
#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "you.video.sina.com.cn";
constexpr long long kFirstVid = 1000000000;

std::string Date(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "2009-05-%02d", (n - 1) % 28 + 1);
    return text;
}

std::string Item(const std::string& id, int n)
{
    return "<li><input type=\"checkbox\" name=\"playlist\" value=\"" + std::to_string(n) +
           "\" /><a href=\"http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=" + id + "&uid=1650000001#" +
           std::to_string(kFirstVid + n) + "\" title=\" 新浪视频 第" + std::to_string(n) +
           "集 \" target=\"_blank\"><img src=\"/i/" + std::to_string(n) + ".jpg\"></a><p>上传时间： " + Date(n) +
           " <br>播放：" + std::to_string(n * 10) + "</p></li>\n";
}

std::string Head(const std::string& id)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"><title>专辑 " + id +
           " - 新浪播客</title></head><body>\n<div class=\"list\"><ul>\n";
}

std::string Pager(const std::string& id, int page, bool hasNext)
{
    std::string html = "<div id=\"sa\" class=\"pager\">第" + std::to_string(page) + "页 ";
    if (hasNext)
        html += "<a href=\"/a/" + id + "/" + std::to_string(page + 1) + "/2.html\">下一页&gt;&gt;</a>";
    return html + "</div>\n";
}

std::string Sidebar()
{
    return "<div class=\"side\"><h3>推荐专辑</h3><ul><li><input type=\"checkbox\" name=\"playlist\" value=\"r\" />"
           "<a href=\"http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=r&uid=1#9999999999\" "
           "title=\"推荐\">推荐</a><p>上传时间：2008-01-01<br></p></li></ul></div>\n";
}

std::string AlbumPageText(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html = Head(album.id);
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html += Item(album.id, n);
    return html + "</ul></div>\n" + Pager(album.id, page.page, page.HasNext()) + Sidebar() + "</body></html>\n";
}

// "edge-nosa": items without the closing pager block. "edge-blank": a first page without
// items that still links to the second. "edge-toppager": two pages of two items, the first
// linking on from a pager above its list only.
bool AnswerEdge(const std::string& id, int page, httplib::Response& response)
{
    std::string html = Head(id);
    if (id == "edge-nosa" && page == 1) {
        for (int n = 1; n <= 3; ++n)
            html += Item(id, n);
        html += "</ul></div>\n";
    } else if (id == "edge-blank" && page == 1) {
        html += "</ul></div>\n" + Pager(id, 1, true);
    } else if (id == "edge-toppager" && page <= 2) {
        // The next page is linked only from the pager above the list.
        if (page == 1)
            html.insert(html.find("<div class=\"list\">"),
                        "<div class=\"pager\"><a href=\"/a/" + id + "/2/2.html\">下一页&gt;&gt;</a></div>\n");
        for (int n = page * 2 - 1; n <= page * 2; ++n)
            html += Item(id, n);
        html += "</ul></div>\n" + Pager(id, page, false);
    } else if (id == "edge-blank" && page == 2) {
        for (int n = 1; n <= 2; ++n)
            html += Item(id, n);
        html += "</ul></div>\n" + Pager(id, 2, false);
    } else {
        return false;
    }
    AnswerGbk(response, html + "</body></html>\n");
    return true;
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kAlbum(R"(/a/([^/]+)/(\d+)/2\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kAlbum))
        return false;
    const std::string id = match[1];
    const int number = ParseNumber(match[2].str()).value_or(0);
    if (id.starts_with("edge-"))
        return AnswerEdge(id, number, response);
    return AnswerAlbumPage(id, number, response, AnswerGbk, AlbumPageText);
}

}  // namespace

void RegisterSinaAlbums(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
