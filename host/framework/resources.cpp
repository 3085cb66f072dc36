#include "host/framework/resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace quib {

QString ResourcePath(const QString& moduleFile, const QString& type, const QString& name)
{
    return QStringLiteral(":/modules/%1/%2/%3").arg(moduleFile, type.toUpper(), name.toUpper());
}

void GetResFile(const QString& moduleFile, const QString& type, const QString& name, const QString& targetFile)
{
    QFile resource(ResourcePath(moduleFile, type, name));
    if (!resource.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("%1 has no resource %2 of type %3").arg(moduleFile, name, type).toStdString());
    QDir().mkpath(QFileInfo(targetFile).absolutePath());
    QSaveFile target(targetFile);
    if (!target.open(QIODevice::WriteOnly) || target.write(resource.readAll()) < 0 || !target.commit())
        throw std::runtime_error(
            QStringLiteral("cannot write %1: %2").arg(targetFile, target.errorString()).toStdString());
}

}  // namespace quib
