#pragma once
// Module resources ("ABOUT", "SITES", the icon) are Qt resources compiled into each module under
// ":/modules/<module file>/<type>/<name>"; the host reaches them by module file name.
#include <QString>

namespace quib {

QString ResourcePath(const QString& moduleFile, const QString& type, const QString& name);

// Writes the named resource of the module file to targetFile (folders are created). Throws
// std::runtime_error naming the resource or the file when that fails.
void GetResFile(const QString& moduleFile, const QString& type, const QString& name, const QString& targetFile);

}  // namespace quib
