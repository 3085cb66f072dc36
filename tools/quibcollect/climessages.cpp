#include "climessages.h"

#include "choose.h"

#include <QDialog>

#include <cstdio>

void CliMessages::Print(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void CliMessages::Alert(const QString& text)
{
    failed_ = true;
    Print(text);
}

void CliMessages::Info(const QString& text) { Print(text); }

int CliMessages::Question(const QString& text)
{
    // Nobody can answer: the careful answer.
    Print(text);
    return IDNO;
}

int CliMessages::ShowModal(QDialog& dialog)
{
    auto* chooser = qobject_cast<TChooseForm*>(&dialog);
    if (!chooser) {
        Print(QStringLiteral("quib-collect: cannot answer the dialog \"%1\"").arg(dialog.windowTitle()));
        failed_ = true;
        return QDialog::Rejected;
    }
    chooserLines_ = chooser->Lines();
    if (listOnly_)
        return QDialog::Rejected;
    if (album_ > 0 && !chooser->Choose(album_ - 1)) {
        Print(QStringLiteral("quib-collect: there is no album %1; the movie has %2").arg(album_).arg(chooserLines_->size()));
        failed_ = true;
        return QDialog::Rejected;
    }
    return QDialog::Accepted;
}
