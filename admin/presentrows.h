#pragma once
// Paints the rows of a result grid whose address the CMS list already holds: grey, with a tip
// saying so. A mark of the view only; the rows and what a copy makes of them stay as they are.
#include "results/nofocusdelegate.h"

#include <vector>

namespace quib::results {
class DataView;
}

namespace quib::admin {

class PresentRowDelegate : public results::NoFocusDelegate {
    Q_OBJECT
public:
    static inline const QString kTip = QStringLiteral("地址已在数据地址中");

    // present: by storage index, the rows to mark; the delegate is the view's child.
    PresentRowDelegate(results::DataView& view, std::vector<bool> present);

    bool IsPresent(int storageRow) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    results::DataView& m_view;
    std::vector<bool> m_present;
};

}  // namespace quib::admin
