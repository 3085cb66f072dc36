#include "resultsortproxy.h"

#include "memdata.h"

ResultSortProxy::ResultSortProxy(MemData& data, QObject* parent)
    : QSortFilterProxyModel(parent), m_data(data)
{
    setSourceModel(&data);
    setSortRole(MemData::kSortRole);
    setDynamicSortFilter(true);
}

bool ResultSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
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
