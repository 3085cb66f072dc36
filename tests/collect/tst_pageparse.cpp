#include "tests/collect/listparse.h"
#include "standin/standinweb.h"
#include "host/core/workerthread.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <vector>

using namespace quib;
using namespace quib::standin;
using namespace quib::collect;

namespace {

struct Item {
    std::string data, link, caption;
    int index;
};

// What a worker reported, in order; every callback is on the user-interface thread.
struct Reports {
    std::vector<Item> items;
    std::vector<std::string> errors;
    std::vector<std::string> order;  // "item", "error", "end"
    int ends = 0;
    int lastIndex = -1;
    std::string baseUrl;
};

class PageParseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void collectsEveryPageInOrder();
    void stopBeforeTheFirstPageSendsNoRequest();
    void firstAddressWithoutSlashLeavesBaseUrlEmpty();
    void failingFetchReportsErrorThenEndOnce();
    void parserEndingOnFirstPageFetchesOnePage();
    void stopBetweenItemsEndsBeforeTheNextItem();
    void stopDuringTheScanKeepsTheItemsBeforeIt();
    void stopAbortsTransferInFlight();
    void stalledServerIsAbandoned();

private:
    std::shared_ptr<ListParse> Start(const std::string& url, Reports& reports, std::atomic<bool>& stop,
                                     int stopAfterItems = -1);
    bool WaitForEnd(const Reports& reports, int ms = 30000);

    StandinWeb m_web;
    NetworkSettings m_network;
    std::unique_ptr<WorkerRegistry> m_workers;
};

void PageParseTest::initTestCase()
{
    m_web.Start();
    m_network.connectTo = m_web.ConnectToRules();
}

void PageParseTest::cleanup()
{
    if (m_workers) {
        m_workers->StopAll();
        m_workers->WaitAll();
    }
    m_workers.reset();
    ListParse::stopAfterFirstPage = false;
    ListParse::beforeItem = nullptr;
    m_web.ClearRequests();
}

std::shared_ptr<ListParse> PageParseTest::Start(const std::string& url, Reports& reports, std::atomic<bool>& stop,
                                                int stopAfterItems)
{
    if (!m_workers)
        m_workers = std::make_unique<WorkerRegistry>();
    return WorkerThread::Start<ListParse>(
        *m_workers, m_network, url, "id", 0,
        [&reports, &stop, stopAfterItems](const std::string& data, const std::string& link, const std::string& caption,
                                          const std::string&, int index, TPageParse&) {
            reports.items.push_back({data, link, caption, index});
            reports.order.push_back("item");
            if (int(reports.items.size()) == stopAfterItems)
                stop = true;
        },
        [&reports](const std::exception& e, const std::string&, int, TPageParse&) {
            reports.errors.push_back(e.what());
            reports.order.push_back("error");
        },
        [&reports](TPageParse& pp) {
            ++reports.ends;
            reports.order.push_back("end");
            reports.lastIndex = pp.GetIndex();
            reports.baseUrl = pp.GetBaseUrl();
        },
        [&stop](TPageParse& pp) {
            if (stop)
                pp.Terminate();
        });
}

bool PageParseTest::WaitForEnd(const Reports& reports, int ms)
{
    QElapsedTimer clock;
    clock.start();
    const auto ended = [&] { return reports.ends > 0 && m_workers->RunningCount() == 0; };
    while (!ended() && clock.elapsed() < ms)
        QTest::qWait(10);
    return ended();
}

void PageParseTest::collectsEveryPageInOrder()
{
    Reports reports;
    std::atomic<bool> stop{false};
    Start(std::string(kListRoot) + "/list/3x4/1.html", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(reports.items.size(), std::size_t(12));
    for (int n = 1; n <= 12; ++n) {
        const Item& item = reports.items[std::size_t(n - 1)];
        QCOMPARE(item.link, std::string(kListRoot) + "/item/3x4/" + std::to_string(n) + ".html");
        // Captions arrive as the page's GBK bytes: "第n集".
        QCOMPARE(item.caption, "\xB5\xDA" + std::to_string(n) + "\xBC\xAF");
        QCOMPARE(item.index, (n - 1) % 4 + 1);  // the item count restarts on each page
    }
    QCOMPARE(reports.errors.size(), std::size_t(0));
    QCOMPARE(reports.ends, 1);
    QCOMPARE(reports.lastIndex, 2);
    QCOMPARE(reports.baseUrl, std::string(kListRoot) + "/list/3x4/");
    QCOMPARE(m_web.Requests().size(), std::size_t(3));
}

void PageParseTest::stopBeforeTheFirstPageSendsNoRequest()
{
    Reports reports;
    std::atomic<bool> stop{true};
    Start(std::string(kListRoot) + "/list/3x4/1.html", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(m_web.Requests().size(), std::size_t(0));
    QCOMPARE(reports.order, std::vector<std::string>{"end"});
}

void PageParseTest::firstAddressWithoutSlashLeavesBaseUrlEmpty()
{
    Reports reports;
    std::atomic<bool> stop{true};
    Start("nothing-here", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(reports.baseUrl, std::string());
}

void PageParseTest::failingFetchReportsErrorThenEndOnce()
{
    Reports reports;
    std::atomic<bool> stop{false};
    Start(std::string(kListRoot) + "/__fault/status/500", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QTest::qWait(100);  // nothing more may follow
    QCOMPARE(reports.order, (std::vector<std::string>{"error", "end"}));
    QVERIFY2(reports.errors[0].find("paging.standin.test") != std::string::npos, reports.errors[0].c_str());
    QVERIFY2(reports.errors[0].find("500") != std::string::npos, reports.errors[0].c_str());
}

void PageParseTest::parserEndingOnFirstPageFetchesOnePage()
{
    ListParse::stopAfterFirstPage = true;
    Reports reports;
    std::atomic<bool> stop{false};
    Start(std::string(kListRoot) + "/list/5x2/1.html", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(m_web.Requests().size(), std::size_t(1));
    QCOMPARE(reports.items.size(), std::size_t(2));
}

void PageParseTest::stopBetweenItemsEndsBeforeTheNextItem()
{
    Reports reports;
    std::atomic<bool> stop{false};
    // 2,100 rows go over in several hand-overs; the stop comes while the first one is appended,
    // with the worker already reading on: no row of a later hand-over follows.
    Start(std::string(kListRoot) + "/list/3x700/1.html", reports, stop, 2);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(reports.items.size(), std::size_t(2));
    QCOMPARE(reports.errors.size(), std::size_t(0));
    QCOMPARE(reports.order.back(), std::string("end"));
}

void PageParseTest::stopDuringTheScanKeepsTheItemsBeforeIt()
{
    Reports reports;
    std::atomic<bool> stop{false};
    // The stop is asked for while the worker scans the page, before item 2: the item that passed
    // its check is still appended.
    ListParse::beforeItem = [&stop](int n) {
        if (n == 2)
            stop = true;
    };
    Start(std::string(kListRoot) + "/list/3x4/1.html", reports, stop);
    QVERIFY(WaitForEnd(reports));
    QCOMPARE(reports.items.size(), std::size_t(1));
    QCOMPARE(reports.items[0].index, 1);
    QCOMPARE(reports.order, (std::vector<std::string>{"item", "end"}));
    QCOMPARE(m_web.Requests().size(), std::size_t(1));
}

void PageParseTest::stopAbortsTransferInFlight()
{
    Reports reports;
    std::atomic<bool> stop{false};
    QElapsedTimer clock;
    clock.start();
    Start(std::string(kListRoot) + "/__fault/stall?seconds=30", reports, stop);
    QTRY_COMPARE(m_web.Requests().size(), std::size_t(1));
    stop = true;
    QVERIFY(WaitForEnd(reports, 10000));
    // A stop is not a failure: no error box for the user.
    QCOMPARE(reports.order, std::vector<std::string>{"end"});
    QVERIFY2(clock.elapsed() < 10000, "the transfer was not abandoned on the stop request");
}

void PageParseTest::stalledServerIsAbandoned()
{
    Reports reports;
    std::atomic<bool> stop{false};
    Start(std::string(kListRoot) + "/__fault/stall?seconds=60", reports, stop);
    QVERIFY(WaitForEnd(reports, 45000));
    QCOMPARE(reports.order, (std::vector<std::string>{"error", "end"}));
    QVERIFY2(reports.errors[0].find("16") != std::string::npos, reports.errors[0].c_str());
}

}  // namespace

QTEST_GUILESS_MAIN(PageParseTest)
#include "tst_pageparse.moc"
