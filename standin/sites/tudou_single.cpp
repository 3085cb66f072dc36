// Tudou's video pages (/programs/view/CODE/) and playlist pages that show one video
// (/playlist/playindex.do?lid=L&iid=I). Served in GBK.
//
// A video page's iid is the digits of its code ("Ab12345678" → 12345678). Codes "noiid" (no
// script names the video) and "notitle" (a title without the site's suffix) ask for trouble.
// A playlist page links three videos, the asked-for iid among them with the title "1.My video ";
// the list "missing" does not hold the asked-for one.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

std::string Digits(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (c >= '0' && c <= '9')
            out += c;
    return out.empty() ? "10000001" : out;
}

std::string ViewPage(const std::string& code)
{
    const std::string title =
        code == "notitle" ? "土豆视频 " + code : "土豆视频 " + code + " - 土豆网 - 每个人都是生活的导演";
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n<title>" + title +
        "</title>\n<script type=\"text/javascript\">var _stat = {site: 'tudou'};</script>\n</head><body>\n"
        "<div id=\"player\"><h1>" +
        code + "</h1></div>\n";
    if (code == "noiid")
        return html + "</body></html>\n";
    html += "<script type=\"text/javascript\">\nvar iid=" + Digits(code) + ", lid=0, defaultIid=0;\n</script>\n";
    // A later script naming another video must not be taken.
    return html + "<script type=\"text/javascript\">var related = {iid=99999999, n: 1};</script>\n</body></html>\n";
}

std::string QueryValue(const std::string& query, const std::string& name)
{
    // The raw query, so that an address pasted with "&amp;" still names its values.
    static const std::regex kPair(R"((?:^|[&;])([a-z]+)=([^&#]*))");
    for (auto it = std::sregex_iterator(query.begin(), query.end(), kPair); it != std::sregex_iterator(); ++it)
        if ((*it)[1] == name)
            return (*it)[2];
    return {};
}

std::string PlayLink(const std::string& lid, const std::string& iid, const std::string& title)
{
    return "<li><a href=\"http://www.tudou.com/playlist/playindex.do?lid=" + lid + "&amp;iid=" + iid + "\" title=\"" +
           title + "\" target=\"_self\">" + title + "</a></li>\n";
}

std::string PlayIndexPage(const std::string& lid, const std::string& iid)
{
    const long long asked = std::stoll("0" + Digits(iid));
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n<title>土豆播放列表 " +
        lid + " - 土豆网</title></head><body>\n<ul class=\"playlist\">\n";
    html += PlayLink(lid, std::to_string(asked + 1), "3.下一集 ");
    if (lid != "missing")
        html += PlayLink(lid, iid, "1.My video ");
    html += PlayLink(lid, std::to_string(asked + 2), "4.再下一集 ");
    return html + "</ul>\n</body></html>\n";
}

}  // namespace

bool AnswerTudouSinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kView(R"(/programs/view/([^/]+)/?)");
    std::smatch match;
    if (std::regex_match(request.path, match, kView)) {
        AnswerSinglePageGbk(response, ViewPage(match[1]));
        return true;
    }
    if (request.path == "/playlist/playindex.do") {
        const std::string lid = QueryValue(request.query, "lid");
        const std::string iid = QueryValue(request.query, "iid");
        if (lid.empty() || iid.empty())
            return false;
        AnswerSinglePageGbk(response, PlayIndexPage(lid, iid));
        return true;
    }
    return false;
}

}  // namespace quib::standin
