#pragma once
// Item delegate that paints cells without the focus rectangle.
#include <QStyledItemDelegate>

namespace quib::results {

class NoFocusDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace quib::results
