#include "results/resultgrid.h"

#include "results/dataview.h"
#include "results/gridfooter.h"
#include "results/memdata.h"

#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

namespace quib::results {

ResultGrid::ResultGrid(QWidget* parent)
    : QWidget(parent), m_data(new MemData(this)), m_view(new DataView(*m_data, this)),
      m_footer(new GridFooter(*m_view, this)), m_statusLine(new QLabel(this))
{
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));
    m_statusLine->setContentsMargins(2, 3, 2, 1);
    // A long line (a broken-off list with its gaps, and a note) wraps rather than widen the window.
    m_statusLine->setWordWrap(true);
    m_statusLine->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);
    layout->addWidget(m_statusLine);
}

ResultGrid::~ResultGrid()
{
    // Qt deletes children in creation order, which would free the data before the widgets
    // that show it; take the widgets down first.
    delete m_footer;
    delete m_view;
}

QString ResultGrid::FooterText() const { return m_footer->Text(); }

void ResultGrid::SetStatusLine(const QString& line)
{
    m_line = line;
    ShowStatus();
}

QString ResultGrid::StatusLine() const { return m_line; }

void ResultGrid::SetNote(const QString& note)
{
    m_note = note;
    ShowStatus();
}

QString ResultGrid::Note() const { return m_note; }

void ResultGrid::ShowStatus()
{
    QStringList parts;
    for (const QString* part : {&m_line, &m_note})
        if (!part->isEmpty())
            parts << *part;
    m_statusLine->setText(parts.join(QStringLiteral("　　")));
    m_statusLine->setVisible(!parts.isEmpty());
}

}  // namespace quib::results
