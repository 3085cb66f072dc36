// The rules of single-page collection without a window: what an element walk takes from a
// page, the text cuts of the pages read as text, and which parser a retry calls.
#include "host/core/gbk.h"
#include "host/core/htmlwalk.h"
#include "collect/retryrules.h"
#include "collect/simplerules.h"

#include <QTest>

using namespace quib;
using namespace quib::collect;

namespace {

// Walks html (UTF-8) with the rules of site and kind for the page at address (UTF-8), as the
// loader would: no element after the rules say they are done.
TParseData WalkWith(const std::string& html, const std::string& site, int kind, const std::string& address)
{
    TParseData data;
    data.Site = site;
    data.Kind = kind;
    const std::string gbkAddress = gbk::FromUtf8(address);
    bool done = false;
    WalkHtml(
        html, [&](const HtmlElement& e) { done = ApplySimpleParserRules(e, gbkAddress, data); }, [&] { return done; });
    return data;
}

std::string G(const char* utf8) { return gbk::FromUtf8(utf8); }

}  // namespace

class SimpleRulesTest : public QObject {
    Q_OBJECT
private slots:
    void encodeUrl_data();
    void encodeUrl();
    void elementRules_data();
    void elementRules();
    void walkStopsWhenTheAddressIsFound();
    void cut56_data();
    void cut56();
    void strip56Root_data();
    void strip56Root();
    void cut6rooms();
    void cutYouku_data();
    void cutYouku();
    void cutOuou();
    void retryTarget_data();
    void retryTarget();
};

void SimpleRulesTest::encodeUrl_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("decoded");
    QTest::newRow("amp and quot") << QByteArray("a?x=1&amp;t=&quot;b&quot;") << QByteArray("a?x=1&t=\"b\"");
    QTest::newRow("all five") << QByteArray("&amp;&lt;&gt;&apos;&quot;") << QByteArray("&<>'\"");
    // Each replacement works on the result of the one before: "&amp;lt;" becomes "&lt;", then "<".
    QTest::newRow("in order") << QByteArray("&amp;lt;") << QByteArray("<");
    QTest::newRow("case-sensitive") << QByteArray("&AMP;&Quot;") << QByteArray("&AMP;&Quot;");
    QTest::newRow("unknown reference") << QByteArray("&nbsp;&#38;") << QByteArray("&nbsp;&#38;");
    QTest::newRow("plain") << QByteArray("http://www.tudou.com/v") << QByteArray("http://www.tudou.com/v");
}

void SimpleRulesTest::encodeUrl()
{
    QFETCH(QByteArray, text);
    QTEST(QByteArray::fromStdString(EncodeUrl(text.toStdString())), "decoded");
}

void SimpleRulesTest::elementRules_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("site");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("date");

    QTest::newRow("tudou video") << "<title> 视频 - 土豆网 - x</title><script>var a=1;</script>"
                                    "<script>var iid=123, lid=4;</script>"
                                 << "tudou" << 0 << "" << true << "视频"
                                 << "123"
                                 << "";
    QTest::newRow("tudou title without suffix") << "<title>视频</title><script>iid=9,</script>"
                                                << "tudou" << 0 << "" << true << ""
                                                << "9"
                                                << "";
    QTest::newRow("tudou script without iid") << "<title>a - b</title><script>var x=1;</script>"
                                              << "tudou" << 0 << "" << false << "a"
                                              << ""
                                              << "";
    const QString list =
        "<a href=\"http://www.tudou.com/playlist/playindex.do?lid=1&amp;iid=2222222222\" title=\"2.Other\">"
        "</a><a href=\"http://www.tudou.com/playlist/playindex.do?lid=1&amp;iid=1234567890123\" "
        "title=\"1.My video \"></a>";
    QTest::newRow("tudou list link") << list << "tudou" << 1
                                     << "http://www.tudou.com/playlist/playindex.do?lid=1&iid=1234567890123" << true
                                     << "My video"
                                     << "1234567890"
                                     << "";
    QTest::newRow("tudou list address with references")
        << list << "tudou" << 1 << "http://www.tudou.com/playlist/playindex.do?lid=1&amp;iid=2222222222" << true
        << "Other"
        << "2222222222"
        << "";
    QTest::newRow("tudou list without the link")
        << list << "tudou" << 1 << "http://www.tudou.com/playlist/playindex.do?lid=1&iid=3" << false << ""
        << ""
        << "";
    QTest::newRow("56 later h1 overwrites") << "<h1>56.com</h1><h1> 视频 </h1><input id=\"input_swf_html\" "
                                               "value=\"http://www.56.com/v_x.swf\"><h1>late</h1>"
                                            << "56" << 0 << "" << true << "视频"
                                            << "http://www.56.com/v_x"
                                            << "";
    QTest::newRow("56 album page reads nothing") << "<h1>t</h1><input id=\"input_swf_html\" value=\"a.swf\">"
                                                 << "56" << 1 << "" << false << ""
                                                 << ""
                                                 << "";
    QTest::newRow("sina video")
        << "<h1>站</h1><h1 class=\"fleft\"> 新浪 </h1><span class=\"fright\"> 上传时间：2009-04-05 12:30</span>"
        << "sina" << 0 << "http://you.video.sina.com.cn/b/12345678-1650000001.html" << true << "新浪"
        << "12345678&uid=1650000001"
        << "2009-04-05";
    QTest::newRow("sina class must match exactly")
        << "<h1 class=\"fleft x\">a</h1><span class=\"fright x\">b</span>"
        << "sina" << 0 << "http://you.video.sina.com.cn/b/1-2.html" << false << ""
        << ""
        << "";
    QTest::newRow("sina album, video id cut to 10")
        << "<div id=\"list_title\"> 正在播放：专辑 </div>"
        << "sina" << 1
        << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=5&uid=1650000001#123456789012345" << true
        << "专辑"
        << "1234567890&uid=1650000001"
        << "";
    QTest::newRow("sina album title cut to 255") << "<p id=\"list_title\">12345" + QString(300, 'y') + "</p>"
                                                 << "sina" << 1 << "x?uid=7#1" << true << QString(255, 'y') << "1&uid=7"
                                                 << "";
    QTest::newRow("6rooms") << "<h4> 第1集 </h4><script>pageMessage.evid = 'ev1';</script>"
                            << "6" << 1 << "" << true << "第1集"
                            << "ev1"
                            << "";
    QTest::newRow("unknown site") << "<h4>x</h4><script>pageMessage.evid = 'e';</script>"
                                  << "ouou" << 0 << "" << false << ""
                                  << ""
                                  << "";
}

void SimpleRulesTest::elementRules()
{
    QFETCH(QString, html);
    QFETCH(QString, site);
    QFETCH(int, kind);
    QFETCH(QString, address);
    const TParseData data = WalkWith(html.toStdString(), site.toStdString(), kind, address.toStdString());
    QTEST(data.Found, "found");
    QTEST(data.Caption, "caption");
    QTEST(data.Url, "url");
    QTEST(gbk::ToUnicode(data.Date), "date");
}

void SimpleRulesTest::walkStopsWhenTheAddressIsFound()
{
    // The first script naming a video decides; a later one is never read.
    const TParseData data =
        WalkWith("<script>iid=1,</script><title>late - x</title><script>iid=2,</script>", "tudou", 0, "");
    QCOMPARE(data.Url, QString("1"));
    QCOMPARE(data.Caption, QString());
}

void SimpleRulesTest::cut56_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<QByteArray>("url");
    using O = WoleCut::Outcome;
    const QByteArray box = "<input id=\"input_page_url\" value=\"http://www.56.com/v_a.swf\">";
    const QByteArray scripted = "<input id=\"input_swf_html\" value=\"http://www.56.com/v_b.swf\">";
    QTest::newRow("page-address box") << "<h1><div>tag</div>T</h1>" + box << 0 << int(O::Cut) << QByteArray("T")
                                      << QByteArray("http://www.56.com/v_a");
    QTest::newRow("both boxes: the text wins") << "<h1><div>x</div>T</h1>" + scripted + box << 0 << int(O::Cut)
                                               << QByteArray("T") << QByteArray("http://www.56.com/v_a");
    QTest::newRow("scripted box") << "<h1>T</h1>" + scripted << 0 << int(O::NeedsWalk) << QByteArray() << QByteArray();
    QTest::newRow("neither") << QByteArray("<h1>T</h1>") << 0 << int(O::WrongVideo) << QByteArray() << QByteArray();
    QTest::newRow("album") << QByteArray(G("<h2 class=\"Vt\">视频：专辑 1&nbsp;(3:15)</h2><input id=\"flashurl\" "
                                           "value=\"http://www.56.com/v_c.swf\">")
                                             .c_str())
                           << 1 << int(O::Cut) << QByteArray(G("专辑 1").c_str())
                           << QByteArray("http://www.56.com/v_c");
    QTest::newRow("album without player")
        << QByteArray("<h2 class=\"Vt\">x</h2>") << 1 << int(O::WrongAlbum) << QByteArray() << QByteArray();
    QTest::newRow("box at the very end") << QByteArray("<h1><div></div>T</h1><input id=\"input_page_url\"") << 0
                                         << int(O::Cut) << QByteArray("T") << QByteArray();
}

void SimpleRulesTest::cut56()
{
    QFETCH(QByteArray, body);
    QFETCH(int, kind);
    const WoleCut cut = CutWolePage(body.toStdString(), kind);
    QTEST(int(cut.outcome), "outcome");
    QTEST(QByteArray::fromStdString(cut.page.Caption), "caption");
    QTEST(QByteArray::fromStdString(cut.page.Url), "url");
}

void SimpleRulesTest::strip56Root_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("site's own") << QByteArray("http://www.56.com/v_a") << QByteArray("v_a");
    QTest::newRow("another host") << QByteArray("http://player.56.com/v_a") << QByteArray("http://player.56.com/v_a");
    QTest::newRow("root alone") << QByteArray("http://www.56.com/") << QByteArray("");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void SimpleRulesTest::strip56Root()
{
    QFETCH(QByteArray, address);
    QTEST(QByteArray::fromStdString(StripWoleRoot(address.toStdString())), "stored");
}

void SimpleRulesTest::cut6rooms()
{
    const std::string video =
        G("<h2>标题</h2><script>pageMessage.evid = 'ev9';</script><li>x&nbsp; 上传于 2008-07-15 </li>");
    const SimplePage page = CutSixRoomsPage(video, 0);
    QCOMPARE(gbk::ToUnicode(page.Caption), QString("标题"));
    QCOMPARE(page.Url, std::string("ev9"));
    QCOMPARE(page.Date, std::string("2008-07-15"));
    const SimplePage list = CutSixRoomsPage(G("<h2>no</h2><h4>列表</h4><script>pageMessage.evid = 'ev1';</script>"), 1);
    QCOMPARE(gbk::ToUnicode(list.Caption), QString("列表"));
    QCOMPARE(list.Url, std::string("ev1"));
    QCOMPARE(list.Date, std::string());
}

void SimpleRulesTest::cutYouku_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("url");
    const QString player = "fo.addVariable(\"VideoIDS\",XM1);";
    QTest::newRow("video") << "<meta name=\"title\" content=\" 视频 \">" + player << 0 << "视频"
                           << "XM1";
    // The address comes from behind the title on a video page, from anywhere on a list page.
    QTest::newRow("video, player before the title") << player + "<meta name=\"title\" content=\"t\">" << 0 << "t"
                                                    << "";
    QTest::newRow("list, player before the title")
        << player + "<h1 id=\"playlisttitle\">正在播放： 第2集 播放列表</h1>" << 1 << "第2集"
        << "XM1";
    QTest::newRow("no player") << "<meta name=\"title\" content=\"t\">" << 0 << "t"
                               << "";
}

void SimpleRulesTest::cutYouku()
{
    QFETCH(QString, body);
    QFETCH(int, kind);
    const SimplePage page = CutYoukuPage(gbk::FromUnicode(body), kind);
    QTEST(gbk::ToUnicode(page.Caption), "caption");
    QTEST(gbk::ToUnicode(page.Url), "url");
}

void SimpleRulesTest::cutOuou()
{
    const SimplePage page =
        CutOuouPage(G("<h1>偶偶</h1><li>时\u3000间\uff1a2009-03-02</li>"), "http://www.ouou.com/play/v_ab12.html");
    QCOMPARE(gbk::ToUnicode(page.Caption), QString("偶偶"));
    QCOMPARE(page.Url, std::string("ab12"));
    QCOMPARE(page.Date, std::string("2009-03-02"));
    // A plain space or colon is not the site's label.
    QCOMPARE(CutOuouPage(G("<h1>a</h1><li>时 间:2009</li>"), "v_1.html").Date, std::string());
}

void SimpleRulesTest::retryTarget_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("parser");  // -1: not retried
    QTest::addColumn<int>("kind");
    using P = SinglePageParser;
    QTest::newRow("empty") << "" << -1 << 0;
    QTest::newRow("tudou video") << "http://www.tudou.com/programs/view/x/" << int(P::Tudou) << 0;
    QTest::newRow("tudou list") << "http://www.tudou.com/playlist/playindex.do?lid=1" << int(P::Tudou) << 1;
    QTest::newRow("tudou other page") << "http://www.tudou.com/playlist/id/1/" << -1 << 0;
    QTest::newRow("youku list") << "http://v.youku.com/v_playlist/f1o1p2.html" << int(P::Youku) << 1;
    QTest::newRow("56 album before video") << "http://www.56.com/w1/play_album-aid-1_vid-v_x.html" << int(P::Wole) << 1;
    QTest::newRow("56 video") << "http://www.56.com/u1/v_x.html" << int(P::Wole) << 0;
    QTest::newRow("6rooms list before video") << "http://6.cn/plist/1/watch/2.html" << int(P::SixRooms) << 1;
    QTest::newRow("6rooms video") << "http://6.cn/watch/2.html" << int(P::SixRooms) << 0;
    QTest::newRow("ouou any page") << "http://www.ouou.com/anything" << int(P::Ouou) << 0;
    QTest::newRow("sina album") << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?uid=1#2" << int(P::Sina)
                                << 1;
    QTest::newRow("tudou domain decides first") << "http://www.tudou.com/view/?from=youku.com" << int(P::Tudou) << 0;
    QTest::newRow("unknown site") << "http://example.com/v_show/" << -1 << 0;
}

void SimpleRulesTest::retryTarget()
{
    QFETCH(QString, link);
    QFETCH(int, parser);
    const auto target = RetryTargetOf(link.toStdString());
    QCOMPARE(target.has_value(), parser >= 0);
    if (target) {
        QCOMPARE(int(target->parser), parser);
        QTEST(target->kind, "kind");
    }
}

QTEST_APPLESS_MAIN(SimpleRulesTest)
#include "tst_simplerules.moc"
