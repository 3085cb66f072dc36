#include "addressrules.h"

#include "gbk.h"
#include "sitehosts.h"

namespace {

constexpr std::size_t kMaxIdChars = 50;

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

AddressClass Single(SinglePageParser parser, int kind)
{
    AddressClass result;
    result.action = AddressClass::Action::SinglePage;
    result.parser = parser;
    result.pageKind = kind;
    return result;
}

AddressClass Id(std::string id)
{
    AddressClass result;
    result.action = AddressClass::Action::Id;
    result.id = std::move(id);
    return result;
}

// The up to 50 characters after the first `marker`; two-byte characters count once.
std::string_view PieceAfter(std::string_view address, std::string_view marker)
{
    const std::size_t at = address.find(marker);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = address.substr(at + marker.size());
    std::size_t bytes = 0;
    for (std::size_t chars = 0; chars < kMaxIdChars && bytes < rest.size(); ++chars)
        bytes += gbk::CharBytes(rest, bytes);
    return rest.substr(0, bytes);
}

AddressClass ClassifyTudou(std::string_view a)
{
    if (Contains(a, "/view/")) return Single(SinglePageParser::Tudou, 0);
    if (Contains(a, "playindex.do")) return Single(SinglePageParser::Tudou, 1);
    if (Contains(a, "/id/")) return Id(CutAfter(a, "/id/", {"/"}));
    return Id(std::string(a));
}

AddressClass ClassifyYouku(std::string_view a)
{
    if (Contains(a, "/v_show/")) return Single(SinglePageParser::Youku, 0);
    if (Contains(a, "/v_playlist/")) return Single(SinglePageParser::Youku, 1);
    if (Contains(a, "/id_")) return Id(CutAfter(a, "/id_", {"_", "."}));
    return Id(std::string(a));
}

AddressClass Classify56(std::string_view a)
{
    if (Contains(a, "play_album-aid")) return Single(SinglePageParser::Wole, 1);
    if (Contains(a, "v_")) return Single(SinglePageParser::Wole, 0);
    if (Contains(a, "aid-")) return Id(CutAfter(a, "aid-", {"_", "."}));
    return Id(std::string(a));
}

AddressClass Classify6jf(std::string_view a)
{
    if (Contains(a, ".html")) {
        if (Contains(a, "/watch/")) return Single(SinglePageParser::Ljf, 0);
        if (Contains(a, "/plist/")) return Single(SinglePageParser::Ljf, 1);
        AddressClass keep;
        keep.action = AddressClass::Action::KeepId;
        return keep;
    }
    if (Contains(a, "?p=")) return Id(CutAfter(a, "?p=", {"&"}));
    if (Contains(a, "plist/")) return Id(CutAfter(a, "plist/", {}));
    return Id(std::string(a));
}

AddressClass ClassifyOuou(std::string_view a)
{
    if (Contains(a, "/play/")) return Single(SinglePageParser::Ouou, 0);
    if (Contains(a, "/v_")) return Id(CutAfter(a, "/v_", {"/", "."}));
    return Id(std::string(a));
}

AddressClass ClassifySina(std::string_view a)
{
    if (Contains(a, "/b/")) return Single(SinglePageParser::Sina, 0);
    if (Contains(a, "topicPlay.php?")) return Single(SinglePageParser::Sina, 1);
    if (Contains(a, "/a/")) return Id(CutAfter(a, "/a/", {"-", "/", "."}));
    return Id(std::string(a));
}

}  // namespace

std::string CutAfter(std::string_view address, std::string_view marker, std::initializer_list<std::string_view> ends)
{
    const std::string_view piece = PieceAfter(address, marker);
    for (std::string_view end : ends) {
        const std::size_t at = piece.find(end);
        if (at != std::string_view::npos)
            return std::string(piece.substr(0, at));
    }
    return std::string(piece);
}

AddressClass ClassifyAddress(std::string_view siteKey, std::string_view address)
{
    if (siteKey == sitekey::Tudou) return ClassifyTudou(address);
    if (siteKey == sitekey::Youku) return ClassifyYouku(address);
    if (siteKey == sitekey::Wole) return Classify56(address);
    if (siteKey == sitekey::Ljf) return Classify6jf(address);
    if (siteKey == sitekey::Ouou) return ClassifyOuou(address);
    if (siteKey == sitekey::Sina) return ClassifySina(address);
    return Id(std::string(address));  // Xunlei takes the movie ID whole
}

Starter StarterFor(std::string_view siteKey, bool fast)
{
    if (siteKey == sitekey::Tudou) return fast ? Starter::TudouByRss : Starter::TudouByWeb;
    if (siteKey == sitekey::Youku) return fast ? Starter::YoukuByRss : Starter::YoukuByWeb;
    if (siteKey == sitekey::Wole) return Starter::WoleByWeb;
    if (siteKey == sitekey::Ljf) return Starter::LjfByWeb;
    if (siteKey == sitekey::Ouou) return Starter::OuouByWeb;
    if (siteKey == sitekey::Sina) return Starter::SinaByWeb;
    return Starter::XunleiByMovie;
}

std::string FirstAddress(Starter starter, const std::string& id, int page, int draw56)
{
    using namespace sitehosts;
    const std::string p = std::to_string(page);
    switch (starter) {
    case Starter::TudouByWeb:
        return std::string(kTudouRoot) + "/playlist/showItems.do?lid=" + id + "&pn=" + p;
    case Starter::YoukuByWeb:
        return std::string(kYoukuRoot) + "/playlist_show/id_" + id + "_orderby_9_page_" + p + ".html";
    case Starter::WoleByWeb: {
        const std::string folder = draw56 >= 10 ? "/w" + std::to_string(draw56) : std::string("/w");
        return std::string(k56Root) + folder + "/album-p-" + p + "_aid-" + id + ".html";
    }
    case Starter::LjfByWeb:
        return std::string(k6jfRoot) + "/plist/" + id + "/" + std::to_string(page - 1) + ".html";
    case Starter::OuouByWeb:
        return std::string(kOuouRoot) + "/playlistinfo/v_" + id + "/" + p + ".html";
    case Starter::SinaByWeb:
        return std::string(kSinaRoot) + "/a/" + id + "/" + p + "/2.html";
    case Starter::TudouByRss:
        return std::string(kTudouRoot) + "/playlist/rss.do?lid=" + id;
    case Starter::YoukuByRss:
        return std::string(kYoukuRoot) + "/playlist/rss/id/" + id;
    case Starter::XunleiByMovie:
        return std::string(kXunleiDataRoot) + "/voddata/xml/movieinfo/movie/" + id + ".xml";
    }
    return {};
}

int FirstIndex(Starter starter, int page)
{
    switch (starter) {
    case Starter::TudouByRss:
    case Starter::YoukuByRss:
    case Starter::XunleiByMovie:
        return 0;
    default:
        return page - 1;
    }
}

std::optional<std::string_view> SiteOfTypedAddress(std::string_view text)
{
    using namespace sitehosts;
    if (Contains(text, kTudouDomain)) return sitekey::Tudou;
    if (Contains(text, kYoukuDomain)) return sitekey::Youku;
    if (Contains(text, k56Domain)) return sitekey::Wole;
    if (Contains(text, k6jfDomain)) return sitekey::Ljf;
    if (Contains(text, kOuouDomain)) return sitekey::Ouou;
    if (Contains(text, kSinaDomain)) return sitekey::Sina;
    return std::nullopt;
}
