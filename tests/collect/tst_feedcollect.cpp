#include "collect/choose.h"
#include "tests/support/formfixture.h"
#include "host/framework/skin.h"

using namespace quib;
using namespace quib::collect;
using namespace quib::test;
using namespace quib::results;
using namespace quib::standin;

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
    void requestedAlbumIsCollectedWithoutChooser();
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
    QStringList Rows() const;

    FormFixture m_f{FormFixture::Web::Own};
};

void FeedCollectTest::init() { m_f.Create(); }

void FeedCollectTest::cleanup() { m_f.Destroy(); }

void FeedCollectTest::Collect(const char* site, const QString& address, bool fast)
{
    m_f.form->SiteRadio(site).setChecked(true);
    m_f.form->FastSwitch().setChecked(fast);
    m_f.form->UrlEditor().setText(address);
    m_f.form->ButtonClick();
}

QStringList FeedCollectTest::Rows() const
{
    QStringList rows;
    for (int i = 0; i < m_f.form->Data().Count(); ++i)
        rows << RowText(m_f.form->Data().Row(i));
    return rows;
}

void FeedCollectTest::tudouAlbumFromItsFeed()
{
    Collect("tudou", "http://www.tudou.com/playlist/id/3x7/");
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->Engine().CollectId(), std::string("3x7"));
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 21);
    QCOMPARE(rows.front(),
             QString("第1集 土豆视频|50000001|2009-03-11 08:00:00|http://www.tudou.com/programs/view/td3x7n1/"));
    QCOMPARE(rows.back(),
             QString("第21集 土豆视频|50000021|2009-03-31 08:00:00|http://www.tudou.com/programs/view/td3x7n21/"));
    for (int i = 0; i < m_f.form->Data().Count(); ++i) {
        QCOMPARE(m_f.form->Data().Row(i).RecId, i + 1);
        QVERIFY(m_f.form->Data().Row(i).Status);
    }
    // One request, the feed; no playlist page and no item page.
    QCOMPARE(m_f.Web().Requests().size(), std::size_t(1));
    QCOMPARE(m_f.Web().Requests().front().host, std::string("www.tudou.com"));
    QCOMPARE(m_f.Web().Requests().front().target, std::string("/playlist/rss.do?lid=3x7"));
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::youkuAlbumFromItsFeed()
{
    Collect("youku", "2x4");
    QVERIFY(m_f.WaitIdle());
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 8);
    QCOMPARE(rows.front(), QString("第1集 优酷视频|http://player.youku.com/player.php/sid/XM2x4n1/v.swf|"
                                   "2009-03-10 13:30:00|http://v.youku.com/v_show/id_XM2x4n1.html"));
    QCOMPARE(rows.back(), QString("第8集 优酷视频|http://player.youku.com/player.php/sid/XM2x4n8/v.swf|"
                                  "2009-03-10 20:30:00|http://v.youku.com/v_show/id_XM2x4n8.html"));
    QCOMPARE(m_f.RequestsStartingWith("/playlist/rss/id/2x4"), 1);
    QVERIFY(m_f.messages.Messages().empty());
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
                           << QStringList{
                                  "东八区|http://player.youku.com/player.php/sid/zone/v.swf|2009-03-10 12:30:00|"
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
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(Rows(), rows);
    QVERIFY(m_f.messages.Messages().empty());
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
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->Data().Count(), 0);
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::missingFeedIsReported()
{
    Collect("youku", "nosuchalbum");
    QVERIFY(m_f.WaitIdle());
    const auto alerts = m_f.messages.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY(alerts.front().startsWith("在采集的过程中发生错误："));
    QCOMPARE(m_f.form->Data().Count(), 0);
}

void FeedCollectTest::stopDuringTheScanKeepsTheWholeList()
{
    constexpr int kItems = 3000;
    // The feed's rows arrive in one hand-over; the stop is asked for while the first of them is
    // appended, as a person pressing 终止 then, and the list must still come whole.
    int rowsAtStop = -1;
    const auto stopAtFirstRow = connect(&m_f.form->Engine(), &CollectionEngine::RowAdded, this, [&] {
        if (rowsAtStop < 0) {
            rowsAtStop = m_f.form->Data().Count();
            m_f.form->ButtonClick();  // the stop
        }
    });
    Collect("tudou", "1x3000");
    QVERIFY(m_f.WaitIdle());
    disconnect(stopAtFirstRow);
    QCOMPARE(rowsAtStop, 1);
    QCOMPARE(m_f.form->Data().Count(), kItems);
    QVERIFY(m_f.messages.Messages().empty());
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
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());  // no chooser, no message
    QCOMPARE(Rows(), rows);
    QCOMPARE(QByteArray::fromStdString(m_f.form->Engine().CollectId()), album);
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/movie/" + movie.toStdString() + ".xml"), 1);
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/album/" + album.toStdString() + ".xml"), 1);
}

void FeedCollectTest::cancelledChooserEndsWithoutRows_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("three albums") << "a3x5"
                                  << QStringList{"a3x5_1=第1版 高清", "a3x5_2=第2版 高清", "a3x5_3=第3版 高清"};
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
    m_f.messages.OnModal([&](QDialog& dialog) {
        auto* chooser = qobject_cast<TChooseForm*>(&dialog);
        if (!chooser)
            return int(QDialog::Accepted);
        for (const QString& line : chooser->Lines())
            shown << line;
        selected = chooser->Chosen();
        runningWhileShown = m_f.form->Running();
        return int(QDialog::Rejected);
    });
    Collect("xunlei", movie);
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.messages.Texts(Kind::Modal), std::vector<QString>{"选择专辑"});
    QCOMPARE(shown, lines);
    QCOMPARE(selected, 0);
    QVERIFY(runningWhileShown);
    QCOMPARE(m_f.form->Data().Count(), 0);
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/album/"), 0);
}

void FeedCollectTest::chosenAlbumIsCollected()
{
    m_f.app->SetSkinName("Blue");
    bool skinned = false;
    m_f.messages.OnModal([&](QDialog& dialog) {
        auto* chooser = qobject_cast<TChooseForm*>(&dialog);
        skinned = dialog.findChild<RibbonStrip*>() != nullptr;
        return chooser && chooser->Choose(1) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    Collect("xunlei", "a3x5");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(skinned);
    const QStringList rows = Rows();
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.front(), QString("第1集|http://vod.xunlei.com/a3x5_2/1.rmvb||"));
    QCOMPARE(rows.back(), QString("第5集|http://vod.xunlei.com/a3x5_2/5.rmvb||"));
    QCOMPARE(m_f.form->Engine().CollectId(), std::string("a3x5_2"));  // the album's ID, not the movie's
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/album/a3x5_2.xml"), 1);
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QVERIFY(m_f.messages.Texts(Kind::Alert).empty());
}

void FeedCollectTest::movieWithoutAlbumsEndsQuietly()
{
    Collect("xunlei", "none");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), 0);
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/album/"), 0);
}

void FeedCollectTest::missingMovieIsReported()
{
    Collect("xunlei", "nosuchmovie");
    QVERIFY(m_f.WaitIdle());
    const auto alerts = m_f.messages.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY(alerts.front().startsWith("在采集的过程中发生错误："));
    QVERIFY(m_f.messages.Texts(Kind::Modal).empty());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::stopBeforeTheMovieEndsWithoutRows()
{
    // Whether the stop reaches the movie's fetch or only the album's, nothing is collected.
    Collect("xunlei", "a1x4");
    m_f.form->ButtonClick();
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->Data().Count(), 0);
    QCOMPARE(m_f.RequestsStartingWith("/voddata/xml/movieinfo/album/"), 0);
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
}

void FeedCollectTest::requestedAlbumIsCollectedWithoutChooser()
{
    bool asked = false;
    m_f.messages.OnModal([&](QDialog&) {
        asked = true;
        return int(QDialog::Rejected);
    });
    CollectRequest request;
    request.address = "a3x5";
    request.site = "xunlei";
    request.album = 2;
    const CollectionEngine::Result result = m_f.form->Engine().CollectAndWait(request);
    QVERIFY(!asked);
    QVERIFY(result.started);
    QCOMPARE(int(result.end), int(CollectionEngine::EndKind::Finished));
    QCOMPARE(result.rows, 5);
    QCOMPARE(Rows().front(), QString("第1集|http://vod.xunlei.com/a3x5_2/1.rmvb||"));
    QCOMPARE(m_f.form->Engine().CollectId(), std::string("a3x5_2"));
}

QTEST_MAIN(FeedCollectTest)
#include "tst_feedcollect.moc"
