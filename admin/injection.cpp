#include "admin/injection.h"

namespace quib::admin {

namespace {

struct AddressTest {
    std::string_view contains;  // empty: the host alone decides
    std::vector<PageScript> scripts;
};

struct SearchSite {
    std::string_view host;
    std::vector<AddressTest> tests;
};

const std::vector<SearchSite>& SearchSites()
{
    using enum PageScript;
    static const std::vector<SearchSite> sites = {
        {searchhosts::k56, {{"", {V1}}}},
        {searchhosts::kYouku, {{"/search_playlist", {V2}}, {"/search_video", {V3, V4}}}},
        {searchhosts::kTudou, {{"/psearch", {V5}}, {"/isearch", {V6}}}},
        {searchhosts::k6rooms, {{"t=p", {V7}}, {"t=v", {V8}}}},
        {searchhosts::kOuou, {{"", {V9}}}},
        {searchhosts::kSina, {{"", {V10}}}},
    };
    return sites;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

constexpr std::string_view kMenuPage = "admin_index.asp?action=admin_left";
constexpr std::string_view kAddPage = "admin_add.asp";
constexpr std::string_view kEditPage = "admin_p.asp?action=edit";

}  // namespace

std::optional<std::vector<PageScript>> VideoSearchScripts(std::string_view hostname, std::string_view href)
{
    for (const SearchSite& site : SearchSites()) {
        if (hostname != site.host)
            continue;
        for (const AddressTest& test : site.tests)
            if (test.contains.empty() || Contains(href, test.contains))
                return test.scripts;
        return std::vector<PageScript>{};
    }
    return std::nullopt;
}

std::optional<CmsGroup> CmsVersionGroup(std::string_view version)
{
    if (version == "3.1")
        return CmsGroup::V31;
    if (version == "4.x" || version == "5.0")
        return CmsGroup::V4x;
    if (version == "6.0")
        return CmsGroup::V60;
    return std::nullopt;
}

std::optional<CmsPage> ClassifyCmsAddress(std::string_view address)
{
    if (Contains(address, kMenuPage))
        return CmsPage::Menu;
    if (Contains(address, kAddPage) || Contains(address, kEditPage))
        return CmsPage::AddEdit;
    return std::nullopt;
}

std::vector<PageScript> CmsScripts(CmsGroup group, CmsPage page)
{
    using enum PageScript;
    if (page == CmsPage::Menu)
        return {group == CmsGroup::V60 ? M2 : M1};
    if (group == CmsGroup::V31)
        return {A1, S1};
    return {A2, S2};
}

bool IsCmsInjectedPage(std::string_view address)
{
    return Contains(address, kMenuPage) || Contains(address, kAddPage) || Contains(address, kEditPage);
}

}  // namespace quib::admin
