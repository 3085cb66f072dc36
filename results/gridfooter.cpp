#include "results/gridfooter.h"

#include "results/dataview.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

namespace quib::results {

GridFooter::GridFooter(DataView& view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const auto repaint = [this] { update(); };
    QAbstractItemModel* model = &m_view.Proxy();
    connect(model, &QAbstractItemModel::rowsInserted, this, repaint);
    connect(model, &QAbstractItemModel::rowsRemoved, this, repaint);
    connect(model, &QAbstractItemModel::modelReset, this, repaint);
    connect(model, &QAbstractItemModel::layoutChanged, this, repaint);
    QHeaderView* header = m_view.horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, repaint);
    connect(header, &QHeaderView::geometriesChanged, this, repaint);
    connect(m_view.horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
}

QString GridFooter::Text() const { return QString::number(m_view.Proxy().rowCount()); }

int GridFooter::ColumnOffset() const
{
    // The footer sits directly under the view, left edges aligned.
    return m_view.viewport()->geometry().x() + m_view.x() - x();
}

int GridFooter::ColumnAt(int x) const { return m_view.horizontalHeader()->logicalIndexAt(x - ColumnOffset()); }

QRect GridFooter::CellRect(int column) const
{
    const QHeaderView* header = m_view.horizontalHeader();
    if (header->isSectionHidden(column))
        return {};
    return QRect(ColumnOffset() + header->sectionViewportPosition(column), 0, header->sectionSize(column), height());
}

QSize GridFooter::sizeHint() const { return QSize(QWidget::sizeHint().width(), fontMetrics().height() + 8); }

void GridFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    const QRect cell = CellRect(ColId).adjusted(1, 2, -4, -1);
    if (cell.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, Text());
}

}  // namespace quib::results
