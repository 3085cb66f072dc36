#include "results/dataview.h"

#include "results/nofocusdelegate.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quib::results {

namespace {

constexpr int kStatusWidth = 20;
constexpr int kIdWidth = 45;
constexpr int kCaptionWidth = 261;
constexpr int kUrlWidth = 242;
constexpr int kDateWidth = 127;
constexpr int kDesignFlexibleWidth = kCaptionWidth + kUrlWidth + kDateWidth;
// Title and address give up room to the date down to this, then the grid scrolls sideways.
constexpr int kNarrowestText = 40;
// Rows measured at each end of the table besides the ones on screen: a site writes all its dates
// one way, so a sample shows the widest.
constexpr int kMeasuredRows = 50;

}  // namespace

DataView::DataView(MemData& table, QWidget* parent)
    : QTableView(parent), m_data(table), m_proxy(new ResultSortProxy(table, this)),
      m_captionShare(double(kCaptionWidth) / kDesignFlexibleWidth), m_urlShare(double(kUrlWidth) / kDesignFlexibleWidth)
{
    setModel(m_proxy);
    setItemDelegate(new NoFocusDelegate(this));

    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(kStatusWidth);
    header->setSectionResizeMode(ColStatus, QHeaderView::Fixed);
    header->setSectionResizeMode(ColId, QHeaderView::Fixed);
    header->setSectionResizeMode(ColCaption, QHeaderView::Interactive);
    header->setSectionResizeMode(ColUrl, QHeaderView::Interactive);
    // Sized here, as the rest of the width, but never narrower than its dates.
    header->setSectionResizeMode(ColDate, QHeaderView::Fixed);
    header->resizeSection(ColStatus, kStatusWidth);
    header->resizeSection(ColId, kIdWidth);
    header->resizeSection(ColCaption, kCaptionWidth);
    header->resizeSection(ColUrl, kUrlWidth);
    header->resizeSection(ColDate, kDateWidth);
    setColumnHidden(ColLink, true);

    // Sorting is driven here rather than by QTableView so that the check-box column's header
    // can be clicked without sorting.
    header->setSortIndicatorShown(true);
    header->setSortIndicator(m_sortColumn, m_sortOrder);
    m_proxy->sort(m_sortColumn, m_sortOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &DataView::SortIndicatorChanged);
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == ColStatus)
            emit StatusHeaderClicked();
    });
    connect(header, &QHeaderView::sectionResized, this, &DataView::SectionResized);
    connect(m_proxy, &ResultSortProxy::RowOrderDropped, this, [this] { ShowSortIndicator(m_sortColumn); });
    const auto refit = [this] { ScheduleFit(); };
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this, refit);
    connect(m_proxy, &QAbstractItemModel::modelReset, this, refit);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, refit);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (from.column() <= ColDate && to.column() >= ColDate)
            ScheduleFit();
    });
}

void DataView::ShowInOrder(const std::vector<int>& storageOrder)
{
    m_proxy->SetRowOrder(storageOrder);
    ShowSortIndicator(m_proxy->HasRowOrder() ? -1 : m_sortColumn);  // an empty table keeps its column
}

void DataView::ShowSortIndicator(int section)
{
    // Only shown: the proxy already sorts as it says.
    const QSignalBlocker blocker(horizontalHeader());
    horizontalHeader()->setSortIndicator(section, m_sortOrder);
}

void DataView::BeginUpdate()
{
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
    m_data.Freeze();
}

void DataView::EndUpdate()
{
    if (m_updateDepth == 0)
        return;
    // Announce the rows while painting is still off, so they are laid out and painted once.
    m_data.Thaw();
    if (--m_updateDepth == 0)
        setUpdatesEnabled(true);
}

int DataView::FocusedRow() const { return StorageRow(currentIndex()); }

void DataView::SetFocusedRow(int storageIndex)
{
    if (storageIndex < 0 || storageIndex >= m_data.rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : int(ColCaption);
    const QModelIndex target = m_proxy->mapFromSource(m_data.index(storageIndex, column));
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
}

int DataView::StorageRow(const QModelIndex& viewIndex) const
{
    if (!viewIndex.isValid())
        return -1;
    return m_proxy->mapToSource(viewIndex).row();
}

std::vector<int> DataView::DisplayOrder() const
{
    const int rows = m_proxy->rowCount();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        order.push_back(m_proxy->mapToSource(m_proxy->index(row, 0)).row());
    return order;
}

std::vector<int> DataView::SelectedRows() const
{
    std::vector<int> viewRows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            viewRows.push_back(row);
    std::sort(viewRows.begin(), viewRows.end());
    viewRows.erase(std::unique(viewRows.begin(), viewRows.end()), viewRows.end());
    std::vector<int> rows;
    rows.reserve(viewRows.size());
    for (int row : viewRows)
        rows.push_back(m_proxy->mapToSource(m_proxy->index(row, 0)).row());
    return rows;
}

void DataView::SelectRows(const std::vector<int>& storageIndexes)
{
    std::vector<int> viewRows;
    viewRows.reserve(storageIndexes.size());
    for (int index : storageIndexes)
        if (index >= 0 && index < m_data.rowCount())
            viewRows.push_back(m_proxy->mapFromSource(m_data.index(index, 0)).row());
    std::sort(viewRows.begin(), viewRows.end());
    viewRows.erase(std::unique(viewRows.begin(), viewRows.end()), viewRows.end());
    // One range per run of adjacent rows keeps the selection small for long runs.
    QItemSelection selection;
    const int lastColumn = m_proxy->columnCount() - 1;
    for (std::size_t i = 0; i < viewRows.size();) {
        std::size_t j = i;
        while (j + 1 < viewRows.size() && viewRows[j + 1] == viewRows[j] + 1)
            ++j;
        selection.select(m_proxy->index(viewRows[i], 0), m_proxy->index(viewRows[j], lastColumn));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void DataView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (m_proxy->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect(), Qt::AlignCenter, kEmptyText);
}

bool DataView::viewportEvent(QEvent* event)
{
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        FitColumns();
    return handled;
}

void DataView::SortIndicatorChanged(int section, Qt::SortOrder order)
{
    if (section == ColStatus || section < 0) {
        // The check-box column does not sort: put the indicator back where it was.
        ShowSortIndicator(m_proxy->HasRowOrder() ? -1 : m_sortColumn);
        return;
    }
    m_sortColumn = section;
    m_sortOrder = order;
    m_proxy->ClearRowOrder();
    m_proxy->sort(section, order);
}

void DataView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        ScheduleFit();
}

void DataView::SectionResized(int section, int, int newSize)
{
    if (m_fitting || (section != ColCaption && section != ColUrl))
        return;
    const int flexible = FlexibleWidth();
    if (flexible <= 0)
        return;
    (section == ColCaption ? m_captionShare : m_urlShare) = double(newSize) / flexible;
    // The user's width stands (the grid scrolls if it must); the date takes what is left.
    FitDateToTheRest();
}

void DataView::ScheduleFit()
{
    if (m_fitScheduled)
        return;
    m_fitScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_fitScheduled = false;
        FitColumns();
    });
}

int DataView::CellWidth(const QModelIndex& index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegateForIndex(index)->sizeHint(option, index).width();
}

int DataView::IdWidthNeeded() const
{
    // Numbers only grow as rows are added, so the last stored row has the widest, and the footer
    // counts at most as many rows as that number says.
    int width = kIdWidth;
    if (const int rows = m_data.rowCount(); rows > 0)
        width = std::max(width, CellWidth(m_data.index(rows - 1, ColId)));
    // The footer's cell keeps 5 pixels of margin around its text.
    const int footerText = fontMetrics().horizontalAdvance(QString::number(std::max(m_proxy->rowCount(), 0))) + 5;
    return std::max(width, footerText + 2);
}

int DataView::DateWidthNeeded() const
{
    const int rows = m_proxy->rowCount();
    const QString caption = m_proxy->headerData(ColDate, Qt::Horizontal).toString();
    int width = fontMetrics().horizontalAdvance(caption) + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin);
    const auto measure = [&](int from, int to) {
        for (int row = std::max(from, 0); row < std::min(to, rows); ++row)
            width = std::max(width, CellWidth(m_proxy->index(row, ColDate)));
    };
    const int top = std::max(rowAt(0), 0);
    const int bottom = rowAt(viewport()->height() - 1);
    measure(top, (bottom < 0 ? top + kMeasuredRows : bottom) + 1);
    measure(0, kMeasuredRows);
    measure(rows - kMeasuredRows, rows);
    return width;
}

void DataView::FitColumns()
{
    QHeaderView* header = horizontalHeader();
    m_fitting = true;
    const int id = IdWidthNeeded();
    if (header->sectionSize(ColId) != id)
        header->resizeSection(ColId, id);
    const int flexible = FlexibleWidth();
    if (flexible > 0) {
        double caption = m_captionShare * flexible;
        double url = m_urlShare * flexible;
        const int date = DateWidthNeeded();
        // Title and address make room for the date while their shares would leave it some; a
        // user who widened them past the width has chosen to scroll.
        if (caption + url + date > flexible && m_captionShare + m_urlShare < 1.0) {
            const double room = std::max(double(flexible - date), 2.0 * kNarrowestText);
            const double scale = room / (caption + url);
            caption = std::max(caption * scale, double(kNarrowestText));
            url = std::max(url * scale, double(kNarrowestText));
        }
        header->resizeSection(ColCaption, int(std::lround(caption)));
        header->resizeSection(ColUrl, int(std::lround(url)));
    }
    m_fitting = false;
    FitDateToTheRest();
}

void DataView::FitDateToTheRest()
{
    QHeaderView* header = horizontalHeader();
    const int rest = FlexibleWidth() - header->sectionSize(ColCaption) - header->sectionSize(ColUrl);
    const int date = std::max(DateWidthNeeded(), rest);
    if (header->sectionSize(ColDate) != date) {
        const bool fitting = std::exchange(m_fitting, true);
        header->resizeSection(ColDate, date);
        m_fitting = fitting;
    }
}

int DataView::FlexibleWidth() const
{
    return viewport()->width() - kStatusWidth - horizontalHeader()->sectionSize(ColId);
}

}  // namespace quib::results
