// The library's entry: builds the main window for the host and hands back its module interface.
// Nothing thrown while doing so leaves the library; the host gets a ModuleException instead.
#include "shell/mainform.h"
#include "host/framework/module.h"

#include <stdexcept>

namespace quib::collector {

using namespace quib::admin;
using namespace quib::results;

// The one symbol the library exports; everything else binds inside it.
extern "C" Q_DECL_EXPORT IModule* LoadModule(IApp* app, ModuleException** error)
{
    using quib::collector::TMainForm;
    TMainForm* form = nullptr;
    try {
        if (!app)
            throw std::invalid_argument("no host application");
        form = new TMainForm(app->GetMainForm(), *app);
        form->LoadProperties();
        return form;
    } catch (...) {
        // The window, if made, stays with its owner; the host decides what to show. A window
        // that never started writes no settings back.
        if (form)
            form->Properties.reset();
        try {
            if (error)
                *error = new ModuleException(form, QStringLiteral("栏目初始化失败！"));
        } catch (...) {
        }
        return nullptr;
    }
}

}  // namespace quib::collector
