#include "results/dataview.h"
#include "host/core/gbk.h"
#include "results/gridfooter.h"
#include "results/resultgrid.h"
#include "results/memdata.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

using namespace quib;
using namespace quib::results;

namespace {

RowFields Row(const QString& caption)
{
    RowFields fields;
    fields.Caption = gbk::FromUnicode(caption);
    fields.Url = "http://www.example.com/v/" + std::to_string(caption.size());
    return fields;
}

// Pixels in `area` that are clearly darker than the background, i.e. painted text.
int InkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    const QRect bounded = area.intersected(image.rect());
    for (int y = bounded.top(); y <= bounded.bottom(); ++y)
        for (int x = bounded.left(); x <= bounded.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++ink;
    return ink;
}

// The middle band of the viewport, where the empty text is centred.
QRect Middle(const QWidget& viewport)
{
    const QRect all = viewport.rect();
    return QRect(all.width() / 4, all.height() / 2 - 15, all.width() / 2, 30);
}

}  // namespace

class TestMainGrid : public QObject {
    Q_OBJECT
private slots:
    void footerCountsRows_data();
    void footerCountsRows();
    void footerCountFollowsFreezing();
    void footerStaysUnderTheIdColumn();
    void emptyTextOnlyWithoutRows();
    void textFitsAtThePanelsSize();
    void survivesItsParent();
};

void TestMainGrid::footerCountsRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("many") << 1234;
}

void TestMainGrid::footerCountsRows()
{
    QFETCH(int, rows);
    ResultGrid grid;
    QCOMPARE(grid.FooterText(), u"0"_qs);
    grid.Data().Open();
    for (int i = 0; i < rows; ++i)
        grid.Data().Append(Row(u"视频"_qs));
    QCOMPARE(grid.FooterText(), QString::number(rows));
    grid.Data().Close();
    QCOMPARE(grid.FooterText(), u"0"_qs);
}

void TestMainGrid::footerCountFollowsFreezing()
{
    ResultGrid grid;
    grid.Data().Open();
    grid.Data().Append(Row(u"旧"_qs));
    grid.View().BeginUpdate();
    grid.Data().Append(Row(u"新"_qs));
    grid.Data().Append(Row(u"新"_qs));
    QCOMPARE(grid.FooterText(), u"1"_qs);  // what the grid shows until it is thawed
    grid.View().EndUpdate();
    QCOMPARE(grid.FooterText(), u"3"_qs);
}

void TestMainGrid::footerStaysUnderTheIdColumn()
{
    ResultGrid grid;
    grid.resize(400, 300);  // narrower than the columns: a horizontal scroll bar
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.Data().Open();
    for (int i = 0; i < 5; ++i)
        grid.Data().Append(Row(u"标题"_qs));
    grid.View().horizontalHeader()->resizeSection(ColCaption, 600);
    QCoreApplication::processEvents();

    DataView& view = grid.View();
    GridFooter& footer = grid.Footer();
    const auto idLeftInGrid = [&] {
        return view.viewport()->mapTo(&grid, QPoint(view.horizontalHeader()->sectionViewportPosition(ColId), 0)).x();
    };
    QCOMPARE(footer.mapTo(&grid, footer.CellRect(ColId).topLeft()).x(), idLeftInGrid());
    QCOMPARE(footer.CellRect(ColId).width(), 45);
    QCOMPARE(footer.ColumnAt(footer.CellRect(ColCaption).center().x()), int(ColCaption));

    QVERIFY(view.horizontalScrollBar()->maximum() > 0);
    view.horizontalScrollBar()->setValue(30);
    QCoreApplication::processEvents();
    QCOMPARE(footer.mapTo(&grid, footer.CellRect(ColId).topLeft()).x(), idLeftInGrid());
    QVERIFY(footer.CellRect(ColId).x() < 30);

    // The count is painted inside the id column's footer cell.
    const QImage image = footer.grab().toImage();
    QVERIFY(InkIn(image, footer.CellRect(ColId)) > 0);
}

void TestMainGrid::emptyTextOnlyWithoutRows()
{
    ResultGrid grid;
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QWidget& viewport = *grid.View().viewport();

    const QImage closed = viewport.grab().toImage();
    QVERIFY(InkIn(closed, Middle(viewport)) > 20);

    grid.Data().Open();
    grid.Data().Append(Row(u"有数据"_qs));
    QCoreApplication::processEvents();
    const QImage withRow = viewport.grab().toImage();
    QCOMPARE(InkIn(withRow, Middle(viewport)), 0);
    QVERIFY(InkIn(withRow, viewport.rect()) > 0);  // the row itself is drawn

    grid.Data().Close();
    grid.Data().Open();
    QCoreApplication::processEvents();
    QVERIFY(InkIn(viewport.grab().toImage(), Middle(viewport)) > 20);
    QCOMPARE(grid.FooterText(), u"0"_qs);
}

void TestMainGrid::textFitsAtThePanelsSize()
{
    ResultGrid grid;
    grid.resize(820, 300);  // the quick-collect panel's grid in a window of 830 pixels
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QString date = u"2010-01-05 08:00:00"_qs;
    grid.Data().Open();
    grid.View().BeginUpdate();
    for (int i = 0; i < 100000; ++i) {
        RowFields fields = Row(u"土豆视频 第1集"_qs);
        fields.Date = date.toStdString();
        grid.Data().Append(fields);
    }
    grid.View().EndUpdate();
    grid.View().scrollToBottom();
    QCoreApplication::processEvents();

    DataView& view = grid.View();
    const QHeaderView* header = view.horizontalHeader();
    // A cell's text keeps a margin of a few pixels on each side.
    const QFontMetrics metrics = view.fontMetrics();
    QVERIFY2(metrics.horizontalAdvance(date) + 6 <= header->sectionSize(ColDate),
             qPrintable(QString::number(header->sectionSize(ColDate))));
    QVERIFY2(metrics.horizontalAdvance(u"100000"_qs) + 6 <= header->sectionSize(ColId),
             qPrintable(QString::number(header->sectionSize(ColId))));
    const QRect countCell = grid.Footer().CellRect(ColId).adjusted(1, 2, -4, -1);
    QVERIFY(grid.Footer().fontMetrics().horizontalAdvance(grid.FooterText()) <= countCell.width());
    // Still no sideways scrolling at this size: title and address made the room.
    QCOMPARE(header->length(), view.viewport()->width());
    QVERIFY(header->sectionSize(ColCaption) > header->sectionSize(ColUrl));

    if (const QString folder = qEnvironmentVariable("QUIB_SCREENSHOTS"); !folder.isEmpty())
        QVERIFY(grid.grab().save(folder + "/result-grid-100000.png"));
}

// The collection dialog moves the grid into its own page; the grid must go with its data.
void TestMainGrid::survivesItsParent()
{
    auto first = std::make_unique<QWidget>();
    auto second = std::make_unique<QWidget>();
    auto* grid = new ResultGrid(first.get());
    grid->Data().Open();
    grid->Data().Append(Row(u"搬"_qs));
    grid->setParent(second.get());
    first.reset();
    QCOMPARE(grid->Data().Count(), 1);
    QCOMPARE(grid->FooterText(), u"1"_qs);
    second.reset();  // deletes the grid, its view and its data
}

QTEST_MAIN(TestMainGrid)
#include "tst_resultgrid.moc"
