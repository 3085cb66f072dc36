// 56 (我乐)'s video pages (/uNN/v_CODE.html) and album pages that show one video
// (/wNN/play_album-aid-AID_vid-CODE.html). Served in GBK.
//
// A video page names its player in the page-address box; a code starting with "js" names it
// only in a box its script fills in; "both" has both boxes (the script's names another video),
// "bad" neither, "empty" answers with an empty body. Album "bad" has no player box.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const std::string kHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n";

std::string Swf(const std::string& code) { return "http://www.56.com/v_" + code + ".swf"; }

std::string PageUrlBox(const std::string& code)
{
    return "<div class=\"share\">地址：<input type=\"text\" id=\"input_page_url\" value=\"" + Swf(code) +
           "\" readonly=\"readonly\" /></div>\n";
}

std::string ScriptBox(const std::string& code)
{
    return "<div class=\"share\">代码：<input type=\"text\" id=\"input_swf_html\" value=\"\" readonly=\"readonly\" "
           "/></div>\n"
           "<script type=\"text/javascript\">document.getElementById(\"input_swf_html\").setAttribute(\"value\", \"" +
           Swf(code) + "\");</script>\n";
}

std::string VideoPage(const std::string& code)
{
    std::string html = kHead + "<title>我乐视频 " + code + " - 56.com</title></head><body>\n";
    if (code.starts_with("js")) {
        // Its advertising frame and player object are never fetched by a loader that only reads.
        html += "<h1>56.com</h1>\n<div class=\"video\"><h1> 我乐视频 " + code + " </h1></div>\n" + ScriptBox(code) +
                "<iframe src=\"/ad/frame.html\"></iframe>\n<object data=\"/ad/player.swf\" "
                "type=\"application/x-shockwave-flash\"></object>\n";
    } else {
        html += "<div class=\"video\"><h1><div class=\"tag\">原创</div>我乐视频 " + code + "</h1></div>\n";
        if (code != "bad")
            html += PageUrlBox(code);
        if (code == "both")
            html += ScriptBox("wrong");
    }
    return html + "</body></html>\n";
}

std::string AlbumPage(const std::string& aid, const std::string& code)
{
    std::string html = kHead + "<title>我乐专辑 " + aid + "</title></head><body>\n<h2 class=\"Vt\">视频：我乐专辑 " +
                       aid + " 视频 " + code + "&nbsp;(03:15)</h2>\n";
    if (aid != "bad")
        html += "<input type=\"hidden\" id=\"flashurl\" value=\"" + Swf(code) + "\" />\n";
    return html + "</body></html>\n";
}

}  // namespace

bool Answer56SinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kVideo(R"(/u\d*/v_([^/.]+)\.html)");
    static const std::regex kAlbum(R"(/w\d*/play_album-aid-([^_/]+)_vid-([^/.]+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kVideo)) {
        AnswerSinglePageGbk(response, match[1] == "empty" ? std::string() : VideoPage(match[1]));
        return true;
    }
    if (std::regex_match(request.path, match, kAlbum)) {
        AnswerSinglePageGbk(response, AlbumPage(match[1], match[2]));
        return true;
    }
    return false;
}

}  // namespace quib::standin
