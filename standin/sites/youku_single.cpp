// Youku's video pages (/v_show/id_CODE.html) and playlist pages that show one video
// (/v_playlist/fLIDo1pN.html). Served in UTF-8, as the site did. Code "empty" answers with an
// empty body, code "nomarker" without the player's video variable.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

std::string Player(const std::string& code)
{
    if (code == "nomarker")
        return "<script type=\"text/javascript\">var fo = new SWFObject(\"player.swf\");</script>\n";
    return "<script type=\"text/javascript\">var fo = new SWFObject(\"player.swf\");\nfo.addVariable(\"VideoIDS\"," +
           code + ");\nfo.write(\"player\");</script>\n";
}

std::string ShowPage(const std::string& code)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "<meta name=\"title\" content=\" 优酷视频 " +
           code + " \">\n<title>优酷视频 " + code +
           " - 优酷视频 - 在线观看</title></head><body>\n<div id=\"player\"></div>\n" + Player(code) +
           "</body></html>\n";
}

std::string PlaylistPage(const std::string& lid, const std::string& position)
{
    const std::string code = "XP" + lid + "N" + position;
    // The page's own title meta names the list, not the video: the list's title line does.
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "<meta name=\"title\" content=\"优酷专辑 " +
           lid +
           "\">\n</head><body>\n"
           "<h2 id=\"playlisttitle\">正在播放： 优酷专辑 " +
           lid + " 第" + position +
           "集 播放列表</h2>\n"
           "<div id=\"player\"></div>\n" +
           Player(code) + "</body></html>\n";
}

}  // namespace

bool AnswerYoukuSinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kShow(R"(/v_show/id_([^/.]+)\.html)");
    static const std::regex kPlaylist(R"(/v_playlist/f(\d+)o1p(\d+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kShow)) {
        AnswerSinglePageUtf8(response, match[1] == "empty" ? std::string() : ShowPage(match[1]));
        return true;
    }
    if (std::regex_match(request.path, match, kPlaylist)) {
        AnswerSinglePageUtf8(response, PlaylistPage(match[1], match[2]));
        return true;
    }
    return false;
}

}  // namespace quib::standin
