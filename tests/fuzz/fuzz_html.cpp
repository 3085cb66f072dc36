// The HTML walk with the element rules of single-page collection, and the text cuts of the
// pages read as text. The first byte picks the site and page kind; the rest is the page.
#include "tests/fuzz/fuzzcheck.h"
#include "host/core/gbk.h"
#include "host/core/htmlwalk.h"
#include "collect/simplerules.h"

#include <cstdint>
#include <string>

using namespace quib;
using namespace quib::collect;

namespace {

const char* const kSites[] = {"tudou", "56", "sina", "6"};
const char* const kAddresses[] = {
    "http://www.tudou.com/playlist/playindex.do?lid=1&iid=1000000001", "http://www.56.com/u/v_1.html",
    "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?uid=1&tid=2#1000000001", "http://6.cn/plist/1/0.html"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int site = data[0] % 4;
    const int kind = (data[0] >> 2) & 1;

    TParseData parse;
    parse.Site = kSites[site];
    parse.Kind = kind;
    const std::string address = kAddresses[site];
    std::size_t text = 0;
    HtmlWalkReport report;
    const std::size_t visited = WalkHtml(
        page,
        [&](const HtmlElement& element) {
            if (ApplySimpleParserRules(element, address, parse))
                return;
            if ((data[0] & 8) != 0)
                text += element.InnerText().size() + element.InnerHtml().size();
        },
        [&] { return parse.Found; }, &report);
    // However the page nests, the walk reads no more than it was given and hands out a bounded
    // amount of text.
    FUZZ_CHECK(report.parsedBytes <= page.size());
    FUZZ_CHECK(text <= 5 * page.size() + (2u << 20));
    FUZZ_CHECK(visited <= 2 * page.size() + 8);

    const std::string gbkPage = gbk::FromUtf8(page);
    CutWolePage(gbkPage, kind);
    CutSixRoomsPage(gbkPage, kind);
    CutYoukuPage(gbkPage, kind);
    CutOuouPage(gbkPage, "http://www.ouou.com/play/v_321.html");
    StripWoleRoot(page);
    EncodeUrl(page);
    return 0;
}
