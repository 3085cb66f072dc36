// The stand-in web on its own, seen through a plain HTTP client that sets the Host header itself.
#include "standin/albumshape.h"
#include "standin/standinweb.h"

#include <QTest>

#include <chrono>
#include <regex>
#include <stdexcept>
#include <thread>

using namespace quib;
using namespace quib::standin;

namespace {

using Clock = std::chrono::steady_clock;
const std::string kPagingHost = "paging.standin.test";

httplib::Result Fetch(const StandinWeb& web, const std::string& host, const std::string& target, int readSeconds = 10)
{
    httplib::Client client("127.0.0.1", web.Port());
    client.set_read_timeout(readSeconds, 0);
    return client.Get(target, {{"Host", host}});
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + part.size()))
        ++count;
    return count;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

class StandinWebTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_web.Start(); }
    void cleanupTestCase() { m_web.Stop(); }
    void init() { m_web.ClearRequests(); }

    void albumShape_data();
    void albumShape();
    void albumPages_data();
    void albumPages();
    void pagingSiteServesNumberedLists_data();
    void pagingSiteServesNumberedLists();
    void pagingSiteRefusesWhatIsNotThere_data();
    void pagingSiteRefusesWhatIsNotThere();
    void dispatchesOnTheHostHeader();
    void cmsLoginLetsAnyoneIn_data();
    void cmsLoginLetsAnyoneIn();
    void faultStatus_data();
    void faultStatus();
    void faultRedirectAndBigBody();
    void logsEveryRequestInOrder();
    void rulesPointAtTheServer();
    void refusesToStartTwiceOrOnABusyPort();
    void servesOtherConnectionsWhileSomeStall();
    void abandonedClientsFreeTheirThreads_data();
    void abandonedClientsFreeTheirThreads();
    void stopIsPromptDuringSlowResponses_data();
    void stopIsPromptDuringSlowResponses();

private:
    StandinWeb m_web;
};

void StandinWebTest::albumShape_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("pages");  // 0: not an album
    QTest::addColumn<int>("items");
    QTest::newRow("3x5") << "3x5" << 3 << 5;
    QTest::newRow("single") << "1x1" << 1 << 1;
    QTest::newRow("largest") << "10000x10000" << 10000 << 10000;
    QTest::newRow("no pages") << "0x5" << 0 << 0;
    QTest::newRow("no items") << "3x0" << 0 << 0;
    QTest::newRow("too many pages") << "10001x1" << 0 << 0;
    QTest::newRow("negative") << "-1x5" << 0 << 0;
    QTest::newRow("missing items") << "3x" << 0 << 0;
    QTest::newRow("missing pages") << "x5" << 0 << 0;
    QTest::newRow("trailing text") << "3x5x" << 0 << 0;
    QTest::newRow("words") << "abc" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
}

void StandinWebTest::albumShape()
{
    QFETCH(QString, id);
    QFETCH(int, pages);
    QFETCH(int, items);
    const auto shape = ParseAlbumShape(id.toStdString());
    QCOMPARE(shape.has_value(), pages > 0);
    if (shape) {
        QCOMPARE(shape->pages, pages);
        QCOMPARE(shape->itemsPerPage, items);
    }
}

void StandinWebTest::albumPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("first");  // 0: no such page
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("hasNext");
    QTest::newRow("first page") << 1 << 1 << 5 << true;
    QTest::newRow("middle page") << 2 << 6 << 10 << true;
    QTest::newRow("last page") << 3 << 11 << 15 << false;
    QTest::newRow("page 0") << 0 << 0 << 0 << false;
    QTest::newRow("past the end") << 4 << 0 << 0 << false;
}

void StandinWebTest::albumPages()
{
    QFETCH(int, page);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, hasNext);
    const auto albumPage = PageOf(AlbumShape{3, 5}, page);
    QCOMPARE(albumPage.has_value(), first > 0);
    if (albumPage) {
        QCOMPARE(albumPage->firstItem, first);
        QCOMPARE(albumPage->lastItem, last);
        QCOMPARE(albumPage->HasNext(), hasNext);
    }
}

void StandinWebTest::pagingSiteServesNumberedLists_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("hasNext");
    QTest::newRow("3x5 page 1") << "3x5" << 1 << 1 << 5 << true;
    QTest::newRow("3x5 page 3") << "3x5" << 3 << 11 << 15 << false;
    QTest::newRow("single page") << "1x4" << 1 << 1 << 4 << false;
    QTest::newRow("large page") << "2x500" << 2 << 501 << 1000 << false;
}

void StandinWebTest::pagingSiteServesNumberedLists()
{
    QFETCH(QString, id);
    QFETCH(int, page);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, hasNext);
    const std::string album = id.toStdString();
    const auto result = Fetch(m_web, kPagingHost, "/list/" + album + "/" + std::to_string(page) + ".html");
    QVERIFY(result);
    QCOMPARE(result->status, 200);
    QCOMPARE(result->get_header_value("Content-Type"), std::string("text/html; charset=gbk"));
    const std::string& body = result->body;

    const auto item = [&album](int n) {
        return "<li><a href=\"/item/" + album + "/" + std::to_string(n) + ".html\">\xB5\xDA" + std::to_string(n) +
               "\xBC\xAF</a></li>";  // 第n集 in GBK
    };
    QCOMPARE(Count(body, "<li>"), static_cast<std::size_t>(last - first + 1));
    QVERIFY(body.find(item(first)) != std::string::npos);
    QVERIFY(body.find(item(last)) != std::string::npos);
    QVERIFY(body.find(item(first)) < body.find(item(last)) || first == last);
    QVERIFY(body.find(item(last + 1)) == std::string::npos);

    const std::string next = "<a class=\"next\" href=\"/list/" + album + "/" + std::to_string(page + 1) +
                             ".html\">\xCF\xC2\xD2\xBB\xD2\xB3</a>";  // 下一页
    QCOMPARE(body.find(next) != std::string::npos, hasNext);
    QCOMPARE(Count(body, "class=\"next\""), hasNext ? std::size_t(1) : std::size_t(0));
}

void StandinWebTest::pagingSiteRefusesWhatIsNotThere_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("page 0") << "/list/3x5/0.html";
    QTest::newRow("past the last page") << "/list/3x5/4.html";
    QTest::newRow("not an album id") << "/list/abc/1.html";
    QTest::newRow("empty album") << "/list/0x5/1.html";
    QTest::newRow("other extension") << "/list/3x5/1.htm";
    QTest::newRow("other path") << "/index.html";
}

void StandinWebTest::pagingSiteRefusesWhatIsNotThere()
{
    QFETCH(QString, target);
    const auto result = Fetch(m_web, kPagingHost, target.toStdString());
    QVERIFY(result);
    QCOMPARE(result->status, 404);
}

void StandinWebTest::cmsLoginLetsAnyoneIn_data()
{
    QTest::addColumn<QString>("version");
    for (const char* version : {"3.1", "4.x", "5.0", "6.0"})
        QTest::newRow(version) << version;
}

void StandinWebTest::cmsLoginLetsAnyoneIn()
{
    QFETCH(QString, version);
    const std::string login = "/" + version.toStdString() + "/admin/login.asp";
    const auto form = Fetch(m_web, "cms.standin.test", login);
    QVERIFY(form);
    QCOMPARE(form->status, 200);
    QVERIFY(form->body.find("action=\"login.asp\"") != std::string::npos);
    QVERIFY(form->body.find("name=\"password\"") != std::string::npos);

    httplib::Client client("127.0.0.1", m_web.Port());
    const auto in = client.Post(login, {{"Host", "cms.standin.test"}}, "username=nobody&password=wrong",
                                "application/x-www-form-urlencoded");
    QVERIFY(in);
    QCOMPARE(in->status, 200);
    QVERIFY(in->body.find("url=admin_index.asp") != std::string::npos);
    const auto frameset = Fetch(m_web, "cms.standin.test", "/" + version.toStdString() + "/admin/admin_index.asp");
    QVERIFY(frameset->body.find("<frameset") != std::string::npos);
}

void StandinWebTest::dispatchesOnTheHostHeader()
{
    StandinWeb web;
    web.AddSite("A.Standin.Test", [](const StandinRequest& request, httplib::Response& response) {
        if (request.path != "/mine")
            return false;
        response.set_content(request.host + " " + request.query + " " + request.params.at("k"), "text/plain");
        return true;
    });
    web.AddSite("broken.standin.test",
                [](const StandinRequest&, httplib::Response&) -> bool { throw std::runtime_error("site fault"); });
    web.Start();

    auto result = Fetch(web, "a.standin.test:8080", "/mine?k=%D6%D0&k=2");
    QVERIFY(result);
    QCOMPARE(result->status, 200);
    QCOMPARE(result->body, std::string("a.standin.test k=%D6%D0&k=2 \xD6\xD0"));
    QCOMPARE(Fetch(web, "A.STANDIN.TEST", "/mine?k=1")->status, 200);
    QCOMPARE(Fetch(web, "a.standin.test", "/not-mine")->status, 404);
    QCOMPARE(Fetch(web, "b.standin.test", "/mine?k=1")->status, 404);
    QCOMPARE(Fetch(web, "broken.standin.test", "/")->status, 500);
    // The paging site is built in on every instance, and the fault routes answer on any host.
    QCOMPARE(Fetch(web, kPagingHost, "/list/1x1/1.html")->status, 200);
    QCOMPARE(Fetch(web, "b.standin.test", "/__fault/status/418")->status, 418);

    web.AddSite("a.standin.test", [](const StandinRequest&, httplib::Response& response) {
        response.set_content("second", "text/plain");
        return true;
    });
    // A second handler for a host is asked only when the first declines.
    QCOMPARE(Fetch(web, "a.standin.test", "/anything")->body, std::string("second"));
    QCOMPARE(Fetch(web, "a.standin.test", "/mine?k=1")->body, std::string("a.standin.test k=1 1"));
}

void StandinWebTest::faultStatus_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("status");
    QTest::newRow("404") << "404" << 404;
    QTest::newRow("500") << "500" << 500;
    QTest::newRow("503") << "503" << 503;
    QTest::newRow("below 200") << "99" << 400;
    QTest::newRow("above 599") << "600" << 400;
}

void StandinWebTest::faultStatus()
{
    QFETCH(QString, code);
    QFETCH(int, status);
    const auto result = Fetch(m_web, "any.standin.test", "/__fault/status/" + code.toStdString());
    QVERIFY(result);
    QCOMPARE(result->status, status);
    QVERIFY(!result->body.empty());
}

void StandinWebTest::faultRedirectAndBigBody()
{
    auto result = Fetch(m_web, "x.standin.test", "/__fault/redirect?to=http%3A%2F%2Fy.test%2Fa%3Fb%3D1");
    QVERIFY(result);
    QCOMPARE(result->status, 302);
    QCOMPARE(result->get_header_value("Location"), std::string("http://y.test/a?b=1"));
    QCOMPARE(Fetch(m_web, "x.standin.test", "/__fault/redirect")->status, 400);

    result = Fetch(m_web, "x.standin.test", "/__fault/big?bytes=70000");
    QVERIFY(result);
    QCOMPARE(result->get_header_value("Content-Length"), std::string("70000"));
    QCOMPARE(result->body.size(), std::size_t(70000));
    QCOMPARE(result->body.substr(26, 3), std::string("abc"));
}

void StandinWebTest::logsEveryRequestInOrder()
{
    Fetch(m_web, "paging.standin.test:80", "/list/1x1/1.html?from=test");
    Fetch(m_web, "nobody.standin.test", "/nothing");
    const auto log = m_web.Requests();
    QCOMPARE(log.size(), std::size_t(2));
    QCOMPARE(log[0].host, kPagingHost);
    QCOMPARE(log[0].target, std::string("/list/1x1/1.html?from=test"));
    QCOMPARE(log[1].host, std::string("nobody.standin.test"));
    QCOMPARE(log[1].target, std::string("/nothing"));
    m_web.ClearRequests();
    QVERIFY(m_web.Requests().empty());
}

void StandinWebTest::rulesPointAtTheServer()
{
    const std::string port = std::to_string(m_web.Port());
    QVERIFY(m_web.Port() > 0);
    QCOMPARE(m_web.ConnectToRules(), std::vector<std::string>{"::127.0.0.1:" + port});
    QCOMPARE(m_web.HostResolverRules(), "MAP * 127.0.0.1:" + port);
}

void StandinWebTest::refusesToStartTwiceOrOnABusyPort()
{
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_web.Start());
    StandinWeb other;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, other.Start("127.0.0.1", m_web.Port()));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, other.Start("not an address"));
    QVERIFY(other.Start() > 0);  // failed starts leave nothing behind
}

void StandinWebTest::servesOtherConnectionsWhileSomeStall()
{
    StandinWeb web;
    web.Start();
    std::vector<std::thread> stalled;
    for (int i = 0; i < 6; ++i)
        stalled.emplace_back([&web] { Fetch(web, "x.standin.test", "/__fault/stall?seconds=60", 120); });
    QTRY_COMPARE_WITH_TIMEOUT(web.Requests().size(), std::size_t(6), 10000);
    const auto result = Fetch(web, kPagingHost, "/list/1x1/1.html");
    QVERIFY(result);
    QCOMPARE(result->status, 200);
    web.Stop();  // ends the stalls
    for (auto& thread : stalled)
        thread.join();
}

void StandinWebTest::abandonedClientsFreeTheirThreads_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("stall after the headers") << "/__fault/stall?seconds=300";
    QTest::newRow("stall before the headers") << "/__fault/stall-connect?seconds=300";
    QTest::newRow("endless body") << "/__fault/endless";
}

void StandinWebTest::abandonedClientsFreeTheirThreads()
{
    QFETCH(QString, target);
    StandinWeb web;
    web.Start();
    // More clients than the server has threads; each gives up after a second or a first chunk.
    std::vector<std::thread> clients;
    for (int i = 0; i < 24; ++i)
        clients.emplace_back([&web, path = target.toStdString()] {
            httplib::Client client("127.0.0.1", web.Port());
            client.set_read_timeout(1, 0);
            client.Get(path, {{"Host", "x.standin.test"}}, [](const char*, std::size_t) { return false; });
        });
    for (auto& client : clients)
        client.join();
    // Had the stalled responses kept their threads, this would wait behind them for minutes.
    const auto start = Clock::now();
    const auto result = Fetch(web, kPagingHost, "/list/1x1/1.html", 30);
    QVERIFY2(result, qPrintable(QString("no answer after %1 s").arg(SecondsSince(start))));
    QCOMPARE(result->status, 200);
}

void StandinWebTest::stopIsPromptDuringSlowResponses_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("stall after the headers") << "/__fault/stall?seconds=300";
    QTest::newRow("stall before the headers") << "/__fault/stall-connect?seconds=300";
    QTest::newRow("endless body") << "/__fault/endless";
}

void StandinWebTest::stopIsPromptDuringSlowResponses()
{
    QFETCH(QString, target);
    StandinWeb web;
    web.Start();
    std::thread client([&web, path = target.toStdString()] {
        httplib::Client http("127.0.0.1", web.Port());
        http.set_read_timeout(300, 0);
        http.Get(path, {{"Host", "x.standin.test"}}, [](const char*, std::size_t) { return true; });  // discards
    });
    QTRY_COMPARE_WITH_TIMEOUT(web.Requests().size(), std::size_t(1), 10000);
    QTest::qWait(200);  // let the response get under way
    const auto start = Clock::now();
    web.Stop();
    const double seconds = SecondsSince(start);
    client.join();
    QVERIFY2(seconds < 10, qPrintable(QString("Stop took %1 s").arg(seconds)));
}

QTEST_GUILESS_MAIN(StandinWebTest)
#include "tst_standinweb.moc"
