// The library's entry: builds the main window for the host and hands back its module interface.
// Nothing thrown while doing so leaves the library; the host gets a ModuleException instead.
#include "host/framework/gbk.h"
#include "shell/mainform.h"
#include "host/framework/module.h"

#include <stdexcept>

extern "C" Q_DECL_EXPORT IModule* LoadModule(IApp* app, ModuleException** error)
{
    TMainForm* form = nullptr;
    try {
        if (!app)
            throw std::invalid_argument("no host application");
        form = new TMainForm(app->GetMainForm());
        form->App = app;
        form->Properties = app->GetProperties();
        if (!form->Properties)  // a host without settings for us: start from an empty table
            form->Properties = std::make_unique<TStringHashTable>();
        form->ModuleName = gbk::FromUnicode(app->GetModuleName());
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
