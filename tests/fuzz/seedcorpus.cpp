// Writes the fuzz targets' seed inputs: the stand-in web's own pages (fetched over loopback, as
// the collection fetches them) and the hostile shapes at a size a fuzzer can work with.
//   fuzz_seed_corpus OUTPUT_FOLDER   (tests/fuzz/corpus)
#include "standin/hostileshapes.h"
#include "host/core/httpconnection.h"
#include "standin/standinweb.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace quib;
using namespace quib::standin;

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& folder, const std::string& name, char selector, const std::string& body)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << selector << body;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_corpus OUTPUT_FOLDER\n");
        return 2;
    }
    const fs::path out(argv[1]);
    StandinWeb web;
    web.Start();
    NetworkSettings network;
    network.connectTo = web.ConnectToRules();
    THttpConnection http(network);
    const auto fetch = [&](const std::string& url) { return http.Get(url, 10); };

    struct Seed {
        const char* target;
        const char* name;
        char selector;
        const char* url;
    };
    const Seed seeds[] = {
        {"site_pages", "tudou", 0, "http://www.tudou.com/playlist/showItems.do?lid=2x3&pn=1"},
        {"site_pages", "ouou", 1, "http://www.ouou.com/playlistinfo/v_2x3/1.html"},
        {"site_pages", "sina", 2, "http://you.video.sina.com.cn/a/2x3/1/2.html"},
        {"site_pages", "6rooms", 3, "http://6.cn/plist/2x3/0.html"},
        {"site_pages", "youku", 4, "http://www.youku.com/playlist_show/id_2x3_orderby_9_page_1.html"},
        {"site_pages", "56", 5, "http://www.56.com/w/album-p-1_aid-2x3.html"},
        {"feeds", "tudou", 0, "http://www.tudou.com/playlist/rss.do?lid=2x3"},
        {"feeds", "youku", 1, "http://www.youku.com/playlist/rss/id/2x3"},
        {"feeds", "xunlei-movie", 2, "http://data.movie.xunlei.com/voddata/xml/movieinfo/movie/a3x5.xml"},
        {"feeds", "xunlei-album", 3, "http://data.movie.xunlei.com/voddata/xml/movieinfo/album/a3x5_2.xml"},
        {"html", "tudou-view", 0, "http://www.tudou.com/programs/view/abc/"},
        {"html", "tudou-list", 4 | 8, "http://www.tudou.com/playlist/playindex.do?lid=1&iid=1000000001"},
        {"html", "56-video", 1, "http://www.56.com/u/v_abc.html"},
        {"html", "sina-video", 2, "http://you.video.sina.com.cn/b/123-456.html"},
        {"html", "6rooms-list", 3 | 4, "http://6.cn/plist/single/1.html"},
        {"resource", "json-list", 0, "http://zyjson.standin.test/api.php/provide/vod/?ac=list"},
        {"resource", "json-detail", 1, "http://zyjson.standin.test/api.php/provide/vod/?ac=detail&t=13"},
        {"resource", "xml-detail", 2, "http://zyxml.standin.test/api.php/provide/vod/at/xml/?ac=detail&t=13"},
        {"resource", "odd-detail", 0, "http://zyodd.standin.test/api.php/provide/vod/?ac=detail&t=13"},
    };
    int written = 0;
    for (const Seed& seed : seeds) {
        try {
            Write(out / seed.target, seed.name, seed.selector, fetch(seed.url));
            ++written;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", seed.url, e.what());
        }
    }
    // The hostile shapes, small: the walk's bounds must hold at any size.
    const std::pair<HostileShape, char> scanned[] = {{HostileShape::TudouOpenLinks, 0},
                                                     {HostileShape::OuouOpenLinks, 1},
                                                     {HostileShape::SinaOpenItems, 2},
                                                     {HostileShape::NestedHeadingDiv, 3},
                                                     {HostileShape::YoukuLateBlock, 4}};
    for (const auto& [shape, selector] : scanned)
        Write(out / "site_pages", "hostile-" + std::string(HostileShapeName(shape)), selector,
              HostilePage(shape, 32u << 10));
    for (const HostileShape shape :
         {HostileShape::NestedDiv, HostileShape::NestedHeadingDiv, HostileShape::ReopenedFormatting})
        for (const char selector : {char(0), char(3 | 8)})
            Write(out / "html", "hostile-" + std::string(HostileShapeName(shape)) + "-" + std::to_string(int(selector)),
                  selector, HostilePage(shape, 128u << 10));
    for (const HostileShape shape : {HostileShape::ApiDeepNesting, HostileShape::ApiHashes, HostileShape::ApiBadUtf8})
        Write(out / "resource", "hostile-" + std::string(HostileShapeName(shape)), 0, HostilePage(shape, 16u << 10));
    Write(out / "resource", "hostile-api-pagecount", 1, HostileApiPage(7));
    Write(out / "resource", "addresses", 3,
          "http://zy.example/api.php/provide/vod/?key=1&ac=detail&ids=42\nhttp://zy.example/vod/at/xml/#7\n"
          "ffm3u8$$$ffyun\n01$https://a/1#02$https://a/2$$$HD$https://b/1##x");
    std::printf("%d pages and the hostile shapes written to %s\n", written, out.c_str());
    return 0;
}
