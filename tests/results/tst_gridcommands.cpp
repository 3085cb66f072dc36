#include "host/core/gbk.h"
#include "results/gridcommands.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

Q_DECLARE_METATYPE(MenuSpot)

class TestGridCommands : public QObject {
    Q_OBJECT
private slots:
    void menuVisibility_data();
    void menuVisibility();
    void selectAllTakesTheSelectionFromTwoRows_data();
    void selectAllTakesTheSelectionFromTwoRows();
    void findIsExactOnTheBytes_data();
    void findIsExactOnTheBytes();
    void editWalk();
};

void TestGridCommands::menuVisibility_data()
{
    QTest::addColumn<MenuSpot>("spot");
    QTest::addColumn<bool>("selected");
    // Shown items in menu order: edit find selAll unSelAll deSel link retry autoRetry; then the scope.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("scope");  // -1: unchanged

    QTest::newRow("title footer") << MenuSpot::TitleFooter << false << "1000000100" << 0;
    QTest::newRow("title footer, rows selected") << MenuSpot::TitleFooter << true << "1000000100" << 0;
    QTest::newRow("title cell") << MenuSpot::TitleCell << false << "1100000111" << 1;
    QTest::newRow("title cell, rows selected") << MenuSpot::TitleCell << true << "1100011111" << 1;
    QTest::newRow("elsewhere") << MenuSpot::Elsewhere << false << "0111100111" << -1;
    QTest::newRow("elsewhere, rows selected") << MenuSpot::Elsewhere << true << "0111111111" << -1;
}

void TestGridCommands::menuVisibility()
{
    QFETCH(MenuSpot, spot);
    QFETCH(bool, selected);
    const MenuItemsShown s = MenuVisibility(spot, selected);
    QString shown;
    for (bool item :
         {s.edit, s.find, s.selAll, s.unSelAll, s.deSel, s.link, s.retry, s.autoRetry, s.episodeSort, s.unSelRepeat})
        shown += item ? '1' : '0';
    QTEST(shown, "shown");
    QTEST(s.scope ? int(*s.scope) : -1, "scope");
}

void TestGridCommands::selectAllTakesTheSelectionFromTwoRows_data()
{
    QTest::addColumn<std::vector<int>>("selected");
    QTest::addColumn<std::vector<int>>("checked");
    QTest::newRow("none selected") << std::vector<int>{} << std::vector<int>{0, 1, 2, 3};
    QTest::newRow("one selected") << std::vector<int>{2} << std::vector<int>{0, 1, 2, 3};
    QTest::newRow("two selected") << std::vector<int>{3, 1} << std::vector<int>{3, 1};
}

void TestGridCommands::selectAllTakesTheSelectionFromTwoRows()
{
    QFETCH(std::vector<int>, selected);
    QTEST(RowsToCheck(4, selected), "checked");
}

void TestGridCommands::findIsExactOnTheBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("rows");
    QTest::newRow("ab is not AB") << "ab" << std::vector<int>{3, 1};
    QTest::newRow("AB") << "AB" << std::vector<int>{0};
    QTest::newRow("empty matches nothing") << "" << std::vector<int>{};
    QTest::newRow("absent") << "zz" << std::vector<int>{};
    QTest::newRow("Chinese") << u"优酷"_qs << std::vector<int>{3, 2};
    // "a" is the trail byte of "癮"; a title holding only that character does not match.
    QTest::newRow("not inside a character") << "a" << std::vector<int>{3, 1};
}

void TestGridCommands::findIsExactOnTheBytes()
{
    QFETCH(QString, text);
    const std::vector<std::string> titles{"xABx", "xab", gbk::FromUnicode(u"优酷癮"), gbk::FromUnicode(u"优酷ab")};
    // Display order differs from storage order; the rows come in display order.
    const std::vector<int> order{3, 2, 1, 0};
    const auto titleOf = [&](int row) -> const std::string& { return titles[std::size_t(row)]; };
    QTEST(FindRows(order, titleOf, gbk::FromUnicode(text)), "rows");
}

void TestGridCommands::editWalk()
{
    QCOMPARE(EditWalk(EditScope::AllChecked, {4, 2}, 3), (std::vector<int>{0, 1, 2}));
    QCOMPARE(EditWalk(EditScope::SelectedChecked, {4, 2}, 3), (std::vector<int>{4, 2}));
}

QTEST_APPLESS_MAIN(TestGridCommands)
#include "tst_gridcommands.moc"
