#include "collect/sitecuts.h"

#include <QTest>

#include <functional>

using namespace quib;
using namespace quib::collect;

using Cut = std::function<std::string(std::string_view)>;
Q_DECLARE_METATYPE(Cut)

class SiteCutsTest : public QObject {
    Q_OBJECT
private slots:
    void cutsTheVideoOutOfTheItem_data();
    void cutsTheVideoOutOfTheItem();
};

void SiteCutsTest::cutsTheVideoOutOfTheItem_data()
{
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("url");

    const Cut w56 = CutWoleUrl, tudou = CutTudouUrl, youku = CutYoukuUrl, ouou = CutOuouUrl, sina = CutSinaUrl;
    const QByteArray far(1000, 'x');

    QTest::newRow("56 flash input, root dropped")
        << w56 << QByteArray("<embed src=\"a.swf\"><input id=\"flashurl\" value=\"http://www.56.com/v_42.swf\" />")
        << QByteArray("v_42");
    QTest::newRow("56 without the input reads from the start")
        << w56 << QByteArray("<p value=\"http://www.56.com/u1/v_7.swf\">") << QByteArray("u1/v_7");
    QTest::newRow("56 value beyond the span") << w56 << "id=\"flashurl\" " + far + " value=\"v_1.swf\"" << QByteArray();
    QTest::newRow("56 other host kept") << w56 << QByteArray("id=\"flashurl\" value=\"http://p.56.com/v_1.swf\"")
                                        << QByteArray("http://p.56.com/v_1");
    QTest::newRow("56 root inside the value kept")
        << w56 << QByteArray("id=\"flashurl\" value=\"/go?to=http://www.56.com/v_1.swf\"")
        << QByteArray("/go?to=http://www.56.com/v_1");
    QTest::newRow("56 no .swf") << w56 << QByteArray("id=\"flashurl\" value=\"http://www.56.com/v_1\"") << QByteArray();
    QTest::newRow("56 failed item page") << w56 << QByteArray() << QByteArray();

    QTest::newRow("tudou ten after iid") << tudou << QByteArray("http://www.tudou.com/p.do?lid=3&iid=123456789012")
                                         << QByteArray("1234567890");
    QTest::newRow("tudou fewer at the end") << tudou << QByteArray("/p.do?iid=77") << QByteArray("77");
    QTest::newRow("tudou first iid") << tudou << QByteArray("iid=1&iid=2") << QByteArray("1&iid=2");
    QTest::newRow("tudou no iid") << tudou << QByteArray("http://www.tudou.com/programs/view/abc/") << QByteArray();

    QTest::newRow("youku video ids") << youku << QByteArray("var fo;\nfo.addVariable(\"VideoIDS\",XMTAw1);\n")
                                     << QByteArray("XMTAw1");
    QTest::newRow("youku quotes stay") << youku << QByteArray("fo.addVariable(\"VideoIDS\",\"XM2\")")
                                       << QByteArray("\"XM2\"");
    QTest::newRow("youku no player script") << youku << QByteArray("<html>gone</html>") << QByteArray();
    QTest::newRow("youku unclosed call") << youku << QByteArray("fo.addVariable(\"VideoIDS\",XM3") << QByteArray();

    QTest::newRow("ouou number") << ouou << QByteArray("http://www.ouou.com/play/v_700001.html")
                                 << QByteArray("700001");
    QTest::newRow("ouou no v_") << ouou << QByteArray("http://www.ouou.com/play/1.html") << QByteArray();
    QTest::newRow("ouou no dot after") << ouou << QByteArray("/play/v_12") << QByteArray();

    QTest::newRow("sina vid and uid")
        << sina << QByteArray("http://you.video.sina.com.cn/pg/topicPlay.php?tid=9&uid=1650000001#10000000012")
        << QByteArray("1000000001&uid=1650000001");
    QTest::newRow("sina uid runs up to #")
        << sina << QByteArray("?uid=1&tid=9#1000000001") << QByteArray("1000000001&uid=1&tid=9");
    QTest::newRow("sina short vid") << sina << QByteArray("?uid=5#123") << QByteArray("123&uid=5");
    QTest::newRow("sina no uid") << sina << QByteArray("http://you.video.sina.com.cn/b/1-2.html#3") << QByteArray();
    QTest::newRow("sina no vid") << sina << QByteArray("?uid=5") << QByteArray();
}

void SiteCutsTest::cutsTheVideoOutOfTheItem()
{
    QFETCH(Cut, cut);
    QFETCH(QByteArray, data);
    QTEST(QByteArray::fromStdString(cut(data.toStdString())), "url");
}

QTEST_APPLESS_MAIN(SiteCutsTest)
#include "tst_sitecuts.moc"
