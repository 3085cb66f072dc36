#pragma once
// The grid's sorting proxy. It orders rows by the same keys as MemData::kSortRole but reads the
// stored rows directly, so sorting a large table does not build a QVariant per comparison.
#include <QSortFilterProxyModel>

class MemData;

class ResultSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // `data` must outlive the proxy.
    explicit ResultSortProxy(MemData& data, QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const MemData& m_data;
};
