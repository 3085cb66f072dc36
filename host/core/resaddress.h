#pragma once
// res://MODULE/[TYPE/]NAME names a resource compiled into a module (ResourcePath); the type is
// HTML when left out. Module, type and name match without regard to case, as resource names did.
#include <QString>
#include <QUrl>

#include <optional>

namespace quib {

struct ResResource {
    QString path;      // the Qt resource path
    QString mimeType;  // text/html for HTML resources
};

std::optional<ResResource> ResolveResAddress(const QUrl& address);

}  // namespace quib
