// 6rooms (六间房)'s video pages (/watch/ID.html) and the positions of the playlist "single"
// (/plist/single/N.html); every other playlist belongs to the playlist pages. Served in UTF-8.
// Video "empty" answers with an empty body, video "broken" with a page cut short inside its
// address, with bytes that are not UTF-8 in its title.
#include "standin/sites/singlepages.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const std::string kBroken = "<html><body><h2>六间房\xff\xfe视频</h2><script>pageMessage.evid = 'ev";

const std::string kHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";

std::string Evid(const std::string& evid)
{
    return "<script type=\"text/javascript\">var pageMessage = {};\npageMessage.evid = '" + evid + "';\n</script>\n";
}

std::string WatchPage(const std::string& id)
{
    return kHead + "<title>六间房视频 " + id + "</title></head><body>\n<div class=\"vTitle\"><h2>六间房视频 " + id +
           "</h2></div>\n" + Evid("ev" + id) +
           "<ul class=\"info\"><li>播主：六间房&nbsp; 上传于 2008-07-15 </li>\n"
           "<li>播放：12</li></ul>\n</body></html>\n";
}

std::string ListPage(const std::string& position)
{
    return kHead + "<title>六间房列表</title></head><body>\n<div class=\"vInfo\"><h4>六间房列表 第" + position +
           "集</h4></div>\n" + Evid("evpl" + position) + "</body></html>\n";
}

}  // namespace

bool Answer6roomsSinglePage(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kWatch(R"(/watch/([^/.]+)\.html)");
    static const std::regex kList(R"(/plist/single/(\d+)\.html)");
    std::smatch match;
    if (std::regex_match(request.path, match, kWatch)) {
        if (match[1] == "broken")
            AnswerSinglePageUtf8(response, kBroken);
        else
            AnswerSinglePageUtf8(response, match[1] == "empty" ? std::string() : WatchPage(match[1]));
        return true;
    }
    if (std::regex_match(request.path, match, kList)) {
        AnswerSinglePageUtf8(response, ListPage(match[1]));
        return true;
    }
    return false;
}

}  // namespace quib::standin
