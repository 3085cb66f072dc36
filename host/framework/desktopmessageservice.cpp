#include "host/framework/desktopmessageservice.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace quib {

namespace {
const QString kTitle = QStringLiteral("提示");
}

void DesktopMessageService::Alert(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), kTitle, text);
}

void DesktopMessageService::Info(const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), kTitle, text);
}

bool DesktopMessageService::Question(const QString& text)
{
    return QMessageBox::question(QApplication::activeWindow(), kTitle, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

int DesktopMessageService::ShowModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace quib
