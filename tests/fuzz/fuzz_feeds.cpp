// The feed and Xunlei document readers: the first byte picks the reader, the rest is the
// document. Every section is read from its own text, and every field of a section from its own
// part of it, so the items' fields together never hold more than the document.
#include "collect/feeddates.h"
#include "collect/feedscan.h"
#include "tests/fuzz/fuzzcheck.h"
#include "collect/xunleiscan.h"

#include <cstdint>
#include <string>

using namespace quib;
using namespace quib::collect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view document(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t items = 0;
    std::size_t bytes = 0;
    const ItemSink sink = [&](const ScannedItem& item) {
        ++items;
        bytes += item.link.size() + item.data.size() + item.date.size();
        if ((data[0] & 4) != 0) {
            TudouFeedDate(item.date);
            YoukuFeedDate(item.date);
        }
    };
    switch (data[0] % 4) {
    case 0: ScanTudouFeed(document, sink); break;
    case 1: ScanYoukuFeed(document, sink); break;
    case 2: ScanXunleiMovie(document, sink); break;
    case 3: ScanXunleiAlbum(document, sink); break;
    }
    FUZZ_CHECK(items <= document.size());
    FUZZ_CHECK(bytes <= document.size());
    FUZZ_CHECK(XunleiSourceAddress(document).size() <= document.size());
    return 0;
}
