// Time and memory against page size for the hostile page shapes (standin/hostileshapes.h): each
// site scanner over the shape aimed at it, and the HTML walk with the single-page rules over the
// nesting shapes. Every case runs in a child process of its own, so its peak memory is its own
// and a case that runs away can be cut off. For each shape the exponent k of time ~ size^k is
// fitted over the sizes that finished (1 is linear, 2 quadratic). A case gets at most 6 GiB of
// address space and --limit seconds.
// The sites' ordinary playlist pages run the same way, with their items reported or only
// counted: the "x plain" column is the scan's time over one plain search pass of the same page,
// both the best of a few runs in the same process.
//   bench_hostile_pages [--sizes 1,2,4,8] [--limit SECONDS] [--only NAME,...]   (sizes in MiB)
#include "host/core/htmlwalk.h"
#include "standin/hostileshapes.h"
#include "collect/ououpageparse.h"
#include "collect/sinapageparse.h"
#include "collect/simplerules.h"
#include "collect/sixroomspageparse.h"
#include "collect/tudoupageparse.h"
#include "collect/youkupageparse.h"
#include "host/core/gbk.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace quib;
using namespace quib::standin;
using namespace quib::collect;

namespace {

// A parser run on the calling thread: its worker ends at once, and the items it reports
// afterwards are taken in place, as a form would take them, but without the thread hand-over.
template <class Parser>
class DirectScan final : public Parser {
public:
    explicit DirectScan(TPageParse::TOnGetUrlEvent onRow)
        : Parser(NetworkSettings{}, "http://bench.standin.test/list/1.html", "1", 0, std::move(onRow), {}, {}, {})
    {
    }
    void Run(const std::string& page) { this->ParseHTMLDocument(page); }

protected:
    void Execute() override {}
};

// Scans page with Parser, reporting every item to a counter; returns the items.
template <class Parser>
std::size_t Scan(const std::string& page, bool reportItems)
{
    WorkerRegistry workers;
    std::size_t items = 0;
    TPageParse::TOnGetUrlEvent onRow;
    if (reportItems)
        onRow = [&items](const std::string&, const std::string&, const std::string&, const std::string&, int,
                         TPageParse&) { ++items; };
    const auto scan = WorkerThread::Start<DirectScan<Parser>>(workers, onRow);
    workers.WaitAll();
    scan->Run(page);
    return items;
}

// The single-page walk of a site over a page (UTF-8), as the loader runs it.
std::size_t Walk(const std::string& page, const char* site, int kind)
{
    TParseData data;
    data.Site = site;
    data.Kind = kind;
    const std::string address = "http://6.cn/plist/1/0.html";
    return WalkHtml(
        page, [&](const HtmlElement& element) { ApplySimpleParserRules(element, address, data); },
        [&] { return data.Found; });
}

// The ordinary playlist pages of the sites, as large as asked: the scans' own speed.
std::string Ordinary(const std::string& head, const std::function<std::string(int)>& item, const std::string& tail,
                     std::size_t bytes)
{
    std::string page = head;
    for (int n = 1; page.size() < bytes; ++n)
        page += item(n);
    return page + tail;
}

std::string OrdinaryTudou(std::size_t bytes)
{
    return Ordinary(
        "<html><head><title>豆单</title></head><body><div class=\"pack_list\"><ul>\n",
        [](int n) {
            return "<li>视频：<a href=\"/playlist/playindex.do?lid=1&iid=" + std::to_string(1000000000 + n) +
                   "\" target=\"_blank\"> 土豆视频 第" + std::to_string(n) +
                   "集 </a></li>\n"
                   "<li class=\"info\">时长：12:34 播放：" +
                   std::to_string(n * 7) + "</li>\n";
        },
        "</ul></div></body></html>\n", bytes);
}

std::string OrdinaryOuou(std::size_t bytes)
{
    return Ordinary(
        "<html><head><title>播放列表</title></head><body><ul class=\"plist\">\n",
        [](int n) {
            return "<li class=\"spename\"><a href=\"http://www.ouou.com/play/v_" + std::to_string(700000 + n) +
                   ".html\" target=\"_blank\"> 偶偶视频 第" + std::to_string(n) + "集 </a></li>\n";
        },
        "</ul></body></html>\n", bytes);
}

std::string OrdinarySina(std::size_t bytes)
{
    return Ordinary(
        "<html><head><title>专辑</title></head><body><div class=\"list\"><ul>\n",
        [](int n) {
            return "<li><input type=\"checkbox\" name=\"playlist\" value=\"" + std::to_string(n) +
                   "\" /><a href=\"http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=1&uid=1650000001#" +
                   std::to_string(1000000000 + n) + "\" title=\" 新浪视频 第" + std::to_string(n) +
                   "集 \" target=\"_blank\"></a><p>上传时间： 2009-05-01 <br>播放：" + std::to_string(n) +
                   "</p></li>\n";
        },
        "</ul></div><div id=\"sa\" class=\"pager\">下一页&gt;&gt;</a></div></body></html>\n", bytes);
}

struct Case {
    std::string name;
    std::function<std::string(std::size_t)> make;
    const char* what;
    bool gbk;  // served in GBK: the scanner reads it so
    std::function<std::size_t(const std::string&)> run;
};

Case Hostile(HostileShape shape, const char* what, bool gbk, std::function<std::size_t(const std::string&)> run)
{
    return Case{std::string(HostileShapeName(shape)), [shape](std::size_t bytes) { return HostilePage(shape, bytes); },
                what, gbk, std::move(run)};
}

struct Outcome {
    bool finished = false;
    double seconds = 0;
    double plainSeconds = 0;
    long peakKiB = 0;
};

constexpr rlim_t kMemoryCeiling = rlim_t(6) << 30;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

Outcome RunCase(const Case& c, std::size_t bytes, int limitSeconds)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        alarm(static_cast<unsigned>(limitSeconds));
        // A case that runs away with memory fails instead of taking the machine's.
        const rlimit memory{kMemoryCeiling, kMemoryCeiling};
        setrlimit(RLIMIT_AS, &memory);
        std::string page = c.make(bytes);
        if (c.gbk)
            page = gbk::FromUtf8(page);
        // The best of a few runs: the machine may be busy with other work.
        volatile std::size_t found = 0;
        double plain = 1e9;
        for (int run = 0; run < 5; ++run) {
            // The page might have changed, as far as the compiler knows: the search runs each time.
            asm volatile("" ::: "memory");
            const auto start = std::chrono::steady_clock::now();
            found = page.find("<no such marker>");
            plain = std::min(plain, Seconds(std::chrono::steady_clock::now() - start));
        }
        double seconds = 1e9;
        for (int run = 0; run < 5 && (run == 0 || seconds < 0.2); ++run) {
            const auto start = std::chrono::steady_clock::now();
            found = c.run(page);
            seconds = std::min(seconds, Seconds(std::chrono::steady_clock::now() - start));
        }
        (void)found;
        const double times[2] = {seconds, plain};
        if (write(channel[1], times, sizeof times) != sizeof times)
            _exit(1);
        _exit(0);
    }
    close(channel[1]);
    double times[2] = {0, 0};
    const bool read = ::read(channel[0], times, sizeof times) == sizeof times;
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Outcome outcome;
    outcome.finished = read && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    outcome.seconds = times[0];
    outcome.plainSeconds = times[1];
    outcome.peakKiB = usage.ru_maxrss;
    return outcome;
}

// Least-squares slope of log(time) against log(size).
double Exponent(const std::vector<std::pair<double, double>>& points)
{
    if (points.size() < 2)
        return NAN;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [size, seconds] : points) {
        const double x = std::log(size), y = std::log(std::max(seconds, 1e-6));
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double n = static_cast<double>(points.size());
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

std::vector<double> ParseSizes(const std::string& text)
{
    std::vector<double> sizes;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = text.find(',', from);
        sizes.push_back(std::atof(text.substr(from, comma - from).c_str()));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<double> sizes{1, 2, 4, 8};
    int limit = 30;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--sizes")
            sizes = ParseSizes(argv[i + 1]);
        else if (option == "--limit")
            limit = std::atoi(argv[i + 1]);
        else if (option == "--only")
            only = argv[i + 1];
    }

    const auto tudou = [](const std::string& p) { return Scan<TTudouPageParse>(p, true); };
    const auto ouou = [](const std::string& p) { return Scan<TOuouPageParse>(p, true); };
    const auto sina = [](const std::string& p) { return Scan<TSinaPageParse>(p, true); };
    std::vector<Case> cases = {
        {"tudou-ordinary", OrdinaryTudou, "Tudou markers only", true,
         [](const std::string& p) { return Scan<TTudouPageParse>(p, false); }},
        {"ouou-ordinary", OrdinaryOuou, "Ouou markers only", false,
         [](const std::string& p) { return Scan<TOuouPageParse>(p, false); }},
        {"sina-ordinary", OrdinarySina, "Sina markers only", true,
         [](const std::string& p) { return Scan<TSinaPageParse>(p, false); }},
        {"tudou-ordinary", OrdinaryTudou, "Tudou scan", true, tudou},
        {"ouou-ordinary", OrdinaryOuou, "Ouou scan", false, ouou},
        {"sina-ordinary", OrdinarySina, "Sina scan", true, sina},
        Hostile(HostileShape::TudouOpenLinks, "Tudou scan", true, tudou),
        Hostile(HostileShape::OuouOpenLinks, "Ouou scan", false, ouou),
        Hostile(HostileShape::YoukuLateBlock, "Youku scan", false,
                [](const std::string& p) { return Scan<TYoukuPageParse>(p, false); }),
        Hostile(HostileShape::SinaOpenItems, "Sina scan", true, sina),
        Hostile(HostileShape::NestedHeadingDiv, "6rooms scan", false,
                [](const std::string& p) { return Scan<TSixRoomsPageParse>(p, true); }),
        Hostile(HostileShape::NestedDiv, "walk, Tudou rules", false,
                [](const std::string& p) { return Walk(p, "tudou", 0); }),
        Hostile(HostileShape::NestedHeadingDiv, "walk, 6rooms rules", false,
                [](const std::string& p) { return Walk(p, "6", 1); }),
        Hostile(HostileShape::ReopenedFormatting, "walk, Tudou rules", false,
                [](const std::string& p) { return Walk(p, "tudou", 0); }),
    };
    // --only NAME,NAME: just those cases.
    if (!only.empty()) {
        std::vector<Case> chosen;
        for (Case& c : cases)
            if (("," + only + ",").find("," + c.name + ",") != std::string::npos)
                chosen.push_back(std::move(c));
        cases = std::move(chosen);
    }

    std::printf("%-16s %-20s %8s %10s %10s %10s\n", "shape", "run", "MiB", "seconds", "x plain", "peak MiB");
    for (const Case& c : cases) {
        std::vector<std::pair<double, double>> points;
        for (const double mib : sizes) {
            const auto bytes = static_cast<std::size_t>(mib * (1u << 20));
            const Outcome outcome = RunCase(c, bytes, limit);
            const std::string& shape = c.name;
            if (!outcome.finished) {
                std::printf("%-16s %-20s %8.3g %10s %10s %10.1f\n", shape.c_str(), c.what, mib,
                            ("> " + std::to_string(limit)).c_str(), "-", outcome.peakKiB / 1024.0);
                continue;
            }
            points.emplace_back(mib, outcome.seconds);
            std::printf("%-16s %-20s %8.3g %10.4f %10.1f %10.1f\n", shape.c_str(), c.what, mib, outcome.seconds,
                        outcome.seconds / std::max(outcome.plainSeconds, 1e-6), outcome.peakKiB / 1024.0);
        }
        std::printf("%-16s %-20s exponent %.2f\n", c.name.c_str(), c.what, Exponent(points));
        std::fflush(stdout);
    }
    return 0;
}
