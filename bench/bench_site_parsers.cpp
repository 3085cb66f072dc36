// The site parsers on large inputs: scanning one big playlist page (against a single plain
// std::string::find pass over the same text, which stops at every '<', and against one memchr
// pass, the honest lower bound), and collecting a long album over loopback into the collection
// form (against fetching the same pages with libcurl alone). The stand-in web runs in a process
// of its own, so the album's CPU time is the client's alone.
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "collect/ououpageparse.h"
#include "collect/parse.h"
#include "tests/support/scriptedmessages.h"
#include "collect/sinapageparse.h"
#include "standin/standinweb.h"
#include "collect/tudoupageparse.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

using namespace quib;
using namespace quib::results;
using namespace quib::collect;
using namespace quib::test;
using namespace quib::standin;

namespace {

constexpr std::size_t kPageBytes = 10u << 20;
constexpr int kAlbumPages = 500;
constexpr int kAlbumItems = 20;

// A playlist page of about kPageBytes: the site's item markup, n = 1, 2, ... until it is full.
std::string BigPage(const std::string& head, const std::function<std::string(int)>& item, const std::string& tail)
{
    std::string page = head;
    for (int n = 1; page.size() < kPageBytes; ++n)
        page += item(n);
    return page + tail;
}

std::string TudouPage()
{
    return gbk::FromUtf8(BigPage(
        "<html><head><title>豆单</title></head><body><div class=\"pack_list\"><ul>\n",
        [](int n) {
            return "<li>视频：<a href=\"/playlist/playindex.do?lid=1&iid=" + std::to_string(1000000000 + n) +
                   "\" target=\"_blank\"> 土豆视频 第" + std::to_string(n) +
                   "集 </a></li>\n"
                   "<li class=\"info\">时长：12:34 播放：" +
                   std::to_string(n * 7) + "</li>\n";
        },
        "</ul></div><div class=\"page_nav\"><ul><li class=\"current\">1</li></ul></div></body></html>\n"));
}

std::string OuouPage()
{
    return BigPage(
        "<html><head><title>播放列表</title></head><body><ul class=\"plist\">\n",
        [](int n) {
            return "<li class=\"spename\"><a href=\"http://www.ouou.com/play/v_" + std::to_string(700000 + n) +
                   ".html\" target=\"_blank\"> 偶偶视频 第" + std::to_string(n) + "集 </a></li>\n";
        },
        "</ul></body></html>\n");
}

std::string SinaPage()
{
    return gbk::FromUtf8(BigPage(
        "<html><head><title>专辑</title></head><body><div class=\"list\"><ul>\n",
        [](int n) {
            return "<li><input type=\"checkbox\" name=\"playlist\" value=\"" + std::to_string(n) +
                   "\" /><a href=\"http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=1&uid=1650000001#" +
                   std::to_string(1000000000 + n) + "\" title=\" 新浪视频 第" + std::to_string(n) +
                   "集 \" target=\"_blank\"></a><p>上传时间： 2009-05-01 <br>播放：" + std::to_string(n) +
                   "</p></li>\n";
        },
        "</ul></div><div id=\"sa\" class=\"pager\">下一页&gt;&gt;</a></div></body></html>\n"));
}

// Runs one site parser over a page already in memory, on a worker thread as in a collection,
// and wakes the user-interface thread when it is done.
template <class Parser>
class PageScan final : public Parser {
public:
    PageScan(const std::string& page, std::atomic<bool>& done, TPageParse::TOnGetUrlEvent onRow)
        : Parser(NetworkSettings{}, "http://bench/", "1", 0, std::move(onRow), {}, {}, {}), m_page(page), m_done(done)
    {
    }

protected:
    void Execute() override
    {
        this->ParseHTMLDocument(m_page);
        m_done.store(true);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    }

private:
    const std::string& m_page;
    std::atomic<bool>& m_done;
};

// A parser run on the calling thread: its worker ends at once, and the items it reports
// afterwards are taken in place. This is the scan with every field cut, without the hand-over
// to another thread.
template <class Parser>
class DirectScan final : public Parser {
public:
    explicit DirectScan(TPageParse::TOnGetUrlEvent onRow)
        : Parser(NetworkSettings{}, "http://bench/", "1", 0, std::move(onRow), {}, {}, {})
    {
    }
    void Run(const std::string& page)
    {
        this->ParseHTMLDocument(page);
        this->HandOverRows();
    }

protected:
    void Execute() override {}
};

// The two yardsticks: a find that never matches (it stops at every '<') and one memchr pass for a
// byte the page does not hold.
// The page's address is hidden from the optimiser, so that no pass is hoisted out of its loop.
std::size_t FindPass(const std::string& page)
{
    // std::string's own find (std::string_view's, inlined, runs nearly twice as fast).
    const std::string* text = &page;
    benchmark::DoNotOptimize(text);
    return text->find("<no such marker>");
}
const void* MemchrPass(const std::string& page)
{
    const char* text = page.data();
    benchmark::DoNotOptimize(text);
    return std::memchr(text, '\0', page.size());
}

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The CPU time one call of run takes on this thread.
template <class Run>
double CpuSeconds(Run&& run)
{
    const double start = ThreadSeconds();
    run();
    return ThreadSeconds() - start;
}

// The scan on the calling thread: markers only, or every item's fields cut and reported in place.
// Each repetition of the scan runs beside one pass of each yardstick, after them in one round and
// before them in the next, so a spell of a busier machine (or a cooler cache) falls on both sides
// alike. The ratios set the fastest scan against the fastest pass of each yardstick: the cost of
// the work itself, which a slow spell during any one repetition does not move.
template <class Parser>
void ScanPageInPlace(benchmark::State& state, const std::string& page, bool cutItems)
{
    WorkerRegistry workers;
    int items = 0;
    TPageParse::TOnGetUrlEvent onRow;
    if (cutItems)
        onRow = [&items](const std::string&, const std::string&, const std::string&, const std::string&, int,
                         TPageParse&) { ++items; };
    const auto scan = WorkerThread::Start<DirectScan<Parser>>(workers, onRow);
    workers.WaitAll();
    std::vector<double> scans, finds, memchrs;
    const auto yardsticks = [&] {
        finds.push_back(CpuSeconds([&] { benchmark::DoNotOptimize(FindPass(page)); }));
        memchrs.push_back(CpuSeconds([&] { benchmark::DoNotOptimize(MemchrPass(page)); }));
    };
    for (auto _ : state) {
        const bool scanFirst = scans.size() % 2 == 0;
        if (!scanFirst)
            yardsticks();
        items = 0;
        scans.push_back(CpuSeconds([&] { scan->Run(page); }));
        state.SetIterationTime(scans.back());
        if (scanFirst)
            yardsticks();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["items"] = items;
    const double fastest = *std::min_element(scans.begin(), scans.end());
    state.counters["x_find"] = fastest / *std::min_element(finds.begin(), finds.end());
    state.counters["x_memchr"] = fastest / *std::min_element(memchrs.begin(), memchrs.end());
}

// Items only counted (no row callback), or every item handed to the user-interface thread.
template <class Parser>
void ScanPage(benchmark::State& state, const std::string& page, bool reportItems)
{
    WorkerRegistry workers;
    int items = 0;
    TPageParse::TOnGetUrlEvent onRow;
    if (reportItems)
        onRow = [&items](const std::string&, const std::string&, const std::string&, const std::string&, int,
                         TPageParse&) { ++items; };
    for (auto _ : state) {
        items = 0;
        std::atomic<bool> done{false};
        WorkerThread::Start<PageScan<Parser>>(workers, page, done, onRow);
        // The user-interface thread's own loop carries the worker's synchronised calls.
        while (!done.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        workers.WaitAll();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["items"] = items;
}

void PlainFindPass(benchmark::State& state, const std::string& page)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FindPass(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void PlainMemchrPass(benchmark::State& state, const std::string& page)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MemchrPass(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// Where the stand-in web of the child process answers: the connect-to rules for every host.
struct Standin {
    std::vector<std::string> connectTo;
};

NetworkSettings Redirected(const Standin& web)
{
    NetworkSettings network;
    network.connectTo = web.connectTo;
    return network;
}

// Serves the stand-in web from a child process until this process ends (its end of the pipe
// closes). Called before any thread starts, so the fork copies one thread. Empty on failure.
Standin StartStandinProcess()
{
    int rule[2], life[2];
    if (::pipe(rule) != 0 || ::pipe(life) != 0)
        return {};
    const pid_t child = ::fork();
    if (child < 0)
        return {};
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::close(rule[0]);
        ::close(life[1]);
        StandinWeb web;
        web.Start();
        const std::string connectTo = web.ConnectToRules().front() + "\n";
        if (::write(rule[1], connectTo.data(), connectTo.size()) < 0)
            ::_exit(1);
        ::close(rule[1]);
        char byte;
        while (::read(life[0], &byte, 1) != 0) {}
        web.Stop();
        ::_exit(0);
    }
    ::close(rule[1]);
    ::close(life[0]);  // life[1] stays open, unused, for as long as this process lives
    std::string line;
    char byte;
    while (::read(rule[0], &byte, 1) == 1 && byte != '\n')
        line += byte;
    ::close(rule[0]);
    if (line.empty())
        return {};
    return Standin{{line}};
}

// The whole album through the collection form, from the collect button to the end callback.
class FormAlbum {
public:
    explicit FormAlbum(const Standin& web)
        : m_app("Quib", m_dir.path(), m_messages, m_workers, Redirected(web)), m_form(nullptr, &m_app)
    {
        m_form.FastSwitch().setChecked(false);
        m_form.SiteRadio("tudou").setChecked(true);
        m_form.UrlEditor().setText(QString::number(kAlbumPages) + "x" + QString::number(kAlbumItems));
    }
    bool Collect()
    {
        m_form.ButtonClick();
        while (m_form.Running())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return m_form.Data().Count() == kAlbumPages * kAlbumItems && m_messages.Messages().empty();
    }
    int Rows() { return m_form.Data().Count(); }

private:
    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    WorkerRegistry m_workers;
    HostApp m_app;
    TParseForm m_form;
};

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

// The same pages, one after another, on one libcurl handle and nothing else.
class CurlAlbum {
public:
    explicit CurlAlbum(const Standin& web)
    {
        for (const std::string& rule : web.connectTo)
            m_rules.reset(curl_slist_append(m_rules.release(), rule.c_str()));
        curl_easy_setopt(m_curl.get(), CURLOPT_CONNECT_TO, m_rules.get());
        curl_easy_setopt(m_curl.get(), CURLOPT_WRITEFUNCTION, Discard);
    }
    bool Fetch()
    {
        const std::string album = std::to_string(kAlbumPages) + "x" + std::to_string(kAlbumItems);
        bool fetched = true;
        for (int page = 1; page <= kAlbumPages; ++page) {
            const std::string url =
                "http://www.tudou.com/playlist/showItems.do?lid=" + album + "&pn=" + std::to_string(page);
            curl_easy_setopt(m_curl.get(), CURLOPT_URL, url.c_str());
            fetched = curl_easy_perform(m_curl.get()) == CURLE_OK && fetched;
        }
        return fetched;
    }

private:
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> m_curl{curl_easy_init(), curl_easy_cleanup};
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> m_rules{nullptr, curl_slist_free_all};
};

void CollectAlbumThroughTheForm(benchmark::State& state, const Standin& web)
{
    FormAlbum album(web);
    for (auto _ : state)
        if (!album.Collect())
            state.SkipWithError("the album was not collected completely");
    state.counters["rows"] = album.Rows();
}

void FetchAlbumPagesWithCurl(benchmark::State& state, const Standin& web)
{
    CurlAlbum album(web);
    for (auto _ : state)
        if (!album.Fetch())
            state.SkipWithError("fetch failed");
}

double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The form and libcurl alone in turns, each pair right beside each other (which goes first
// alternates), after one pair that warms both up: x_curl is the median of the pairs' CPU time
// ratios, so a machine whose load changes during the run moves both sides of a pair alike.
void AlbumThroughTheFormAgainstCurl(benchmark::State& state, const Standin& web)
{
    FormAlbum form(web);
    CurlAlbum curl(web);
    if (!form.Collect() || !curl.Fetch())
        state.SkipWithError("the album was not collected completely");
    const auto cpu = [](auto&& run, bool& done) {
        const double start = ProcessSeconds();
        done = run() && done;
        return ProcessSeconds() - start;
    };
    std::vector<double> ratios, formSeconds, curlSeconds;
    bool done = true;
    for (auto _ : state) {
        const bool formFirst = ratios.size() % 2 == 0;
        double formTime = formFirst ? cpu([&] { return form.Collect(); }, done) : 0;
        const double curlTime = cpu([&] { return curl.Fetch(); }, done);
        if (!formFirst)
            formTime = cpu([&] { return form.Collect(); }, done);
        ratios.push_back(formTime / curlTime);
        formSeconds.push_back(formTime);
        curlSeconds.push_back(curlTime);
    }
    if (!done)
        state.SkipWithError("the album was not collected completely");
    state.counters["x_curl"] = Median(ratios);
    state.counters["form_ms"] = Median(formSeconds) * 1e3;
    state.counters["curl_ms"] = Median(curlSeconds) * 1e3;
}

// The same pages through the host's HTTP client alone, as the worker fetches them.
void FetchAlbumPagesWithTheHostClient(benchmark::State& state, const Standin& web)
{
    THttpConnection connection(Redirected(web));
    const std::string album = std::to_string(kAlbumPages) + "x" + std::to_string(kAlbumItems);
    for (auto _ : state)
        for (int page = 1; page <= kAlbumPages; ++page)
            connection.Get("http://www.tudou.com/playlist/showItems.do?lid=" + album + "&pn=" + std::to_string(page),
                           TPageParse::kFetchLimit);
}

}  // namespace

int main(int argc, char** argv)
{
    const Standin web = StartStandinProcess();
    if (web.connectTo.empty()) {
        std::fprintf(stderr, "bench_site_parsers: the stand-in web did not start\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string tudou = TudouPage(), ouou = OuouPage(), sina = SinaPage();

    const auto timed = [](benchmark::internal::Benchmark* b) {
        return b->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    // The scans beside their yardsticks report the scan's own CPU time.
    const auto scanTimed = [](benchmark::internal::Benchmark* b) {
        return b->Unit(benchmark::kMillisecond)->UseManualTime();
    };
    using benchmark::RegisterBenchmark;
    // The plain passes over each page, and each site's scan with every field cut, one after the
    // other in one run: the ratios are what counts (x_find, x_memchr: against each yardstick).
    timed(RegisterBenchmark("PlainMemchrPass/tudou", PlainMemchrPass, tudou));
    timed(RegisterBenchmark("PlainFindPass/tudou", PlainFindPass, tudou));
    scanTimed(RegisterBenchmark("ScanPageInPlace/tudou", ScanPageInPlace<TTudouPageParse>, tudou, false));
    scanTimed(RegisterBenchmark("ScanPageCuttingItems/tudou", ScanPageInPlace<TTudouPageParse>, tudou, true));
    timed(RegisterBenchmark("PlainFindPass/ouou", PlainFindPass, ouou));
    scanTimed(RegisterBenchmark("ScanPageInPlace/ouou", ScanPageInPlace<TOuouPageParse>, ouou, false));
    scanTimed(RegisterBenchmark("ScanPageCuttingItems/ouou", ScanPageInPlace<TOuouPageParse>, ouou, true));
    timed(RegisterBenchmark("PlainFindPass/sina", PlainFindPass, sina));
    scanTimed(RegisterBenchmark("ScanPageInPlace/sina", ScanPageInPlace<TSinaPageParse>, sina, false));
    scanTimed(RegisterBenchmark("ScanPageCuttingItems/sina", ScanPageInPlace<TSinaPageParse>, sina, true));
    timed(RegisterBenchmark("ScanPage/tudou", ScanPage<TTudouPageParse>, tudou, false));
    timed(RegisterBenchmark("ScanPage/ouou", ScanPage<TOuouPageParse>, ouou, false));
    timed(RegisterBenchmark("ScanPage/sina", ScanPage<TSinaPageParse>, sina, false));
    timed(RegisterBenchmark("ScanPageReportingItems/tudou", ScanPage<TTudouPageParse>, tudou, true));
    timed(RegisterBenchmark("ScanPageReportingItems/sina", ScanPage<TSinaPageParse>, sina, true));
    // The process's CPU time counts the worker and the user-interface thread alike (the stand-in's
    // threads are in the other process), so it compares the client's work even on a machine too
    // busy for fair wall times.
    timed(RegisterBenchmark("CollectAlbum500ThroughTheForm", CollectAlbumThroughTheForm, std::cref(web)))
        ->MeasureProcessCPUTime()
        ->Iterations(3);
    timed(RegisterBenchmark("FetchAlbum500WithTheHostClient", FetchAlbumPagesWithTheHostClient, std::cref(web)))
        ->MeasureProcessCPUTime()
        ->Iterations(3);
    timed(RegisterBenchmark("FetchAlbum500WithCurl", FetchAlbumPagesWithCurl, std::cref(web)))
        ->MeasureProcessCPUTime()
        ->Iterations(3);
    timed(RegisterBenchmark("Album500ThroughTheFormAgainstCurl", AlbumThroughTheFormAgainstCurl, std::cref(web)))
        ->MeasureProcessCPUTime()
        ->Iterations(6);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
