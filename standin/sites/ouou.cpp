// Ouou (偶偶) playlists: playlistinfo pages of items with a numbered pager. Served in UTF-8, as
// the site did.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.ouou.com";
constexpr int kFirstVideo = 700000;

std::string PlaylistPage(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
        "<title>播放列表 " +
        album.id + " - 偶偶</title></head><body>\n<ul class=\"plist\">\n";
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html += "<li class=\"spename\"><a href=\"http://www.ouou.com/play/v_" + std::to_string(kFirstVideo + n) +
                ".html\" target=\"_blank\"> 偶偶视频 第" + std::to_string(n) + "集 </a></li>\n";
    html += "</ul>\n<div class=\"pages\">";
    const PagerWindow pager = PagerAround(page);
    for (int q = pager.first; q <= pager.last; ++q)
        if (q != page.page)
            html += "<a href=\"/playlistinfo/v_" + album.id + "/" + std::to_string(q) + ".html\" class=\"font_cn\">" +
                    std::to_string(q) + "</a> ";
    return html + "</div>\n</body></html>\n";
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPlaylist(R"(/playlistinfo/v_([^/]+)/(\d+)\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kPlaylist))
        return false;
    return AnswerAlbumPage(match[1].str(), ParseNumber(match[2].str()).value_or(0), response, AnswerUtf8, PlaylistPage);
}

}  // namespace

void RegisterOuouPlaylists(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
