#pragma once
// The in-memory result table: rows in append order, exposed as a table model (no Widgets).
#include "results/resultrow.h"

#include <QAbstractTableModel>

#include <vector>

namespace quib::results {

class MemData : public QAbstractTableModel {
    Q_OBJECT
public:
    // Sort key: RecId as a number, Status as 0/1, texts as their GBK bytes.
    static constexpr int kSortRole = Qt::UserRole + 1;

    explicit MemData(QObject* parent = nullptr);

    // The table starts closed. Close drops every row and restarts RecId at 1.
    bool Active() const { return m_active; }
    void Open();
    void Close();

    // Rows held, including rows appended while frozen and not yet announced to views.
    int Count() const { return static_cast<int>(m_rows.size()); }
    const ResultRow& Row(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }

    // New row (Status true unless given, RecId automatic); returns its index, or -1 when closed.
    // The fields move into the row: a collection appends every row once.
    int Append(RowFields fields);
    // Assigns the engaged fields; nothing on a closed table or a bad index.
    void Update(int index, const RowFields& fields);
    void SetStatus(int index, bool checked);
    // Storage index of the row with this RecId, -1 if none.
    int IndexOfRecId(int recId) const;

    // While frozen, appends and updates send no per-row signals; the last Thaw announces them
    // with one insert of the new range and one dataChanged. Nestable.
    void Freeze();
    void Thaw();
    bool Frozen() const { return m_freezeDepth > 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    void Assign(ResultRow& row, const RowFields& fields);
    void Assign(ResultRow& row, RowFields&& fields);
    void Changed(int index, int firstColumn, int lastColumn);

    std::vector<ResultRow> m_rows;
    // Rows the views know of; the rest were appended while frozen.
    int m_announced = 0;
    int m_nextRecId = 1;
    bool m_active = false;
    int m_freezeDepth = 0;
    // Cells of announced rows changed while frozen: rows and columns they span.
    int m_dirtyTop = -1, m_dirtyBottom = -1, m_dirtyLeft = -1, m_dirtyRight = -1;
};

}  // namespace quib::results
