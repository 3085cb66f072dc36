#include "host/app/moduleloader.h"

#include "host/app/elfcheck.h"
#include "host/framework/module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <exception>
#include <memory>

namespace quib::host {

ModuleLoader::ModuleLoader(QString folder) : m_folder(std::move(folder)) {}

QString ModuleLoader::LibraryPath(const QString& moduleName) const
{
    return QDir(m_folder).filePath(moduleName + QStringLiteral(".so"));
}

ModuleLoad ModuleLoader::Load(const QString& moduleName, IApp& app) const
{
    ModuleLoad result;
    const QString path = LibraryPath(moduleName);
    if (!QFileInfo(path).isFile()) {
        result.error = QStringLiteral("找不到模块 %1 的文件：%2").arg(moduleName, QDir::toNativeSeparators(path));
        return result;
    }
    // A file cut short would crash the loader: it is refused before it is mapped.
    if (const QString problem = ElfFileProblem(path); !problem.isEmpty()) {
        result.error =
            QStringLiteral("无法加载模块 %1：%2（%3）").arg(moduleName, problem, QDir::toNativeSeparators(path));
        return result;
    }
    // Never unloaded (see the header), so the QLibrary object itself may go.
    QLibrary library(path);
    if (!library.load()) {
        result.error = QStringLiteral("无法加载模块 %1：%2").arg(moduleName, library.errorString());
        return result;
    }
    const auto entry = reinterpret_cast<LoadModuleFunction>(library.resolve("LoadModule"));
    if (!entry) {
        result.error = QStringLiteral("模块 %1 没有导出 LoadModule。").arg(moduleName);
        return result;
    }
    ModuleException* error = nullptr;
    try {
        result.module = entry(&app, &error);
    } catch (const std::exception& e) {
        // A module must not let an exception out; if one does, the host still goes on.
        result.module = nullptr;
        result.error = QStringLiteral("模块 %1 在加载时抛出了异常：%2").arg(moduleName, QString::fromUtf8(e.what()));
    } catch (...) {
        result.module = nullptr;
        result.error = QStringLiteral("模块 %1 在加载时抛出了异常。").arg(moduleName);
    }
    const std::unique_ptr<ModuleException> owned(error);
    if (result.module)
        return result;
    if (owned) {
        result.error = owned->Message();
        result.failedForm = owned->Form();
    } else if (result.error.isEmpty()) {
        result.error = QStringLiteral("模块 %1 没有返回接口。").arg(moduleName);
    }
    return result;
}

QString DefaultModulesFolder()
{
    // An installed host has the framework package in <prefix>/lib/quib, the modules beneath it.
    const QDir bin(QCoreApplication::applicationDirPath());
    if (QFileInfo(bin.absoluteFilePath(QStringLiteral("../" QUIB_INSTALL_LIBDIR))).isDir())
        return QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../" QUIB_INSTALL_MODULEDIR)));
    return QStringLiteral(QUIB_BUILD_MODULES_DIR);
}

}  // namespace quib::host
