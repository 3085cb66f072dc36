#pragma once
// Loads the collector module the way the host does: the library by its file, LoadModule by name.
#include "module.h"

#include <QLibrary>
#include <QString>

class ModuleLibrary {
public:
    explicit ModuleLibrary(const QString& file) : library_(file)
    {
        library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        entry_ = reinterpret_cast<LoadModuleFunction>(library_.resolve("LoadModule"));
    }
    ~ModuleLibrary() = default;  // stays loaded: its forms may outlive this object in Qt's clean-up

    LoadModuleFunction Entry() const { return entry_; }
    QString Error() const { return library_.errorString(); }

private:
    QLibrary library_;
    LoadModuleFunction entry_ = nullptr;
};
