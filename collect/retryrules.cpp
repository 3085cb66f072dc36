#include "retryrules.h"

namespace {

bool Has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The first pattern gives its kind, else the second its own, else nothing.
std::optional<RetryTarget> ByPath(std::string_view link, SinglePageParser parser, std::string_view first,
                                  int firstKind, std::string_view second, int secondKind)
{
    if (Has(link, first))
        return RetryTarget{parser, firstKind};
    if (Has(link, second))
        return RetryTarget{parser, secondKind};
    return std::nullopt;
}

}  // namespace

std::optional<RetryTarget> RetryTargetOf(std::string_view link)
{
    if (link.empty())
        return std::nullopt;
    const std::optional<std::string_view> site = SiteOfTypedAddress(link);
    if (!site)
        return std::nullopt;
    if (*site == sitekey::Tudou)
        return ByPath(link, SinglePageParser::Tudou, "/view/", 0, "playindex.do", 1);
    if (*site == sitekey::Youku) {
        if (auto target = ByPath(link, SinglePageParser::Youku, "/v_show/", 0, "/v_playlist/", 1))
            return target;
        // A playlist's own item page (the link the playlist pages give) holds the player's set-up as
        // a playlist's play page does, without its title.
        if (Has(link, "/show_item/"))
            return RetryTarget{SinglePageParser::Youku, 1};
        return std::nullopt;
    }
    if (*site == sitekey::Wole) {
        if (auto target = ByPath(link, SinglePageParser::Wole, "play_album-aid", 1, "v_", 0))
            return target;
        // An album's item page (videoitem-N_aid-ID.html, the link the album pages give) names its
        // player in the same box as an album's play page.
        if (Has(link, "_aid-"))
            return RetryTarget{SinglePageParser::Wole, 1};
        return std::nullopt;
    }
    if (*site == sitekey::Ljf)
        return ByPath(link, SinglePageParser::Ljf, "/plist/", 1, "/watch/", 0);
    if (*site == sitekey::Ouou)
        return RetryTarget{SinglePageParser::Ouou, 0};
    if (*site == sitekey::Sina)
        return ByPath(link, SinglePageParser::Sina, "/b/", 0, "topicPlay.php?", 1);
    return std::nullopt;
}
