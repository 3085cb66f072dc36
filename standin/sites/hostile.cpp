// Hostile pages under the sites' own addresses, for measuring the collection end to end
// (hostileshapes.h): an album or page ID "hostile-<shape>-<KiB>" asks for one.
//   Tudou   /playlist/showItems.do?lid=hostile-tudou-open-2048&pn=1, /programs/view/hostile-div-1024/
//   Ouou    /playlistinfo/v_hostile-ouou-open-2048/1.html
//   Youku   /playlist_show/id_hostile-youku-lateblock-2048_orderby_9_page_1.html (items /show_item/hostile/N.html)
//   Sina    /a/hostile-sina-open-2048/1/2.html
//   6rooms  /plist/hostile-h4div-1024/0.html (one position; the next ends the playlist)
// Only the first page of an album exists, so a collection ends after it.
#include "standin/builtinsites.h"
#include "standin/hostileshapes.h"
#include "standin/sites/sitealbum.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

bool AnswerShape(std::string_view id, httplib::Response& response, PageWriter write)
{
    const auto request = ParseHostileId(id);
    if (!request)
        return false;
    write(response, HostilePage(request->shape, request->bytes));
    return true;
}

bool AnswerTudou(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kView(R"(/programs/view/(hostile-[^/]+)/?)");
    std::smatch match;
    if (std::regex_match(request.path, match, kView))
        return AnswerShape(match[1].str(), response, AnswerGbk);
    const auto lid = request.params.find("lid");
    if (request.path != "/playlist/showItems.do" || lid == request.params.end())
        return false;
    return AnswerShape(lid->second, response, AnswerGbk);
}

bool AnswerOuou(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPlaylist(R"(/playlistinfo/v_(hostile-[^/]+)/1\.html)");
    std::smatch match;
    return std::regex_match(request.path, match, kPlaylist) && AnswerShape(match[1].str(), response, AnswerUtf8);
}

bool AnswerYouku(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPlaylist(R"(/playlist_show/id_(hostile-.+)_orderby_9_page_1\.html)");
    static const std::regex kVideo(R"(/show_item/hostile/(\d+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kVideo)) {
        AnswerUtf8(response, "<html><body><script>fo.addVariable(\"VideoIDS\",\"XH" + match[1].str() +
                                 "\");</script></body></html>\n");
        return true;
    }
    return std::regex_match(request.path, match, kPlaylist) && AnswerShape(match[1].str(), response, AnswerUtf8);
}

bool AnswerSina(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kAlbum(R"(/a/(hostile-[^/]+)/1/2\.html)");
    std::smatch match;
    return std::regex_match(request.path, match, kAlbum) && AnswerShape(match[1].str(), response, AnswerGbk);
}

bool Answer6rooms(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPosition(R"(/plist/(hostile-[^/]+)/(\d+)\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kPosition) || !ParseHostileId(match[1].str()))
        return false;
    if (match[2].str() == "0")
        return AnswerShape(match[1].str(), response, AnswerUtf8);
    AnswerUtf8(response, "<html><body><p>播放列表已经结束</p></body></html>\n");
    return true;
}

}  // namespace

void RegisterHostilePages(StandinWeb& web)
{
    web.AddSite("www.tudou.com", AnswerTudou);
    web.AddSite("www.ouou.com", AnswerOuou);
    web.AddSite("www.youku.com", AnswerYouku);
    web.AddSite("you.video.sina.com.cn", AnswerSina);
    web.AddSite("6.cn", Answer6rooms);
}

}  // namespace quib::standin
