#include "tools/quibcollect/climessages.h"

#include "collect/choose.h"

#include <QDialog>

#include <cstdio>

void CliMessages::Print(const QString& text)
{
    if (m_liveLine)
        m_liveLine->Clear();
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void CliMessages::Alert(const QString& text)
{
    m_failed = true;
    Print(text);
}

void CliMessages::Info(const QString& text) { Print(text); }

bool CliMessages::Question(const QString& text)
{
    // Nobody can answer: the careful answer.
    Print(text);
    return false;
}

int CliMessages::ShowModal(QDialog& dialog)
{
    auto* chooser = qobject_cast<TChooseForm*>(&dialog);
    if (!chooser) {
        Print(QStringLiteral("quib-collect: cannot answer the dialog \"%1\"").arg(dialog.windowTitle()));
        m_failed = true;
        return QDialog::Rejected;
    }
    m_chooserLines = chooser->Lines();
    if (m_listOnly)
        return QDialog::Rejected;
    if (m_album > 0 && !chooser->Choose(m_album - 1)) {
        Print(QStringLiteral("quib-collect: there is no album %1; the movie has %2")
                  .arg(m_album)
                  .arg(m_chooserLines->size()));
        m_failed = true;
        return QDialog::Rejected;
    }
    return QDialog::Accepted;
}
