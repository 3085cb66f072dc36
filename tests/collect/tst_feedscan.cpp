#include "collect/feeddates.h"
#include "collect/feedscan.h"
#include "host/core/gbk.h"
#include "collect/xunleiscan.h"

#include <QTest>

#include <vector>

using namespace quib;
using namespace quib::collect;

namespace {

std::vector<ScannedItem> Scan(void (*scan)(std::string_view, const ItemSink&), const std::string& text)
{
    std::vector<ScannedItem> items;
    scan(text, [&items](const ScannedItem& item) { items.push_back(item); });
    return items;
}

QString Unicode(const std::string& gbkText) { return gbk::ToUnicode(gbkText); }

}  // namespace

class FeedScanTest : public QObject {
    Q_OBJECT
private slots:
    void tudouDates_data();
    void tudouDates();
    void youkuDates_data();
    void youkuDates();
    void tudouFeedItems();
    void youkuFeedItems();
    void itemWithoutTitleIsSkippedAndTakesNothingFromTheNext();
    void fieldMissingFromAnItemLeavesTheNextIntact();
    void fieldLeftOpenStopsAtTheNextField();
    void xunleiMovieAlbums();
    void xunleiAlbumFiles();
    void xunleiSourceAddress_data();
    void xunleiSourceAddress();
};

void FeedScanTest::tudouDates_data()
{
    QTest::addColumn<QByteArray>("milliseconds");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("epoch in UTC+8") << QByteArray("0") << QByteArray("1970-01-01 08:00:00");
    QTest::newRow("one second") << QByteArray("1000") << QByteArray("1970-01-01 08:00:01");
    QTest::newRow("part second cut") << QByteArray("1500") << QByteArray("1970-01-01 08:00:01");
    QTest::newRow("before epoch cut toward zero") << QByteArray("-1500") << QByteArray("1970-01-01 07:59:59");
    QTest::newRow("midnight UTC crosses the day") << QByteArray("1236643200000") << QByteArray("2009-03-10 08:00:00");
    QTest::newRow("afternoon UTC is next day") << QByteArray("1236700800000") << QByteArray("2009-03-11 00:00:00");
    QTest::newRow("not a number") << QByteArray("soon") << QByteArray();
    QTest::newRow("trailing text") << QByteArray("1000ms") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("overflow") << QByteArray("99999999999999999999") << QByteArray();
    QTest::newRow("beyond year 9999") << QByteArray("253402300800000") << QByteArray();
}

void FeedScanTest::tudouDates()
{
    QFETCH(QByteArray, milliseconds);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(TudouFeedDate(milliseconds.toStdString())), shown);
}

void FeedScanTest::youkuDates_data()
{
    QTest::addColumn<QByteArray>("internetDate");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("GMT as it is") << QByteArray("Tue, 10 Mar 2009 12:30:00 GMT") << QByteArray("2009-03-10 12:30:00");
    QTest::newRow("end of a day") << QByteArray("Thu, 12 Mar 2009 23:59:59 GMT") << QByteArray("2009-03-12 23:59:59");
    QTest::newRow("zone offset to universal time")
        << QByteArray("Tue, 10 Mar 2009 20:30:00 +0800") << QByteArray("2009-03-10 12:30:00");
    QTest::newRow("not a date") << QByteArray("sometime in spring") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void FeedScanTest::youkuDates()
{
    QFETCH(QByteArray, internetDate);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(YoukuFeedDate(internetDate.toStdString())), shown);
}

void FeedScanTest::tudouFeedItems()
{
    const std::string feed =
        "<rss><channel><title>频道标题</title><link>http://www.tudou.com/playlist/id/1/</link>\n"
        "<item><title> 第一集 </title><link> http://www.tudou.com/programs/view/a/ </link>"
        "<tudou:info id=\" 11 \" pubDate=\"1000\"/></item>\n"
        "<item><title>第二集</title><link>http://www.tudou.com/programs/view/b/</link>"
        "<tudou:info id=\"22\" pubDate=\"0\"/></item></channel></rss>";
    const auto items = Scan(ScanTudouFeed, feed);
    QCOMPARE(items.size(), std::size_t(2));  // the channel's title is no item
    QCOMPARE(Unicode(items[0].caption), QString("第一集"));
    QCOMPARE(items[0].link, std::string("http://www.tudou.com/programs/view/a/"));
    QCOMPARE(items[0].data, std::string("11"));
    QCOMPARE(items[0].date, std::string("1000"));
    QCOMPARE(Unicode(items[1].caption), QString("第二集"));
    QCOMPARE(items[1].data, std::string("22"));
}

void FeedScanTest::youkuFeedItems()
{
    const std::string feed =
        "<rss><channel><title>频道</title>\n"
        "<item><title>优酷一</title><link>http://v.youku.com/v_show/id_X1.html</link>"
        "<description>说明</description><pubDate>Tue, 10 Mar 2009 12:30:00 GMT</pubDate>"
        "<guid>X1</guid></item></channel></rss>";
    const auto items = Scan(ScanYoukuFeed, feed);
    QCOMPARE(items.size(), std::size_t(1));
    QCOMPARE(Unicode(items[0].caption), QString("优酷一"));
    QCOMPARE(items[0].link, std::string("http://v.youku.com/v_show/id_X1.html"));
    QCOMPARE(items[0].date, std::string("Tue, 10 Mar 2009 12:30:00 GMT"));
    QCOMPARE(items[0].data, std::string("X1"));
}

void FeedScanTest::itemWithoutTitleIsSkippedAndTakesNothingFromTheNext()
{
    const std::string feed =
        "<item><link>L0</link><guid>G0</guid></item>"
        "<item><title>T1</title><link>L1</link><pubDate>D1</pubDate><guid>G1</guid></item>"
        "<item><link>L2</link></item>";
    const auto items = Scan(ScanYoukuFeed, feed);
    QCOMPARE(items.size(), std::size_t(1));
    QCOMPARE(items[0].caption, std::string("T1"));
    QCOMPARE(items[0].link, std::string("L1"));
    QCOMPARE(items[0].data, std::string("G1"));
}

void FeedScanTest::fieldMissingFromAnItemLeavesTheNextIntact()
{
    const std::string feed =
        "<item><title>T1</title><link>L1</link></item>"
        "<item><title>T2</title><link>L2</link><tudou:info id=\"2\" pubDate=\"5\"/></item>";
    const auto items = Scan(ScanTudouFeed, feed);
    QCOMPARE(items.size(), std::size_t(2));
    QCOMPARE(items[0].link, std::string("L1"));
    QCOMPARE(items[0].data, std::string());
    QCOMPARE(items[0].date, std::string());
    QCOMPARE(items[1].caption, std::string("T2"));
    QCOMPARE(items[1].data, std::string("2"));
    QCOMPARE(items[1].date, std::string("5"));
}

void FeedScanTest::fieldLeftOpenStopsAtTheNextField()
{
    const auto tudou = Scan(ScanTudouFeed, "<item><title>T<link> L <tudou:info id=\"5 pubDate=\" 9 \"/></item>");
    QCOMPARE(tudou.size(), std::size_t(1));
    QCOMPARE(tudou[0].caption, std::string("T"));
    QCOMPARE(tudou[0].link, std::string("L"));
    QCOMPARE(tudou[0].data, std::string("5"));
    QCOMPARE(tudou[0].date, std::string("9"));
    const auto youku = Scan(ScanYoukuFeed, "<item><title>T</title><link>L<pubDate>D<guid>G</guid></item>");
    QCOMPARE(youku.size(), std::size_t(1));
    QCOMPARE(youku[0].link, std::string("L"));
    QCOMPARE(youku[0].date, std::string("D"));
    QCOMPARE(youku[0].data, std::string("G"));
}

void FeedScanTest::xunleiMovieAlbums()
{
    const std::string movie =
        "<movie><ID>m</ID><title>电影</title><albums>"
        "<album><ID>noTitle</ID></album>"
        "<album><title> 国语版 </title><ID> 7 </ID></album>"
        "<album><title>粤语版</title><ID>8</ID></album></albums></movie>";
    const auto albums = Scan(ScanXunleiMovie, movie);
    QCOMPARE(albums.size(), std::size_t(2));
    QCOMPARE(Unicode(albums[0].caption), QString("国语版"));
    QCOMPARE(albums[0].link, std::string("7"));
    QCOMPARE(Unicode(albums[1].caption), QString("粤语版"));
    QCOMPARE(albums[1].link, std::string("8"));
}

void FeedScanTest::xunleiAlbumFiles()
{
    const std::string album =
        "<album><title>专辑</title><files>"
        "<file><title>第1集</title><source> <![CDATA[http://a/1]]> </source></file>"
        "<file><source>http://a/x</source></file>"
        "<file><title>第2集</title><source>http://a/电影</source></file></files></album>";
    const auto files = Scan(ScanXunleiAlbum, album);
    QCOMPARE(files.size(), std::size_t(2));
    QCOMPARE(Unicode(files[0].caption), QString("第1集"));
    QCOMPARE(files[0].data, std::string("<![CDATA[http://a/1]]>"));
    QCOMPARE(Unicode(files[1].data), QString("http://a/电影"));
}

void FeedScanTest::xunleiSourceAddress_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("CDATA") << QByteArray("<![CDATA[http://a/1.rmvb]]>") << QByteArray("http://a/1.rmvb");
    QTest::newRow("plain") << QByteArray("http://a/2.rmvb") << QByteArray("http://a/2.rmvb");
    QTest::newRow("empty CDATA") << QByteArray("<![CDATA[]]>") << QByteArray();
    QTest::newRow("unclosed") << QByteArray("<![CDATA[http://a") << QByteArray("http://a");
    QTest::newRow("opener alone") << QByteArray("<![CDATA[") << QByteArray();
    QTest::newRow("text around") << QByteArray("x<![CDATA[y]]>z") << QByteArray("xyz");
}

void FeedScanTest::xunleiSourceAddress()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, address);
    QCOMPARE(QByteArray::fromStdString(XunleiSourceAddress(source.toStdString())), address);
}

QTEST_GUILESS_MAIN(FeedScanTest)
#include "tst_feedscan.moc"
