// The page-element loader's plain loads over loopback: fetched with the host's HTTP client on
// a thread of the loader's own, against the stand-in web.
#include "tests/browser/seenelements.h"
#include "tests/support/standinmain.h"

#include <QTimer>

using namespace quib;
using namespace quib::test;
using namespace quib::standin;

class SimpleParserTest : public QObject {
    Q_OBJECT
public:
    explicit SimpleParserTest(StandinWeb& web) : m_web(web) {}

private slots:
    void plainLoadDeliversElementsInDocumentOrder();
    void pagesAreDecodedByTheirCharset_data();
    void pagesAreDecodedByTheirCharset();
    void stopEndsTheWalk();
    void busyDuringTheLoadOnly();
    void deadServerDeliversNothing();
    void hugePageIsWalked();
    void stalledServerIsAbandonedAtTheTimeout();
    void stopDuringAFetchEndsIt();
    void loaderDestroyedDuringItsLoad();
    void hostResolverRulesFromConnectTo_data();
    void hostResolverRulesFromConnectTo();

private:
    NetworkSettings Network() const { return StandinNetwork(m_web); }

    StandinWeb& m_web;
};

void SimpleParserTest::plainLoadDeliversElementsInDocumentOrder()
{
    SimpleParser parser(Network());
    bool ok = false;
    const auto seen = Load(parser, "http://www.tudou.com/programs/view/Ab12345678/", &ok);
    QVERIFY(ok);
    QCOMPARE(Tags(seen), (std::vector<std::string>{"HTML", "HEAD", "META", "TITLE", "SCRIPT", "BODY", "DIV", "H1",
                                                   "SCRIPT", "SCRIPT"}));
    QCOMPARE(seen[3].text, std::string("土豆视频 Ab12345678 - 土豆网 - 每个人都是生活的导演"));
    QCOMPARE(seen[6].id, std::string("player"));
    QCOMPARE(seen[8].html, std::string("\nvar iid=12345678, lid=0, defaultIid=0;\n"));
    QCOMPARE(seen[6].html, std::string("<h1>Ab12345678</h1>"));
}

void SimpleParserTest::pagesAreDecodedByTheirCharset_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("text");
    QTest::newRow("gbk page") << "http://www.56.com/u1/v_abc.html"
                              << "我乐视频 abc - 56.com";
    QTest::newRow("utf-8 page") << "http://www.ouou.com/play/v_abc.html"
                                << "偶偶视频 abc";
}

void SimpleParserTest::pagesAreDecodedByTheirCharset()
{
    QFETCH(QString, url);
    QFETCH(QString, text);
    SimpleParser parser(Network());
    const auto seen = Load(parser, url.toStdString());
    const auto title = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.tag == "TITLE"; });
    QVERIFY(title != seen.end());
    QCOMPARE(QString::fromStdString(title->text), text);
}

void SimpleParserTest::stopEndsTheWalk()
{
    SimpleParser parser(Network());
    int delivered = 0;
    parser.SetOnElement([&](const HtmlElement& e) {
        ++delivered;
        if (e.TagName() == "TITLE")
            parser.Stop();
    });
    QVERIFY(parser.Navigate("http://www.tudou.com/programs/view/Ab12345678/"));
    QCOMPARE(delivered, 4);  // HTML HEAD META TITLE
    QVERIFY(parser.Stopped());
    // The next load starts afresh.
    delivered = 0;
    parser.SetOnElement([&](const HtmlElement&) { ++delivered; });
    QVERIFY(parser.Navigate("http://www.tudou.com/programs/view/Ab12345678/"));
    QCOMPARE(delivered, 10);
}

void SimpleParserTest::busyDuringTheLoadOnly()
{
    SimpleParser parser(Network());
    bool busyInside = false;
    parser.SetOnElement([&](const HtmlElement&) { busyInside = parser.Busy(); });
    QVERIFY(!parser.Busy());
    QVERIFY(parser.Navigate("http://www.tudou.com/programs/view/Ab12345678/"));
    QVERIFY(busyInside);
    QVERIFY(!parser.Busy());
}

void SimpleParserTest::deadServerDeliversNothing()
{
    NetworkSettings network;
    network.connectTo = {"::127.0.0.1:1"};  // nothing listens there
    SimpleParser parser(network);
    bool ok = true;
    const auto seen = Load(parser, "http://www.tudou.com/programs/view/Ab12345678/", &ok);
    QVERIFY(!ok);
    QVERIFY(seen.empty());
    QVERIFY(!parser.LastError().empty());
    QVERIFY(!parser.Busy());
}

void SimpleParserTest::hugePageIsWalked()
{
    SimpleParser parser(Network());
    bool ok = false;
    const auto seen = Load(parser, "http://www.tudou.com/__fault/big?bytes=20971520", &ok);
    QVERIFY2(ok, parser.LastError().c_str());
    QCOMPARE(Tags(seen), (std::vector<std::string>{"HTML", "HEAD", "BODY"}));
    QCOMPARE(seen[2].text.size(), std::size_t(20971520));
}

void SimpleParserTest::stalledServerIsAbandonedAtTheTimeout()
{
    SimpleParser parser(Network());
    parser.SetTimeout(std::chrono::milliseconds(500));
    bool ok = true;
    const auto seen = Load(parser, "http://www.tudou.com/__fault/stall?seconds=60", &ok);
    QVERIFY(!ok);
    QVERIFY(seen.empty());
    QVERIFY(!parser.Busy());
}

void SimpleParserTest::stopDuringAFetchEndsIt()
{
    SimpleParser parser(Network());
    // The load's own loop runs the timer: the user's stop arrives while the page is on its way.
    QTimer::singleShot(200, &parser, [&parser] { parser.Stop(); });
    bool ok = true;
    const auto seen = Load(parser, "http://www.tudou.com/__fault/stall?seconds=60", &ok);
    QVERIFY(!ok);
    QVERIFY(seen.empty());
    QVERIFY(parser.Stopped());
}

void SimpleParserTest::loaderDestroyedDuringItsLoad()
{
    // Its owner may go while the load's own loop runs: the load returns without touching it.
    auto owner = std::make_unique<QObject>();
    auto* parser = new SimpleParser(Network(), owner.get());
    int delivered = 0;
    parser->SetOnElement([&delivered](const HtmlElement&) { ++delivered; });
    QTimer::singleShot(300, owner.get(), [&owner] { owner.reset(); });
    QVERIFY(!parser->Navigate("http://www.tudou.com/__fault/stall?seconds=60"));
    QVERIFY(!owner);
    QCOMPARE(delivered, 0);
}

void SimpleParserTest::hostResolverRulesFromConnectTo_data()
{
    QTest::addColumn<QStringList>("connectTo");
    QTest::addColumn<QString>("rules");
    QTest::newRow("every host") << QStringList{"::127.0.0.1:8080"} << "MAP * 127.0.0.1:8080";
    QTest::newRow("two hosts") << QStringList{"www.tudou.com:80:127.0.0.1:81", "6.cn::10.0.0.1:82"}
                               << "MAP www.tudou.com 127.0.0.1:81,MAP 6.cn 10.0.0.1:82";
    QTest::newRow("no port") << QStringList{"a:80:b"} << "";
    QTest::newRow("none") << QStringList{} << "";
}

void SimpleParserTest::hostResolverRulesFromConnectTo()
{
    QFETCH(QStringList, connectTo);
    QFETCH(QString, rules);
    NetworkSettings network;
    for (const QString& rule : connectTo)
        network.connectTo.push_back(rule.toStdString());
    QCOMPARE(QString::fromStdString(HostResolverRules(network)), rules);
}

QUIB_STANDIN_TEST_MAIN(SimpleParserTest)

#include "tst_simpleparser.moc"
