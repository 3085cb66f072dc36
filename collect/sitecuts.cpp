#include "collect/sitecuts.h"

#include "collect/sitehosts.h"
#include "collect/textcursor.h"

namespace quib::collect {

namespace {

constexpr std::size_t k56FlashSpan = 1000;
constexpr std::size_t kTudouIidLength = 10;
constexpr std::size_t kSinaVidLength = 10;

}  // namespace

std::string CutWoleUrl(std::string_view itemPage)
{
    if (itemPage.empty())
        return {};
    std::size_t from = itemPage.find("id=\"flashurl\"");
    if (from == std::string_view::npos)
        from = 0;
    TextCursor flash{itemPage.substr(from, k56FlashSpan)};
    flash.SkipPast("value=\"");
    std::string address = flash.TextBefore(".swf");
    // The CMS holds 56 addresses relative to the site's root.
    const std::string root = std::string(sitehosts::kWoleRoot) + "/";
    if (address.starts_with(root))
        address.erase(0, root.size());
    return address;
}

std::string CutTudouUrl(std::string_view link)
{
    const std::string_view marker = "iid=";
    const std::size_t at = link.find(marker);
    if (at == std::string_view::npos)
        return {};
    return std::string(link.substr(at + marker.size(), kTudouIidLength));
}

std::string CutYoukuUrl(std::string_view itemPage)
{
    TextCursor page{itemPage};
    if (!page.SkipPast("fo.addVariable(\"VideoIDS\","))
        return {};
    return page.TextBefore(")");
}

std::string CutOuouUrl(std::string_view link)
{
    TextCursor rest{link};
    rest.SkipPast("v_");
    return rest.TextBefore(".");
}

std::string CutSinaUrl(std::string_view link)
{
    TextCursor rest{link};
    if (!rest.SkipPast("uid="))
        return {};
    const std::string uid = rest.TextBefore("#");
    if (!rest.SkipPast("#"))
        return {};
    const std::string vid = rest.Take(kSinaVidLength);
    if (vid.empty())
        return {};
    return vid + "&uid=" + uid;
}

}  // namespace quib::collect
