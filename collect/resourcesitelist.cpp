#include "collect/resourcesitelist.h"

#include "host/core/safefile.h"

#include <QFile>
#include <QUrl>

#include <pugixml.hpp>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quib::collect {

namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool Exists(const QString& path)
{
    struct stat info {};
    return ::lstat(Native(path).c_str(), &info) == 0;
}

QString Text(const pugi::xml_node& node, const char* name) { return QString::fromUtf8(node.attribute(name).value()); }

QString KeptAsidePath(const QString& path)
{
    const QString base = path + QStringLiteral(".unreadable");
    QString candidate = base;
    for (int n = 1; Exists(candidate); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n);
    return candidate;
}

}  // namespace

int ResourceSiteList::Find(const QString& base) const
{
    for (std::size_t i = 0; i < sites.size(); ++i)
        if (sites[i].base == base)
            return static_cast<int>(i);
    return -1;
}

namespace resourcesites {

QString FilePath(const QString& appPath) { return appPath + QStringLiteral("data/tool.quib.apisites.xml"); }

ResourceSiteList Load(const QString& path)
{
    ResourceSiteList list;
    const std::optional<std::string> bytes = safefile::ReadRegularFile(path, kMaxFileBytes);
    if (!bytes)
        return list;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        throw std::runtime_error("the resource-site list is not well-formed XML: " + path.toStdString() + ": " +
                                 parsed.description());
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "apisites") != 0)
        throw std::runtime_error("not a resource-site list: " + path.toStdString());
    for (const pugi::xml_node& node : root.children("site")) {
        ResourceSite site{Text(node, "name").trimmed(), Text(node, "url").trimmed()};
        // An entry without an address cannot be searched, and a second one of the same address
        // would only be searched twice.
        if (!site.base.isEmpty() && list.Find(site.base) < 0)
            list.sites.push_back(std::move(site));
    }
    for (const pugi::xml_node& node : root.children("choice")) {
        const QString base = Text(node, "url");
        if (!base.isEmpty())
            list.lastSources[base] = Text(node, "source");
    }
    return list;
}

void Save(const QString& path, const ResourceSiteList& list)
{
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("apisites");
    for (const ResourceSite& site : list.sites) {
        pugi::xml_node node = root.append_child("site");
        node.append_attribute("name") = site.name.toUtf8().constData();
        node.append_attribute("url") = site.base.toUtf8().constData();
    }
    for (const auto& [base, source] : list.lastSources) {
        pugi::xml_node node = root.append_child("choice");
        node.append_attribute("url") = base.toUtf8().constData();
        node.append_attribute("source") = source.toUtf8().constData();
    }
    std::ostringstream text;
    doc.save(text, "  ", pugi::format_default, pugi::encoding_utf8);

    bool readable = true;
    try {
        Load(path);
    } catch (const std::exception&) {
        readable = false;
    }
    if (!readable && Exists(path)) {
        // A hard link keeps what is there (a broken file, or a link, pipe or device) without
        // reading it; the replace below then takes only the name.
        const std::string target = Native(path);
        const std::string aside = Native(KeptAsidePath(path));
        if (::link(target.c_str(), aside.c_str()) != 0 && ::rename(target.c_str(), aside.c_str()) != 0)
            throw std::runtime_error("cannot keep the unreadable resource-site list aside: " + path.toStdString() +
                                     " (" + std::strerror(errno) + ")");
        // A folder or a device cannot be replaced by a rename over it: it has been moved aside.
        struct stat info {};
        if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            throw std::runtime_error("the resource-site list is a folder: " + path.toStdString());
    }
    safefile::ReplaceFile(path, text.str());
}

QString LastSource(const QString& path, const QString& base)
{
    try {
        const ResourceSiteList list = Load(path);
        const auto found = list.lastSources.find(base);
        return found == list.lastSources.end() ? QString() : found->second;
    } catch (const std::exception&) {
        return {};
    }
}

void RememberSource(const QString& path, const QString& base, const QString& source)
{
    ResourceSiteList list = Load(path);
    QString& last = list.lastSources[base];
    if (last == source)
        return;
    last = source;
    Save(path, list);
}

QString AddressProblem(const QString& base)
{
    const QUrl url(base.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return QStringLiteral("资源站地址须以 http:// 或 https:// 开头！");
    if (url.host().isEmpty())
        return QStringLiteral("资源站地址中没有主机名！");
    return {};
}

}  // namespace resourcesites

}  // namespace quib::collect
