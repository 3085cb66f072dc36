#pragma once
// Loads a module library by its module name from the modules folder (<folder>/<Name>.so), finds
// its LoadModule entry by that exact name and calls it with the IApp the host made for it. A
// loaded library stays loaded for the rest of the process: its forms, meta-objects and resources
// may be in use until the very end.
#include <QString>

class QWidget;

namespace quib {
class IApp;
class IModule;
}  // namespace quib

namespace quib::host {

struct ModuleLoad {
    IModule* module = nullptr;      // null when the module did not load
    QString error;                  // why not, for a person to read
    QWidget* failedForm = nullptr;  // the form a failed LoadModule had created already, if any
};

class ModuleLoader {
public:
    explicit ModuleLoader(QString folder);

    QString LibraryPath(const QString& moduleName) const;
    // Never throws: every failure comes back as ModuleLoad::error.
    ModuleLoad Load(const QString& moduleName, IApp& app) const;

private:
    QString m_folder;
};

// The modules folder the host uses when none is given: beside the installed host
// (<prefix>/lib/quib/modules), else the build tree's.
QString DefaultModulesFolder();

}  // namespace quib::host
