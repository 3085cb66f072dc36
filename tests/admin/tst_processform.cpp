// The collection dialog over the stand-in web, without a browser: the site word picks the
// engine's site, the result sheet shows the engine's grid, the copies use the dialog's own choices,
// and stopping or closing the dialog while a paged collection runs stops its workers.
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "collect/parse.h"
#include "admin/processform.h"
#include "results/resultgrid.h"
#include "tests/support/controls.h"
#include "tests/support/scriptedmessages.h"
#include "host/framework/skin.h"
#include "standin/standinweb.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace quib;
using namespace quib::results;
using namespace quib::collect;
using namespace quib::admin;
using namespace quib::test;
using namespace quib::standin;

using Kind = ScriptedMessages::Kind;

namespace {

// The copy text of the checked rows, built here from the rows themselves.
QString Expected(const MemData& data, bool titles, int merge)
{
    QString text;
    int k = 0;
    for (int i = 0; i < data.Count(); ++i) {
        const ResultRow& row = data.Row(i);
        if (!row.Status || row.Url.empty())  // a row without its address is never copied as whole
            continue;
        const QString item = gbk::ToUnicode(titles ? row.Caption + "$" + row.Url : row.Url);
        if (k > 0)
            text += k % merge == 0 ? "\r\n" : "|";
        text += item;
        ++k;
    }
    return text;
}

void Shot(QWidget& widget, const char* name)
{
    const QString dir = qEnvironmentVariable("QUIB_SHOT_DIR");
    if (!dir.isEmpty())
        widget.grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

}  // namespace

class ProcessFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void collectsReviewsAndFinishes_data();
    void collectsReviewsAndFinishes();
    void autoFinishClosesWithTheRowsCopied();
    void updateReadsTheListFirst();
    void emptyAddressLeavesWithStop_data();
    void emptyAddressLeavesWithStop();
    void incompleteResultAsksBeforeReplacing_data();
    void incompleteResultAsksBeforeReplacing();
    void skinAndKeys();
    void stopEndsWithTheRowsSoFar();
    void closingWhileCollectingStopsTheWorkers_data();
    void closingWhileCollectingStopsTheWorkers();

private:
    std::unique_ptr<TProcessForm> Open(const std::string& address, const std::string& word);
    bool WaitFor(const std::function<bool()>& done, int ms = 30000) { return QTest::qWaitFor(done, ms); }

    StandinWeb m_web;
    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    std::unique_ptr<WorkerRegistry> m_workers;
    std::unique_ptr<HostApp> m_app;
};

void ProcessFormTest::init()
{
    if (m_web.Port() == 0)
        m_web.Start();
    m_messages.Clear();
    m_workers = std::make_unique<WorkerRegistry>();
    NetworkSettings network;
    network.connectTo = m_web.ConnectToRules();
    m_app = std::make_unique<HostApp>("Quib", m_dir.path(), m_messages, *m_workers, network);
}

void ProcessFormTest::cleanup()
{
    m_workers->StopAll();
    m_workers->WaitAll();
    m_app.reset();
    m_workers.reset();
}

std::unique_ptr<TProcessForm> ProcessFormTest::Open(const std::string& address, const std::string& word)
{
    auto dialog = std::make_unique<TProcessForm>(nullptr, m_app.get());
    dialog->TargetAddress = address;
    dialog->SiteWord = word;
    dialog->show();
    return dialog;
}

void ProcessFormTest::collectsReviewsAndFinishes_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("site");  // the engine's site radio that is checked
    QTest::addColumn<bool>("titles");
    QTest::addColumn<int>("merge");
    QTest::addColumn<int>("rows");
    QTest::newRow("tudou2, feed") << "http://www.tudou.com/playlist/id/2x3/"
                                  << "tudou2"
                                  << "tudou" << true << 1 << 6;
    QTest::newRow("youku, addresses only") << "http://www.youku.com/playlist_show/id_1x4.html"
                                           << "youku"
                                           << "youku" << false << 1 << 4;
    QTest::newRow("56, merged by 2") << "http://www.56.com/w12/album-aid-1x5.html"
                                     << "56"
                                     << "56" << true << 2 << 5;
    QTest::newRow("6rooms") << "2x3"
                            << "6rooms"
                            << "6jf" << true << 3 << 6;
    QTest::newRow("iask is Sina") << "1x5"
                                  << "iask"
                                  << "sina" << true << 1 << 5;
    // A word of no rule leaves the engine's own choice, here the site of the typed address.
    QTest::newRow("qq") << "http://www.tudou.com/playlist/id/1x2/"
                        << "qq"
                        << "tudou" << true << 1 << 2;
}

void ProcessFormTest::collectsReviewsAndFinishes()
{
    QFETCH(QString, address);
    QFETCH(QString, word);
    QFETCH(QString, site);
    QFETCH(bool, titles);
    QFETCH(int, merge);
    QFETCH(int, rows);
    auto dialog = Open(address.toStdString(), word.toStdString());
    QVERIFY(ShownPage(*dialog, "PageControl") == QLatin1String("OptionSheet"));
    if (QTest::currentDataTag() == QLatin1String("tudou2, feed"))
        Shot(*dialog, "option-sheet.png");
    Control<QPushButton>(*dialog, "OkButton")->click();
    QVERIFY(dialog->Timer->isActive());
    QVERIFY(dialog->ParseForm);
    QVERIFY(dialog->ParseForm->SiteRadio(site.toStdString()).isChecked());
    QVERIFY(dialog->ParseForm->FastSwitch().isChecked());
    QVERIFY(WaitFor([&] { return ShownPage(*dialog, "PageControl") == QLatin1String("ResultSheet"); }));
    QVERIFY(dialog->isVisible());
    TParseForm& engine = *dialog->ParseForm;
    QCOMPARE(engine.Data().Count(), rows);
    QVERIFY(engine.Grid().parentWidget() == Control(*dialog, "ResultSheet"));
    QVERIFY(engine.Grid().isVisibleTo(dialog.get()));
    QVERIFY(!engine.isVisible());
    if (QTest::currentDataTag() == QLatin1String("tudou2, feed"))
        Shot(*dialog, "result-sheet.png");

    Control<QCheckBox>(*dialog, "AllCheckBox")->setChecked(titles);
    Control<QSpinBox>(*dialog, "SpinEdit")->setValue(merge);
    engine.MergeCount().setValue(9);  // the dialog's count is the one that counts
    QGuiApplication::clipboard()->setText("before");
    Control<QPushButton>(*dialog, "cxButton1")->click();
    const QString expected = Expected(engine.Data(), titles, merge);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QGuiApplication::clipboard()->setText("again");
    Control<QPushButton>(*dialog, "cxButton1")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));

    engine.MergeCount().setValue(9);
    Control<QPushButton>(*dialog, "FinishButton")->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!dialog->isVisible());
    QVERIFY(!dialog->Timer->isActive());
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(dialog->AlbumId, engine.Engine().CollectId());
    QVERIFY(!dialog->AlbumId.empty());
    // The wait cursor stays until the opener, its write-back done, destroys the dialog.
    QVERIFY(QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
    dialog.reset();
    QVERIFY(!QGuiApplication::overrideCursor());
}

void ProcessFormTest::autoFinishClosesWithTheRowsCopied()
{
    auto dialog = Open("http://www.tudou.com/playlist/id/1x3/", "tudou");
    Control<QCheckBox>(*dialog, "AutoCheckBox")->setChecked(true);
    QGuiApplication::clipboard()->setText("before");
    Control<QPushButton>(*dialog, "OkButton")->click();
    QVERIFY(WaitFor([&] { return !dialog->isVisible(); }));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    // The design values: titles included, one row a line.
    QCOMPARE(QGuiApplication::clipboard()->text(), Expected(dialog->ParseForm->Data(), true, 1));
    QCOMPARE(dialog->ParseForm->Data().Count(), 3);
    QCOMPARE(dialog->AlbumId, std::string("1x3"));
}

void ProcessFormTest::updateReadsTheListFirst()
{
    // A list that cannot be read: nothing is collected, or the paste would lose what is there.
    auto dialog = Open("http://www.tudou.com/playlist/id/1x3/", "tudou");
    Control<QCheckBox>(*dialog, "NewOnlyCheckBox")->setChecked(true);
    Control<QPushButton>(*dialog, "OkButton")->click();
    dialog->ReadAddressList = [](FillTarget) { return std::nullopt; };
    Control<QPushButton>(*dialog, "OkButton")->click();
    QCOMPARE(m_messages.Texts(Kind::Alert).size(), std::size_t(2));
    QVERIFY(ShownPage(*dialog, "PageControl") == QLatin1String("OptionSheet"));
    QVERIFY(!dialog->ParseForm);
    QVERIFY(!dialog->Timer->isActive());

    // The list of the target chosen is read; with 自动完成 the new row is appended at once.
    std::vector<FillTarget> asked;
    dialog->ReadAddressList = [&asked](FillTarget target) {
        asked.push_back(target);
        return std::optional<QString>(QStringLiteral("旧$50000001|50000003"));
    };
    Control<QRadioButton>(*dialog, "Fill2Radio")->setChecked(true);
    Control<QCheckBox>(*dialog, "AutoCheckBox")->setChecked(true);
    Control<QPushButton>(*dialog, "OkButton")->click();
    QVERIFY(WaitFor([&] { return !dialog->isVisible(); }));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(asked, std::vector<FillTarget>{FillTarget::Address2});
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("旧$50000001|50000003\r\n第2集 土豆视频$50000002"));
}

void ProcessFormTest::emptyAddressLeavesWithStop_data()
{
    QTest::addColumn<bool>("escape");  // Escape instead of a click on 终止
    QTest::newRow("终止") << false;
    QTest::newRow("Escape") << true;
}

void ProcessFormTest::emptyAddressLeavesWithStop()
{
    QFETCH(bool, escape);
    auto dialog = Open("", "tudou");
    Control<QPushButton>(*dialog, "OkButton")->click();
    QCOMPARE(m_messages.Texts(Kind::Info), std::vector<QString>{"请输入地址！"});
    QVERIFY(ShownPage(*dialog, "PageControl") == QLatin1String("WaitSheet"));
    QVERIFY(dialog->Timer->isActive());
    // The bar cycles 1..100 and starts again.
    Control<QProgressBar>(*dialog, "ProgressBar")->setValue(99);
    dialog->TimerTimer();
    QCOMPARE(Control<QProgressBar>(*dialog, "ProgressBar")->value(), 100);
    dialog->TimerTimer();
    QCOMPARE(Control<QProgressBar>(*dialog, "ProgressBar")->value(), 1);
    // Nothing runs: 终止 leaves without asking the engine again.
    if (escape)
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    else
        Control<QPushButton>(*dialog, "StopButton")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!dialog->Timer->isActive());
    QCOMPARE(m_messages.Messages().size(), std::size_t(1));
}

void ProcessFormTest::incompleteResultAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("address");  // collected from the playlist pages
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("list");  // what the target's list holds
    QTest::addColumn<bool>("autoFinish");
    QTest::addColumn<QString>("asked");  // the question's start; empty: none
    const QString list = QStringLiteral("第1集$1|第2集$2");
    const QString tudou = QStringLiteral("http://www.tudou.com/playlist/id/%1/");
    const QString failed = QStringLiteral("采集过程中发生了错误，结果不完整。");
    QTest::newRow("failed halfway") << tudou.arg("3x5-fail2") << false << list << false
                                    << failed + "确定要用勾选的 5 条";
    QTest::newRow("failed halfway, auto") << tudou.arg("3x5-fail2") << false << list << true << failed;
    QTest::newRow("nothing found") << tudou.arg("3x5-fail1") << false << list << false << failed + "没有勾选任何数据";
    QTest::newRow("stopped") << tudou.arg("40x5-endless") << true << list << false << "采集已被终止，结果不完整。";
    QTest::newRow("stopped, auto") << tudou.arg("40x5-endless") << true << list << true << "采集已被终止";
    QTest::newRow("item without address") << "http://www.youku.com/playlist_show/id_3x5-lost4.html" << false << list
                                          << false << "勾选的 15 条中有 1 条没有地址";
    // Nothing to lose, or nothing wrong: no question.
    QTest::newRow("empty list") << tudou.arg("3x5-fail2") << false << " \r\n" << false << "";
    QTest::newRow("whole") << tudou.arg("3x5") << false << list << false << "";
}

void ProcessFormTest::incompleteResultAsksBeforeReplacing()
{
    QFETCH(QString, address);
    QFETCH(bool, stop);
    QFETCH(QString, list);
    QFETCH(bool, autoFinish);
    QFETCH(QString, asked);
    auto dialog = Open(address.toStdString(), "qq");  // the site of the address
    dialog->ReadAddressList = [list](FillTarget) { return std::optional<QString>(list); };
    Control<QCheckBox>(*dialog, "FastCheckBox")->setChecked(false);
    Control<QCheckBox>(*dialog, "AutoCheckBox")->setChecked(autoFinish);
    QGuiApplication::clipboard()->setText("before");
    m_messages.AnswerQuestions({false, true});
    Control<QPushButton>(*dialog, "OkButton")->click();
    if (stop) {
        QVERIFY(WaitFor([&] { return dialog->ParseForm->Data().Count() >= 5; }));
        Control<QPushButton>(*dialog, "StopButton")->click();
    }
    QVERIFY(WaitFor(
        [&] { return ShownPage(*dialog, "PageControl") == QLatin1String("ResultSheet") || !dialog->isVisible(); }));
    if (asked.isEmpty()) {
        if (dialog->isVisible())
            Control<QPushButton>(*dialog, "FinishButton")->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_messages.Texts(Kind::Question).empty());
        return;
    }
    // The first answer is no: nothing is copied, the result stays to be looked at.
    if (!autoFinish)
        Control<QPushButton>(*dialog, "FinishButton")->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(ShownPage(*dialog, "PageControl") == QLatin1String("ResultSheet"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    const std::vector<QString> questions = m_messages.Texts(Kind::Question);
    QCOMPARE(questions.size(), std::size_t(1));
    QVERIFY2(questions[0].startsWith(asked), qPrintable(questions[0]));
    QVERIFY(questions[0].contains(QStringLiteral("数据地址1")));
    // Then yes: the rows there are copied and the dialog closes.
    Control<QPushButton>(*dialog, "FinishButton")->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(QGuiApplication::clipboard()->text(), Expected(dialog->ParseForm->Data(), true, 1));
}

void ProcessFormTest::skinAndKeys()
{
    auto plain = Open("x", "tudou");
    QVERIFY(!plain->Ribbon->isVisibleTo(plain.get()));
    m_app->SetSkinName("Silver");
    auto skinned = Open("x", "tudou");
    QVERIFY(skinned->Ribbon->isVisibleTo(skinned.get()));
    QCOMPARE(skinned->Ribbon->SchemeName(), QStringLiteral("Silver"));
    m_app->SetSkinName("Sys");
    // Ctrl with an arrow steps the merge count by ten, within 1..255.
    QSpinBox* merge = Control<QSpinBox>(*skinned, "SpinEdit");
    QTest::keyClick(merge, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(merge->value(), 11);
    merge->setValue(250);
    QTest::keyClick(merge, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(merge->value(), 255);
    // Escape cancels the options.
    QTest::keyClick(skinned.get(), Qt::Key_Escape);
    QCOMPARE(skinned->result(), int(QDialog::Rejected));
    QVERIFY(!skinned->isVisible());
}

void ProcessFormTest::stopEndsWithTheRowsSoFar()
{
    // Paged through the web pages (no feed), pages of 5 that never end until the stop.
    auto dialog = Open("http://www.tudou.com/playlist/id/40x5-endless/", "tudou");
    Control<QCheckBox>(*dialog, "FastCheckBox")->setChecked(false);
    Control<QPushButton>(*dialog, "OkButton")->click();
    QVERIFY(WaitFor([&] { return dialog->ParseForm->Data().Count() >= 5; }));
    QVERIFY(ShownPage(*dialog, "PageControl") == QLatin1String("WaitSheet"));
    // The live line names the page in flight and the rows so far.
    QVERIFY(
        WaitFor([&] { return Control<QLabel>(*dialog, "ProgressLabel")->text().startsWith(QStringLiteral("第 ")); }));
    QVERIFY(Control<QLabel>(*dialog, "ProgressLabel")->text().contains(QStringLiteral("已采集")));
    Shot(*dialog, "wait-sheet.png");
    Control<QPushButton>(*dialog, "StopButton")->click();
    QVERIFY(WaitFor([&] { return ShownPage(*dialog, "PageControl") == QLatin1String("ResultSheet"); }));
    const int rows = dialog->ParseForm->Data().Count();
    QVERIFY(rows >= 5);
    QTest::qWait(200);
    QCOMPARE(dialog->ParseForm->Data().Count(), rows);  // nothing arrives after the end
    QVERIFY(dialog->isVisible());
}

void ProcessFormTest::closingWhileCollectingStopsTheWorkers_data()
{
    QTest::addColumn<bool>("closeFirst");  // the close box, or the dialog destroyed at once
    QTest::newRow("close box") << true;
    QTest::newRow("destroyed") << false;
}

void ProcessFormTest::closingWhileCollectingStopsTheWorkers()
{
    QFETCH(bool, closeFirst);
    auto dialog = Open("http://www.tudou.com/playlist/id/500x20-endless/", "tudou");
    Control<QCheckBox>(*dialog, "FastCheckBox")->setChecked(false);
    Control<QPushButton>(*dialog, "OkButton")->click();
    QVERIFY(WaitFor([&] { return dialog->ParseForm->Data().Count() >= 20; }));
    QCOMPARE(m_workers->RunningCount(), 1);
    if (closeFirst) {
        dialog->close();
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->Timer->isActive());
    }
    dialog.reset();
    // The worker stops at its next check and ends without reaching the freed engine.
    QVERIFY(WaitFor([&] { return m_workers->RunningCount() == 0; }));
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ProcessFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processform.moc"
