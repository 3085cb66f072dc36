#include "shell/helppage.h"

#include <QAction>
#include <QLineEdit>

namespace quib::collector {

THelpPage::THelpPage(QWidget* owner, IApp* app)
    : TTabWebForm(owner, app, QString::fromLatin1(kHelpAddress), QString(), false)
{
    // The guide is one short set of static pages: there is nothing to stop or reload, and the
    // tab is not a place to browse elsewhere.
    StopItem->setEnabled(false);
    RefreshItem->setEnabled(false);
    HomeItem->setEnabled(false);
    AddressEdit->setEnabled(false);
}

}  // namespace quib::collector
