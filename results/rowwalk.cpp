#include "results/rowwalk.h"

#include <QCoreApplication>

namespace quib::results {

WalkEnd WalkRows(MemData& data, const std::vector<int>& rows, const std::function<void(int)>& visit)
{
    const QPointer<MemData> alive(&data);
    bool emptied = false;
    const QMetaObject::Connection reset =
        QObject::connect(&data, &QAbstractItemModel::modelAboutToBeReset, [&emptied] { emptied = true; });
    WalkEnd end = WalkEnd::Done;
    for (int row : rows) {
        if (row >= 0 && row < data.Count())
            visit(row);
        QCoreApplication::processEvents();
        if (!alive)
            return WalkEnd::TableGone;  // the connection went with the table
        if (emptied) {
            end = WalkEnd::TableEmptied;
            break;
        }
    }
    QObject::disconnect(reset);
    return end;
}

}  // namespace quib::results
