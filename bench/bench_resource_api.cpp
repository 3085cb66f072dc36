// The resource-site reader on a 100,000-episode record (JSON and XML, and the rows it becomes),
// and one search over five sites of the stand-in web, merged.
#include "collect/resourceapi.h"
#include "collect/resourcerows.h"
#include "collect/resourcesearch.h"
#include "standin/standinweb.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace quib;
using namespace quib::collect;
using namespace quib::standin;
using namespace quib::results;

namespace {

constexpr int kEpisodes = 100000;

std::string PlayList()
{
    std::string list;
    for (int n = 1; n <= kEpisodes; ++n)
        list += (n > 1 ? "#" : "") + std::string("第") + std::to_string(n) + "集$https://vod.standin.test/20240101/" +
                std::to_string(n) + "/index.m3u8";
    return list;
}

std::string JsonRecord()
{
    std::string list = PlayList();
    std::string escaped;
    for (const char c : list) {
        if (c == '/')
            escaped += '\\';
        escaped += c;
    }
    return R"({"code":1,"msg":"数据列表","page":1,"pagecount":1,"limit":"20","total":1,"list":[{"vod_id":1,)"
           R"("vod_name":"长河","type_id":13,"type_name":"国产剧","vod_time":"2024-11-03 08:00:00",)"
           R"("vod_remarks":"更新至100000集","vod_play_from":"ffm3u8","vod_play_url":")" +
           escaped + "\"}]}";
}

std::string XmlRecord()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"5.1\"><list page=\"1\" pagecount=\"1\" "
           "pagesize=\"20\" recordcount=\"1\"><video><last>2024-11-03 08:00:00</last><id>1</id><name><![CDATA[长河]]>"
           "</name><dl><dd flag=\"ffm3u8\"><![CDATA[" +
           PlayList() + "]]></dd></dl></video></list></rss>";
}

void Parse(benchmark::State& state, const std::string& body)
{
    for (auto _ : state) {
        const ResourcePage page = ParseResourceAnswer(body);
        if (page.records.empty() || page.records.front().EpisodeCount() != kEpisodes)
            state.SkipWithError("the record did not read whole");
        benchmark::DoNotOptimize(page);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}

void BM_Json100kEpisodes(benchmark::State& state) { Parse(state, JsonRecord()); }
void BM_Xml100kEpisodes(benchmark::State& state) { Parse(state, XmlRecord()); }

void BM_Rows100kEpisodes(benchmark::State& state)
{
    const ResourceRecord record = ParseResourceAnswer(JsonRecord()).records.front();
    for (auto _ : state)
        benchmark::DoNotOptimize(ResourceEpisodeRows(record, 0));
}

void BM_SearchFiveSites(benchmark::State& state)
{
    StandinWeb web;
    web.Start();
    NetworkSettings network;
    network.connectTo = web.ConnectToRules();
    // Five sites as the stand-in serves them (two of them reached by a second address).
    const std::vector<ResourceSite> sites{
        {"一", "http://zyjson.standin.test/api.php/provide/vod/"},
        {"二", "http://zyxml.standin.test/api.php/provide/vod/at/xml/"},
        {"三", "http://zyodd.standin.test/api.php/provide/vod/"},
        {"四", "http://zyjson.standin.test/api.php/provide/vod"},
        {"五", "http://zyodd.standin.test/api.php/provide/vod"},
    };
    for (auto _ : state) {
        const ResourceSearch search = SearchResourceSites(sites, QStringLiteral("城"), network);
        if (search.hits.size() != 20 || search.AllFailed())
            state.SkipWithError("the search did not find the four series on each site");
        benchmark::DoNotOptimize(search);
    }
}

}  // namespace

BENCHMARK(BM_Json100kEpisodes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Xml100kEpisodes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rows100kEpisodes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFiveSites)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
