#include "results/memdata.h"

#include "host/core/gbk.h"

#include <QByteArray>

#include <algorithm>

namespace quib::results {

namespace {

std::string Cut(std::string_view value, std::size_t size) { return std::string(gbk::CutToBytes(value, size)); }

// A field that fits is taken as it is; a longer one is cut to its column's size.
void Take(std::string& cell, std::optional<std::string>& value, std::size_t size)
{
    if (!value)
        return;
    if (value->size() <= size)
        cell = std::move(*value);
    else
        cell = Cut(*value, size);
}

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

const std::string* TextOf(const ResultRow& row, int column)
{
    switch (column) {
    case ColCaption: return &row.Caption;
    case ColUrl: return &row.Url;
    case ColDate: return &row.Date;
    case ColLink: return &row.Link;
    default: return nullptr;
    }
}

}  // namespace

MemData::MemData(QObject* parent) : QAbstractTableModel(parent) {}

void MemData::Open() { m_active = true; }

void MemData::Close()
{
    beginResetModel();
    m_rows.clear();
    m_announced = 0;
    // Numbering restarts with every emptied table: the numbers are what the user sees as 序号.
    m_nextRecId = 1;
    m_dirtyTop = m_dirtyBottom = m_dirtyLeft = m_dirtyRight = -1;
    m_active = false;
    endResetModel();
}

int MemData::Append(RowFields fields)
{
    if (!m_active)
        return -1;
    const int index = Count();
    ResultRow row;
    row.RecId = m_nextRecId++;
    Assign(row, std::move(fields));
    if (Frozen()) {
        m_rows.push_back(std::move(row));
        return index;
    }
    beginInsertRows({}, index, index);
    m_rows.push_back(std::move(row));
    m_announced = Count();
    endInsertRows();
    return index;
}

void MemData::Update(int index, const RowFields& fields)
{
    if (!m_active || index < 0 || index >= Count())
        return;
    Assign(m_rows[static_cast<std::size_t>(index)], fields);
    Changed(index, ColStatus, ColLink);
}

void MemData::SetStatus(int index, bool checked)
{
    if (!m_active || index < 0 || index >= Count())
        return;
    m_rows[static_cast<std::size_t>(index)].Status = checked;
    Changed(index, ColStatus, ColStatus);
}

int MemData::IndexOfRecId(int recId) const
{
    // RecIds grow with the storage index, so the rows are sorted by them.
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), recId,
                                     [](const ResultRow& row, int id) { return row.RecId < id; });
    if (it == m_rows.end() || it->RecId != recId)
        return -1;
    return static_cast<int>(it - m_rows.begin());
}

void MemData::Freeze() { ++m_freezeDepth; }

void MemData::Thaw()
{
    if (m_freezeDepth == 0 || --m_freezeDepth > 0)
        return;
    if (m_dirtyTop >= 0) {
        const QModelIndex topLeft = index(m_dirtyTop, m_dirtyLeft);
        const QModelIndex bottomRight = index(m_dirtyBottom, m_dirtyRight);
        m_dirtyTop = m_dirtyBottom = m_dirtyLeft = m_dirtyRight = -1;
        emit dataChanged(topLeft, bottomRight);
    }
    if (m_announced < Count()) {
        beginInsertRows({}, m_announced, Count() - 1);
        m_announced = Count();
        endInsertRows();
    }
}

void MemData::Assign(ResultRow& row, const RowFields& fields)
{
    if (fields.Caption)
        row.Caption = Cut(*fields.Caption, kCaptionSize);
    if (fields.Url)
        row.Url = Cut(*fields.Url, kUrlSize);
    if (fields.Date)
        row.Date = Cut(*fields.Date, kDateSize);
    if (fields.Link)
        row.Link = Cut(*fields.Link, kLinkSize);
    if (fields.Status)
        row.Status = *fields.Status;
}

void MemData::Assign(ResultRow& row, RowFields&& fields)
{
    Take(row.Caption, fields.Caption, kCaptionSize);
    Take(row.Url, fields.Url, kUrlSize);
    Take(row.Date, fields.Date, kDateSize);
    Take(row.Link, fields.Link, kLinkSize);
    if (fields.Status)
        row.Status = *fields.Status;
}

void MemData::Changed(int index, int firstColumn, int lastColumn)
{
    if (index >= m_announced)
        return;  // the views learn of this row, as it is now, when it is announced
    if (!Frozen()) {
        emit dataChanged(this->index(index, firstColumn), this->index(index, lastColumn));
        return;
    }
    if (m_dirtyTop < 0) {
        m_dirtyTop = m_dirtyBottom = index;
        m_dirtyLeft = firstColumn;
        m_dirtyRight = lastColumn;
        return;
    }
    m_dirtyTop = std::min(m_dirtyTop, index);
    m_dirtyBottom = std::max(m_dirtyBottom, index);
    m_dirtyLeft = std::min(m_dirtyLeft, firstColumn);
    m_dirtyRight = std::max(m_dirtyRight, lastColumn);
}

int MemData::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_announced; }

int MemData::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kResultColumnCount; }

QVariant MemData::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_announced)
        return {};
    const ResultRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == ColId)
            return row.RecId;
        if (const std::string* text = TextOf(row, column))
            return gbk::ToUnicode(*text);
        return {};
    case Qt::CheckStateRole:
        if (column == ColStatus)
            return row.Status ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (column == ColId)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case kSortRole:
        if (column == ColStatus)
            return row.Status ? 1 : 0;
        if (column == ColId)
            return row.RecId;
        // GBK byte order puts the common characters in pinyin order, as the Chinese locale sorts.
        if (const std::string* text = TextOf(row, column))
            return Bytes(*text);
        return {};
    default: return {};
    }
}

QVariant MemData::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColId: return QStringLiteral("序号");
    case ColCaption: return QStringLiteral("标题");
    case ColUrl: return QStringLiteral("地址");
    case ColDate: return QStringLiteral("时间");
    default: return QString();
    }
}

Qt::ItemFlags MemData::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (index.column()) {
    // The check mark is changed through its check box; an editor would only offer "true"/"false".
    case ColStatus: return base | Qt::ItemIsUserCheckable;
    case ColCaption:
    case ColUrl: return base | Qt::ItemIsEditable;
    default: return base;
    }
}

bool MemData::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_active || !index.isValid() || index.row() >= m_announced)
        return false;
    const int row = index.row();
    if (index.column() == ColStatus && role == Qt::CheckStateRole) {
        SetStatus(row, value.toInt() == Qt::Checked);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    RowFields fields;
    if (index.column() == ColCaption)
        fields.Caption = gbk::FromUnicode(value.toString());
    else if (index.column() == ColUrl)
        fields.Url = gbk::FromUnicode(value.toString());
    else
        return false;
    Assign(m_rows[static_cast<std::size_t>(row)], fields);
    Changed(row, index.column(), index.column());
    return true;
}

}  // namespace quib::results
