#include "results/dataview.h"
#include "host/core/gbk.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quib;
using namespace quib::results;

namespace {

RowFields Row(const QString& caption, const QString& url, const QString& date)
{
    RowFields fields;
    fields.Caption = gbk::FromUnicode(caption);
    fields.Url = gbk::FromUnicode(url);
    fields.Date = gbk::FromUnicode(date);
    return fields;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The designed widths fill exactly this viewport width.
constexpr int kDesignViewportWidth = 20 + 45 + 261 + 242 + 127;

}  // namespace

class TestDataView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void columnsAsDesigned();
    void columnsFillTheWidth();
    void initialSortIsNumericById();
    void headerClickSorts_data();
    void headerClickSorts();
    void chineseSortsInGbkOrder();
    void statusHeaderClickDoesNotSort();
    void focusedRowThroughTheProxy();
    void selectionIsIndependentOfCheckMarks();
    void selectRowsReplacesTheSelection();
    void checkBoxTogglesStatus();
    void editInPlace_data();
    void editInPlace();
    void beginEndUpdateFreezesAndRepaintsOnce();

private:
    void Fill();
    void ClickHeader(int column);
    QStringList CaptionsInDisplayOrder() const;

    std::unique_ptr<MemData> m_data;
    std::unique_ptr<DataView> m_view;
};

void TestDataView::init()
{
    m_data = std::make_unique<MemData>();
    m_view = std::make_unique<DataView>(*m_data);
    m_view->resize(800, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_data->Open();
}

void TestDataView::cleanup()
{
    m_view.reset();
    m_data.reset();
}

// Twelve rows, so that sorting 序号 as text (1, 10, 11, 12, 2, ...) would show.
void TestDataView::Fill()
{
    const QStringList captions = {u"b"_qs, u"l"_qs, u"a"_qs, u"k"_qs, u"c"_qs, u"j"_qs,
                                  u"d"_qs, u"i"_qs, u"e"_qs, u"h"_qs, u"f"_qs, u"g"_qs};
    for (int i = 0; i < captions.size(); ++i)
        m_data->Append(Row(captions[i], u"url%1"_qs.arg(11 - i, 2, 10, QChar('0')), u"2009-01-%1"_qs.arg(i % 3 + 1)));
}

void TestDataView::ClickHeader(int column)
{
    QHeaderView* header = m_view->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

QStringList TestDataView::CaptionsInDisplayOrder() const
{
    QStringList captions;
    for (int index : m_view->DisplayOrder())
        captions << gbk::ToUnicode(m_data->Row(index).Caption);
    return captions;
}

void TestDataView::columnsAsDesigned()
{
    MemData data;
    DataView view(data);
    QHeaderView* header = view.horizontalHeader();
    const int frame = 2 * view.frameWidth();
    view.resize(kDesignViewportWidth + frame, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.viewport()->width(), kDesignViewportWidth);
    QCOMPARE(header->sectionSize(ColStatus), 20);
    QCOMPARE(header->sectionSize(ColId), 45);
    QCOMPARE(header->sectionSize(ColCaption), 261);
    QCOMPARE(header->sectionSize(ColUrl), 242);
    QCOMPARE(header->sectionSize(ColDate), 127);
    QVERIFY(view.isColumnHidden(ColLink));
    QCOMPARE(header->sectionResizeMode(ColStatus), QHeaderView::Fixed);
    QCOMPARE(header->sectionResizeMode(ColId), QHeaderView::Fixed);
    QCOMPARE(header->sectionResizeMode(ColCaption), QHeaderView::Interactive);
    QCOMPARE(header->sectionResizeMode(ColUrl), QHeaderView::Interactive);
    QVERIFY(!header->sectionsMovable());
    QVERIFY(!view.showGrid());
    QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(header->model()->headerData(ColId, Qt::Horizontal).toString(), u"序号"_qs);
}

void TestDataView::columnsFillTheWidth()
{
    QHeaderView* header = m_view->horizontalHeader();
    for (int width : {1200, 700, 950}) {
        m_view->resize(width, 400);
        QCoreApplication::processEvents();
        const int viewport = m_view->viewport()->width();
        QCOMPARE(header->length(), viewport);
        QCOMPARE(header->sectionSize(ColStatus), 20);
        QCOMPARE(header->sectionSize(ColId), 45);
        const double ratio = double(header->sectionSize(ColCaption)) / header->sectionSize(ColUrl);
        QVERIFY2(qAbs(ratio - 261.0 / 242.0) < 0.02, qPrintable(QString::number(ratio)));
        const double dateShare = double(header->sectionSize(ColDate)) / (viewport - 65);
        QVERIFY2(qAbs(dateShare - 127.0 / 630.0) < 0.02, qPrintable(QString::number(dateShare)));
    }
    // A column the user widened keeps its share when the window is resized.
    header->resizeSection(ColCaption, 500);
    const double share = 500.0 / (m_view->viewport()->width() - 65);
    m_view->resize(1300, 400);
    QCoreApplication::processEvents();
    QCOMPARE(header->length(), m_view->viewport()->width());
    QVERIFY(qAbs(double(header->sectionSize(ColCaption)) / (m_view->viewport()->width() - 65) - share) < 0.01);
}

void TestDataView::initialSortIsNumericById()
{
    Fill();
    std::vector<int> expected(12);
    for (int i = 0; i < 12; ++i)
        expected[std::size_t(i)] = i;
    QCOMPARE(m_view->DisplayOrder(), expected);
    QCOMPARE(m_view->horizontalHeader()->sortIndicatorSection(), int(ColId));
    QCOMPARE(m_view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestDataView::headerClickSorts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("captions");

    const QStringList byCaption = {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs,
                                   u"g"_qs, u"h"_qs, u"i"_qs, u"j"_qs, u"k"_qs, u"l"_qs};
    QStringList byCaptionDown = byCaption;
    std::reverse(byCaptionDown.begin(), byCaptionDown.end());
    const QStringList byIdDown = {u"g"_qs, u"f"_qs, u"h"_qs, u"e"_qs, u"i"_qs, u"d"_qs,
                                  u"j"_qs, u"c"_qs, u"k"_qs, u"a"_qs, u"l"_qs, u"b"_qs};
    QStringList byUrl = byIdDown;  // urls count down as the rows go on

    QTest::newRow("id again flips to descending") << int(ColId) << 1 << byIdDown;
    QStringList byId = byIdDown;
    std::reverse(byId.begin(), byId.end());
    QTest::newRow("id clicked twice is ascending again") << int(ColId) << 2 << byId;
    QTest::newRow("caption ascending") << int(ColCaption) << 1 << byCaption;
    QTest::newRow("caption descending") << int(ColCaption) << 2 << byCaptionDown;
    QTest::newRow("url ascending") << int(ColUrl) << 1 << byUrl;
    // Dates repeat every third row; equal dates keep their append order.
    QTest::newRow("date ascending") << int(ColDate) << 1
                                    << QStringList{u"b"_qs, u"k"_qs, u"d"_qs, u"h"_qs, u"l"_qs, u"c"_qs,
                                                   u"i"_qs, u"f"_qs, u"a"_qs, u"j"_qs, u"e"_qs, u"g"_qs};
}

void TestDataView::headerClickSorts()
{
    QFETCH(int, column);
    QFETCH(int, clicks);
    QFETCH(QStringList, captions);
    Fill();
    for (int i = 0; i < clicks; ++i) {
        ClickHeader(column);
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }
    QCOMPARE(CaptionsInDisplayOrder(), captions);
    QCOMPARE(m_view->horizontalHeader()->sortIndicatorSection(), column);
}

// GBK orders the common characters by pinyin; UTF-16 order would give 中, 吧, 啊.
void TestDataView::chineseSortsInGbkOrder()
{
    for (const QString& caption : {u"中国"_qs, u"吧"_qs, u"Zoo"_qs, u"啊"_qs, u"中"_qs})
        m_data->Append(Row(caption, {}, {}));
    ClickHeader(ColCaption);
    QCOMPARE(CaptionsInDisplayOrder(), (QStringList{u"Zoo"_qs, u"啊"_qs, u"吧"_qs, u"中"_qs, u"中国"_qs}));

    // Rows announced at once by a thaw still land in their sorted places.
    m_view->BeginUpdate();
    m_data->Append(Row(u"八"_qs, {}, {}));
    m_data->Append(Row(u"1"_qs, {}, {}));
    m_view->EndUpdate();
    QCOMPARE(CaptionsInDisplayOrder(),
             (QStringList{u"1"_qs, u"Zoo"_qs, u"啊"_qs, u"吧"_qs, u"八"_qs, u"中"_qs, u"中国"_qs}));
}

void TestDataView::statusHeaderClickDoesNotSort()
{
    Fill();
    ClickHeader(ColCaption);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    const std::vector<int> before = m_view->DisplayOrder();
    QSignalSpy clicked(m_view.get(), &DataView::StatusHeaderClicked);
    m_data->SetStatus(0, false);
    ClickHeader(ColStatus);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(m_view->DisplayOrder(), before);
    QCOMPARE(m_view->horizontalHeader()->sortIndicatorSection(), int(ColCaption));
    QCOMPARE(m_view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    ClickHeader(ColUrl);
    QCOMPARE(clicked.count(), 1);
}

void TestDataView::focusedRowThroughTheProxy()
{
    Fill();
    QCOMPARE(m_view->FocusedRow(), -1);
    ClickHeader(ColCaption);  // display row 0 is now "a", stored at index 2
    QCOMPARE(m_view->DisplayOrder().front(), 2);

    const QRect cell = m_view->visualRect(m_view->model()->index(0, ColCaption));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_view->FocusedRow(), 2);

    m_view->SetFocusedRow(7);
    QCOMPARE(m_view->FocusedRow(), 7);
    QCOMPARE(m_view->currentIndex().row(), 8);              // "i" is the ninth caption
    QCOMPARE(m_view->SelectedRows(), std::vector<int>{2});  // focusing does not select

    m_view->SetFocusedRow(12);
    m_view->SetFocusedRow(-1);
    QCOMPARE(m_view->FocusedRow(), 7);
}

void TestDataView::selectionIsIndependentOfCheckMarks()
{
    Fill();
    ClickHeader(ColCaption);
    QAbstractItemModel* model = m_view->model();
    const auto clickRow = [&](int displayRow, Qt::KeyboardModifiers modifiers) {
        const QRect cell = m_view->visualRect(model->index(displayRow, ColCaption));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, modifiers, cell.center());
    };
    clickRow(3, {});
    clickRow(0, Qt::ControlModifier);
    clickRow(5, Qt::ControlModifier);
    // Display rows 0, 3, 5 are "a", "d", "f", stored at 2, 6, 10.
    QCOMPARE(m_view->SelectedRows(), (std::vector<int>{2, 6, 10}));
    for (int i = 0; i < m_data->Count(); ++i)
        QVERIFY(m_data->Row(i).Status);

    m_data->SetStatus(6, false);
    m_data->SetStatus(0, false);
    QCOMPARE(m_view->SelectedRows(), (std::vector<int>{2, 6, 10}));
}

void TestDataView::selectRowsReplacesTheSelection()
{
    Fill();
    ClickHeader(ColCaption);
    m_view->SelectRows({1, 2, 3, 11});
    // Stored 1, 2, 3, 11 are "l", "a", "k", "g": display order a, g, k, l.
    QCOMPARE(m_view->SelectedRows(), (std::vector<int>{2, 11, 3, 1}));
    m_view->SelectRows({});
    QVERIFY(m_view->SelectedRows().empty());
}

void TestDataView::checkBoxTogglesStatus()
{
    Fill();
    QAbstractItemModel* model = m_view->model();
    const QRect cell = m_view->visualRect(model->index(4, ColStatus));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!m_data->Row(4).Status);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(m_data->Row(4).Status);
    for (int i = 0; i < m_data->Count(); ++i)
        QVERIFY(m_data->Row(i).Status);
}

void TestDataView::editInPlace_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<std::string>("stored");

    QTest::newRow("caption cut to 100 bytes") << int(ColCaption) << u"编辑标题"_qs.repeated(15) << true
                                              << gbk::FromUnicode(u"编辑标题"_qs.repeated(12) + u"编辑"_qs);
    QTest::newRow("caption odd boundary")
        << int(ColCaption) << "x" + u"题"_qs.repeated(60) << true << gbk::FromUnicode("x" + u"题"_qs.repeated(49));
    QTest::newRow("url short") << int(ColUrl) << u"http://v.example/新"_qs << true
                               << gbk::FromUnicode(u"http://v.example/新"_qs);
    QTest::newRow("date read-only") << int(ColDate) << u"x"_qs << false << std::string();
    QTest::newRow("id read-only") << int(ColId) << u"9"_qs << false << std::string();
}

void TestDataView::editInPlace()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(bool, editable);
    QFETCH(std::string, stored);

    const int row = m_data->Append({});
    const QModelIndex cell = m_view->model()->index(0, column);
    m_view->setCurrentIndex(cell);
    QTest::keyClick(m_view.get(), Qt::Key_F2);
    auto* editor = m_view->viewport()->findChild<QLineEdit*>();
    QCOMPARE(editor != nullptr && editor->isVisible(), editable);
    if (!editable)
        return;
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits through a queued call
    const ResultRow& result = m_data->Row(row);
    QCOMPARE(column == ColCaption ? result.Caption : result.Url, stored);
}

void TestDataView::beginEndUpdateFreezesAndRepaintsOnce()
{
    Fill();
    QCoreApplication::processEvents();
    PaintCounter paints(m_view->viewport());
    m_view->BeginUpdate();
    m_view->BeginUpdate();
    QVERIFY(m_view->Updating());
    QVERIFY(m_data->Frozen());
    for (int i = 0; i < 500; ++i) {
        m_data->Append(Row(u"新"_qs, u"u"_qs, u"d"_qs));
        QCoreApplication::processEvents();
    }
    m_view->viewport()->update();
    m_view->EndUpdate();
    QTest::qWait(50);  // long enough for a posted repaint to arrive
    QCOMPARE(m_view->model()->rowCount(), 12);
    QCOMPARE(paints.count, 0);

    m_view->EndUpdate();
    QVERIFY(!m_view->Updating());
    QVERIFY(!m_data->Frozen());
    QCOMPARE(m_view->model()->rowCount(), 512);
    QCOMPARE(paints.count, 0);  // the repaint is posted, not run inside EndUpdate
    QTRY_COMPARE(paints.count, 1);
    QTest::qWait(50);
    QCOMPARE(paints.count, 1);

    m_view->EndUpdate();  // unmatched: ignored
    QVERIFY(!m_data->Frozen());
    m_view->BeginUpdate();
    QVERIFY(m_data->Frozen());
    m_view->EndUpdate();
}

QTEST_MAIN(TestDataView)
#include "tst_dataview.moc"
