// Tudou's album feeds (/playlist/rss.do?lid=ID): an album of any size from an ID "<pages>x<items>"
// (all its items in the one feed), and a few hand-written feeds for the awkward cases.
#include "standin/albumshape.h"
#include "standin/builtinsites.h"
#include "standin/standinweb.h"

#include <map>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.tudou.com";
// The feed is one document, so the album's size is bounded as a whole.
constexpr int kMaxFeedItems = 100000;
// 2009-03-10 00:00:00 UTC in milliseconds; item n is published n days later.
constexpr long long kFirstPublished = 1236643200000LL;
constexpr long long kDay = 86400000LL;

std::string Channel(const std::string& lid, const std::string& title)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<rss version=\"2.0\" xmlns:tudou=\"http://www.tudou.com/\">\n<channel>\n"
           "<title>" +
           title + "</title>\n<link>http://www.tudou.com/playlist/id/" + lid +
           "/</link>\n"
           "<description>土豆网专辑</description>\n";
}

std::string Item(const std::string& title, const std::string& code, const std::string& iid, const std::string& pubDate)
{
    return "<item>\n<title>" + title + "</title>\n<link>http://www.tudou.com/programs/view/" + code +
           "/</link>\n<description>" + title + "</description>\n<tudou:info id=\"" + iid + "\" pubDate=\"" + pubDate +
           "\" time=\"120\"/>\n</item>\n";
}

const char* const kClose = "</channel>\n</rss>\n";

std::string AlbumFeed(const std::string& lid, int items)
{
    std::string feed = Channel(lid, "专辑 " + lid);
    for (int n = 1; n <= items; ++n)
        feed += Item("第" + std::to_string(n) + "集 土豆视频", "td" + lid + "n" + std::to_string(n),
                     std::to_string(50000000 + n), std::to_string(kFirstPublished + n * kDay));
    return feed + kClose;
}

// The dates at the edges, an item without a title of its own and a date that is no number.
std::string EdgeFeed()
{
    return Channel("edge", "边缘专辑") + Item(" 零点 ", "zero", "100", "0") + Item("一秒半", "half", "101", "1500") +
           "<item>\n<description>没有标题</description>\n<link>http://www.tudou.com/programs/view/untitled/</link>\n"
           "<tudou:info id=\"102\" pubDate=\"2000\"/>\n</item>\n" +
           Item("坏日期", "baddate", "103", "soon") + Item("负数", "negative", "104", "-1500") + kClose;
}

const std::map<std::string, std::string>& FixedFeeds()
{
    static const std::map<std::string, std::string> feeds = {
        {"edge", EdgeFeed()},
        {"empty", Channel("empty", "空专辑") + kClose},
        {"notfeed", "<html><head><title>土豆网</title></head><body>找不到专辑</body></html>\n"},
    };
    return feeds;
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    if (request.path != "/playlist/rss.do")
        return false;
    const auto lid = request.params.find("lid");
    if (lid == request.params.end())
        return false;
    std::string feed;
    if (const auto fixed = FixedFeeds().find(lid->second); fixed != FixedFeeds().end())
        feed = fixed->second;
    else if (const auto shape = ParseAlbumShape(lid->second); shape && shape->ItemCount() <= kMaxFeedItems)
        feed = AlbumFeed(lid->second, shape->ItemCount());
    else
        return false;
    response.set_content(feed, "text/xml; charset=utf-8");
    return true;
}

}  // namespace

void RegisterTudouFeed(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
