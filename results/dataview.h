#pragma once
// The result grid's table view: a sorting proxy over a MemData, the grid's columns, freezing,
// and the "<暂无数据>" text of an empty grid.
#include "results/memdata.h"
#include "results/resultsortproxy.h"

#include <QTableView>

#include <vector>

namespace quib::results {

class DataView : public QTableView {
    Q_OBJECT
public:
    static inline const QString kEmptyText = QStringLiteral("<暂无数据>");

    // Shows `data`, which must outlive the view.
    explicit DataView(MemData& data, QWidget* parent = nullptr);

    MemData& Data() { return m_data; }
    const MemData& Data() const { return m_data; }
    QSortFilterProxyModel& Proxy() { return *m_proxy; }

    // Shows the rows in a command's order (storage indexes) instead of a column's; the next
    // header click, or emptying the table, goes back to the column sort. No header shows an
    // indicator meanwhile.
    void ShowInOrder(const std::vector<int>& storageOrder);
    bool InCommandOrder() const { return m_proxy->HasRowOrder(); }

    // No repaint and no per-row model signals until the matching EndUpdate, which announces the
    // rows and repaints once. Nestable; an EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateDepth > 0; }

    // Storage index of the focused (current) row, -1 if none.
    int FocusedRow() const;
    // Moves the focus to a row without touching the selection; ignores unknown rows.
    void SetFocusedRow(int storageIndex);
    // Storage index of a view (proxy) index's row, -1 for an invalid index.
    int StorageRow(const QModelIndex& viewIndex) const;

    // Storage indexes in display (sorted) order.
    std::vector<int> DisplayOrder() const;
    // Storage indexes of the selected rows, in display order.
    std::vector<int> SelectedRows() const;
    // Makes exactly these rows (storage indexes) the selection.
    void SelectRows(const std::vector<int>& storageIndexes);

    // The narrowest the 序号 and 时间 columns may be so that no number, date or row count (the
    // footer's, under 序号) is cut.
    int IdWidthNeeded() const;
    int DateWidthNeeded() const;

signals:
    // A click on the check-box column's header, which does not sort.
    void StatusHeaderClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SortIndicatorChanged(int section, Qt::SortOrder order);
    void ShowSortIndicator(int section);
    void SectionResized(int section, int oldSize, int newSize);
    // Widths for the viewport's size: 序号 and 时间 fit their content, title and address share the
    // rest in their proportions, and the date takes what is left over.
    void FitColumns();
    // After the content changed: once, when the event loop is next idle.
    void ScheduleFit();
    void FitDateToTheRest();
    int FlexibleWidth() const;
    int CellWidth(const QModelIndex& index) const;

    MemData& m_data;
    ResultSortProxy* m_proxy;  // child of the view
    int m_updateDepth = 0;
    int m_sortColumn = ColId;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // Caption and url widths as parts of the width left to the flexible columns; the date
    // column takes the rest, so the columns always fill the width.
    double m_captionShare;
    double m_urlShare;
    bool m_fitting = false;
    bool m_fitScheduled = false;
};

}  // namespace quib::results
