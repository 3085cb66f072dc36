// Album pages fetched several at once: the table gets the rows the walk one page after another
// gives, and a stop ends every transfer in flight without a row of a later page.
#include "tests/support/formfixture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace quib;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::results;
using namespace quib::standin;

namespace {

// A row as the comparison sees it. 56 draws its album folder at random for every collection, so
// its links are compared from the album page's own name on.
QString RowText(const ResultRow& row, const QByteArray& site)
{
    std::string link = row.Link;
    if (site == "56")
        link = link.substr(link.rfind('/') + 1);
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(gbk::ToUnicode(row.Caption), gbk::ToUnicode(row.Url), gbk::ToUnicode(row.Date),
             QString::fromStdString(link))
        .arg(row.Status);
}

// Tudou's playlist page `page` of an album of three items a page that goes on for ever.
std::string HeldAlbumPage(int page)
{
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
        "<title>豆单 hold - 土豆网</title></head><body>\n<div class=\"pack_list\"><ul>\n";
    for (int n = page * 3 - 2; n <= page * 3; ++n)
        html += "<li>视频：<a href=\"/playlist/playindex.do?lid=hold&iid=" + std::to_string(1000000000 + n) +
                "\" target=\"_blank\"> 第" + std::to_string(n) + "集 </a></li>\n";
    html += "</ul></div>\n<div class=\"page_nav\"><ul>\n<li class=\"current\">" + std::to_string(page) + "</li>\n";
    html += "<li><a href=\"javascript://\">" + std::to_string(page + 1) + "</a></li>\n</ul></div>\n</body></html>\n";
    return gbk::FromUtf8(html);
}

}  // namespace

class ConcurrentPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { m_f.Destroy(); }
    void rowsAsOnePageAfterAnother_data();
    void rowsAsOnePageAfterAnother();
    void requestsPastTheEnd_data();
    void requestsPastTheEnd();
    void stopEndsEveryTransfer();

private:
    // The rows and messages of one collection with this many pages at once.
    QStringList Collect(const QByteArray& site, const QByteArray& id, int jobs);

    FormFixture m_f{FormFixture::Web::Own};
    // The held pages of the stop test: requests that arrived, and those whose client hung up.
    std::atomic<int> m_held{0};
    std::atomic<int> m_hungUp{0};
};

void ConcurrentPagesTest::initTestCase()
{
    // Pages 1 and 2 of album "hold" answer at once; every later one only when the client hangs
    // up, so a transfer that is not ended holds its page for good.
    m_f.Web().AddSite("www.tudou.com", [this](const StandinRequest& request, httplib::Response& response) {
        const auto lid = request.params.find("lid");
        const auto pn = request.params.find("pn");
        if (request.path != "/playlist/showItems.do" || lid == request.params.end() || lid->second != "hold" ||
            pn == request.params.end())
            return false;
        const int page = std::atoi(pn->second.c_str());
        if (page > 2) {
            ++m_held;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!request.peerGone() && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            m_hungUp += request.peerGone() ? 1 : 0;
        }
        response.set_content(HeldAlbumPage(page), "text/html; charset=gbk");
        return true;
    });
    m_f.Web().Start();
}

QStringList ConcurrentPagesTest::Collect(const QByteArray& site, const QByteArray& id, int jobs)
{
    m_f.Destroy();
    NetworkSettings network = StandinNetwork(m_f.Web());
    network.pageJobs = jobs;
    m_f.Create(nullptr, network);
    m_f.form->FastSwitch().setChecked(false);
    m_f.Collect(QString::fromLatin1(id), site.toStdString());
    if (!m_f.WaitIdle())
        return {"still running"};
    QStringList lines;
    for (int row = 0; row < m_f.form->Data().Count(); ++row)
        lines << RowText(m_f.form->Data().Row(row), site);
    for (const auto& message : m_f.messages.Messages())
        lines << message.text;
    return lines;
}

void ConcurrentPagesTest::rowsAsOnePageAfterAnother_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("rows");
    QTest::newRow("tudou") << QByteArray("tudou") << QByteArray("9x3") << 27;
    QTest::newRow("youku") << QByteArray("youku") << QByteArray("6x2") << 12;
    QTest::newRow("56") << QByteArray("56") << QByteArray("6x2") << 12;
    QTest::newRow("6rooms") << QByteArray("6jf") << QByteArray("1x9") << 9;
    QTest::newRow("ouou") << QByteArray("ouou") << QByteArray("9x3") << 27;
    QTest::newRow("sina") << QByteArray("sina") << QByteArray("9x3") << 27;
    // A failed page ends the list with the pages before it, however many came after it.
    QTest::newRow("tudou, page 5 fails") << QByteArray("tudou") << QByteArray("9x3-fail5") << 12;
    QTest::newRow("6rooms, position 4 fails") << QByteArray("6jf") << QByteArray("1x9-fail5") << 4;
    QTest::newRow("sina, first page empty") << QByteArray("sina") << QByteArray("edge-blank") << 2;
    QTest::newRow("youku, list ends inside") << QByteArray("youku") << QByteArray("edge-tail") << 3;
    // An item page lost among the pages fetched ahead: its row goes without the page's data.
    QTest::newRow("youku, item 5 lost") << QByteArray("youku") << QByteArray("6x2-lost5") << 12;
    // A pager that states too few pages bounds nothing once the walk goes past them.
    QTest::newRow("tudou, pager states 4 of 9") << QByteArray("tudou") << QByteArray("9x3-says4") << 27;
}

void ConcurrentPagesTest::rowsAsOnePageAfterAnother()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, id);
    QFETCH(int, rows);
    const QStringList walked = Collect(site, id, 1);
    for (const int jobs : {4, 8}) {
        const QStringList concurrent = Collect(site, id, jobs);
        QCOMPARE(concurrent, walked);
    }
    // The messages (a failure's alert) come after the rows.
    QCOMPARE(m_f.form->Data().Count(), rows);
}

void ConcurrentPagesTest::requestsPastTheEnd_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("pageTarget");  // what the album's page requests hold
    QTest::addColumn<int>("mostPast");
    // Tudou's pager states the album's pages: none is asked for past them.
    QTest::newRow("tudou, pages stated") << QByteArray("tudou") << QByteArray("9x3") << QByteArray("pn=") << 0;
    // Sina's pager does not: the window past the last page is asked for, no more.
    QTest::newRow("sina, pages not stated") << QByteArray("sina") << QByteArray("9x3") << QByteArray("/a/9x3/") << 8;
}

void ConcurrentPagesTest::requestsPastTheEnd()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, pageTarget);
    QFETCH(int, mostPast);
    constexpr int kJobs = 8, kPages = 9;
    m_f.Web().ClearRequests();
    QCOMPARE(Collect(site, id, kJobs).size(), kPages * 3);
    const auto requests = m_f.Web().Requests();
    const auto pageRequests = std::count_if(requests.begin(), requests.end(), [&](const StandinWeb::Logged& logged) {
        return logged.target.find(pageTarget.toStdString()) != std::string::npos;
    });
    QVERIFY2(pageRequests >= kPages && pageRequests <= kPages + mostPast, QByteArray::number(int(pageRequests)));
}

void ConcurrentPagesTest::stopEndsEveryTransfer()
{
    constexpr int kJobs = 4;
    TParseForm* form = nullptr;
    std::atomic<int>& held = m_held;
    const auto launcher = [&form, &held](CollectionEngine& engine, const CollectionEngine::WorkerStart& start) {
        const SiteRecord& site = *FindSite("tudou");
        const TPageParse::TOnGetUrlEvent rows = engine.ItemRows(site, site.pages);
        site.pages.start(
            engine.App().GetWorkers(), engine.App().GetNetwork(), start.url, start.id, start.index,
            {[&engine, &form, &held, rows](const std::string& html, const std::string& link, const std::string& caption,
                                           const std::string& date, int index, TPageParse& worker) {
                 rows(html, link, caption, date, index, worker);
                 if (engine.Data().Count() != 2)
                     return;
                 // Page 2 is in hand and the window's pages past it are on their way, none of
                 // them answered, when the person presses 终止 at the second row.
                 const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                 while (held < kJobs && std::chrono::steady_clock::now() < giveUp)
                     std::this_thread::sleep_for(std::chrono::milliseconds(5));
                 form->ButtonClick();
             },
             [&engine](const std::exception& e, const std::string& url, int i, TPageParse& t) {
                 engine.ParseError(e, url, i, t);
             },
             [&engine](TPageParse& t) { engine.ParseEnd(t); },
             [stop = engine.StopRequested()](TPageParse& t) {
                 if (stop.IsSet())
                     t.Terminate();
             }});
    };
    NetworkSettings network = StandinNetwork(m_f.Web());
    network.pageJobs = kJobs;
    m_f.Create(nullptr, network);
    form = m_f.form.get();
    m_f.form->FastSwitch().setChecked(false);
    m_f.form->Engine().SetWorkerLauncher(launcher);
    m_f.Collect("hold", "tudou");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    // Pages 3 to 6 were asked for at once; each of their transfers ended with the stop.
    QCOMPARE(m_held.load(), kJobs);
    QTRY_COMPARE(m_hungUp.load(), kJobs);
    // The stop at the second row leaves the rest of page 1 and all of page 2 out.
    QCOMPARE(m_f.form->Data().Count(), 2);
    QCOMPARE(m_f.Caption(1), QStringLiteral("第2集"));
}

QTEST_MAIN(ConcurrentPagesTest)
#include "tst_concurrentpages.moc"
