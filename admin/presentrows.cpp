#include "admin/presentrows.h"

#include "results/dataview.h"

#include <QHelpEvent>
#include <QToolTip>

namespace quib::admin {

using namespace quib::results;

PresentRowDelegate::PresentRowDelegate(DataView& view, std::vector<bool> present)
    : NoFocusDelegate(&view), m_view(view), m_present(std::move(present))
{
}

bool PresentRowDelegate::IsPresent(int storageRow) const
{
    return storageRow >= 0 && static_cast<std::size_t>(storageRow) < m_present.size() &&
           m_present[static_cast<std::size_t>(storageRow)];
}

void PresentRowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    NoFocusDelegate::initStyleOption(option, index);
    if (!IsPresent(m_view.StorageRow(index)))
        return;
    option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Disabled, QPalette::Text));
    option->font.setItalic(true);
}

bool PresentRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    if (event && event->type() == QEvent::ToolTip && IsPresent(m_view.StorageRow(index))) {
        QToolTip::showText(event->globalPos(), kTip, view);
        return true;
    }
    return NoFocusDelegate::helpEvent(event, view, option, index);
}

}  // namespace quib::admin
