#include "results/gridfooter.h"
#include "tests/support/formfixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QWindow>

using namespace quib;
using namespace quib::results;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::standin;

namespace {

std::vector<TestRow> FiveRows()
{
    return {{"AB", "u1", "", "http://www.tudou.com/programs/view/1/"},
            {"xaby", "u2", "", "http://v.youku.com/v_show/id_2.html"},
            {u"优酷ab"_qs, "u3", "", ""},
            {"zz", "u4", "", "file:///etc/passwd"},
            {"ab", "u5", "", "http://www.56.com/u/v_5.html"}};
}

// The items in menu order, 1 for shown.
QString ShownItems(const TGridPopupMenu& menu)
{
    QString shown;
    for (const QAction* item : menu.actions())
        shown += item->isVisible() ? '1' : '0';
    return shown;
}

}  // namespace

class GridCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuHoldsItsItemsInOrder();
    void checkMarkCommands_data();
    void checkMarkCommands();
    void checkMarkCommandsWaitForTheCollection();
    void checkBoxHeaderWithAndWithoutShift();
    void menuFollowsWhereTheButtonWasReleased_data();
    void menuFollowsWhereTheButtonWasReleased();
    void noMenuWhileCollecting();
    void onlyTheRightButtonOpensTheMenu();
    void findSelectsExactMatches_data();
    void findSelectsExactMatches();
    void findMatchingNothingHidesTheRowItems();
    void findCancelledKeepsTheSelection();
    void visitPageOpensTheCurrentRowsLink_data();
    void visitPageOpensTheCurrentRowsLink();
    void doubleClickSelectsTheAddress();
    void closingReleasesTheAlbumTable();

private:
    void ReleaseRightButton(QWidget& widget, QPoint pos);
    QPoint TitleCell(int viewRow) const;
    FormFixture m_f;
    std::vector<QUrl> m_opened;
};

void GridCommandsTest::init()
{
    m_opened.clear();
    m_f.Create();
    m_f.form->SetPageOpener([this](const QUrl& url) { m_opened.push_back(url); });
    m_f.Show();
}

void GridCommandsTest::cleanup() { m_f.Destroy(); }

void GridCommandsTest::ReleaseRightButton(QWidget& widget, QPoint pos)
{
    QTest::mouseClick(&widget, Qt::RightButton, {}, pos);
}

QPoint GridCommandsTest::TitleCell(int viewRow) const
{
    DataView& view = m_f.form->View();
    return view.visualRect(view.model()->index(viewRow, ColCaption)).center();
}

void GridCommandsTest::menuHoldsItsItemsInOrder()
{
    const TGridPopupMenu& menu = m_f.form->PopupMenu();
    QStringList captions, hints, names;
    for (const QAction* item : menu.actions()) {
        captions << item->text();
        hints << item->toolTip();
        names << item->objectName();
    }
    const QStringList expected{"编辑数据", "快速查找", "全部选中", "全部取消",   "反向选择",
                               "访问页面", "重新采集", "自动重采", "按集数排序", "取消重复地址"};
    QCOMPARE(captions, expected);
    QCOMPARE(hints, expected);
    QCOMPARE(names,
             (QStringList{"EditButton", "FindButton", "SelAllButton", "UnSelAllButton", "DeSelButton", "LinkButton",
                          "RetryButton", "AutoRetryButton", "EpisodeSortButton", "UnSelRepeatButton"}));
    QCOMPARE(menu.Scope, EditScope::AllChecked);
}

void GridCommandsTest::checkMarkCommands_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<std::vector<int>>("selected");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("after");
    QTest::newRow("select all, none selected") << "01010" << std::vector<int>{} << "SelAllButton"
                                               << "11111";
    QTest::newRow("select all, one selected: every row") << "00000" << std::vector<int>{3} << "SelAllButton"
                                                         << "11111";
    QTest::newRow("select all, two selected: only those") << "00100" << std::vector<int>{0, 4} << "SelAllButton"
                                                          << "10101";
    QTest::newRow("cancel all, selection ignored") << "11011" << std::vector<int>{0, 1} << "UnSelAllButton"
                                                   << "00000";
    QTest::newRow("invert") << "11010" << std::vector<int>{2} << "DeSelButton"
                            << "00101";
}

void GridCommandsTest::checkMarkCommands()
{
    QFETCH(QString, before);
    QFETCH(std::vector<int>, selected);
    QFETCH(QString, command);
    std::vector<TestRow> rows = FiveRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].checked = before[qsizetype(i)] == '1';
    m_f.Fill(rows);
    m_f.form->View().SelectRows(selected);
    m_f.form->findChild<QAction*>(command)->trigger();
    QTEST(m_f.CheckMarks(), "after");
    QCOMPARE(m_f.form->View().SelectedRows().size(), selected.size());  // the selection stays
}

void GridCommandsTest::checkMarkCommandsWaitForTheCollection()
{
    m_f.Fill(FiveRows());
    m_f.form->AddSwitch().setChecked(true);  // keep the rows when the "collection" starts
    m_f.form->StartProcess();
    QVERIFY(m_f.form->Running());
    m_f.form->UnSelAllButtonClick();
    m_f.form->DeSelButtonClick();
    m_f.form->DataViewStatusHeaderClick();
    QCOMPARE(m_f.CheckMarks(), QString("11111"));
    m_f.form->EndProcess();
    m_f.form->UnSelAllButtonClick();
    QCOMPARE(m_f.CheckMarks(), QString("00000"));

    // A closed table: nothing, and nothing breaks.
    m_f.form->Data().Close();
    m_f.form->SelAllButtonClick();
    m_f.form->DeSelButtonClick();
    QVERIFY(m_f.messages.Messages().empty());
}

void GridCommandsTest::checkBoxHeaderWithAndWithoutShift()
{
    m_f.Fill(FiveRows());
    QHeaderView& header = *m_f.form->View().horizontalHeader();
    const QPoint section(header.sectionViewportPosition(ColStatus) + 5, header.height() / 2);
    // Through the window, so the modifier state the platform reports is the click's.
    QWindow* window = m_f.form->windowHandle();
    const QPoint inWindow = header.mapTo(m_f.form.get(), section);
    QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, inWindow);
    QCOMPARE(m_f.CheckMarks(), QString("00000"));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, inWindow);
    QCOMPARE(m_f.CheckMarks(), QString("11111"));
}

void GridCommandsTest::menuFollowsWhereTheButtonWasReleased_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("scope");
    QTest::newRow("title footer") << "footer" << true << "1000000100" << 0;
    QTest::newRow("title cell, nothing selected") << "title" << false << "1100000111" << 1;
    QTest::newRow("title cell, a row selected") << "title" << true << "1100011111" << 1;
    QTest::newRow("another cell, nothing selected") << "id" << false << "0111100111" << -1;
    QTest::newRow("another cell, a row selected") << "id" << true << "0111111111" << -1;
    QTest::newRow("below the rows") << "empty" << true << "0111111111" << -1;
    QTest::newRow("footer under 序号") << "idfooter" << false << "0111100111" << -1;
    QTest::newRow("header") << "header" << false << "0111100111" << -1;
}

void GridCommandsTest::menuFollowsWhereTheButtonWasReleased()
{
    QFETCH(QString, where);
    QFETCH(bool, selected);
    QFETCH(int, scope);
    m_f.Fill(FiveRows());
    if (selected)
        m_f.form->View().SelectRows({1});
    // A scope left by an earlier menu; spots that do not decide it keep it.
    const EditScope earlier = scope == 0 ? EditScope::SelectedChecked : EditScope::AllChecked;
    m_f.form->PopupMenu().Scope = earlier;

    DataView& view = m_f.form->View();
    GridFooter& footer = m_f.form->Grid().Footer();
    if (where == "footer")
        ReleaseRightButton(footer, footer.CellRect(ColCaption).center());
    else if (where == "idfooter")
        ReleaseRightButton(footer, footer.CellRect(ColId).center());
    else if (where == "title")
        ReleaseRightButton(*view.viewport(), TitleCell(2));
    else if (where == "id")
        ReleaseRightButton(*view.viewport(), view.visualRect(view.model()->index(2, ColId)).center());
    else if (where == "empty")
        ReleaseRightButton(*view.viewport(), QPoint(view.viewport()->width() / 2, view.viewport()->height() - 5));
    else
        ReleaseRightButton(*view.horizontalHeader(),
                           QPoint(view.horizontalHeader()->sectionViewportPosition(ColCaption) + 10, 5));

    TGridPopupMenu& menu = m_f.form->PopupMenu();
    QVERIFY(menu.isVisible());
    QTEST(ShownItems(menu), "shown");
    QCOMPARE(int(menu.Scope), scope < 0 ? int(earlier) : scope);
    QCOMPARE(view.SelectedRows().size(), std::size_t(selected ? 1 : 0));  // the right click did not select
    menu.close();
}

void GridCommandsTest::noMenuWhileCollecting()
{
    m_f.Fill(FiveRows());
    m_f.form->AddSwitch().setChecked(true);
    m_f.form->StartProcess();
    m_f.form->EndProcess();  // the grid may be frozen no longer, but the timer decides
    m_f.form->StartProcess();
    ReleaseRightButton(*m_f.form->View().viewport(), TitleCell(0));
    QVERIFY(!m_f.form->PopupMenu().isVisible());
    m_f.form->EndProcess();
    ReleaseRightButton(*m_f.form->View().viewport(), TitleCell(0));
    QVERIFY(m_f.form->PopupMenu().isVisible());
    m_f.form->PopupMenu().close();
}

void GridCommandsTest::onlyTheRightButtonOpensTheMenu()
{
    m_f.Fill(FiveRows());
    QTest::mouseClick(m_f.form->View().viewport(), Qt::LeftButton, {}, TitleCell(0));
    QTest::mouseClick(m_f.form->View().viewport(), Qt::MiddleButton, {}, TitleCell(0));
    QVERIFY(!m_f.form->PopupMenu().isVisible());
}

void GridCommandsTest::findSelectsExactMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("rows");
    QTest::newRow("ab: not AB") << "ab" << std::vector<int>{1, 2, 4};
    QTest::newRow("AB") << "AB" << std::vector<int>{0};
    QTest::newRow("Chinese") << u"优酷"_qs << std::vector<int>{2};
    QTest::newRow("empty text matches nothing") << "" << std::vector<int>{};
}

void GridCommandsTest::findSelectsExactMatches()
{
    QFETCH(QString, text);
    m_f.Fill(FiveRows());
    m_f.form->Data().SetStatus(1, false);
    m_f.form->View().SetFocusedRow(3);
    m_f.form->View().SelectRows({3});
    m_f.messages.OnModal([&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("TextEdit")->setText(text);
        return int(QDialog::Accepted);
    });
    m_f.form->PopupMenu().FindButton->trigger();
    QCOMPARE(m_f.messages.Texts(ScriptedMessages::Kind::Modal), std::vector<QString>{"快速查找"});
    QTEST(m_f.form->View().SelectedRows(), "rows");
    QCOMPARE(m_f.form->View().FocusedRow(), 3);                // the focus stays
    QCOMPARE(m_f.CheckMarks(), QString("10111"));              // so do the check marks
    QCOMPARE(m_f.messages.Messages().size(), std::size_t(1));  // nothing reported
}

void GridCommandsTest::findMatchingNothingHidesTheRowItems()
{
    m_f.Fill(FiveRows());
    m_f.form->View().SelectRows({0, 1});
    m_f.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("TextEdit")->setText("nowhere");
        return int(QDialog::Accepted);
    });
    m_f.form->FindButtonClick();
    QVERIFY(m_f.form->View().SelectedRows().empty());
    ReleaseRightButton(*m_f.form->View().viewport(), TitleCell(0));
    QVERIFY(!m_f.form->PopupMenu().LinkButton->isVisible());
    QVERIFY(!m_f.form->PopupMenu().RetryButton->isVisible());
    m_f.form->PopupMenu().close();
}

void GridCommandsTest::findCancelledKeepsTheSelection()
{
    m_f.Fill(FiveRows());
    m_f.form->View().SelectRows({3});
    m_f.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("TextEdit")->setText("ab");
        return int(QDialog::Rejected);
    });
    m_f.form->FindButtonClick();
    QCOMPARE(m_f.form->View().SelectedRows(), std::vector<int>{3});

    // On a closed table the dialog does not even open.
    m_f.form->Data().Close();
    m_f.messages.Clear();
    m_f.form->FindButtonClick();
    QVERIFY(m_f.messages.Messages().empty());
}

void GridCommandsTest::visitPageOpensTheCurrentRowsLink_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("opened");
    QTest::newRow("web page") << 0 << "http://www.tudou.com/programs/view/1/";
    QTest::newRow("empty link opens nothing") << 2 << "";
    QTest::newRow("local file is not opened") << 3 << "";
}

void GridCommandsTest::visitPageOpensTheCurrentRowsLink()
{
    QFETCH(int, row);
    QFETCH(QString, opened);
    m_f.Fill(FiveRows());
    m_f.form->View().SelectRows({4});  // the current row counts, not the selection
    m_f.form->View().SetFocusedRow(row);
    m_f.form->PopupMenu().LinkButton->trigger();
    QCOMPARE(m_opened.size(), std::size_t(opened.isEmpty() ? 0 : 1));
    if (!opened.isEmpty())
        QCOMPARE(m_opened.front().toString(), opened);
    QVERIFY(m_f.messages.Messages().empty());
}

void GridCommandsTest::doubleClickSelectsTheAddress()
{
    QLineEdit& edit = m_f.form->UrlEditor();
    edit.setText("http://www.tudou.com/playlist/id/123 abc");
    QTest::mouseDClick(&edit, Qt::LeftButton, {}, QPoint(10, edit.height() / 2));
    QCOMPARE(edit.selectedText(), edit.text());
}

void GridCommandsTest::closingReleasesTheAlbumTable()
{
    m_f.form->Engine().AlbumTable().Add("album", "1");
    m_f.form->close();
    QCOMPARE(m_f.form->Engine().AlbumTable().GetCount(), 0);
}

QTEST_MAIN(GridCommandsTest)
#include "tst_gridmenu.moc"
