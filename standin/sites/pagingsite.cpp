// A plain paged list: the smallest site that has what the paging collectors look for, items and
// a link to the next page.
#include "standin/albumshape.h"
#include "standin/builtinsites.h"
#include "standin/gbktext.h"
#include "standin/standinweb.h"

#include <charconv>
#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "paging.standin.test";

std::string ListPage(const std::string& id, const AlbumPage& page)
{
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
        "<title>列表 " +
        id + " 第" + std::to_string(page.page) + "页</title></head><body>\n<ul>\n";
    for (int n = page.firstItem; n <= page.lastItem; ++n)
        html +=
            "<li><a href=\"/item/" + id + "/" + std::to_string(n) + ".html\">第" + std::to_string(n) + "集</a></li>\n";
    html += "</ul>\n";
    if (page.HasNext())
        html += "<a class=\"next\" href=\"/list/" + id + "/" + std::to_string(page.page + 1) + ".html\">下一页</a>\n";
    html += "</body></html>\n";
    return html;
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kListPath(R"(/list/([^/]+)/(\d+)\.html)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kListPath))
        return false;
    const std::string id = match[1];
    const auto shape = ParseAlbumShape(id);
    int number = 0;
    const std::string pageText = match[2];
    if (!shape || std::from_chars(pageText.data(), pageText.data() + pageText.size(), number).ec != std::errc())
        return false;
    const auto page = PageOf(*shape, number);
    if (!page)
        return false;
    response.set_content(Utf8ToGbk(ListPage(id, *page)), "text/html; charset=gbk");
    return true;
}

}  // namespace

void RegisterPagingSite(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
