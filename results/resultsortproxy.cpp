#include "results/resultsortproxy.h"

#include "results/memdata.h"
#include "results/resultrow.h"

#include <utility>

namespace quib::results {

ResultSortProxy::ResultSortProxy(MemData& data, QObject* parent) : QSortFilterProxyModel(parent), m_data(data)
{
    setSourceModel(&data);
    setSortRole(MemData::kSortRole);
    setDynamicSortFilter(true);
    // Ranks are by storage index: a refilled table would inherit them row for row. Dropped before
    // the proxy maps the new rows, and the column sort back in force once the table is reset.
    connect(&data, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (m_rank.empty())
            return;
        m_rank.clear();
        m_rankDropped = true;
        emit RowOrderDropped();
    });
    connect(&data, &QAbstractItemModel::modelReset, this, [this] {
        if (std::exchange(m_rankDropped, false))
            ApplySort();
    });
}

void ResultSortProxy::sort(int column, Qt::SortOrder order)
{
    m_column = column;
    m_order = order;
    ApplySort();
}

void ResultSortProxy::ApplySort()
{
    int column = m_column;
    Qt::SortOrder order = m_order;
    if (!m_rank.empty()) {
        // lessThan reads the ranks whatever the column: any column makes the proxy ask it.
        if (column < 0 || (column == ColId && order == Qt::AscendingOrder)) {
            column = ColId;
            order = Qt::AscendingOrder;
        }
    } else if (column == ColId && order == Qt::AscendingOrder) {
        column = -1;  // storage order, no comparisons
    }
    if (column == sortColumn() && order == sortOrder())
        invalidate();  // the same sort over new ranks or none
    else
        QSortFilterProxyModel::sort(column, order);
}

void ResultSortProxy::SetRowOrder(const std::vector<int>& storageOrder)
{
    const std::size_t rows = static_cast<std::size_t>(m_data.Count());
    // Rows left out rank after every named one, in storage order.
    std::vector<std::size_t> rank(rows, rows);
    std::size_t position = 0;
    for (int row : storageOrder)
        if (row >= 0 && static_cast<std::size_t>(row) < rows && rank[static_cast<std::size_t>(row)] == rows)
            rank[static_cast<std::size_t>(row)] = position++;
    for (std::size_t row = 0; row < rows; ++row)
        if (rank[row] == rows)
            rank[row] = position++;
    m_rank = std::move(rank);
    if (m_rank.empty())
        return;
    ApplySort();
}

void ResultSortProxy::ClearRowOrder()
{
    if (m_rank.empty())
        return;
    m_rank.clear();
    ApplySort();
}

std::size_t ResultSortProxy::RankOf(int row) const
{
    const auto index = static_cast<std::size_t>(row);
    return index < m_rank.size() ? m_rank[index] : m_rank.size() + index;
}

bool ResultSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!m_rank.empty()) {
        // A descending sort asks with the rows swapped; swap them back so the order stays as given.
        const std::size_t a = RankOf(left.row()), b = RankOf(right.row());
        return sortOrder() == Qt::AscendingOrder ? a < b : b < a;
    }
    const ResultRow& a = m_data.Row(left.row());
    const ResultRow& b = m_data.Row(right.row());
    // Texts compare as unsigned GBK bytes (std::string::compare uses char_traits<char>, which
    // compares as unsigned char).
    switch (left.column()) {
    case ColStatus: return a.Status < b.Status;
    case ColId: return a.RecId < b.RecId;
    case ColCaption: return a.Caption < b.Caption;
    case ColUrl: return a.Url < b.Url;
    case ColDate: return a.Date < b.Date;
    case ColLink: return a.Link < b.Link;
    default: return false;
    }
}

}  // namespace quib::results
