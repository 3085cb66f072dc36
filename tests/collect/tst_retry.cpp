// Retry: a row collected again from its own page and overwritten in place, alone or for every
// checked row without an address.
#include "host/core/gbk.h"
#include "tests/support/formfixture.h"

using namespace quib;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::results;
using namespace quib::standin;

namespace {

RowFields OldRow(const QString& link)
{
    return RowFields{std::string("old"), std::string("old"), std::string("old"), gbk::FromUnicode(link), true};
}

}  // namespace

class RetryTest : public QObject {
    Q_OBJECT
public:
    explicit RetryTest(StandinWeb& web) : m_fixture(web) {}

private slots:
    void init();
    void cleanup() { m_fixture.Destroy(); }
    void retryOverwritesOnlyTheSitesFields_data();
    void retryOverwritesOnlyTheSitesFields();
    void retryLeavesAlone_data();
    void retryLeavesAlone();
    void failedRetryKeepsTheRow();
    void autoRetryWalksCheckedRowsWithoutAddress();
    void autoRetryOnAClosedTableDoesNothing();
    void autoRetryFindsTheAlbumsOwnItems_data();
    void autoRetryFindsTheAlbumsOwnItems();

private:
    // Appends a row per link with old values, its check mark as given.
    void Fill(const std::vector<std::pair<QString, bool>>& rows);

    FormFixture m_fixture;
};

void RetryTest::init()
{
    m_fixture.Create();
    m_fixture.Form().Data().Open();
    m_fixture.Web().ClearRequests();
}

void RetryTest::Fill(const std::vector<std::pair<QString, bool>>& rows)
{
    MemData& data = m_fixture.Form().Data();
    for (const auto& [link, checked] : rows) {
        const int index = data.Append(OldRow(link));
        data.SetStatus(index, checked);
    }
}

void RetryTest::retryOverwritesOnlyTheSitesFields_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("date");
    QTest::newRow("56: address only") << "http://www.56.com/u12/v_abc.html"
                                      << "old"
                                      << "v_abc"
                                      << "old";
    QTest::newRow("56 album: address only") << "http://www.56.com/w11/play_album-aid-77_vid-xyz.html"
                                            << "old"
                                            << "v_xyz"
                                            << "old";
    QTest::newRow("56 by script: address only") << "http://www.56.com/u12/v_jsAbc.html"
                                                << "old"
                                                << "v_jsAbc"
                                                << "old";
    QTest::newRow("sina: address only") << "http://you.video.sina.com.cn/b/12345678-1650000001.html"
                                        << "old"
                                        << "12345678&uid=1650000001"
                                        << "old";
    QTest::newRow("sina album: address only")
        << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=5&uid=16#1234567890"
        << "old"
        << "1234567890&uid=16"
        << "old";
    QTest::newRow("tudou: title and address") << "http://www.tudou.com/programs/view/Ab12345678/"
                                              << "土豆视频 Ab12345678"
                                              << "12345678"
                                              << "old";
    QTest::newRow("youku: title and address") << "http://v.youku.com/v_playlist/f12o1p3.html"
                                              << "优酷专辑 12 第3集"
                                              << "XP12N3"
                                              << "old";
    QTest::newRow("6rooms: all three") << "http://6.cn/watch/123.html"
                                       << "六间房视频 123"
                                       << "ev123"
                                       << "2008-07-15";
    QTest::newRow("6rooms list: all three") << "http://6.cn/plist/single/2.html"
                                            << "六间房列表 第2集"
                                            << "evpl2"
                                            << "";
    QTest::newRow("ouou, any address: all three") << "http://www.ouou.com/play/v_ab12.html"
                                                  << "偶偶视频 ab12"
                                                  << "ab12"
                                                  << "2009-03-02";
}

void RetryTest::retryOverwritesOnlyTheSitesFields()
{
    QFETCH(QString, link);
    TParseForm& form = m_fixture.Form();
    // The row to retry sits between two others, unchecked: retry changes neither mark nor number.
    Fill({{"http://www.tudou.com/programs/view/a/", true}, {link, false}, {"http://6.cn/watch/9.html", true}});
    form.View().SetFocusedRow(1);
    form.RetryButtonClick();
    QCOMPARE(m_fixture.messages.Messages().size(), std::size_t(0));
    QCOMPARE(form.Data().Count(), 3);
    const ResultRow& row = form.Data().Row(1);
    QTEST(gbk::ToUnicode(row.Caption), "caption");
    QTEST(gbk::ToUnicode(row.Url), "url");
    QTEST(gbk::ToUnicode(row.Date), "date");
    QCOMPARE(gbk::ToUnicode(row.Link), link);
    QVERIFY(!row.Status);
    QCOMPARE(row.RecId, 2);
    for (const int other : {0, 2})
        QCOMPARE(form.Data().Row(other).Url, std::string("old"));
}

void RetryTest::retryLeavesAlone_data()
{
    QTest::addColumn<QString>("link");
    QTest::newRow("empty link") << "";
    QTest::newRow("tudou page of neither kind") << "http://www.tudou.com/playlist/id/987/";
    QTest::newRow("youku page of neither kind") << "http://www.youku.com/playlist_show/id_1.html";
    QTest::newRow("unknown site") << "http://example.com/v_show/1.html";
}

void RetryTest::retryLeavesAlone()
{
    QFETCH(QString, link);
    TParseForm& form = m_fixture.Form();
    Fill({{link, true}});
    form.View().SetFocusedRow(0);
    form.RetryButtonClick();
    QVERIFY(m_fixture.Web().Requests().empty());
    QVERIFY(m_fixture.messages.Messages().empty());
    QCOMPARE(form.Data().Row(0).Url, std::string("old"));
}

void RetryTest::failedRetryKeepsTheRow()
{
    TParseForm& form = m_fixture.Form();
    Fill({{"http://www.56.com/u1/v_bad.html", true}});
    form.View().SetFocusedRow(0);
    form.RetryButtonClick();
    QCOMPARE(m_fixture.Alerts(), std::vector<QString>{"错误的视频地址！"});
    QCOMPARE(form.Data().Row(0).Url, std::string("old"));
    QCOMPARE(form.Data().Row(0).Caption, std::string("old"));
}

void RetryTest::autoRetryWalksCheckedRowsWithoutAddress()
{
    TParseForm& form = m_fixture.Form();
    MemData& data = form.Data();
    Fill({{"http://6.cn/watch/1.html", true},
          {"http://6.cn/watch/2.html", false},
          {"http://6.cn/watch/3.html", true},
          {"http://www.56.com/u1/v_bad.html", true},
          {"http://www.ouou.com/play/v_z9.html", true}});
    // Rows without an address: all but the third.
    for (const int row : {0, 1, 3, 4})
        data.Update(row, RowFields{{}, std::string(), {}, {}, {}});
    form.AutoRetryButtonClick();

    QCOMPARE(data.Row(0).Url, std::string("ev1"));
    QCOMPARE(data.Row(1).Url, std::string());       // unchecked: skipped
    QCOMPARE(data.Row(2).Url, std::string("old"));  // has an address: skipped
    QCOMPARE(data.Row(3).Url, std::string());       // failed: left as it was, and the walk went on
    QCOMPARE(data.Row(4).Url, std::string("z9"));
    QCOMPARE(m_fixture.Alerts(), std::vector<QString>{"错误的视频地址！"});
    for (int row = 0; row < data.Count(); ++row)
        QCOMPARE(data.Row(row).RecId, row + 1);
    QVERIFY(data.Row(0).Status);
    QVERIFY(data.Row(4).Status);
    QVERIFY(!data.Frozen());
    std::vector<std::string> asked;
    for (const auto& request : m_fixture.Web().Requests())
        asked.push_back(request.host + request.target);
    QCOMPARE(asked, (std::vector<std::string>{"6.cn/watch/1.html", "www.56.com/u1/v_bad.html",
                                              "www.ouou.com/play/v_z9.html"}));
}

void RetryTest::autoRetryOnAClosedTableDoesNothing()
{
    TParseForm& form = m_fixture.Form();
    form.Data().Close();
    form.AutoRetryButtonClick();
    QVERIFY(m_fixture.Web().Requests().empty());
    QVERIFY(!form.Data().Frozen());
}

void RetryTest::autoRetryFindsTheAlbumsOwnItems_data()
{
    QTest::addColumn<std::string>("site");
    QTest::newRow("56") << std::string("56");
    QTest::newRow("youku") << std::string("youku");
}

// An album whose third item page is lost: its row comes without an address, the list says so, a
// copy leaves it out, and 自动重采 goes to the item's own page, as it does for a row cleared by hand.
void RetryTest::autoRetryFindsTheAlbumsOwnItems()
{
    QFETCH(std::string, site);
    TParseForm& form = m_fixture.Form();
    form.Data().Close();
    form.FastSwitch().setChecked(false);
    m_fixture.Collect("2x3-lost3", site);
    QVERIFY(m_fixture.WaitIdle());
    MemData& data = form.Data();
    QCOMPARE(data.Count(), 6);
    QVERIFY(data.Row(2).Url.empty());
    QVERIFY2(form.EpisodeLine().endsWith("；无地址 1 条"), qPrintable(form.EpisodeLine()));
    const std::string firstUrl = data.Row(0).Url;
    QVERIFY(!firstUrl.empty());
    data.Update(0, RowFields{{}, std::string(), {}, {}, {}});
    form.CopyButtonClick();
    QCOMPARE(form.Grid().Note(), QString("已复制 4 条，2 条无地址未复制"));

    m_fixture.Web().ClearRequests();
    m_fixture.messages.Clear();
    form.AutoRetryButtonClick();
    QCOMPARE(data.Row(0).Url, firstUrl);
    QVERIFY(data.Row(2).Url.empty());
    QCOMPARE(m_fixture.Web().Requests().size(), std::size_t(2));
    QCOMPARE(m_fixture.messages.Texts(ScriptedMessages::Kind::Info),
             std::vector<QString>{"自动重采：2 条无地址，重采成功 1 条，仍无地址 1 条"});
    QVERIFY2(form.EpisodeLine().endsWith("；无地址 1 条"), qPrintable(form.EpisodeLine()));

    // Nothing left that a retry could fill: it says so too.
    data.SetStatus(2, false);
    m_fixture.messages.Clear();
    form.AutoRetryButtonClick();
    QCOMPARE(m_fixture.messages.Texts(ScriptedMessages::Kind::Info),
             std::vector<QString>{"自动重采：没有已勾选而无地址的行"});
}

QUIB_STANDIN_TEST_MAIN(RetryTest)
#include "tst_retry.moc"
