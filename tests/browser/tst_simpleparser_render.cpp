// The page-element loader's script-running loads: the page rendered in a hidden browser page
// on the stand-in web, its scripts run, and the document they leave walked.
#include "tests/browser/seenelements.h"
#include "host/browser/webpagerenderer.h"
#include "tests/support/standinmain.h"

#include <QTimer>

using namespace quib;
using namespace quib::test;
using namespace quib::standin;

class SimpleParserRenderTest : public QObject {
    Q_OBJECT
public:
    explicit SimpleParserRenderTest(StandinWeb& web) : m_web(web) {}

private slots:
    void scriptsRunOnlyWhenSwitchedOn();
    void scriptLoadOfADeadServerDeliversNothing();
    void framesAndObjectsAreNotFetched();
    void loaderDestroyedDuringItsLoad();

private:
    NetworkSettings Network() const { return StandinNetwork(m_web); }

    StandinWeb& m_web;
};

void SimpleParserRenderTest::scriptsRunOnlyWhenSwitchedOn()
{
    const std::string url = "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=5&uid=16#1234567890";
    const auto titleText = [](const std::vector<Seen>& seen) {
        for (const Seen& s : seen)
            if (s.id == "list_title")
                return QString::fromStdString(s.text);
        return QStringLiteral("<none>");
    };
    SimpleParser parser(Network());
    QCOMPARE(titleText(Load(parser, url)), QString());

    parser.SetRunScripts(true);
    parser.SetRenderer(std::make_unique<WebPageRenderer>(Network()));
    bool ok = false;
    QCOMPARE(titleText(Load(parser, url, &ok)), QString("正在播放：新浪专辑 5"));
    QVERIFY(ok);

    // The 56 page writes an attribute by script: the walk reads the document the script left.
    const auto seen = Load(parser, "http://www.56.com/u1/v_jsAbc.html");
    const auto input = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.id == "input_swf_html"; });
    QVERIFY(input != seen.end());
    QCOMPARE(input->value.value_or("<none>"), std::string("http://www.56.com/v_jsAbc.swf"));

    parser.SetRunScripts(false);
    QCOMPARE(titleText(Load(parser, url)), QString());
}

void SimpleParserRenderTest::framesAndObjectsAreNotFetched()
{
    SimpleParser parser(Network());
    parser.SetRunScripts(true);
    parser.SetRenderer(std::make_unique<WebPageRenderer>(Network()));
    m_web.ClearRequests();
    bool ok = false;
    const auto seen = Load(parser, "http://www.56.com/u1/v_jsFrame.html", &ok);
    QVERIFY(ok);
    QVERIFY(std::any_of(seen.begin(), seen.end(), [](const Seen& s) { return s.tag == "IFRAME"; }));
    std::vector<std::string> asked;
    for (const auto& request : m_web.Requests())
        asked.push_back(request.target);
    QCOMPARE(asked, std::vector<std::string>{"/u1/v_jsFrame.html"});
}

void SimpleParserRenderTest::scriptLoadOfADeadServerDeliversNothing()
{
    SimpleParser parser(Network());
    parser.SetRunScripts(true);
    parser.SetRenderer(std::make_unique<WebPageRenderer>(Network()));
    parser.SetTimeout(std::chrono::milliseconds(3000));
    bool ok = true;
    // Redirected to the stand-in, whose fault route never answers.
    const auto seen = Load(parser, "http://www.tudou.com/__fault/stall?seconds=60", &ok);
    QVERIFY(!ok);
    QVERIFY(seen.empty());
    QVERIFY(!parser.Busy());
}

void SimpleParserRenderTest::loaderDestroyedDuringItsLoad()
{
    // Its owner may go while the load's own loop runs: the load returns without touching it.
    auto owner = std::make_unique<QObject>();
    auto* parser = new SimpleParser(Network(), owner.get());
    parser->SetRunScripts(true);
    parser->SetRenderer(std::make_unique<WebPageRenderer>(Network()));
    int delivered = 0;
    parser->SetOnElement([&delivered](const HtmlElement&) { ++delivered; });
    QTimer::singleShot(300, owner.get(), [&owner] { owner.reset(); });
    QVERIFY(!parser->Navigate("http://www.tudou.com/__fault/stall?seconds=60"));
    QVERIFY(!owner);
    QCOMPARE(delivered, 0);
}

QUIB_STANDIN_TEST_MAIN(SimpleParserRenderTest)

#include "tst_simpleparser_render.moc"
