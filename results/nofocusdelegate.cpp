#include "results/nofocusdelegate.h"

namespace quib::results {

void NoFocusDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
}

}  // namespace quib::results
