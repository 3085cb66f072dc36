#include "results/dialogsetup.h"

#include "host/core/app.h"
#include "host/framework/skin.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace quib::results {

void PrepareToolDialog(QDialog& dialog, IApp* app)
{
    dialog.setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ApplySkin(dialog, app ? app->GetSkinName() : QStringLiteral("Sys"));
}

void CenterOver(QDialog& dialog, const QWidget* over)
{
    dialog.adjustSize();
    QRect area;
    if (over && over->isVisible())
        area = QRect(over->mapToGlobal(QPoint(0, 0)), over->size());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        dialog.move(area.center() - dialog.rect().center());
}

}  // namespace quib::results
