#pragma once
// How the collection form reads an address: which site a typed address belongs to, whether it
// names one page or a whole album, the album ID cut out of it, and the first page to fetch.
#include <optional>
#include <string>
#include <string_view>

namespace quib::collect {

// The site keys of the collection engine.
// Wole is 我乐 (56), SixRooms 六间房 (6rooms, "6jf"); sites.h maps every spelling.
namespace sitekey {
inline constexpr std::string_view Tudou = "tudou";
inline constexpr std::string_view Youku = "youku";
inline constexpr std::string_view Wole = "56";
inline constexpr std::string_view SixRooms = "6jf";
inline constexpr std::string_view Ouou = "ouou";
inline constexpr std::string_view Sina = "sina";
inline constexpr std::string_view Xunlei = "xunlei";
inline constexpr std::string_view Resource = "api";
}  // namespace sitekey

enum class SinglePageParser { None, Tudou, Youku, Wole, SixRooms, Ouou, Sina };

enum class Starter {
    TudouByWeb,
    YoukuByWeb,
    WoleByWeb,
    SixRoomsByWeb,
    OuouByWeb,
    SinaByWeb,
    TudouByRss,
    YoukuByRss,
    XunleiByMovie,
    ResourceByRecord,
};

struct AddressClass {
    enum class Action {
        SinglePage,  // one page: parser and pageKind tell which
        Id,          // an album: id holds the cut ID
        KeepId,      // an album whose ID cannot be cut: the previous CollectId stays
    };
    Action action = Action::Id;
    SinglePageParser parser = SinglePageParser::None;
    int pageKind = 0;  // 0 = one video's page, 1 = an album or playlist page
    std::string id;
};

// Takes up to 50 characters after the first `marker`, then keeps what stands before the first
// end marker found (tested in the order given). No marker: empty.
std::string CutAfter(std::string_view address, std::string_view marker, std::initializer_list<std::string_view> ends);

// Classifies a trimmed address for a site key; an unknown key classifies as a whole ID.
AddressClass ClassifyAddress(std::string_view siteKey, std::string_view address);

Starter StarterFor(std::string_view siteKey, bool fast);

// First page address of a collection; page is the start page (1..255); draw a number 0..99.
std::string FirstAddress(Starter starter, const std::string& id, int page, int draw);
// The worker's first page index: page - 1 for paged starters, 0 for feeds and Xunlei.
int FirstIndex(Starter starter, int page);

// The site key whose domain a typed address contains (Tudou first, Sina last); Xunlei never.
std::optional<std::string_view> SiteOfTypedAddress(std::string_view text);

}  // namespace quib::collect
