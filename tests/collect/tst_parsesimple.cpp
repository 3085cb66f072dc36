// Single pages collected through the collect button, over loopback from the stand-in web.
#include "host/core/gbk.h"
#include "tests/support/formfixture.h"

#include <QTimer>

using namespace quib;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::results;
using namespace quib::standin;

class ParseSimpleTest : public QObject {
    Q_OBJECT
public:
    explicit ParseSimpleTest(StandinWeb& web) : m_fixture(web) {}

private slots:
    void init() { m_fixture.Create(); }
    void cleanup() { m_fixture.Destroy(); }
    void pageBecomesOneRow_data();
    void pageBecomesOneRow();
    void failedPageWritesNoRow_data();
    void failedPageWritesNoRow();
    void deadServer_data();
    void deadServer();
    void stopEndsAWalkInProgress();
    void formClosedDuringAWalk();
    void stalledScriptPageEndsAtTheTimeout();
    void appendKeepsEarlierRows();

private:
    FormFixture m_fixture;
};

void ParseSimpleTest::pageBecomesOneRow_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("date");
    QTest::newRow("tudou video") << "http://www.tudou.com/programs/view/Ab12345678/" << QByteArray("tudou")
                                 << "土豆视频 Ab12345678"
                                 << "12345678"
                                 << "";
    QTest::newRow("tudou video, title without suffix")
        << "http://www.tudou.com/programs/view/notitle/" << QByteArray("tudou") << ""
        << "10000001"
        << "";
    QTest::newRow("tudou list") << "http://www.tudou.com/playlist/playindex.do?lid=7&iid=1234567890"
                                << QByteArray("tudou") << "My video"
                                << "1234567890"
                                << "";
    QTest::newRow("tudou list pasted with references")
        << "http://www.tudou.com/playlist/playindex.do?lid=7&amp;iid=1234567890" << QByteArray("tudou") << "My video"
        << "1234567890"
        << "";
    QTest::newRow("youku video") << "http://v.youku.com/v_show/id_XMTIz.html" << QByteArray("youku") << "优酷视频 XMTIz"
                                 << "XMTIz"
                                 << "";
    QTest::newRow("youku video without player")
        << "http://v.youku.com/v_show/id_nomarker.html" << QByteArray("youku") << "优酷视频 nomarker"
        << ""
        << "";
    QTest::newRow("youku list") << "http://v.youku.com/v_playlist/f12o1p3.html" << QByteArray("youku")
                                << "优酷专辑 12 第3集"
                                << "XP12N3"
                                << "";
    QTest::newRow("56 video") << "http://www.56.com/u12/v_abc.html" << QByteArray("56") << "我乐视频 abc"
                              << "v_abc"
                              << "";
    QTest::newRow("56 video filled in by script")
        << "http://www.56.com/u12/v_jsAbc.html" << QByteArray("56") << "我乐视频 jsAbc"
        << "v_jsAbc"
        << "";
    QTest::newRow("56 video with both boxes")
        << "http://www.56.com/u12/v_both.html" << QByteArray("56") << "我乐视频 both"
        << "v_both"
        << "";
    QTest::newRow("56 album") << "http://www.56.com/w11/play_album-aid-77_vid-xyz.html" << QByteArray("56")
                              << "我乐专辑 77 视频 xyz"
                              << "v_xyz"
                              << "";
    QTest::newRow("6rooms video") << "http://6.cn/watch/123.html" << QByteArray("6jf") << "六间房视频 123"
                                  << "ev123"
                                  << "2008-07-15";
    QTest::newRow("6rooms page cut short, not UTF-8")
        << "http://6.cn/watch/broken.html" << QByteArray("6jf") << "六间房??视频"
        << ""
        << "";
    QTest::newRow("6rooms list") << "http://6.cn/plist/single/2.html" << QByteArray("6jf") << "六间房列表 第2集"
                                 << "evpl2"
                                 << "";
    QTest::newRow("ouou") << "http://www.ouou.com/play/v_ab12.html" << QByteArray("ouou") << "偶偶视频 ab12"
                          << "ab12"
                          << "2009-03-02";
    QTest::newRow("sina video") << "http://you.video.sina.com.cn/b/12345678-1650000001.html" << QByteArray("sina")
                                << "新浪视频 12345678"
                                << "12345678&uid=1650000001"
                                << "2009-04-05";
    QTest::newRow("sina album, title by script")
        << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=5&uid=1650000001#123456789012345"
        << QByteArray("sina") << "新浪专辑 5"
        << "1234567890&uid=1650000001"
        << "";
}

void ParseSimpleTest::pageBecomesOneRow()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, site);
    TParseForm& form = m_fixture.Form();
    m_fixture.Collect(address, site.constData());
    QCOMPARE(m_fixture.messages.Messages().size(), std::size_t(0));
    QVERIFY(!form.Running());
    QCOMPARE(form.CollectButton().text(), QString("采集"));
    QCOMPARE(form.Data().Count(), 1);
    const ResultRow& row = form.Data().Row(0);
    QTEST(gbk::ToUnicode(row.Caption), "caption");
    QTEST(gbk::ToUnicode(row.Url), "url");
    QTEST(gbk::ToUnicode(row.Date), "date");
    QCOMPARE(gbk::ToUnicode(row.Link), address);
    QVERIFY(row.Status);
    QCOMPARE(row.RecId, 1);
    QVERIFY(!form.Engine().Loader().Busy());
}

void ParseSimpleTest::failedPageWritesNoRow_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QStringList>("alerts");
    const QStringList noData{"无法取得数据！"};
    QTest::newRow("tudou video without iid")
        << "http://www.tudou.com/programs/view/noiid/" << QByteArray("tudou") << noData;
    QTest::newRow("tudou list without the video")
        << "http://www.tudou.com/playlist/playindex.do?lid=missing&iid=1" << QByteArray("tudou") << noData;
    QTest::newRow("youku empty page: silent")
        << "http://v.youku.com/v_show/id_empty.html" << QByteArray("youku") << QStringList{};
    QTest::newRow("56 empty page") << "http://www.56.com/u1/v_empty.html" << QByteArray("56") << noData;
    QTest::newRow("56 video without player")
        << "http://www.56.com/u1/v_bad.html" << QByteArray("56") << QStringList{"错误的视频地址！"};
    QTest::newRow("56 album without player")
        << "http://www.56.com/w1/play_album-aid-bad_vid-x.html" << QByteArray("56") << QStringList{"错误的专辑视频！"};
    QTest::newRow("6rooms empty page") << "http://6.cn/watch/empty.html" << QByteArray("6jf") << noData;
    QTest::newRow("6rooms missing page") << "http://6.cn/watch/a/b.html" << QByteArray("6jf")
                                         << QStringList{"6.cn 返回错误 HTTP 404"};
    QTest::newRow("ouou empty page") << "http://www.ouou.com/play/v_empty.html" << QByteArray("ouou") << noData;
    QTest::newRow("sina video without date line")
        << "http://you.video.sina.com.cn/b/nodate-1.html" << QByteArray("sina") << noData;
    QTest::newRow("sina album without title line")
        << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=none&uid=1#2" << QByteArray("sina") << noData;
}

void ParseSimpleTest::failedPageWritesNoRow()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, site);
    QFETCH(QStringList, alerts);
    m_fixture.Collect(address, site.constData());
    const std::vector<QString> shown = m_fixture.Alerts();
    QCOMPARE(QStringList(shown.begin(), shown.end()), alerts);
    QCOMPARE(m_fixture.Form().Data().Count(), 0);
    QVERIFY(!m_fixture.Form().Running());
}

void ParseSimpleTest::deadServer_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<bool>("ownMessage");  // the failure's own text, else "无法取得数据！"
    QTest::newRow("tudou") << "http://www.tudou.com/programs/view/Ab12345678/" << QByteArray("tudou") << false;
    QTest::newRow("sina video") << "http://you.video.sina.com.cn/b/12345678-1650000001.html" << QByteArray("sina")
                                << false;
    QTest::newRow("youku") << "http://v.youku.com/v_show/id_XMTIz.html" << QByteArray("youku") << true;
    QTest::newRow("56") << "http://www.56.com/u12/v_abc.html" << QByteArray("56") << true;
    QTest::newRow("6rooms") << "http://6.cn/watch/123.html" << QByteArray("6jf") << true;
    QTest::newRow("ouou") << "http://www.ouou.com/play/v_ab12.html" << QByteArray("ouou") << true;
}

void ParseSimpleTest::deadServer()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, site);
    QFETCH(bool, ownMessage);
    NetworkSettings network;
    network.connectTo = {"::127.0.0.1:1"};  // nothing listens there
    m_fixture.Create(nullptr, network);
    m_fixture.Collect(address, site.constData());
    const auto alerts = m_fixture.Alerts();
    QCOMPARE(alerts.size(), std::size_t(1));
    if (ownMessage) {
        QVERIFY2(alerts[0] != "无法取得数据！" && !alerts[0].isEmpty(), qPrintable(alerts[0]));
    } else {
        QCOMPARE(alerts[0], QString("无法取得数据！"));
    }
    QCOMPARE(m_fixture.Form().Data().Count(), 0);
    QVERIFY(!m_fixture.Form().Running());
    QCOMPARE(m_fixture.Form().CollectButton().text(), QString("采集"));
}

void ParseSimpleTest::stopEndsAWalkInProgress()
{
    TParseForm& form = m_fixture.Form();
    bool runningWhenStopped = false;
    // The page never comes; the user presses the button again while the form waits for it.
    QTimer::singleShot(300, &form, [&form, &runningWhenStopped] {
        runningWhenStopped = form.Running() && form.Engine().Loader().Busy();
        form.ButtonClick();
    });
    m_fixture.Collect("http://www.tudou.com/__fault/stall?seconds=60&p=/view/", "tudou");
    QVERIFY(runningWhenStopped);
    QCOMPARE(m_fixture.Alerts(), std::vector<QString>{"无法取得数据！"});
    QCOMPARE(form.Data().Count(), 0);
    QVERIFY(!form.Running());
    QVERIFY(!form.Engine().Loader().Busy());
}

void ParseSimpleTest::formClosedDuringAWalk()
{
    // The form goes while its page loads: nothing may touch it afterwards (ASan sees to that).
    bool ended = false;
    connect(&m_fixture.Form().Engine(), &CollectionEngine::Ended, this, [&ended] { ended = true; });
    QTimer::singleShot(300, this, [this] { m_fixture.form.reset(); });
    m_fixture.Collect("http://www.tudou.com/__fault/stall?seconds=60&p=/view/", "tudou");
    QVERIFY(!m_fixture.form);
    QVERIFY(!ended);
    QVERIFY(m_fixture.messages.Messages().empty());
}

void ParseSimpleTest::stalledScriptPageEndsAtTheTimeout()
{
    // The browser page goes to the stand-in, whose fault route sends headers and then nothing.
    TParseForm& form = m_fixture.Form();
    form.Engine().Loader().SetTimeout(std::chrono::milliseconds(1500));
    m_fixture.Collect("http://you.video.sina.com.cn/__fault/stall?seconds=60&p=topicPlay.php?uid=1#2", "sina");
    QCOMPARE(m_fixture.Alerts(), std::vector<QString>{"无法取得数据！"});
    QCOMPARE(form.Data().Count(), 0);
    QVERIFY(!form.Running());
    QVERIFY(!form.Engine().Loader().Options().runScripts);
}

void ParseSimpleTest::appendKeepsEarlierRows()
{
    TParseForm& form = m_fixture.Form();
    m_fixture.Collect("http://6.cn/watch/1.html", "6jf");
    form.AddSwitch().setChecked(true);
    m_fixture.Collect("http://www.ouou.com/play/v_ab12.html", "ouou");
    QCOMPARE(form.Data().Count(), 2);
    QCOMPARE(form.Data().Row(0).Url, std::string("ev1"));
    QCOMPARE(form.Data().Row(1).Url, std::string("ab12"));
    QCOMPARE(form.Data().Row(1).RecId, 2);
    form.AddSwitch().setChecked(false);
    m_fixture.Collect("http://6.cn/watch/3.html", "6jf");
    QCOMPARE(form.Data().Count(), 1);
}

QUIB_STANDIN_TEST_MAIN(ParseSimpleTest)
#include "tst_parsesimple.moc"
