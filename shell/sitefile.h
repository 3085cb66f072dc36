#pragma once
// The site list's XML document and its file, free of widgets: loading (regular files only, size
// capped, GBK files read as their declaration says or as earlier versions wrote them), the
// version rule, the depth-first search by address, and atomic saves that keep what they do not
// change and keep a file that could not be loaded instead of overwriting it.
#include "admin/sitedata.h"

#include <pugixml.hpp>

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quib::collector {

namespace sitefile {

// "data/" under the application directory, and the file names in it.
inline constexpr const char* kDataFolder = "data/";
inline constexpr const char* kFileName = "tool.quib.sites.xml";
inline constexpr const char* kOldFileName = "sites.xml";

// A site file larger than this is not a site list; it is refused rather than read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{8} * 1024 * 1024;

// "4." anywhere gives "4.x"; "5.0" and "6.0" stay; anything else is "3.1".
std::string NormaliseVersion(std::string_view version);

// True when text is empty once trimmed as the dialog trims: characters up to the space only, so
// a title of ideographic spaces (U+3000) is a title.
bool IsBlank(const QString& text);

// Gives the old file the current name unless a file of that name exists already. False when
// there was nothing to rename or the rename failed; neither matters to the caller.
bool CarryOverOldFile(const QString& oldPath, const QString& newPath);

}  // namespace sitefile

class SiteDocument {
public:
    SiteDocument();

    // Replaces the document by the file's content. Throws std::runtime_error (UTF-8 message) when
    // the file is not a regular file, is too large, cannot be read or is not well-formed XML; the
    // document is then unchanged. A failure marks the file as one the next save must keep aside.
    void LoadFromFile(const QString& path);
    // The document's text becomes "<sites/>".
    void SetEmpty();

    pugi::xml_node Root() const { return m_doc.document_element(); }

    // The records of the root's children, in document order: attributes "title" and "url" as
    // they are, "version" normalised, Default empty. Missing attributes read as empty.
    std::vector<admin::TSiteData> Sites() const;

    // Depth-first: the first node under start whose "url" equals url exactly.
    static pugi::xml_node FindSiteNode(pugi::xml_node start, std::string_view url);

    // Appends <site title url default="0" version/> to the root (the root is made if missing).
    pugi::xml_node AppendSite(const admin::TSiteData& site);
    // Sets "title", "url" and "version" of node; "default" keeps its value.
    static void UpdateSite(pugi::xml_node node, const admin::TSiteData& site);
    // Removes node and saves; when the save fails the document is as it was before.
    void RemoveSiteAndSave(pugi::xml_node node, const QString& path);

    // Writes the whole document, indented, as UTF-8, through a temporary file and a rename. When
    // the last load of this path failed, the file found there is first kept beside it under
    // KeptAsidePath's name. Throws std::runtime_error (UTF-8 message) on any failure, leaving the
    // file as it was.
    void SaveToFile(const QString& path);

    // Where a file that could not be loaded goes: "<path>.unreadable", numbered when taken.
    static QString KeptAsidePath(const QString& path);

private:
    pugi::xml_document m_doc;
    QString m_unloadable;  // the path whose last load failed
};

}  // namespace quib::collector
