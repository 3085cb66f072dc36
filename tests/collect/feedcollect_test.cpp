#include "choose.h"
#include "dataview.h"
#include "gbk.h"
#include "hostapp.h"
#include "memdata.h"
#include "parse.h"
#include "scriptedmessages.h"
#include "skin.h"
#include "standinweb.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Kind = ScriptedMessages::Kind;

namespace {

// A row as "caption|url|date|link", in Unicode.
QString RowText(const ResultRow& row)
{
    return QStringList{gbk::ToUnicode(row.Caption), gbk::ToUnicode(row.Url), gbk::ToUnicode(row.Date),
                       gbk::ToUnicode(row.Link)}
        .join('|');
}

}  // namespace

class FeedCollectTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tudouAlbumFromItsFeed();
    void youkuAlbumFromItsFeed();
    void feedEdgeCases_data();
    void feedEdgeCases();
    void feedWithoutItemsEndsQuietly_data();
    void feedWithoutItemsEndsQuietly();
    void missingFeedIsReported();
    void stopDuringTheScanKeepsTheWholeList();
    void movieWithOneAlbumGoesStraightToIt_data();
    void movieWithOneAlbumGoesStraightToIt();
    void cancelledChooserEndsWithoutRows_data();
    void cancelledChooserEndsWithoutRows();
    void chosenAlbumIsCollected();
    void movieWithoutAlbumsEndsQuietly();
    void missingMovieIsReported();
    void stopBeforeTheMovieEndsWithoutRows();

private:
    void Collect(const char* site, const QString& address, bool fast = true);
    bool WaitIdle(int ms = 30000);
    QStringList Rows() const;
    int RequestsFor(const std::string& pathStart) const;

    StandinWeb web_;
    QTemporaryDir dir_;
    ScriptedMessages messages_;
    std::unique_ptr<WorkerRegistry> workers_;
    std::unique_ptr<HostApp> app_;
    std::unique_ptr<TParseForm> form_;
};

void FeedCollectTest::init()
{
    if (web_.Port() == 0)
        web_.Start();
    messages_.Clear();
    messages_.OnModal(nullptr);
    workers_ = std::make_unique<WorkerRegistry>();
    NetworkSettings network;
    network.connectTo = web_.ConnectToRules();
    app_ = std::make_unique<HostApp>("Quib", dir_.path(), messages_, *workers_, network);
    form_ = std::make_unique<TParseForm>(nullptr, app_.get());
}

void FeedCollectTest::cleanup()
{
    form_.reset();
    workers_->StopAll();
    workers_->WaitAll();
    app_.reset();
    workers_.reset();
    web_.ClearRequests();
}

void FeedCollectTest::Collect(const char* site, const QString& address, bool fast)
{
    form_->SiteRadio(site).setChecked(true);
    form_->FastSwitch().setChecked(fast);
    form_->UrlEditor().setText(address);
    form_->ButtonClick();
}

bool FeedCollectTest::WaitIdle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (form_->Running() && clock.elapsed() < ms)
        QTest::qWait(10);
    return !form_->Running();
}

QStringList FeedCollectTest::Rows() const
{
    QStringList rows;
    for (int i = 0; i < form_->Data().Count(); ++i)
        rows << RowText(form_->Data().Row(i));
    return rows;
}

int FeedCollectTest::RequestsFor(const std::string& pathStart) const
{
    int count = 0;
    for (const auto& request : web_.Requests())
        count += request.target.rfind(pathStart, 0) == 0;
    return count;
}

void FeedCollectTest::tudouAlbumFromItsFeed()
{
    Collect("tudou", "http://www.tudou.com/playlist/id/3x7/");
    QVERIFY(WaitIdle());
    QCOMPARE(form_->Engine().CollectId(), std::string("3x7"));
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 21);
    QCOMPARE(rows.front(), QString("第1集 土豆视频|50000001|2009-03-11 08:00:00|http://www.tudou.com/programs/view/td3x7n1/"));
    QCOMPARE(rows.back(), QString("第21集 土豆视频|50000021|2009-03-31 08:00:00|http://www.tudou.com/programs/view/td3x7n21/"));
    for (int i = 0; i < form_->Data().Count(); ++i) {
        QCOMPARE(form_->Data().Row(i).RecId, i + 1);
        QVERIFY(form_->Data().Row(i).Status);
    }
    // One request, the feed; no playlist page and no item page.
    QCOMPARE(web_.Requests().size(), std::size_t(1));
    QCOMPARE(web_.Requests().front().host, std::string("www.tudou.com"));
    QCOMPARE(web_.Requests().front().target, std::string("/playlist/rss.do?lid=3x7"));
    QVERIFY(messages_.Messages().empty());
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::youkuAlbumFromItsFeed()
{
    Collect("youku", "2x4");
    QVERIFY(WaitIdle());
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 8);
    QCOMPARE(rows.front(), QString("第1集 优酷视频|http://player.youku.com/player.php/sid/XM2x4n1/v.swf|"
                                   "2009-03-10 13:30:00|http://v.youku.com/v_show/id_XM2x4n1.html"));
    QCOMPARE(rows.back(), QString("第8集 优酷视频|http://player.youku.com/player.php/sid/XM2x4n8/v.swf|"
                                  "2009-03-10 20:30:00|http://v.youku.com/v_show/id_XM2x4n8.html"));
    QCOMPARE(RequestsFor("/playlist/rss/id/2x4"), 1);
    QVERIFY(messages_.Messages().empty());
}

void FeedCollectTest::feedEdgeCases_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("tudou") << QByteArray("tudou")
                           << QStringList{"零点|100|1970-01-01 08:00:00|http://www.tudou.com/programs/view/zero/",
                                          "一秒半|101|1970-01-01 08:00:01|http://www.tudou.com/programs/view/half/",
                                          // A date that is no number leaves the date empty, the link kept.
                                          "坏日期|103||http://www.tudou.com/programs/view/baddate/",
                                          "负数|104|1970-01-01 07:59:59|http://www.tudou.com/programs/view/negative/"};
    QTest::newRow("youku") << QByteArray("youku")
                           << QStringList{"东八区|http://player.youku.com/player.php/sid/zone/v.swf|2009-03-10 12:30:00|"
                                          "http://v.youku.com/v_show/id_zone.html",
                                          "坏日期|http://player.youku.com/player.php/sid/baddate/v.swf||"
                                          "http://v.youku.com/v_show/id_baddate.html",
                                          "无标识||2009-03-11 08:00:00|http://v.youku.com/v_show/id_noguid.html",
                                          "最后|http://player.youku.com/player.php/sid/last/v.swf|2009-03-12 23:59:59|"
                                          "http://v.youku.com/v_show/id_last.html"};
}

void FeedCollectTest::feedEdgeCases()
{
    QFETCH(QByteArray, site);
    QFETCH(QStringList, rows);
    Collect(site.constData(), "edge");
    QVERIFY(WaitIdle());
    QCOMPARE(Rows(), rows);
    QVERIFY(messages_.Messages().empty());
}

void FeedCollectTest::feedWithoutItemsEndsQuietly_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QString>("id");
    QTest::newRow("tudou, no items") << QByteArray("tudou") << "empty";
    QTest::newRow("tudou, not a feed") << QByteArray("tudou") << "notfeed";
    QTest::newRow("youku, not a feed") << QByteArray("youku") << "notfeed";
}

void FeedCollectTest::feedWithoutItemsEndsQuietly()
{
    QFETCH(QByteArray, site);
    QFETCH(QString, id);
    Collect(site.constData(), id);
    QVERIFY(WaitIdle());
    QCOMPARE(form_->Data().Count(), 0);
    QVERIFY(messages_.Messages().empty());
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::missingFeedIsReported()
{
    Collect("youku", "nosuchalbum");
    QVERIFY(WaitIdle());
    const auto alerts = messages_.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY(alerts.front().startsWith("在采集的过程中发生错误："));
    QCOMPARE(form_->Data().Count(), 0);
}

void FeedCollectTest::stopDuringTheScanKeepsTheWholeList()
{
    constexpr int kItems = 3000;
    int rowsAtStop = -1;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (rowsAtStop < 0 && form_->Data().Count() > 0 && form_->Running()) {
            rowsAtStop = form_->Data().Count();
            form_->ButtonClick();  // the stop
        }
    });
    watch.start(0);
    Collect("tudou", "1x3000");
    QVERIFY(WaitIdle());
    watch.stop();
    QVERIFY2(rowsAtStop > 0 && rowsAtStop < kItems, "the stop was not requested in the middle of the list");
    QCOMPARE(form_->Data().Count(), kItems);
    QVERIFY(messages_.Messages().empty());
}

void FeedCollectTest::movieWithOneAlbumGoesStraightToIt_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QByteArray>("album");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("generated") << "a1x4" << QByteArray("a1x4_1")
                               << QStringList{"第1集|http://vod.xunlei.com/a1x4_1/1.rmvb||",
                                              "第2集|http://vod.xunlei.com/a1x4_1/2.rmvb||",
                                              "第3集|http://vod.xunlei.com/a1x4_1/3.rmvb||",
                                              "第4集|http://vod.xunlei.com/a1x4_1/4.rmvb||"};
    // The first album has no title and is no album; the one left is taken without a chooser.
    QTest::newRow("hand-written") << "untitled" << QByteArray("edge")
                                  << QStringList{"第一|http://vod.xunlei.com/edge/1.rmvb||",
                                                 "第二|http://vod.xunlei.com/edge/2.rmvb||",
                                                 "第三|http://vod.xunlei.com/电影/3.rmvb||"};
}

void FeedCollectTest::movieWithOneAlbumGoesStraightToIt()
{
    QFETCH(QString, movie);
    QFETCH(QByteArray, album);
    QFETCH(QStringList, rows);
    Collect("xunlei", " " + movie + " ");
    QVERIFY(WaitIdle());
    QVERIFY(messages_.Messages().empty());  // no chooser, no message
    QCOMPARE(Rows(), rows);
    QCOMPARE(QByteArray::fromStdString(form_->Engine().CollectId()), album);
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/movie/" + movie.toStdString() + ".xml"), 1);
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/" + album.toStdString() + ".xml"), 1);
}

void FeedCollectTest::cancelledChooserEndsWithoutRows_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("three albums") << "a3x5" << QStringList{"a3x5_1=第1版 高清", "a3x5_2=第2版 高清", "a3x5_3=第3版 高清"};
    // A repeated album ID keeps its first place and takes the later title.
    QTest::newRow("repeated ID") << "dup" << QStringList{"edge=重复", "a1x2_1=第二"};
}

void FeedCollectTest::cancelledChooserEndsWithoutRows()
{
    QFETCH(QString, movie);
    QFETCH(QStringList, lines);
    QStringList shown;
    int selected = -2;
    bool runningWhileShown = false;
    messages_.OnModal([&](QDialog& dialog) {
        auto* chooser = qobject_cast<TChooseForm*>(&dialog);
        if (!chooser)
            return int(QDialog::Accepted);
        for (const QString& line : chooser->Lines())
            shown << line;
        selected = chooser->Chosen();
        runningWhileShown = form_->Running();
        return int(QDialog::Rejected);
    });
    Collect("xunlei", movie);
    QVERIFY(WaitIdle());
    QCOMPARE(messages_.Texts(Kind::Modal), std::vector<QString>{"选择专辑"});
    QCOMPARE(shown, lines);
    QCOMPARE(selected, 0);
    QVERIFY(runningWhileShown);
    QCOMPARE(form_->Data().Count(), 0);
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/"), 0);
}

void FeedCollectTest::chosenAlbumIsCollected()
{
    app_->SetSkinName("Blue");
    bool skinned = false;
    messages_.OnModal([&](QDialog& dialog) {
        auto* chooser = qobject_cast<TChooseForm*>(&dialog);
        skinned = dialog.findChild<RibbonStrip*>() != nullptr;
        return chooser && chooser->Choose(1) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    Collect("xunlei", "a3x5");
    QVERIFY(WaitIdle());
    QVERIFY(skinned);
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.front(), QString("第1集|http://vod.xunlei.com/a3x5_2/1.rmvb||"));
    QCOMPARE(rows.back(), QString("第5集|http://vod.xunlei.com/a3x5_2/5.rmvb||"));
    QCOMPARE(form_->Engine().CollectId(), std::string("a3x5_2"));  // the album's ID, not the movie's
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/a3x5_2.xml"), 1);
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
    QVERIFY(messages_.Texts(Kind::Alert).empty());
}

void FeedCollectTest::movieWithoutAlbumsEndsQuietly()
{
    Collect("xunlei", "none");
    QVERIFY(WaitIdle());
    QVERIFY(messages_.Messages().empty());
    QCOMPARE(form_->Data().Count(), 0);
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/"), 0);
}

void FeedCollectTest::missingMovieIsReported()
{
    Collect("xunlei", "nosuchmovie");
    QVERIFY(WaitIdle());
    const auto alerts = messages_.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY(alerts.front().startsWith("在采集的过程中发生错误："));
    QVERIFY(messages_.Texts(Kind::Modal).empty());
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::stopBeforeTheMovieEndsWithoutRows()
{
    // Whether the stop reaches the movie's fetch or only the album's, nothing is collected.
    Collect("xunlei", "a1x4");
    form_->ButtonClick();
    QVERIFY(WaitIdle());
    QCOMPARE(form_->Data().Count(), 0);
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/"), 0);
    QVERIFY(messages_.Messages().empty());
    QCOMPARE(form_->CollectButton().text(), QString("采集"));
}

QTEST_MAIN(FeedCollectTest)
#include "feedcollect_test.moc"
