#include "collect/collectionprogress.h"
#include "tests/support/formfixture.h"
#include "tests/collect/listparse.h"

using namespace quib;
using namespace quib::collect;
using namespace quib::test;
using namespace quib::results;
using namespace quib::standin;

using Kind = ScriptedMessages::Kind;

class ParseFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void emptyAddressAsksForOne();
    void noSiteAsksForOne();
    void startersGetTheirFirstAddress_data();
    void startersGetTheirFirstAddress();
    void siteKeyOutlivesUncheckedRadios();
    void emptyIdIsReportedAfterTheStart();
    void unclassifiable6roomsPageKeepsThePreviousId();
    void collectionFillsTheTable();
    void progressLineFollowsTheCollection();
    void appendKeepsEarlierRows();
    void stopTakesEffectWhenTheWorkerEnds();
    void failedPageAlertsOnceAndReturnsToIdle();
    void formDestroyedMidCollection();
    void timerCyclesTheProgressBar();
    void typedAddressChecksTheSiteRadio_data();
    void typedAddressChecksTheSiteRadio();
    void processFormOwnerIsToldOfTheEnd();

private:
    void UseListWorker(TParseForm& form);
    void UseRecorder(TParseForm& form);

    FormFixture m_f{FormFixture::Web::Own};
    std::vector<CollectionEngine::WorkerStart> m_starts;
};

void ParseFormTest::init()
{
    m_f.Create();
    m_starts.clear();
}

void ParseFormTest::cleanup() { m_f.Destroy(); }

void ParseFormTest::UseListWorker(TParseForm& form)
{
    // The list worker reads whatever list the address box names.
    form.Engine().SetWorkerLauncher([](CollectionEngine& engine, const CollectionEngine::WorkerStart& start) {
        engine.StartWorker<ListParse>(std::string(kListRoot) + start.id, start.id, start.index,
                                      &CollectionEngine::GetPlainUrl);
    });
}

void ParseFormTest::UseRecorder(TParseForm& form)
{
    form.Engine().SetWorkerLauncher(
        [this](CollectionEngine&, const CollectionEngine::WorkerStart& start) { m_starts.push_back(start); });
}

void ParseFormTest::emptyAddressAsksForOne()
{
    m_f.form->SiteRadio("tudou").setChecked(true);
    m_f.form->UrlEditor().setText(" \t ");
    m_f.form->ButtonClick();
    QCOMPARE(m_f.messages.Texts(Kind::Info), std::vector<QString>{"请输入地址！"});
    QVERIFY(!m_f.form->Running());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
}

void ParseFormTest::noSiteAsksForOne()
{
    m_f.form->UrlEditor().setText("12345");
    m_f.form->ButtonClick();
    QCOMPARE(m_f.messages.Texts(Kind::Info), std::vector<QString>{"请选择采集网站！"});
    QVERIFY(!m_f.form->Running());
    QVERIFY(!m_f.form->Data().Active());  // the table stays closed until a collection starts
}

void ParseFormTest::startersGetTheirFirstAddress_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("fast");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("starter");
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("index");
    QTest::newRow("tudou album") << QByteArray("tudou") << "http://www.tudou.com/playlist/id/987/" << false << 1
                                 << int(Starter::TudouByWeb)
                                 << QByteArray("http://www.tudou.com/playlist/showItems.do?lid=987&pn=1")
                                 << QByteArray("987") << 0;
    QTest::newRow("tudou album fast") << QByteArray("tudou") << "http://www.tudou.com/playlist/id/987/" << true << 1
                                      << int(Starter::TudouByRss)
                                      << QByteArray("http://www.tudou.com/playlist/rss.do?lid=987") << QByteArray("987")
                                      << 0;
    QTest::newRow("youku page 3") << QByteArray("youku") << " abc " << false << 3 << int(Starter::YoukuByWeb)
                                  << QByteArray("http://www.youku.com/playlist_show/id_abc_orderby_9_page_3.html")
                                  << QByteArray("abc") << 2;
    QTest::newRow("6rooms page 3") << QByteArray("6jf") << "http://6.cn/p?p=778&x=1" << true << 3
                                   << int(Starter::SixRoomsByWeb) << QByteArray("http://6.cn/plist/778/2.html")
                                   << QByteArray("778") << 2;
    QTest::newRow("ouou") << QByteArray("ouou") << "http://www.ouou.com/playlistinfo/v_321/1.html" << false << 1
                          << int(Starter::OuouByWeb) << QByteArray("http://www.ouou.com/playlistinfo/v_321/1.html")
                          << QByteArray("321") << 0;
    QTest::newRow("sina") << QByteArray("sina") << "http://you.video.sina.com.cn/a/678-1.html" << true << 2
                          << int(Starter::SinaByWeb) << QByteArray("http://you.video.sina.com.cn/a/678/2/2.html")
                          << QByteArray("678") << 1;
    QTest::newRow("xunlei page ignored") << QByteArray("xunlei") << "12345" << true << 4 << int(Starter::XunleiByMovie)
                                         << QByteArray(
                                                "http://data.movie.xunlei.com/voddata/xml/movieinfo/movie/12345.xml")
                                         << QByteArray("12345") << 0;
}

void ParseFormTest::startersGetTheirFirstAddress()
{
    QFETCH(QByteArray, site);
    QFETCH(QString, address);
    QFETCH(bool, fast);
    QFETCH(int, page);
    UseRecorder(*m_f.form);
    m_f.form->UrlEditor().setText(address);
    m_f.form->SiteRadio(site.toStdString()).setChecked(true);
    m_f.form->FastSwitch().setChecked(fast);
    m_f.form->StartPage().setValue(page);
    m_f.form->ButtonClick();
    QCOMPARE(m_starts.size(), std::size_t(1));
    QTEST(int(m_starts[0].starter), "starter");
    QTEST(QByteArray::fromStdString(m_starts[0].url), "url");
    QTEST(QByteArray::fromStdString(m_starts[0].id), "id");
    QTEST(m_starts[0].index, "index");
    QTEST(QByteArray::fromStdString(m_f.form->Engine().CollectId()), "id");
    QCOMPARE(QByteArray::fromStdString(m_f.form->Engine().SiteKey()), site);
    QVERIFY(m_f.form->Running());
    QCOMPARE(m_f.form->CollectButton().text(), QString("终止"));
    QVERIFY(m_f.messages.Messages().empty());
    m_f.form->EndProcess();
}

void ParseFormTest::siteKeyOutlivesUncheckedRadios()
{
    UseRecorder(*m_f.form);
    m_f.form->UrlEditor().setText("555");
    m_f.form->SiteRadio("56").setChecked(true);
    m_f.form->ButtonClick();
    m_f.form->EndProcess();
    m_f.form->SiteRadio("56").setAutoExclusive(false);
    m_f.form->SiteRadio("56").setChecked(false);
    m_f.form->ButtonClick();
    QCOMPARE(m_starts.size(), std::size_t(2));
    QCOMPARE(int(m_starts[1].starter), int(Starter::WoleByWeb));
    m_f.form->EndProcess();
}

void ParseFormTest::emptyIdIsReportedAfterTheStart()
{
    UseRecorder(*m_f.form);
    m_f.form->SiteRadio("tudou").setChecked(true);
    m_f.form->UrlEditor().setText("http://www.tudou.com/playlist/id//");
    m_f.form->ButtonClick();
    QCOMPARE(m_starts.size(), std::size_t(1));  // started all the same
    QCOMPARE(m_f.messages.Texts(Kind::Info), std::vector<QString>{"无法解析到正确的ID！"});
    QVERIFY(m_f.form->Running());
    m_f.form->EndProcess();
}

void ParseFormTest::unclassifiable6roomsPageKeepsThePreviousId()
{
    UseRecorder(*m_f.form);
    m_f.form->SiteRadio("6jf").setChecked(true);
    m_f.form->UrlEditor().setText("432");
    m_f.form->ButtonClick();
    m_f.form->EndProcess();
    m_f.form->UrlEditor().setText("http://6.cn/about.html");
    m_f.form->ButtonClick();
    QCOMPARE(m_starts.size(), std::size_t(2));
    QCOMPARE(m_starts[1].id, std::string("432"));
    QCOMPARE(m_starts[1].url, std::string("http://6.cn/plist/432/0.html"));
    m_f.form->EndProcess();
}

void ParseFormTest::collectionFillsTheTable()
{
    UseListWorker(*m_f.form);
    m_f.form->SiteRadio("ouou").setChecked(true);
    m_f.form->UrlEditor().setText("/list/2x3/1.html");
    m_f.form->ButtonClick();
    QVERIFY(m_f.form->Running());
    QCOMPARE(m_f.form->CollectButton().text(), QString("终止"));
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QCOMPARE(m_f.form->Progress().value(), 0);
    MemData& data = m_f.form->Data();
    QCOMPARE(data.Count(), 6);
    for (int i = 0; i < 6; ++i) {
        const ResultRow& row = data.Row(i);
        const std::string link = std::string(kListRoot) + "/item/2x3/" + std::to_string(i + 1) + ".html";
        QCOMPARE(row.Link, link);
        QCOMPARE(row.Url, link);
        QCOMPARE(row.Caption, "\xB5\xDA" + std::to_string(i + 1) + "\xBC\xAF");
        QVERIFY(row.Status);
    }
    QCOMPARE(m_f.form->Grid().FooterText(), QString("6"));
    QCOMPARE(m_f.form->EpisodeLine(), QString("共 6 条，第1–6集"));
    QVERIFY(m_f.messages.Messages().empty());
}

void ParseFormTest::progressLineFollowsTheCollection()
{
    UseListWorker(*m_f.form);
    ProgressTicker ticker(m_f.form->Engine(), 5);
    QStringList lines;
    QString last;
    connect(&ticker, &ProgressTicker::Changed, this, [&](const QString& line) { lines << line; });
    connect(&ticker, &ProgressTicker::Finished, this, [&](const QString& line) { last = line; });
    m_f.Collect("/list/2x3/1.html", "ouou");
    QVERIFY(m_f.WaitIdle());
    QVERIFY2(lines.value(0).startsWith("已采集 0 条 · "), qPrintable(lines.value(0)));
    QVERIFY2(last.startsWith("第 2 页 · 已采集 6 条 · "), qPrintable(last));
    QCOMPARE(ProgressLine({25, 743, 12'400}), QString("第 25 页 · 已采集 743 条 · 12 秒"));
    QCOMPARE(ProgressLine({0, 3, 125'000}), QString("已采集 3 条 · 2 分 05 秒"));
}

void ParseFormTest::appendKeepsEarlierRows()
{
    UseListWorker(*m_f.form);
    m_f.form->SiteRadio("ouou").setChecked(true);
    m_f.form->UrlEditor().setText("/list/1x2/1.html");
    m_f.form->ButtonClick();
    QVERIFY(m_f.WaitIdle());
    const int firstIds[] = {m_f.form->Data().Row(0).RecId, m_f.form->Data().Row(1).RecId};

    m_f.form->ButtonClick();  // without 追加采集 the table starts again
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(m_f.form->Data().Count(), 2);

    m_f.form->AddSwitch().setChecked(true);
    m_f.form->UrlEditor().setText("/list/1x3/1.html");
    m_f.form->ButtonClick();
    QVERIFY(m_f.WaitIdle());
    MemData& data = m_f.form->Data();
    QCOMPARE(data.Count(), 5);
    QCOMPARE(data.Row(0).Link, std::string(kListRoot) + "/item/1x2/1.html");
    QCOMPARE(data.Row(2).Link, std::string(kListRoot) + "/item/1x3/1.html");
    QVERIFY(data.Row(2).RecId > data.Row(1).RecId);
    Q_UNUSED(firstIds);
}

void ParseFormTest::stopTakesEffectWhenTheWorkerEnds()
{
    UseListWorker(*m_f.form);
    m_f.form->SiteRadio("ouou").setChecked(true);
    m_f.form->UrlEditor().setText("/__fault/stall?seconds=30");
    m_f.form->ButtonClick();
    QTRY_COMPARE(m_f.Web().Requests().size(), std::size_t(1));
    m_f.form->ButtonClick();  // 终止
    QVERIFY(m_f.form->Engine().StopRequested().IsSet());
    QCOMPARE(m_f.form->CollectButton().text(), QString("终止"));  // not yet: the worker has to end first
    QVERIFY(m_f.WaitIdle(10000));
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QVERIFY(m_f.messages.Messages().empty());
    QCOMPARE(m_f.form->EpisodeLine(), QString("采集被终止，未完成：共 0 条"));
}

void ParseFormTest::failedPageAlertsOnceAndReturnsToIdle()
{
    UseListWorker(*m_f.form);
    m_f.form->SiteRadio("ouou").setChecked(true);
    m_f.form->UrlEditor().setText("/__fault/status/503");
    m_f.form->ButtonClick();
    QVERIFY(m_f.WaitIdle());
    const auto alerts = m_f.messages.Texts(Kind::Alert);
    QCOMPARE(alerts.size(), std::size_t(1));
    QVERIFY2(alerts[0].startsWith("在采集的过程中发生错误：") && alerts[0].contains("503"), qUtf8Printable(alerts[0]));
    QCOMPARE(m_f.form->CollectButton().text(), QString("采集"));
    QCOMPARE(m_f.form->EpisodeLine(), QString("采集出错，未完成：共 0 条"));
}

void ParseFormTest::formDestroyedMidCollection()
{
    UseListWorker(*m_f.form);
    m_f.form->SiteRadio("ouou").setChecked(true);
    m_f.form->UrlEditor().setText("/list/400x50/1.html");
    m_f.form->ButtonClick();
    QTRY_VERIFY(m_f.form->Data().Count() > 0);
    m_f.form.reset();
    // The worker ends by itself and never reaches the destroyed form.
    QTRY_COMPARE_WITH_TIMEOUT(m_f.Workers().RunningCount(), 0, 10000);
    QVERIFY(m_f.Web().Requests().size() < 400);
}

void ParseFormTest::timerCyclesTheProgressBar()
{
    QProgressBar& bar = m_f.form->Progress();
    QCOMPARE(bar.maximum(), 50);
    for (int tick = 1; tick <= 50; ++tick) {
        m_f.form->TimerTimer();
        QCOMPARE(bar.value(), tick);
    }
    m_f.form->TimerTimer();
    QCOMPARE(bar.value(), 1);
}

void ParseFormTest::typedAddressChecksTheSiteRadio_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("checked");
    QTest::newRow("tudou") << "http://www.tudou.com/playlist/id/1/" << QByteArray("tudou");
    QTest::newRow("56") << "http://www.56.com/w11/album-aid-1.html" << QByteArray("56");
    QTest::newRow("6rooms") << "http://6.cn/watch/1.html" << QByteArray("6jf");
    QTest::newRow("sina") << "http://you.video.sina.com.cn/a/1.html" << QByteArray("sina");
    QTest::newRow("xunlei keeps youku") << "http://movie.xunlei.com/1" << QByteArray("youku");
    QTest::newRow("bare id keeps youku") << "123" << QByteArray("youku");
}

void ParseFormTest::typedAddressChecksTheSiteRadio()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, checked);
    m_f.form->SiteRadio("youku").setChecked(true);
    m_f.form->UrlEditor().setText(text);
    QVERIFY(m_f.form->SiteRadio(checked.toStdString()).isChecked());
    QVERIFY(!m_f.form->SiteRadio("xunlei").isChecked() || checked == "xunlei");
}

void ParseFormTest::processFormOwnerIsToldOfTheEnd()
{
    // The collection dialog hears of the end once, when the form has already returned to idle.
    QWidget owner;
    auto* hidden = new TParseForm(&owner, m_f.app.get());  // owned by the dialog, as it is there
    UseRecorder(*hidden);
    std::vector<QString> captionsAtEnd;
    QObject::connect(&hidden->Engine(), &CollectionEngine::Ended, &owner, [&] {
        QVERIFY(!hidden->Running());
        captionsAtEnd.push_back(hidden->CollectButton().text());
    });
    hidden->SiteRadio("sina").setChecked(true);
    hidden->UrlEditor().setText("678");
    hidden->ButtonClick();
    QVERIFY(captionsAtEnd.empty());
    hidden->EndProcess();
    hidden->EndProcess();
    QCOMPARE(captionsAtEnd, std::vector<QString>{"采集"});
}

QTEST_MAIN(ParseFormTest)
#include "tst_parseform.moc"
