#include "dataview.h"

#include "nofocusdelegate.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStatusWidth = 20;
constexpr int kIdWidth = 45;
constexpr int kCaptionWidth = 261;
constexpr int kUrlWidth = 242;
constexpr int kDateWidth = 127;
constexpr int kFixedWidth = kStatusWidth + kIdWidth;
constexpr int kDesignFlexibleWidth = kCaptionWidth + kUrlWidth + kDateWidth;

}  // namespace

DataView::DataView(MemData& data, QWidget* parent)
    : QTableView(parent),
      m_data(data),
      m_proxy(new ResultSortProxy(data, this)),
      m_captionShare(double(kCaptionWidth) / kDesignFlexibleWidth),
      m_urlShare(double(kUrlWidth) / kDesignFlexibleWidth)
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
    header->setSectionResizeMode(ColDate, QHeaderView::Stretch);
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

int DataView::FocusedRow() const
{
    return StorageRow(currentIndex());
}

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

void DataView::SectionResized(int section, int, int newSize)
{
    if (m_fitting || (section != ColCaption && section != ColUrl))
        return;
    const int flexible = FlexibleWidth();
    if (flexible <= 0)
        return;
    (section == ColCaption ? m_captionShare : m_urlShare) = double(newSize) / flexible;
}

void DataView::FitColumns()
{
    const int flexible = FlexibleWidth();
    if (flexible <= 0)
        return;
    m_fitting = true;
    horizontalHeader()->resizeSection(ColCaption, int(std::lround(m_captionShare * flexible)));
    horizontalHeader()->resizeSection(ColUrl, int(std::lround(m_urlShare * flexible)));
    m_fitting = false;
}

int DataView::FlexibleWidth() const
{
    return viewport()->width() - kFixedWidth;
}
