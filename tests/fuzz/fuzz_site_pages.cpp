// The playlist scanners of the six sites and the cuts of their item pages. The first byte picks
// the site; the rest is the page. Items are reported as in a collection (Youku and 56 only
// count theirs: reporting one fetches its own page).
#include "tests/fuzz/fuzzcheck.h"
#include "collect/ououpageparse.h"
#include "collect/sinapageparse.h"
#include "collect/sitecuts.h"
#include "collect/sixroomspageparse.h"
#include "collect/textcursor.h"
#include "collect/tudoupageparse.h"
#include "collect/wolepageparse.h"
#include "collect/youkupageparse.h"

#include <cstdint>
#include <string>

using namespace quib;
using namespace quib::collect;

namespace {

// A parser run on the calling thread: its worker thread ends at once, and the reports it
// makes afterwards run in place (the registry lives on this thread).
template <class Parser>
class Scan final : public Parser {
public:
    explicit Scan(TPageParse::TOnGetUrlEvent onRow)
        : Parser(NetworkSettings{}, "http://fuzz.standin.test/list/1.html", "1", 0, std::move(onRow), {}, {}, {})
    {
    }
    void Run(const std::string& page) { this->ParseHTMLDocument(page); }

protected:
    void Execute() override {}
};

WorkerRegistry& Registry()
{
    static WorkerRegistry registry;
    return registry;
}

template <class Parser>
void Run(const std::string& page, bool report)
{
    std::size_t items = 0;
    TPageParse::TOnGetUrlEvent onRow;
    if (report)
        onRow = [&](const std::string& data, const std::string& link, const std::string& caption,
                    const std::string& date, int, TPageParse&) {
            ++items;
            // A field never takes more than the cut limit (twice that once converted to GBK), and
            // never more than the page.
            FUZZ_CHECK(caption.size() <= 2 * kFieldBytes && date.size() <= 2 * kFieldBytes);
            FUZZ_CHECK(link.size() <= 2 * kFieldBytes + 64 && data.size() <= 2 * kFieldBytes + 64);
        };
    const auto scan = WorkerThread::Start<Scan<Parser>>(Registry(), onRow);
    Registry().WaitAll();
    scan->Run(page);
    FUZZ_CHECK(items <= page.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 6) {
    case 0: Run<TTudouPageParse>(page, true); break;
    case 1: Run<TOuouPageParse>(page, true); break;
    case 2: Run<TSinaPageParse>(page, true); break;
    case 3: Run<TSixRoomsPageParse>(page, true); break;
    case 4: Run<TYoukuPageParse>(page, false); break;
    case 5: Run<TWolePageParse>(page, false); break;
    }
    FUZZ_CHECK(CutWoleUrl(page).size() <= 1000);
    FUZZ_CHECK(CutTudouUrl(page).size() <= 10);
    CutYoukuUrl(page);
    CutOuouUrl(page);
    const std::string sina = CutSinaUrl(page);
    FUZZ_CHECK(sina.empty() || sina.find("&uid=") != std::string::npos);
    return 0;
}
