#include "resultgrid.h"

#include "dataview.h"
#include "gridfooter.h"
#include "memdata.h"

#include <QVBoxLayout>

ResultGrid::ResultGrid(QWidget* parent)
    : QWidget(parent),
      m_data(new MemData(this)),
      m_view(new DataView(*m_data, this)),
      m_footer(new GridFooter(*m_view, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);
}

ResultGrid::~ResultGrid()
{
    // Qt deletes children in creation order, which would free the data before the widgets
    // that show it; take the widgets down first.
    delete m_footer;
    delete m_view;
}

QString ResultGrid::FooterText() const
{
    return m_footer->Text();
}
