#include "host/core/resaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace quib {

namespace {

// The entry of folder whose name equals name without regard to case.
std::optional<QString> FindEntry(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return std::nullopt;
}

}  // namespace

std::optional<ResResource> ResolveResAddress(const QUrl& address)
{
    if (address.scheme().compare(QLatin1String("res"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QStringList parts = address.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    const QString type = parts.size() == 2 ? parts[0] : QStringLiteral("HTML");
    // Where ResourcePath puts every module's resources.
    const QString modules = QStringLiteral(":/modules");
    const auto module = FindEntry(modules, address.host(QUrl::FullyDecoded));
    if (!module)
        return std::nullopt;
    const auto typeEntry = FindEntry(modules + QLatin1Char('/') + *module, type);
    if (!typeEntry)
        return std::nullopt;
    const QString typeFolder = modules + QLatin1Char('/') + *module + QLatin1Char('/') + *typeEntry;
    const auto name = FindEntry(typeFolder, parts.back());
    if (!name)
        return std::nullopt;
    const QString path = typeFolder + QLatin1Char('/') + *name;
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const bool html = typeEntry->compare(QLatin1String("HTML"), Qt::CaseInsensitive) == 0;
    return ResResource{path, html ? QStringLiteral("text/html") : QStringLiteral("application/octet-stream")};
}

}  // namespace quib
