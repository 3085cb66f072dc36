// Ouou (偶偶)'s video pages (/play/v_CODE.html). Served in UTF-8; the date line's label holds
// an ideographic space and a full-width colon, as the site wrote it. Code "empty" answers with
// an empty body.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

std::string PlayPage(const std::string& code)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n<title>偶偶视频 " +
           code + "</title></head><body>\n<h1>偶偶视频 " + code +
           "</h1>\n<ul class=\"info\"><li>作　者：偶偶</li>\n"
           "<li>时\u3000间\uff1a2009-03-02</li></ul>\n</body></html>\n";
}

}  // namespace

bool AnswerOuouSinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPlay(R"(/play/v_([^/.]+)\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kPlay))
        return false;
    AnswerSinglePageUtf8(response, match[1] == "empty" ? std::string() : PlayPage(match[1]));
    return true;
}

}  // namespace quib::standin
