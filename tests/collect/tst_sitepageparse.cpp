#include "tests/support/formfixture.h"
#include "collect/sites.h"

#include <cstdio>

using namespace quib;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::results;
using namespace quib::standin;

using Kind = ScriptedMessages::Kind;

namespace {

std::string Gbk(const std::string& utf8) { return gbk::FromUtf8(utf8); }
std::string N(long long n) { return std::to_string(n); }

// The row the stand-in's item n of album id must give. For 56 the link's folder is drawn at
// random, so Link holds only what follows it.
ResultRow ExpectedRow(const std::string& site, const std::string& id, int n)
{
    ResultRow row;
    if (site == "tudou") {
        row.Caption = Gbk("土豆视频 第" + N(n) + "集");
        row.Url = N(1000000000 + n);
        row.Link = "http://www.tudou.com/playlist/playindex.do?lid=" + id + "&iid=" + row.Url;
    } else if (site == "youku") {
        row.Caption = Gbk("优酷视频 第" + N(n) + "集");
        row.Url = "XMTAw" + N(1000 + n);
        row.Link = "http://www.youku.com/show_item/" + id + "/" + N(n) + ".html";
    } else if (site == "56") {
        row.Caption = Gbk("我乐视频 第" + N(n) + "集");
        row.Url = "v_" + N(1000000 + n);
        row.Link = "/videoitem-" + N(n) + "_aid-" + id + ".html";
    } else if (site == "6jf") {
        row.Caption = Gbk("六间房视频 第" + N(n) + "集");
        row.Url = "ev" + N(100000 + n);
        row.Link = "http://6.cn/plist/" + id + "/" + N(n - 1) + ".html";
    } else if (site == "ouou") {
        row.Caption = Gbk("偶偶视频 第" + N(n) + "集");
        row.Url = N(700000 + n);
        row.Link = "http://www.ouou.com/play/v_" + row.Url + ".html";
    } else if (site == "sina") {
        char date[16];
        std::snprintf(date, sizeof date, "2009-05-%02d", (n - 1) % 28 + 1);
        row.Caption = Gbk("新浪视频 第" + N(n) + "集");
        row.Url = N(1000000000 + n) + "&uid=1650000001";
        row.Date = date;
        row.Link = "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=" + id + "&uid=1650000001#" +
                   N(1000000000 + n);
    }
    return row;
}

// What the requests for a site's playlist pages and item pages contain.
std::string PlaylistMark(const std::string& site)
{
    if (site == "tudou")
        return "showItems.do";
    if (site == "youku")
        return "/playlist_show/";
    if (site == "56")
        return "/album-p-";
    if (site == "6jf")
        return "/plist/";
    if (site == "ouou")
        return "/playlistinfo/";
    return "/a/";
}

std::string ItemMark(const std::string& site) { return site == "youku" ? "/show_item/" : "/videoitem-"; }

// The site's own parser, with a row callback of the test's choosing.
void StartSiteParser(const std::string& site, CollectionEngine& engine, const CollectionEngine::WorkerStart& start,
                     TPageParse::TOnGetUrlEvent onRow)
{
    FindSite(site)->pages.start(engine.App().GetWorkers(), engine.App().GetNetwork(), start.url, start.id, start.index,
                                {std::move(onRow),
                                 [&engine](const std::exception& e, const std::string& url, int index, TPageParse& t) {
                                     engine.ParseError(e, url, index, t);
                                 },
                                 [&engine](TPageParse& t) { engine.ParseEnd(t); },
                                 [stop = engine.StopRequested()](TPageParse& t) {
                                     if (stop.IsSet())
                                         t.Terminate();
                                 }});
}

TPageParse::TOnGetUrlEvent RowCallbackOf(CollectionEngine& engine, const std::string& site)
{
    return engine.ItemRows(*FindSite(site), FindSite(site)->pages);
}

}  // namespace

class SitePageParseTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void albumIsCollectedCompletelyInOrder_data();
    void albumIsCollectedCompletelyInOrder();
    void listEndsWhereThePageSays_data();
    void listEndsWhereThePageSays();
    void sixroomsPageWithoutTitleIsReadAgain();
    void lostItemPageLeavesOnlyItsUrlEmpty_data();
    void lostItemPageLeavesOnlyItsUrlEmpty();
    void failedPageEndsWithOneAlert_data();
    void failedPageEndsWithOneAlert();
    void stopBetweenItemsKeepsTheRows_data();
    void stopBetweenItemsKeepsTheRows();
    void withoutRowCallbackItemsAreOnlyCounted_data();
    void withoutRowCallbackItemsAreOnlyCounted();
    void endlessPagerStopsWithItsReason_data();
    void endlessPagerStopsWithItsReason();

private:
    void Collect(const QByteArray& site, const QString& address, int startPage = 1);
    void CompareRow(const std::string& site, int row, const ResultRow& expected) const;

    FormFixture m_f{FormFixture::Web::Own};
};

void SitePageParseTest::init()
{
    if (m_f.Web().Port() == 0) {
        // A pager whose page 3 sends the client back to page 1, as some sites answer a page past
        // their last.
        m_f.Web().AddSite("www.tudou.com", [](const StandinRequest& request, httplib::Response& response) {
            const auto lid = request.params.find("lid");
            const auto pn = request.params.find("pn");
            if (lid == request.params.end() || lid->second != "2x3-back" || pn == request.params.end() ||
                pn->second != "3")
                return false;
            response.set_redirect("/playlist/showItems.do?lid=2x3-back&pn=1", 302);
            return true;
        });
        m_f.Web().Start();
    }
    NetworkSettings network = StandinNetwork(m_f.Web());
    if (QByteArray(QTest::currentTestFunction()) == "endlessPagerStopsWithItsReason")
        network.maxPagesPerCollection = 4;
    m_f.Create(nullptr, network);
    m_f.form->FastSwitch().setChecked(false);
}

void SitePageParseTest::cleanup() { m_f.Destroy(); }

void SitePageParseTest::Collect(const QByteArray& site, const QString& address, int startPage)
{
    m_f.form->SiteRadio(site.toStdString()).setChecked(true);
    m_f.form->UrlEditor().setText(address);
    m_f.form->StartPage().setValue(startPage);
    m_f.form->ButtonClick();
}

void SitePageParseTest::CompareRow(const std::string& site, int row, const ResultRow& expected) const
{
    const ResultRow& actual = m_f.form->Data().Row(row);
    const QByteArray where = QByteArray::fromStdString(site) + " row " + QByteArray::number(row);
    QVERIFY2(actual.Status, where);
    QCOMPARE(QByteArray::fromStdString(actual.Caption), QByteArray::fromStdString(expected.Caption));
    QCOMPARE(QByteArray::fromStdString(actual.Url), QByteArray::fromStdString(expected.Url));
    QCOMPARE(QByteArray::fromStdString(actual.Date), QByteArray::fromStdString(expected.Date));
    if (site == "56")
        QVERIFY2(actual.Link.starts_with("http://www.56.com/w") && actual.Link.ends_with(expected.Link),
                 actual.Link.c_str());
    else
        QCOMPARE(QByteArray::fromStdString(actual.Link), QByteArray::fromStdString(expected.Link));
}

void SitePageParseTest::albumIsCollectedCompletelyInOrder_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("startPage");
    QTest::addColumn<int>("firstItem");
    QTest::addColumn<int>("lastItem");
    QTest::addColumn<int>("pagesFetched");

    QTest::newRow("tudou") << QByteArray("tudou") << QByteArray("3x4") << 1 << 1 << 12 << 3;
    QTest::newRow("tudou from page 2") << QByteArray("tudou") << QByteArray("3x4") << 2 << 5 << 12 << 2;
    QTest::newRow("youku") << QByteArray("youku") << QByteArray("3x4") << 1 << 1 << 12 << 3;
    QTest::newRow("56") << QByteArray("56") << QByteArray("3x4") << 1 << 1 << 12 << 3;
    // Index 1: the page moves on by the text for page 3.
    QTest::newRow("56 from page 2") << QByteArray("56") << QByteArray("3x4") << 2 << 5 << 12 << 2;
    // One video per position, and one more request for the position past the end.
    QTest::newRow("6rooms") << QByteArray("6jf") << QByteArray("1x3") << 1 << 1 << 3 << 4;
    QTest::newRow("6rooms from position 1") << QByteArray("6jf") << QByteArray("1x3") << 2 << 2 << 3 << 3;
    QTest::newRow("ouou") << QByteArray("ouou") << QByteArray("3x4") << 1 << 1 << 12 << 3;
    // Behind each page's list a recommendation sidebar carries items of its own.
    QTest::newRow("sina") << QByteArray("sina") << QByteArray("3x4") << 1 << 1 << 12 << 3;
    QTest::newRow("sina from the last page") << QByteArray("sina") << QByteArray("3x4") << 3 << 9 << 12 << 1;
}

void SitePageParseTest::albumIsCollectedCompletelyInOrder()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, id);
    QFETCH(int, startPage);
    QFETCH(int, firstItem);
    QFETCH(int, lastItem);
    QFETCH(int, pagesFetched);
    Collect(site, QString::fromLatin1(id), startPage);
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), lastItem - firstItem + 1);
    for (int n = firstItem; n <= lastItem; ++n)
        CompareRow(site.toStdString(), n - firstItem, ExpectedRow(site.toStdString(), id.toStdString(), n));
    QCOMPARE(m_f.RequestsContaining(PlaylistMark(site.toStdString())), pagesFetched);
}

void SitePageParseTest::listEndsWhereThePageSays_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pagesFetched");

    // The third video is not followed by another video block: the related videos are no part.
    QTest::newRow("youku last block") << QByteArray("youku") << QByteArray("edge-tail") << 3 << 1;
    // Without the block that closes the list only the first item counts.
    QTest::newRow("sina without list end") << QByteArray("sina") << QByteArray("edge-nosa") << 1 << 1;
    // A pager link on a page without items still leads on.
    QTest::newRow("sina pager without items") << QByteArray("sina") << QByteArray("edge-blank") << 2 << 2;
    // The pager counts wherever it stands, above the list too.
    QTest::newRow("sina pager above the list") << QByteArray("sina") << QByteArray("edge-toppager") << 4 << 2;
}

void SitePageParseTest::listEndsWhereThePageSays()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, id);
    QFETCH(int, rows);
    Collect(site, QString::fromLatin1(id));
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), rows);
    for (int n = 1; n <= rows; ++n)
        CompareRow(site.toStdString(), n - 1, ExpectedRow(site.toStdString(), id.toStdString(), n));
    QTEST(m_f.RequestsContaining(PlaylistMark(site.toStdString())), "pagesFetched");
    if (site == "youku")
        QCOMPARE(m_f.RequestsContaining(ItemMark("youku")), rows);
}

void SitePageParseTest::sixroomsPageWithoutTitleIsReadAgain()
{
    // Position 0 a video, 1 an empty page, 2 a video whose <h4> has attributes, 3 the end.
    Collect("6jf", "edge-empty");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), 3);
    CompareRow("6jf", 0, ExpectedRow("6jf", "edge-empty", 1));
    ResultRow empty;
    empty.Link = "http://6.cn/plist/edge-empty/1.html";
    CompareRow("6jf", 1, empty);
    CompareRow("6jf", 2, ExpectedRow("6jf", "edge-empty", 3));  // filled from the page's elements
    QCOMPARE(m_f.RequestsContaining("/plist/edge-empty/3.html"), 1);
    QCOMPARE(m_f.RequestsContaining("/plist/edge-empty/4.html"), 0);
}

void SitePageParseTest::lostItemPageLeavesOnlyItsUrlEmpty_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::newRow("56") << QByteArray("56");
    QTest::newRow("youku") << QByteArray("youku");
}

void SitePageParseTest::lostItemPageLeavesOnlyItsUrlEmpty()
{
    QFETCH(QByteArray, site);
    Collect(site, "2x3-lost2");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), 6);
    for (int n = 1; n <= 6; ++n) {
        ResultRow expected = ExpectedRow(site.toStdString(), "2x3-lost2", n);
        if (n == 2)
            expected.Url.clear();
        CompareRow(site.toStdString(), n - 1, expected);
    }
}

void SitePageParseTest::failedPageEndsWithOneAlert_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<int>("rowsBefore");
    QTest::newRow("tudou") << QByteArray("tudou") << 4;
    QTest::newRow("youku") << QByteArray("youku") << 4;
    QTest::newRow("56") << QByteArray("56") << 4;
    QTest::newRow("6rooms") << QByteArray("6jf") << 1;
    QTest::newRow("ouou") << QByteArray("ouou") << 4;
    QTest::newRow("sina") << QByteArray("sina") << 4;
}

void SitePageParseTest::failedPageEndsWithOneAlert()
{
    QFETCH(QByteArray, site);
    QFETCH(int, rowsBefore);
    Collect(site, "3x4-fail2");
    QVERIFY(m_f.WaitIdle());
    const auto alerts = m_f.messages.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY2(alerts[0].startsWith("在采集的过程中发生错误：") && alerts[0].contains("500"), qUtf8Printable(alerts[0]));
    QCOMPARE(m_f.messages.Messages().size(), std::size_t(1));
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QCOMPARE(m_f.form->Data().Count(), rowsBefore);
    for (int n = 1; n <= rowsBefore; ++n)
        CompareRow(site.toStdString(), n - 1, ExpectedRow(site.toStdString(), "3x4-fail2", n));
    QCOMPARE(m_f.RequestsContaining(PlaylistMark(site.toStdString())), 2);
}

void SitePageParseTest::stopBetweenItemsKeepsTheRows_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::newRow("tudou") << QByteArray("tudou");
    QTest::newRow("youku") << QByteArray("youku");
    QTest::newRow("56") << QByteArray("56");
    QTest::newRow("6rooms") << QByteArray("6jf");
    QTest::newRow("ouou") << QByteArray("ouou");
    QTest::newRow("sina") << QByteArray("sina");
}

void SitePageParseTest::stopBetweenItemsKeepsTheRows()
{
    QFETCH(QByteArray, site);
    const std::string key = site.toStdString();
    // The stop is asked for while the second row is appended, as a person pressing 终止 then.
    TParseForm* form = m_f.form.get();
    m_f.form->Engine().SetWorkerLauncher(
        [key, form](CollectionEngine& engine, const CollectionEngine::WorkerStart& start) {
            const TPageParse::TOnGetUrlEvent rows = RowCallbackOf(engine, key);
            StartSiteParser(
                key, engine, start,
                [&engine, form, rows](const std::string& html, const std::string& link, const std::string& caption,
                                      const std::string& date, int index, TPageParse& worker) {
                    rows(html, link, caption, date, index, worker);
                    if (engine.Data().Count() == 2)
                        form->ButtonClick();
                });
        });
    Collect(site, "2x4");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), 2);
    for (int n = 1; n <= 2; ++n)
        CompareRow(key, n - 1, ExpectedRow(key, "2x4", n));
}

void SitePageParseTest::withoutRowCallbackItemsAreOnlyCounted_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::newRow("56") << QByteArray("56");
    QTest::newRow("youku") << QByteArray("youku");
    QTest::newRow("sina") << QByteArray("sina");
}

void SitePageParseTest::withoutRowCallbackItemsAreOnlyCounted()
{
    QFETCH(QByteArray, site);
    const std::string key = site.toStdString();
    m_f.form->Engine().SetWorkerLauncher([key](CollectionEngine& engine, const CollectionEngine::WorkerStart& start) {
        StartSiteParser(key, engine, start, {});
    });
    Collect(site, "3x2");
    QVERIFY(m_f.WaitIdle());
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->Data().Count(), 0);
    QCOMPARE(m_f.RequestsContaining(PlaylistMark(key)), 3);
    QCOMPARE(m_f.RequestsContaining(ItemMark(key)), 0);
}

void SitePageParseTest::endlessPagerStopsWithItsReason_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("reason");
    // The page cap is 4 in this test.
    const QString cap = QStringLiteral("已采集 4 页，达到一次采集的页数上限，采集到此为止");
    QTest::newRow("tudou, always a next page") << QByteArray("tudou") << QByteArray("2x3-endless") << 12 << cap;
    QTest::newRow("youku, always a next page") << QByteArray("youku") << QByteArray("2x3-endless") << 12 << cap;
    QTest::newRow("56, always a next page") << QByteArray("56") << QByteArray("2x3-endless") << 12 << cap;
    QTest::newRow("ouou, always a next page") << QByteArray("ouou") << QByteArray("2x3-endless") << 12 << cap;
    QTest::newRow("sina, always a next page") << QByteArray("sina") << QByteArray("2x3-endless") << 12 << cap;
    QTest::newRow("6rooms, positions without end") << QByteArray("6jf") << QByteArray("1x3-endless") << 4 << cap;
    QTest::newRow("tudou, back to the first page")
        << QByteArray("tudou") << QByteArray("2x3-back") << 6
        << QStringLiteral(
               "转到了已经采集过的 http://www.tudou.com/playlist/showItems.do?lid=2x3-back&pn=1，采集到此为止");
}

void SitePageParseTest::endlessPagerStopsWithItsReason()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, id);
    QFETCH(int, rows);
    QFETCH(QString, reason);
    Collect(site, QString::fromLatin1(id));
    QVERIFY(m_f.WaitIdle());
    const auto alerts = m_f.messages.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY2(alerts[0].startsWith("在采集的过程中发生错误：") && alerts[0].endsWith(reason), qUtf8Printable(alerts[0]));
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    // The rows collected before the stop stay.
    QCOMPARE(m_f.form->Data().Count(), rows);
    for (int n = 1; n <= rows; ++n)
        CompareRow(site.toStdString(), n - 1, ExpectedRow(site.toStdString(), id.toStdString(), n));
}

QTEST_MAIN(SitePageParseTest)
#include "tst_sitepageparse.moc"
