// Youku playlists: pages of video blocks with a pager, and each video's own page, which holds
// the video's ID in the player's set-up script. Served in UTF-8, as the site did.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.youku.com";
const char* const kRoot = "http://www.youku.com";

std::string VideoBlock(const std::string& id, int n)
{
    return "<ul class=\"video\"><li class=\"videoImg\"><a href=\"" + std::string(kRoot) + "/show_item/" + id + "/" +
           std::to_string(n) + ".html\" target=\"_blank\"><img src=\"/img/" + std::to_string(n) +
           ".jpg\" alt=\" 优酷视频 第" + std::to_string(n) + "集 \"></a></li><li class=\"videoTitle\">第" +
           std::to_string(n) + "集</li></ul>\n";
}

std::string Pager(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html = "<div class=\"pager\">";
    const PagerWindow pager = PagerAround(page);
    for (int q = pager.first; q <= pager.last; ++q)
        if (q != page.page)
            html += "<a href=\"/playlist_show/id_" + album.id + "_orderby_9_page_" + std::to_string(q) + ".html\">" +
                    std::to_string(q) + "</a> ";
    if (const std::optional<int> pages = StatedPages(album, page))
        html += "<span class=\"total\">共" + std::to_string(*pages) + "页</span>";
    return html + "</div>\n";
}

std::string Head(const std::string& title)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><title>" + title +
           "</title></head><body>\n";
}

std::string PlaylistPage(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html = Head("专辑 " + album.id + " - 优酷视频") + "<div class=\"items\">\n";
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html += VideoBlock(album.id, n);
    return html + "</div>\n" + Pager(album, page) + "</body></html>\n";
}

// The list ends with the third video; the "related" videos behind it have no block of their
// own and are not part of it.
std::string TailPage()
{
    std::string html = Head("专辑 edge-tail - 优酷视频");
    for (int n = 1; n <= 3; ++n)
        html += VideoBlock("edge-tail", n);
    html += "<div class=\"related\"><h3>相关视频</h3>\n";
    for (int n = 4; n <= 5; ++n)
        html += "<li class=\"videoImg\"><a href=\"" + std::string(kRoot) + "/show_item/edge-tail/" + std::to_string(n) +
                ".html\"><img alt=\"相关 " + std::to_string(n) + "\"></a></li>\n";
    return html + "</div></body></html>\n";
}

std::string VideoPage(int n)
{
    return Head("优酷视频 第" + std::to_string(n) + "集") +
           "<script type=\"text/javascript\">var fo = new SWFObject(\"/player.swf\", \"movie_player\");\n"
           "fo.addVariable(\"VideoIDS\",XMTAw" +
           std::to_string(1000 + n) +
           ");\n"
           "fo.addVariable(\"isAutoPlay\",\"true\");</script></body></html>\n";
}

bool AnswerPlaylist(const std::string& id, const std::string& number, httplib::Response& response)
{
    if (id == "edge-tail" && number == "1") {
        AnswerUtf8(response, TailPage());
        return true;
    }
    return AnswerAlbumPage(id, ParseNumber(number).value_or(0), response, AnswerUtf8, PlaylistPage);
}

bool AnswerVideo(const std::string& id, const std::string& number, httplib::Response& response)
{
    return AnswerItemPage(id, number, response, AnswerUtf8, VideoPage);
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPlaylist(R"(/playlist_show/id_(.+)_orderby_9_page_(\d+)\.html)");
    static const std::regex kVideo(R"(/show_item/([^/]+)/(\d+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kPlaylist))
        return AnswerPlaylist(match[1], match[2], response);
    if (std::regex_match(request.path, match, kVideo))
        return AnswerVideo(match[1], match[2], response);
    return false;
}

}  // namespace

void RegisterYoukuPlaylists(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
