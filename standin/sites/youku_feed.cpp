// Youku's album feeds (/playlist/rss/id/ID): an album of any size from an ID "<pages>x<items>"
// (all its items in the one feed), and a few hand-written feeds for the awkward cases.
#include "standin/albumshape.h"
#include "standin/builtinsites.h"
#include "standin/standinweb.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.youku.com";
const std::string kPrefix = "/playlist/rss/id/";
// The feed is one document, so the album's size is bounded as a whole.
constexpr int kMaxFeedItems = 100000;
// 2009-03-10 12:30:00 UTC; item n is published n hours later.
constexpr std::time_t kFirstPublished = 1236688200;
constexpr std::time_t kHour = 3600;

std::string InternetDate(std::time_t moment)
{
    std::tm parts{};
    gmtime_r(&moment, &parts);
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[parts.tm_wday], parts.tm_mday,
                  months[parts.tm_mon], parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string Channel(const std::string& id, const std::string& title)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\">\n<channel>\n<title>" + title +
           "</title>\n<link>http://www.youku.com/playlist_show/id_" + id +
           ".html</link>\n"
           "<description>优酷专辑</description>\n";
}

std::string Item(const std::string& title, const std::string& vid, const std::string& pubDate)
{
    return "<item>\n<title>" + title + "</title>\n<link>http://v.youku.com/v_show/id_" + vid +
           ".html</link>\n<description><![CDATA[" + title + "]]></description>\n<pubDate>" + pubDate +
           "</pubDate>\n<guid>http://player.youku.com/player.php/sid/" + vid + "/v.swf</guid>\n</item>\n";
}

const char* const kClose = "</channel>\n</rss>\n";

std::string AlbumFeed(const std::string& id, int items)
{
    std::string feed = Channel(id, "专辑 " + id);
    for (int n = 1; n <= items; ++n)
        feed += Item("第" + std::to_string(n) + "集 优酷视频", "XM" + id + "n" + std::to_string(n),
                     InternetDate(kFirstPublished + n * kHour));
    return feed + kClose;
}

// A date with a zone, dates that are no dates, an item without a title and one without a guid.
std::string EdgeFeed()
{
    return Channel("edge", "边缘专辑") + Item("东八区", "zone", "Tue, 10 Mar 2009 20:30:00 +0800") +
           Item("坏日期", "baddate", "sometime in spring") +
           "<item>\n<description>没有标题</description>\n<link>http://v.youku.com/v_show/id_untitled.html</link>\n"
           "<pubDate>Tue, 10 Mar 2009 12:30:00 GMT</pubDate>\n<guid>untitled</guid>\n</item>\n"
           "<item>\n<title>无标识</title>\n<link>http://v.youku.com/v_show/id_noguid.html</link>\n"
           "<pubDate>Wed, 11 Mar 2009 08:00:00 GMT</pubDate>\n</item>\n" +
           Item("最后", "last", "Thu, 12 Mar 2009 23:59:59 GMT") + kClose;
}

const std::map<std::string, std::string>& FixedFeeds()
{
    static const std::map<std::string, std::string> feeds = {
        {"edge", EdgeFeed()},
        {"empty", Channel("empty", "空专辑") + kClose},
        {"notfeed", "<html><head><title>优酷</title></head><body>找不到专辑</body></html>\n"},
    };
    return feeds;
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    if (request.path.rfind(kPrefix, 0) != 0)
        return false;
    const std::string id = request.path.substr(kPrefix.size());
    std::string feed;
    if (const auto fixed = FixedFeeds().find(id); fixed != FixedFeeds().end())
        feed = fixed->second;
    else if (const auto shape = ParseAlbumShape(id); shape && shape->ItemCount() <= kMaxFeedItems)
        feed = AlbumFeed(id, shape->ItemCount());
    else
        return false;
    response.set_content(feed, "text/xml; charset=utf-8");
    return true;
}

}  // namespace

void RegisterYoukuFeed(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
