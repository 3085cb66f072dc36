// 56 (我乐) albums: album pages under any of the site's /w<NN>/ folders, with a pager of
// album-p links, and each video's own page, which holds its player address.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.56.com";
constexpr long long kFirstVideo = 1000000;

std::string Head(const std::string& title)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"><title>" + title +
           "</title></head><body>\n";
}

std::string Title(int n) { return "我乐视频 第" + std::to_string(n) + "集"; }

std::string AlbumPageText(const SiteAlbum& album, const AlbumPage& page)
{
    std::string html = Head("专辑 " + album.id + " - 56.com") + "<ul class=\"album_list\">\n";
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html += "<li><p class=\"videoTitle\"><a href=\"videoitem-" + std::to_string(n) + "_aid-" + album.id +
                ".html\" title=\"" + Title(n) + "\" target=\"_blank\">" + Title(n) + "</a></p></li>\n";
    html += "</ul>\n<div class=\"pages\">";
    const PagerWindow pager = PagerAround(page);
    for (int q = pager.first; q <= pager.last; ++q)
        if (q != page.page)
            html += "<a href=\"album-p-" + std::to_string(q) + "_aid-" + album.id + ".html\">" + std::to_string(q) +
                    "</a> ";
    return html + "</div>\n</body></html>\n";
}

std::string VideoPage(int n)
{
    return Head(Title(n)) + "<div class=\"player\"><embed src=\"http://www.56.com/v_" +
           std::to_string(kFirstVideo + n) +
           ".swf\"></div>\n<p>复制地址：<input type=\"text\" id=\"flashurl\" value=\"" + "http://www.56.com/v_" +
           std::to_string(kFirstVideo + n) + ".swf\" /></p>\n</body></html>\n";
}

bool AnswerAlbum(const std::string& id, const std::string& number, httplib::Response& response)
{
    return AnswerAlbumPage(id, ParseNumber(number).value_or(0), response, AnswerGbk, AlbumPageText);
}

bool AnswerVideo(const std::string& id, const std::string& number, httplib::Response& response)
{
    return AnswerItemPage(id, number, response, AnswerGbk, VideoPage);
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kAlbum(R"(/w\d*/album-p-(\d+)_aid-(.+)\.html)");
    static const std::regex kVideo(R"(/w\d*/videoitem-(\d+)_aid-(.+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kAlbum))
        return AnswerAlbum(match[2], match[1], response);
    if (std::regex_match(request.path, match, kVideo))
        return AnswerVideo(match[2], match[1], response);
    return false;
}

}  // namespace

void Register56Albums(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
