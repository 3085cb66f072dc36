// The search pages of the five film and search sites the video search opens (MTime, the film
// library, Gougou, Kuaiche, Baidu images), and Tudou's main-site search, which sends the browser
// on to the results page of so.tudou.com. The five pages show what the server received, so a
// reader can tell a keyword sent as it was typed, percent-encoded in GBK, or encoded by the page
// (UTF-8) apart.
#include "standin/builtinsites.h"
#include "standin/htmlescape.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <string>

namespace quib::standin {

namespace {

// Bytes outside printable ASCII as %XX, so the page shows them whatever their encoding.
std::string Visible(const std::string& bytes)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7f) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        } else {
            out += ch;
        }
    }
    return out;
}

// The page shows the path (percent-encoded again where it is not ASCII) and the query exactly as
// they arrived.
SiteHandler ReceivedPage(std::string title, std::string pathPrefix)
{
    return [title = std::move(title), pathPrefix = std::move(pathPrefix)](const StandinRequest& request,
                                                                          httplib::Response& response) {
        if (request.path.rfind(pathPrefix, 0) != 0)
            return false;
        // clang-format off
        AnswerGbk(response, "<html>\n"
                            "<head>\n"
                            "  <title>" + title + "</title>\n"
                            "</head>\n"
                            "<body>\n"
                            "  <h1>" + title + "</h1>\n"
                            "  <p id=\"path\">" + HtmlEscape(Visible(request.path)) + "</p>\n"
                            "  <p id=\"query\">" + HtmlEscape(request.query) + "</p>\n"
                            "</body>\n"
                            "</html>\n");
        // clang-format on
        return true;
    };
}

// "kw" as it stands in the raw query, up to the next "&".
std::string RawParameter(const std::string& query, const std::string& name)
{
    const std::string key = name + "=";
    for (std::size_t at = 0; at < query.size();) {
        const std::size_t end = query.find('&', at);
        const std::string part = query.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (part.rfind(key, 0) == 0)
            return part.substr(key.size());
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return {};
}

bool TudouSearch(const StandinRequest& request, httplib::Response& response)
{
    const char* results = nullptr;
    if (request.path == "/search/programs/")
        results = "/isearch/";
    else if (request.path == "/search/playlist/")
        results = "/psearch/";
    if (!results)
        return false;
    response.set_redirect("http://so.tudou.com" + std::string(results) + RawParameter(request.query, "kw"), 302);
    return true;
}

}  // namespace

void RegisterSearchSources(StandinWeb& web)
{
    web.AddSite("www.mtime.com", ReceivedPage("时光网 搜索", "/search/movie"));
    web.AddSite("www.mdbchina.com", ReceivedPage("中国影视库 查询", "/query/"));
    web.AddSite("www.gougou.com", ReceivedPage("狗狗 搜索", "/search"));
    web.AddSite("www.kuaiche.com", ReceivedPage("快车 搜索", "/s/search"));
    web.AddSite("image.baidu.com", ReceivedPage("百度图片 搜索", "/i"));
    web.AddSite("www.tudou.com", TudouSearch);
}

}  // namespace quib::standin
