// The six video sites' own search-result pages, with the structure each site's page had where the
// injected collect links go, written as the sites wrote them: one element a line, indented, so
// white-space text lies between the elements the scripts count. Each page lists kAlbums albums;
// the album links lead to albums the stand-in sites serve, so a collect link collects them.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <string>

namespace quib::standin {

namespace {

constexpr int kAlbums = 3;

// The pages' text is laid out as the pages are, one element a line.
// clang-format off
std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
           "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
           "<html>\n"
           "<head>\n"
           "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
           "  <title>" + title + "</title>\n"
           "</head>\n"
           "<body>\n"
           "  <div id=\"result\">\n" + body + "  </div>\n"
           "</body>\n"
           "</html>\n";
}

std::string Nth(int n)
{
    return std::to_string(n + 1);
}

std::string WolePage()
{
    std::string body;
    for (int n = 0; n < kAlbums; ++n)
        body += "    <dl class=\"finddl\">\n"
                "      <dt>\n"
                "        <span><a href=\"http://www.56.com/w12/album-aid-" + Nth(n) + "x5.html\">专辑" + Nth(n) + "</a></span>\n"
                "      </dt>\n"
                "      <dd>56 专辑</dd>\n"
                "    </dl>\n";
    return Page("56 搜索", body);
}

std::string YoukuPage()
{
    std::string body;
    for (int n = 0; n < kAlbums; ++n)
        body += "    <ul class=\"vList\" id=\"list" + Nth(n) + "x8\">\n"
                "      <li>播放列表" + Nth(n) + "</li>\n"
                "    </ul>\n";
    body += "    <ul class=\"lists\">\n";
    for (int n = 0; n < kAlbums; ++n)
        body += "      <li>\n"
                "        <div>\n"
                "          <img src=\"/t.gif\">\n"
                "          <a href=\"http://www.youku.com/playlist_show/id_" + Nth(n) + "x6.html\">节目" + Nth(n) + "</a>\n"
                "        </div>\n"
                "      </li>\n";
    body += "    </ul>\n";
    for (int n = 0; n < kAlbums; ++n)
        body += "    <ul class=\"video\">\n"
                "      <li><a href=\"http://v.youku.com/v_show/id_" + Nth(n) + ".html\">视频" + Nth(n) + "</a></li>\n"
                "      <li>时长</li>\n"
                "    </ul>\n";
    return Page("优酷 搜索", body);
}

std::string TudouPage()
{
    std::string body = "    <table>\n"
                       "      <tr>\n";
    for (int n = 0; n < kAlbums; ++n)
        body += "        <td class=\"programInfo\">\n"
                "          <a href=\"http://www.tudou.com/playlist/id/" + Nth(n) + "x4/\">节目" + Nth(n) + "</a>\n"
                "        </td>\n";
    body += "      </tr>\n"
            "    </table>\n";
    for (int n = 0; n < kAlbums; ++n)
        body += "    <div class=\"pack pack_clip\">\n"
                "      <div class=\"pic\"><img src=\"/t.gif\"></div>\n"
                "      <ul>\n"
                "        <li><a href=\"http://www.tudou.com/playlist/id/" + Nth(n) + "x7/\">豆单" + Nth(n) + "</a></li>\n"
                "      </ul>\n"
                "    </div>\n";
    return Page("土豆 搜索", body);
}

std::string SixroomsPage()
{
    std::string body;
    for (int n = 0; n < kAlbums; ++n)
        body += "    <div class=\"videobar-showzjl\">\n"
                "      <h3><a href=\"http://6.cn/plist/" + Nth(n) + "x3\">专辑" + Nth(n) + "</a></h3>\n"
                "    </div>\n";
    for (int n = 0; n < kAlbums; ++n)
        body += "    <div class=\"videobar-showl\">\n"
                "      <h3><a href=\"http://6.cn/watch/" + Nth(n) + ".html\">视频" + Nth(n) + "</a></h3>\n"
                "    </div>\n";
    return Page("六间房 搜索", body);
}

std::string OuouPage()
{
    std::string body;
    for (int n = 0; n < kAlbums; ++n)
        body += "    <dl class=\"vedio_list\">\n"
                "      <dt><a href=\"http://www.ouou.com/playlistinfo/v_" + Nth(n) + "x4/1.html\">专辑" + Nth(n) + "</a></dt>\n"
                "      <dd>偶偶</dd>\n"
                "    </dl>\n";
    return Page("偶偶 搜索", body);
}

std::string SinaPage()
{
    std::string body;
    for (int n = 0; n < kAlbums; ++n) {
        const char* kind = n % 2 == 0 ? "sp_ResultInfo" : "sear_zjtj";
        body += std::string("    <div class=\"") + kind + "\">\n"
                "      <ul>\n"
                "        <li><a href=\"http://you.video.sina.com.cn/a/" + Nth(n) + "x5/1/2.html\">专辑" + Nth(n) + "</a></li>\n"
                "      </ul>\n"
                "    </div>\n";
    }
    return Page("新浪视频 搜索", body);
}
// clang-format on

SiteHandler Serve(std::string (*page)())
{
    return [page](const StandinRequest&, httplib::Response& response) {
        AnswerGbk(response, page());
        return true;
    };
}

}  // namespace

void RegisterSearchPages(StandinWeb& web)
{
    web.AddSite("so.56.com", Serve(WolePage));
    web.AddSite("m.so.56.com", Serve(WolePage));  // a sub-domain, which the injection leaves alone
    web.AddSite("so.youku.com", Serve(YoukuPage));
    web.AddSite("so.tudou.com", Serve(TudouPage));
    web.AddSite("6.cn", [](const StandinRequest& request, httplib::Response& response) {
        if (request.path != "/search.php")
            return false;
        AnswerGbk(response, SixroomsPage());
        return true;
    });
    web.AddSite("so.ouou.com", Serve(OuouPage));
    web.AddSite("so.video.sina.com.cn", Serve(SinaPage));
}

}  // namespace quib::standin
