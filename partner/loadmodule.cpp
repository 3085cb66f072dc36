// The entry the host calls: builds the partner's page, or reports through error why it could not.
// Nothing thrown inside ever reaches the host.
#include "partner/mainform.h"

#include "host/core/app.h"

#include <QAction>
#include <QtGlobal>

#include <stdexcept>

namespace quib::partner {

// The one symbol the library exports; everything else binds inside it.
extern "C" Q_DECL_EXPORT IModule* LoadModule(IApp* app, ModuleException** error)
{
    using quib::partner::TMainForm;
    TMainForm* form = nullptr;
    try {
        if (!app)
            throw std::invalid_argument("no host application");
        form = new TMainForm(app->GetMainForm(), app);
        // A reload or a stop in the middle of a posted form (a transfer, a repayment) would send it
        // twice or leave it half done.
        form->StopItem->setEnabled(false);
        form->RefreshItem->setEnabled(false);
        return form;
    } catch (...) {
        // The form, once created, belongs to its owner and stays; the host decides about it.
        try {
            if (error)
                *error = new ModuleException(form, QStringLiteral("栏目初始化失败！"));
        } catch (...) {
        }
        return nullptr;
    }
}

}  // namespace quib::partner
