// Sina (新浪)'s video pages (/b/VID-UID.html) and album play pages
// (/pg/topicdetail/topicPlay.php?tid=T&uid=U#VID), whose title line the page's script writes.
// Served in GBK. Video "nodate" has no date line; album "none" no title line, album "long" a
// title longer than a row holds.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const std::string kHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n";

std::string VideoPage(const std::string& vid)
{
    std::string html = kHead + "<title>新浪视频 " + vid +
                       "</title></head><body>\n<h1>新浪播客</h1>\n"
                       "<div class=\"title\"><h1 class=\"fleft\"> 新浪视频 " +
                       vid + " </h1>";
    if (vid != "nodate")
        html += "<span class=\"fright\"> 上传时间：2009-04-05 12:30 </span>";
    return html + "</div>\n</body></html>\n";
}

std::string AlbumPage(const std::string& tid)
{
    std::string html = kHead + "<title>新浪专辑 " + tid + "</title></head><body>\n";
    if (tid == "none")
        return html + "<div id=\"player\"></div>\n</body></html>\n";
    const std::string title = tid == "long" ? std::string(300, 'x') : "新浪专辑 " + tid;
    return html +
           "<div id=\"list_title\"></div>\n<script type=\"text/javascript\">document.getElementById(\"list_title\")"
           ".innerHTML = \"正在播放：" +
           title + "\";</script>\n</body></html>\n";
}

}  // namespace

bool AnswerSinaSinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kVideo(R"(/b/([^/.-]+)-[^/.]+\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kVideo)) {
        AnswerSinglePageGbk(response, VideoPage(match[1]));
        return true;
    }
    if (request.path == "/pg/topicdetail/topicPlay.php") {
        const auto tid = request.params.find("tid");
        AnswerSinglePageGbk(response, AlbumPage(tid == request.params.end() ? std::string() : tid->second));
        return true;
    }
    return false;
}

}  // namespace quib::standin
