#include "shell/sitefile.h"

#include "host/core/gbk.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace quib::collector {

using namespace quib::admin;

namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::runtime_error Failure(const QString& path, const char* what, int error = 0)
{
    std::string message = what + (": " + path.toStdString());
    if (error)
        message += std::string(" (") + std::strerror(error) + ")";
    return std::runtime_error(message);
}

bool ValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xe ? 2 : (c >> 3) == 0x1e ? 3 : -1;
        if (follow < 0 || i + follow >= text.size() + (follow == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += follow + 1;
    }
    return true;
}

// The encoding the XML declaration at the start of text names, in lower case; empty when there
// is no declaration or it names none.
std::string DeclaredEncoding(std::string_view text)
{
    if (text.substr(0, 5) != "<?xml")
        return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    at = declaration.find_first_of("\"'", at);
    if (at == std::string_view::npos)
        return {};
    const std::size_t end = declaration.find(declaration[at], at + 1);
    if (end == std::string_view::npos)
        return {};
    std::string name(declaration.substr(at + 1, end - at - 1));
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// The file as UTF-8. A file that says it is GBK is read as GBK even where its bytes happen to be
// valid UTF-8 (伟业影院 is); one that says nothing is GBK only when it cannot be UTF-8, as the
// files earlier versions wrote in the system's code page.
std::string FileTextAsUtf8(std::string bytes)
{
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, kBom.size()) == kBom)
        return bytes;
    const std::string encoding = DeclaredEncoding(bytes);
    const bool gbkDeclared = encoding == "gb2312" || encoding == "gbk" || encoding == "gb18030" ||
                             encoding == "cp936" || encoding == "x-gbk" || encoding == "windows-936";
    return gbkDeclared || !ValidUtf8(bytes) ? gbk::ToUtf8(bytes) : bytes;
}

// Reads a regular file of at most kMaxFileBytes. Opening does not wait on a FIFO and the size
// is checked on the opened file, so a pipe or a device never hangs or floods the reader.
std::string ReadRegularFile(const QString& path)
{
    const int fd = ::open(Native(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(path, "cannot open the site file", errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw Failure(path, "cannot examine the site file", errno);
    if (!S_ISREG(info.st_mode))
        throw Failure(path, "the site file is not a regular file");
    if (static_cast<std::size_t>(info.st_size) > sitefile::kMaxFileBytes)
        throw Failure(path, "the site file is too large");
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw Failure(path, "cannot read the site file", errno);
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > sitefile::kMaxFileBytes)  // it grew while being read
            throw Failure(path, "the site file is too large");
    }
    return bytes;
}

bool Exists(const std::string& native)
{
    struct stat info {};
    return ::lstat(native.c_str(), &info) == 0;
}

void WriteAll(int fd, const std::string& bytes, const QString& path)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            throw Failure(path, "cannot write the site file", errno);
        }
        done += static_cast<std::size_t>(wrote);
    }
}

std::string Attribute(pugi::xml_node node, const char* name) { return gbk::FromUtf8(node.attribute(name).value()); }

}  // namespace

namespace sitefile {

std::string NormaliseVersion(std::string_view version)
{
    if (version.find("4.") != std::string_view::npos)
        return "4.x";
    if (version == "5.0" || version == "6.0")
        return std::string(version);
    return "3.1";
}

bool IsBlank(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= u' '; });
}

bool CarryOverOldFile(const QString& oldPath, const QString& newPath)
{
    const std::string from = Native(oldPath);
    const std::string to = Native(newPath);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)  // a file system without the flag falls back below
        return false;
    return !Exists(to) && Exists(from) && ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace sitefile

SiteDocument::SiteDocument() { SetEmpty(); }

void SiteDocument::LoadFromFile(const QString& path)
{
    try {
        const std::string bytes = FileTextAsUtf8(ReadRegularFile(path));
        pugi::xml_document loaded;
        // Comments, processing instructions and the document type are the operator's: a save
        // writes them back.
        const pugi::xml_parse_result result = loaded.load_buffer(
            bytes.data(), bytes.size(),
            pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype,
            pugi::encoding_utf8);
        if (!result)
            throw Failure(path, (std::string("the site file is not well-formed XML: ") + result.description()).c_str());
        if (!loaded.document_element())
            throw Failure(path, "the site file has no root element");
        m_doc.reset(loaded);
        m_unloadable.clear();
    } catch (...) {
        m_unloadable = path;
        throw;
    }
}

void SiteDocument::SetEmpty()
{
    m_doc.reset();
    m_doc.append_child("sites");
}

std::vector<TSiteData> SiteDocument::Sites() const
{
    std::vector<TSiteData> sites;
    for (pugi::xml_node node : Root().children()) {
        if (node.type() != pugi::node_element)
            continue;
        sites.push_back({Attribute(node, "title"), Attribute(node, "url"), std::string(),
                         sitefile::NormaliseVersion(node.attribute("version").value())});
    }
    return sites;
}

pugi::xml_node SiteDocument::FindSiteNode(pugi::xml_node start, std::string_view url)
{
    const std::string wanted = gbk::ToUtf8(url);
    for (pugi::xml_node child : start.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (child.attribute("url").value() == wanted)
            return child;
        if (child.first_child())
            if (pugi::xml_node hit = FindSiteNode(child, url))
                return hit;
    }
    return {};
}

pugi::xml_node SiteDocument::AppendSite(const TSiteData& site)
{
    pugi::xml_node root = Root();
    if (!root)
        root = m_doc.append_child("sites");
    pugi::xml_node node = root.append_child("site");
    node.append_attribute("title") = gbk::ToUtf8(site.Title).c_str();
    node.append_attribute("url") = gbk::ToUtf8(site.Url).c_str();
    node.append_attribute("default") = "0";
    node.append_attribute("version") = gbk::ToUtf8(site.Version).c_str();
    return node;
}

void SiteDocument::UpdateSite(pugi::xml_node node, const TSiteData& site)
{
    const auto set = [&node](const char* name, const std::string& value) {
        pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute)
            attribute = node.append_attribute(name);
        attribute = gbk::ToUtf8(value).c_str();
    };
    set("title", site.Title);
    set("url", site.Url);
    set("version", site.Version);
}

void SiteDocument::RemoveSiteAndSave(pugi::xml_node node, const QString& path)
{
    pugi::xml_document before;
    before.reset(m_doc);
    node.parent().remove_child(node);
    try {
        SaveToFile(path);
    } catch (...) {
        m_doc.reset(before);
        throw;
    }
}

QString SiteDocument::KeptAsidePath(const QString& path)
{
    const QString base = path + QStringLiteral(".unreadable");
    QString candidate = base;
    for (int n = 1; Exists(Native(candidate)); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n);
    return candidate;
}

void SiteDocument::SaveToFile(const QString& path)
{
    pugi::xml_node declaration = m_doc.first_child();
    if (declaration.type() != pugi::node_declaration) {
        declaration = m_doc.prepend_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
    }
    // What is written is UTF-8, whatever the file it came from said.
    if (!declaration.attribute("encoding"))
        declaration.append_attribute("encoding");
    declaration.attribute("encoding") = "UTF-8";

    std::ostringstream text;
    m_doc.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string bytes = text.str();

    std::string temporary = Native(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw Failure(path, "cannot create a temporary file beside the site file", errno);
    try {
        WriteAll(fd, bytes, path);
        if (::fsync(fd) != 0)
            throw Failure(path, "cannot write the site file", errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw Failure(path, "cannot write the site file", error);
    }
    const std::string target = Native(path);
    if (m_unloadable == path && Exists(target)) {
        // A hard link keeps the file that could not be read (or the link, pipe or device found
        // there) without reading it; the rename below then replaces only the name.
        const std::string aside = Native(KeptAsidePath(path));
        if (::link(target.c_str(), aside.c_str()) != 0 && ::rename(target.c_str(), aside.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            throw Failure(path, "cannot keep the unreadable site file aside", error);
        }
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw Failure(path, "cannot replace the site file", error);
    }
    m_unloadable.clear();
}

}  // namespace quib::collector
