#pragma once
// The grid's sorting proxy. It orders rows by the same keys as MemData::kSortRole but reads the
// stored rows directly, so sorting a large table does not build a QVariant per comparison. A
// command may instead lay the rows out in an order of its own (按集数排序) until the next header
// sort or until the table is emptied.
#include <QSortFilterProxyModel>

#include <vector>

namespace quib::results {

class MemData;

class ResultSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // `data` must outlive the proxy.
    explicit ResultSortProxy(MemData& data, QObject* parent = nullptr);

    // Shows the rows in this order (storage indexes); rows it does not name, such as rows added
    // later, follow in storage order. Either sort direction shows it as given.
    void SetRowOrder(const std::vector<int>& storageOrder);
    // Back to the column sort.
    void ClearRowOrder();
    bool HasRowOrder() const { return !m_rank.empty(); }

    // Sorted by 序号 upwards the rows are in storage order (numbers grow with it): the proxy then
    // keeps that order without comparing rows, so appended rows are announced without a sort.
    // sortColumn() reads -1 meanwhile.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The command's order was dropped because the table was emptied.
    void RowOrderDropped();

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    std::size_t RankOf(int row) const;
    // Sorts as the last sort() asked, or by the command's ranks while they rule.
    void ApplySort();

    const MemData& m_data;
    // Position in the command's order by storage index; empty while the column sort rules.
    std::vector<std::size_t> m_rank;
    // The sort asked for; the proxy's own column is -1 while it is 序号 upwards.
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    bool m_rankDropped = false;  // by a reset of the table, not yet sorted again
};

}  // namespace quib::results
