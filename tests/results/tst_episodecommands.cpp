// The episode commands as the quick-collect tab runs them: albums collected from the stand-in
// web, the status line and the live line, 按集数排序 and 取消重复地址 through the grid's menu,
// and the copy that follows.
#include "tests/support/formfixture.h"
#include "results/gridpopupmenu.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>

using namespace quib;
using namespace quib::test;
using namespace quib::results;
using namespace quib::collect;
using namespace quib::standin;

class EpisodeCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void collectSortUncheckAndCopy();
    void screenshots();

private:
    QStringList CopiedAddresses();
    FormFixture m_f{FormFixture::Web::Own};
};

void EpisodeCommandsTest::init()
{
    m_f.Create();
    m_f.Show();
    m_f.form->FastSwitch().setChecked(false);  // the playlist pages, two of them for "2x3"
}

void EpisodeCommandsTest::cleanup() { m_f.Destroy(); }

QStringList EpisodeCommandsTest::CopiedAddresses()
{
    m_f.form->CopyButtonClick();
    return QGuiApplication::clipboard()->text().split("\r\n");
}

void EpisodeCommandsTest::collectSortUncheckAndCopy()
{
    TParseForm& form = m_f.Form();
    m_f.Collect("2x3", "tudou");
    QCOMPARE(form.LiveLine().text(), QString("已采集 0 条 · 0 秒"));  // shown as the collection starts
    QVERIFY(form.EpisodeLine().isEmpty());                            // nothing is read while rows arrive
    QVERIFY(m_f.WaitIdle());
    QVERIFY2(form.LiveLine().text().startsWith("第 2 页 · 已采集 6 条 · "), qPrintable(form.LiveLine().text()));
    QCOMPARE(form.EpisodeLine(), QString("共 6 条，第1–6集"));

    // The same series' first two episodes once more, added to the table: same titles, same addresses.
    form.AddSwitch().setChecked(true);
    m_f.Collect("1x2", "tudou");
    QVERIFY(m_f.WaitIdle());
    QCOMPARE(form.EpisodeLine(), QString("共 8 条，第1–6集；重复地址 2 条"));
    MemData& data = form.Data();
    QCOMPARE(data.Row(6).Url, data.Row(0).Url);

    // Newest first; the episode order then keeps each repeated episode's rows as they were shown.
    DataView& view = form.View();
    view.sortByColumn(ColId, Qt::DescendingOrder);
    form.PopupMenu().EpisodeSortButton->trigger();
    QCOMPARE(view.DisplayOrder(), (std::vector<int>{6, 0, 7, 1, 2, 3, 4, 5}));
    QCOMPARE(view.horizontalHeader()->sortIndicatorSection(), -1);

    // The first shown copy of episode 2 unchecked by hand: the other copy keeps its address.
    data.SetStatus(7, false);
    form.PopupMenu().UnSelRepeatButton->trigger();
    QCOMPARE(m_f.CheckMarks(), QString("01111110"));
    QCOMPARE(form.EpisodeLine(),
             QString("共 8 条，第1–6集；重复地址 2 条"));  // the table holds them still

    QStringList expected;
    for (int row : {6, 1, 2, 3, 4, 5})
        expected << QString::fromStdString(data.Row(row).Url);
    QCOMPARE(CopiedAddresses(), expected);

    // A header click returns to the column's order; the episode order is gone.
    view.sortByColumn(ColId, Qt::AscendingOrder);
    QCOMPARE(view.DisplayOrder(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(view.horizontalHeader()->sortIndicatorSection(), int(ColId));

    // So does a new collection, which empties the table: its rows must not inherit the old places.
    form.PopupMenu().EpisodeSortButton->trigger();
    QVERIFY(view.InCommandOrder());
    form.AddSwitch().setChecked(false);
    m_f.Collect("2x3", "tudou");
    QVERIFY(form.EpisodeLine().isEmpty());
    QVERIFY(m_f.WaitIdle());
    QVERIFY(!view.InCommandOrder());
    QCOMPARE(view.DisplayOrder(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(view.horizontalHeader()->sortIndicatorSection(), int(ColId));
    QCOMPARE(form.EpisodeLine(), QString("共 6 条，第1–6集"));
    QVERIFY(m_f.messages.Messages().empty());
}

// Writes docs/quick-collect-progress.png (a long collection under way) and
// docs/quick-collect-status.png (after it, with two episodes collected again) into the folder
// $QUIB_SCREENSHOTS names. Taken from the window's backing store, as the screen shows it: the
// frozen grid is not repainted while rows arrive.
void EpisodeCommandsTest::screenshots()
{
    const QString folder = qEnvironmentVariable("QUIB_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("set QUIB_SCREENSHOTS to a folder to write the screenshots");
    TParseForm& form = m_f.Form();
    form.resize(820, 420);
    const auto save = [&](const QString& name) {
        QCoreApplication::processEvents();
        QVERIFY(form.screen()->grabWindow(form.winId()).save(QDir(folder).filePath(name)));
    };
    m_f.Collect("50x20-endless", "tudou");
    QTRY_VERIFY_WITH_TIMEOUT(form.Engine().Progress().elapsedMs >= 4000 && form.LiveLine().text().endsWith(" 4 秒"),
                             60000);
    save("quick-collect-progress.png");
    form.ButtonClick();  // 终止
    QVERIFY(m_f.WaitIdle());
    form.AddSwitch().setChecked(true);
    m_f.Collect("1x2", "tudou");
    QVERIFY(m_f.WaitIdle());
    save("quick-collect-status.png");
}

QTEST_MAIN(EpisodeCommandsTest)
#include "tst_episodecommands.moc"
