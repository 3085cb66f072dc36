// A running series on Tudou's album feed: an album that gains episodes as the days go by, so an
// update can be shown against something that changes. "/playlist/rss.do?lid=running" lists the
// episodes the series has reached (20 at first; "/standin/running?episodes=N" moves it on) and
// "lid=running-N" always lists N. The titles write the episode number in every form the sites
// use, episode 13 never came out, and episode 8 was published twice under the same address.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <atomic>
#include <memory>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.tudou.com";
constexpr int kFirstEpisodes = 20;
constexpr int kMaxEpisodes = 999;
constexpr int kMissing = 13;
constexpr int kPublishedTwice = 8;
constexpr long long kFirstIid = 70000000;
// 2010-01-04 00:00:00 UTC in milliseconds; episode n came out n days later.
constexpr long long kFirstPublished = 1262563200000LL;
constexpr long long kDay = 86400000LL;

std::string ChineseNumber(int n)
{
    static const char* const kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (n < 1 || n >= 100)  // the sites write those in digits
        return std::to_string(n);
    const int tens = n / 10;
    const int ones = n % 10;
    std::string text;
    if (tens > 1)
        text += kDigits[tens];
    if (tens > 0)
        text += "十";
    return text + kDigits[ones];
}

std::string Title(int n)
{
    const std::string number = std::to_string(n);
    switch (n % 7) {
    case 0: return "长河 第" + number + "集";
    case 1: return "长河 第" + ChineseNumber(n) + "集";
    case 2: return "长河 EP" + number;
    case 3: return "长河 E" + number;
    case 4: return "长河 " + number + "集";
    case 5: return "长河(" + number + ")";
    default: return "长河 " + number;
    }
}

std::string Item(const std::string& title, int n)
{
    const std::string iid = std::to_string(kFirstIid + n);
    return "<item>\n<title>" + title + "</title>\n<link>http://www.tudou.com/programs/view/running" +
           std::to_string(n) + "/</link>\n<description>" + title + "</description>\n<tudou:info id=\"" + iid +
           "\" pubDate=\"" + std::to_string(kFirstPublished + n * kDay) + "\" time=\"2700\"/>\n</item>\n";
}

std::string Feed(const std::string& lid, int episodes)
{
    std::string feed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<rss version=\"2.0\" xmlns:tudou=\"http://www.tudou.com/\">\n<channel>\n"
        "<title>长河 (连载中)</title>\n<link>http://www.tudou.com/playlist/id/" +
        lid +
        "/</link>\n"
        "<description>土豆网专辑</description>\n";
    for (int n = 1; n <= episodes; ++n) {
        if (n == kMissing)
            continue;
        feed += Item(Title(n), n);
        if (n == kPublishedTwice)
            feed += Item("长河 第" + std::to_string(n) + "集（重发）", n);
    }
    return feed + "</channel>\n</rss>\n";
}

bool InRange(const std::optional<int>& episodes) { return episodes && *episodes >= 1 && *episodes <= kMaxEpisodes; }

}  // namespace

void RegisterRunningSeries(StandinWeb& web)
{
    // Each web has its own series, so tests that start webs of their own do not meet.
    auto reached = std::make_shared<std::atomic<int>>(kFirstEpisodes);
    web.AddSite(kHost, [reached](const StandinRequest& request, httplib::Response& response) {
        const auto param = [&request](const char* name) -> std::string {
            const auto found = request.params.find(name);
            return found == request.params.end() ? std::string() : found->second;
        };
        if (request.path == "/standin/running") {
            const auto episodes = ParseNumber(param("episodes"));
            if (!InRange(episodes))
                return false;
            reached->store(*episodes);
            response.set_content("episodes=" + std::to_string(*episodes) + "\n", "text/plain");
            return true;
        }
        if (request.path != "/playlist/rss.do")
            return false;
        const std::string lid = param("lid");
        int episodes = 0;
        if (lid == "running") {
            episodes = reached->load();
        } else if (lid.rfind("running-", 0) == 0) {
            const auto count = ParseNumber(std::string_view(lid).substr(8));
            if (!InRange(count))
                return false;
            episodes = *count;
        } else {
            return false;
        }
        response.set_content(Feed(lid, episodes), "text/xml; charset=utf-8");
        return true;
    });
}

}  // namespace quib::standin
