// Tudou playlists (豆单): showItems.do pages of items, a pager of javascript links.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.tudou.com";
constexpr long long kFirstIid = 1000000000;

std::string ItemLine(const std::string& id, int n)
{
    return "      <li>视频：<a href=\"/playlist/playindex.do?lid=" + id + "&iid=" + std::to_string(kFirstIid + n) +
           "\" target=\"_blank\"> 土豆视频 第" + std::to_string(n) + "集 </a></li>\n";
}

std::string Pager(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html = "  <div class=\"page_nav\">\n    <ul>\n";
    const PagerWindow pager = PagerAround(page);
    for (int q = pager.first; q <= pager.last; ++q)
        html += q == page.page ? "      <li class=\"current\">" + std::to_string(q) + "</li>\n"
                               : "      <li><a href=\"javascript://\">" + std::to_string(q) + "</a></li>\n";
    if (const std::optional<int> pages = StatedPages(album, page))
        html += "      <li class=\"total\">共 " + std::to_string(*pages) + " 页</li>\n";
    return html + "    </ul>\n  </div>\n";
}

std::string PlaylistPage(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html =
        "<html>\n<head>\n  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n"
        "  <title>豆单 " +
        album.id + " - 土豆网</title>\n</head>\n<body>\n  <div class=\"pack_list\">\n    <ul>\n";
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html += ItemLine(album.id, n);
    return html + "    </ul>\n  </div>\n" + Pager(album, page) + "</body>\n</html>\n";
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    if (request.path != "/playlist/showItems.do")
        return false;
    const auto lid = request.params.find("lid");
    const auto pn = request.params.find("pn");
    if (lid == request.params.end() || pn == request.params.end())
        return false;
    const auto number = ParseNumber(pn->second);
    return number && AnswerAlbumPage(lid->second, *number, response, AnswerGbk, PlaylistPage);
}

}  // namespace

void RegisterTudouPlaylists(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
