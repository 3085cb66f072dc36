// 6rooms (六间房) playlists: one video per page, positions numbered from 0; a position past
// the end answers with a page that holds no video. Served in UTF-8, as the site did.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"

#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "6.cn";
constexpr int kFirstEvid = 100000;

std::string VideoPage(int n, bool plainTitle)
{
    const std::string title = " 六间房视频 第" + std::to_string(n) + "集 ";
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><title>" + title +
           "</title></head><body>\n<div class=\"vInfo\">" + (plainTitle ? "<h4>" : "<h4 class=\"title\">") + title +
           "</h4></div>\n"
           "<script type=\"text/javascript\">var pageMessage = {};\npageMessage.evid = 'ev" +
           std::to_string(kFirstEvid + n) + "';\n</script>\n</body></html>\n";
}

std::string EndPage()
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"
           "<body><p>播放列表已经结束</p></body></html>\n";
}

// Position 0 a video, 1 an empty page, 2 a video whose title the text does not show plainly,
// then the end.
bool AnswerEdge(int position, httplib::Response& response)
{
    switch (position) {
    case 0: AnswerUtf8(response, VideoPage(1, true)); break;
    case 1: AnswerUtf8(response, std::string()); break;
    case 2: AnswerUtf8(response, VideoPage(3, false)); break;
    default: AnswerUtf8(response, EndPage()); break;
    }
    return true;
}

bool AnswerPosition(const std::string& id, int position, httplib::Response& response)
{
    if (id == "edge-empty")
        return AnswerEdge(position, response);
    const auto album = ParseSiteAlbum(id);
    if (!album)
        return false;
    if (position + 1 == album->failingPage)
        AnswerServerError(response);
    else if (album->endless || position < album->shape.ItemCount())
        AnswerUtf8(response, VideoPage(position + 1, true));
    else
        AnswerUtf8(response, EndPage());
    return true;
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPosition(R"(/plist/([^/]+)/(\d+)\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kPosition))
        return false;
    const auto position = ParseNumber(match[2].str());
    return position && AnswerPosition(match[1], *position, response);
}

}  // namespace

void Register6roomsPlaylists(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
