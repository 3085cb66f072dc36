#pragma once
// Which scripts a completed document gets: the video sites' search-result pages by host name and
// address, the CMS administration pages by the site's version and the document's address. Plain
// rules, free of the browser.
#include "admin/pagescripts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quib::admin {

// The public hosts of the six video sites' searches, compared whole and case-sensitively with
// a document's location host name.
namespace searchhosts {
inline constexpr const char* k56 = "so.56.com";
inline constexpr const char* kYouku = "so.youku.com";
inline constexpr const char* kTudou = "so.tudou.com";
inline constexpr const char* k6rooms = "6.cn";
inline constexpr const char* kOuou = "so.ouou.com";
inline constexpr const char* kSina = "so.video.sina.com.cn";
}  // namespace searchhosts

// None when hostname is none of the search hosts; otherwise the scripts to run for href, in
// order, possibly none (a matched host ends the handling either way).
std::optional<std::vector<PageScript>> VideoSearchScripts(std::string_view hostname, std::string_view href);

enum class CmsGroup { V31, V4x, V60 };
// "3.1"; "4.x" or "5.0"; "6.0"; none for any other version text.
std::optional<CmsGroup> CmsVersionGroup(std::string_view version);

enum class CmsPage { Menu, AddEdit };
// The menu page, the film add/edit page, or neither, by address.
std::optional<CmsPage> ClassifyCmsAddress(std::string_view address);
std::vector<PageScript> CmsScripts(CmsGroup group, CmsPage page);

// Navigation to these pages makes the tab forget its administration document.
bool IsCmsInjectedPage(std::string_view address);

}  // namespace quib::admin
