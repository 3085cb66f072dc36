#include "collect/sites.h"

#include "collect/feeddates.h"
#include "host/core/gbk.h"
#include "collect/ououpageparse.h"
#include "collect/resourceapi.h"
#include "collect/rssparse.h"
#include "collect/simplerules.h"
#include "collect/sinapageparse.h"
#include "collect/sitecuts.h"
#include "collect/sitehosts.h"
#include "collect/sixroomspageparse.h"
#include "collect/tudoupageparse.h"
#include "collect/wolepageparse.h"
#include "collect/xunleiparse.h"
#include "collect/youkupageparse.h"

#include <array>
#include <stdexcept>

namespace quib::collect {

namespace {

using namespace sitehosts;
using namespace quib::results;

bool Has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

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

// The first pattern gives its kind, else the second its own, else nothing.
std::optional<RetryTarget> ByPath(std::string_view link, SinglePageParser parser, std::string_view first, int firstKind,
                                  std::string_view second, int secondKind)
{
    if (Has(link, first))
        return RetryTarget{parser, firstKind};
    if (Has(link, second))
        return RetryTarget{parser, secondKind};
    return std::nullopt;
}

RowFields ItemRow(std::string caption, std::string url, std::string date, std::string link)
{
    RowFields row;
    row.Caption = std::move(caption);
    row.Url = std::move(url);
    row.Date = std::move(date);
    row.Link = std::move(link);
    return row;
}

const QString kNoData = QStringLiteral("无法取得数据！");

SinglePageRow Said(QString text) { return SinglePageRow{SinglePageRow::Kind::Alert, {}, std::move(text)}; }
SinglePageRow Written(RowFields fields) { return SinglePageRow{SinglePageRow::Kind::Row, std::move(fields), {}}; }
SinglePageRow Nothing() { return {}; }

// The pages read as text report their own failures.
template <class Cut>
SinglePageRow Reported(Cut&& cut)
{
    try {
        return cut();
    } catch (const std::exception& e) {
        return Said(QString::fromUtf8(e.what()));
    }
}

std::string Number(int n) { return std::to_string(n); }

// Tudou.

AddressClass ClassifyTudou(std::string_view a)
{
    if (Has(a, "/view/"))
        return Single(SinglePageParser::Tudou, 0);
    if (Has(a, "playindex.do"))
        return Single(SinglePageParser::Tudou, 1);
    if (Has(a, "/id/"))
        return Id(CutAfter(a, "/id/", {"/"}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetryTudou(std::string_view link)
{
    return ByPath(link, SinglePageParser::Tudou, "/view/", 0, "playindex.do", 1);
}

SinglePageRow CutTudouSingle(const PageReader& reader, const std::string& url, int kind, bool)
{
    TParseData data;
    data.Site = "tudou";
    data.Kind = kind;
    if (!reader.walk(url, data, false))
        return Nothing();
    if (!data.Found)
        return Said(kNoData);
    return Written(RowFields{gbk::FromUnicode(data.Caption), gbk::FromUnicode(data.Url), {}, {}, {}});
}

const SiteRecord kTudou{
    .key = sitekey::Tudou,
    .radio = "TudouRadio",
    .ruleSite = "tudou",
    .root = kTudouRoot,
    .domain = kTudouDomain,
    .classify = ClassifyTudou,
    .single = SinglePageParser::Tudou,
    .cutPage = CutTudouSingle,
    .retry = RetryTudou,
    .pages = {Starter::TudouByWeb, StartPageWorker<TTudouPageParse>,
              [](const std::string& id, int page, int) {
                  return std::string(kTudouRoot) + "/playlist/showItems.do?lid=" + id + "&pn=" + Number(page);
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), CutTudouUrl(item.data), {}, std::move(item.link));
              }},
    .feed = CollectionWay{
        Starter::TudouByRss, StartPageWorker<TTudouRssParse>,
        [](const std::string& id, int, int) { return std::string(kTudouRoot) + "/playlist/rss.do?lid=" + id; }, false,
        [](const SiteItem& item) {
            return RowFields{std::move(item.caption), std::move(item.data), TudouFeedDate(item.date),
                             std::move(item.link), true};
        }},
};

// Youku.

AddressClass ClassifyYouku(std::string_view a)
{
    if (Has(a, "/v_show/"))
        return Single(SinglePageParser::Youku, 0);
    if (Has(a, "/v_playlist/"))
        return Single(SinglePageParser::Youku, 1);
    if (Has(a, "/id_"))
        return Id(CutAfter(a, "/id_", {"_", "."}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetryYouku(std::string_view link)
{
    if (auto target = ByPath(link, SinglePageParser::Youku, "/v_show/", 0, "/v_playlist/", 1))
        return target;
    // A playlist's own item page (the link the playlist pages give) holds the player's set-up as
    // a playlist's play page does, without its title.
    if (Has(link, "/show_item/"))
        return RetryTarget{SinglePageParser::Youku, 1};
    return std::nullopt;
}

SinglePageRow CutYoukuSingle(const PageReader& reader, const std::string& url, int kind, bool retry)
{
    return Reported([&] {
        const std::string body = reader.fetch(url);
        if (body.empty())
            return Nothing();
        const SimplePage page = CutYoukuPage(gbk::FromUtf8(body), kind);
        RowFields fields{page.Caption, page.Url, {}, {}, {}};
        // A retry keeps the title it has when the page names none (a playlist's item page).
        if (retry && page.Caption.empty())
            fields.Caption.reset();
        return Written(std::move(fields));
    });
}

const SiteRecord kYouku{
    .key = sitekey::Youku,
    .radio = "YoukuRadio",
    .ruleSite = {},
    .root = kYoukuRoot,
    .domain = kYoukuDomain,
    .classify = ClassifyYouku,
    .single = SinglePageParser::Youku,
    .cutPage = CutYoukuSingle,
    .retry = RetryYouku,
    .pages = {Starter::YoukuByWeb, StartPageWorker<TYoukuPageParse>,
              [](const std::string& id, int page, int) {
                  return std::string(kYoukuRoot) + "/playlist_show/id_" + id + "_orderby_9_page_" + Number(page) +
                         ".html";
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), CutYoukuUrl(item.data), {}, std::move(item.link));
              }},
    .feed = CollectionWay{
        Starter::YoukuByRss, StartPageWorker<TYoukuRssParse>,
        [](const std::string& id, int, int) { return std::string(kYoukuRoot) + "/playlist/rss/id/" + id; }, false,
        [](const SiteItem& item) {
            return RowFields{std::move(item.caption), std::move(item.data), YoukuFeedDate(item.date),
                             std::move(item.link), true};
        }},
};

// Wole (key "56").

AddressClass ClassifyWole(std::string_view a)
{
    if (Has(a, "play_album-aid"))
        return Single(SinglePageParser::Wole, 1);
    if (Has(a, "v_"))
        return Single(SinglePageParser::Wole, 0);
    if (Has(a, "aid-"))
        return Id(CutAfter(a, "aid-", {"_", "."}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetryWole(std::string_view link)
{
    if (auto target = ByPath(link, SinglePageParser::Wole, "play_album-aid", 1, "v_", 0))
        return target;
    // An album's item page (videoitem-N_aid-ID.html, the link the album pages give) names its
    // player in the same box as an album's play page.
    if (Has(link, "_aid-"))
        return RetryTarget{SinglePageParser::Wole, 1};
    return std::nullopt;
}

SinglePageRow CutWoleSingle(const PageReader& reader, const std::string& url, int kind, bool retry)
{
    return Reported([&] {
        const std::string body = reader.fetch(url);
        if (body.empty())
            return Said(kNoData);
        WoleCut cut = CutWolePage(body, kind);
        switch (cut.outcome) {
        case WoleCut::Outcome::WrongVideo: return Said(QStringLiteral("错误的视频地址！"));
        case WoleCut::Outcome::WrongAlbum: return Said(QStringLiteral("错误的专辑视频！"));
        case WoleCut::Outcome::NeedsWalk: {
            // The page writes its player address by script.
            TParseData data;
            data.Site = "56";
            data.Kind = 0;
            if (!reader.walk(url, data, true))
                return Nothing();
            cut.page.Caption = gbk::FromUnicode(data.Caption);
            cut.page.Url = gbk::FromUnicode(data.Url);
            break;
        }
        case WoleCut::Outcome::Cut: break;
        }
        RowFields fields;
        if (!retry)
            fields.Caption = cut.page.Caption;
        fields.Url = StripWoleRoot(cut.page.Url);
        return Written(std::move(fields));
    });
}

const SiteRecord kWole{
    .key = sitekey::Wole,
    .radio = "WoleRadio",
    .ruleSite = "56",
    .root = kWoleRoot,
    .domain = kWoleDomain,
    .classify = ClassifyWole,
    .single = SinglePageParser::Wole,
    .cutPage = CutWoleSingle,
    .retry = RetryWole,
    .pages = {Starter::WoleByWeb, StartPageWorker<TWolePageParse>,
              [](const std::string& id, int page, int draw) {
                  const std::string folder = draw >= 10 ? "/w" + Number(draw) : std::string("/w");
                  return std::string(kWoleRoot) + folder + "/album-p-" + Number(page) + "_aid-" + id + ".html";
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), CutWoleUrl(item.data), {}, std::move(item.link));
              }},
    .feed = std::nullopt,
};

// SixRooms (key "6jf").

AddressClass ClassifySixRooms(std::string_view a)
{
    if (Has(a, ".html")) {
        if (Has(a, "/watch/"))
            return Single(SinglePageParser::SixRooms, 0);
        if (Has(a, "/plist/"))
            return Single(SinglePageParser::SixRooms, 1);
        AddressClass keep;
        keep.action = AddressClass::Action::KeepId;
        return keep;
    }
    if (Has(a, "?p="))
        return Id(CutAfter(a, "?p=", {"&"}));
    if (Has(a, "plist/"))
        return Id(CutAfter(a, "plist/", {}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetrySixRooms(std::string_view link)
{
    return ByPath(link, SinglePageParser::SixRooms, "/plist/", 1, "/watch/", 0);
}

SinglePageRow CutSixRoomsSingle(const PageReader& reader, const std::string& url, int kind, bool)
{
    return Reported([&] {
        const std::string body = reader.fetch(url);
        if (body.empty())
            return Said(kNoData);
        const SimplePage page = CutSixRoomsPage(gbk::FromUtf8(body), kind);
        return Written(RowFields{page.Caption, page.Url, page.Date, {}, {}});
    });
}

const SiteRecord kSixRooms{
    .key = sitekey::SixRooms,
    .radio = "LjfRadio",
    .ruleSite = "6",
    .root = kSixRoomsRoot,
    .domain = kSixRoomsDomain,
    .classify = ClassifySixRooms,
    .single = SinglePageParser::SixRooms,
    .cutPage = CutSixRoomsSingle,
    .retry = RetrySixRooms,
    .pages = {Starter::SixRoomsByWeb, StartPageWorker<TSixRoomsPageParse>,
              [](const std::string& id, int page, int) {
                  return std::string(kSixRoomsRoot) + "/plist/" + id + "/" + Number(page - 1) + ".html";
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), std::move(item.data), {}, std::move(item.link));
              }},
    .feed = std::nullopt,
    .walkUntitledItem = true,
};

// Ouou.

AddressClass ClassifyOuou(std::string_view a)
{
    if (Has(a, "/play/"))
        return Single(SinglePageParser::Ouou, 0);
    if (Has(a, "/v_"))
        return Id(CutAfter(a, "/v_", {"/", "."}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetryOuou(std::string_view) { return RetryTarget{SinglePageParser::Ouou, 0}; }

SinglePageRow CutOuouSingle(const PageReader& reader, const std::string& url, int, bool)
{
    return Reported([&] {
        const std::string body = reader.fetch(url);
        if (body.empty())
            return Said(kNoData);
        const SimplePage page = CutOuouPage(gbk::FromUtf8(body), url);
        return Written(RowFields{page.Caption, page.Url, page.Date, {}, {}});
    });
}

const SiteRecord kOuou{
    .key = sitekey::Ouou,
    .radio = "OuouRadio",
    .ruleSite = {},
    .root = kOuouRoot,
    .domain = kOuouDomain,
    .classify = ClassifyOuou,
    .single = SinglePageParser::Ouou,
    .cutPage = CutOuouSingle,
    .retry = RetryOuou,
    .pages = {Starter::OuouByWeb, StartPageWorker<TOuouPageParse>,
              [](const std::string& id, int page, int) {
                  return std::string(kOuouRoot) + "/playlistinfo/v_" + id + "/" + Number(page) + ".html";
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), CutOuouUrl(item.data), {}, std::move(item.link));
              }},
    .feed = std::nullopt,
};

// Sina.

AddressClass ClassifySina(std::string_view a)
{
    if (Has(a, "/b/"))
        return Single(SinglePageParser::Sina, 0);
    if (Has(a, "topicPlay.php?"))
        return Single(SinglePageParser::Sina, 1);
    if (Has(a, "/a/"))
        return Id(CutAfter(a, "/a/", {"-", "/", "."}));
    return Id(std::string(a));
}

std::optional<RetryTarget> RetrySina(std::string_view link)
{
    return ByPath(link, SinglePageParser::Sina, "/b/", 0, "topicPlay.php?", 1);
}

SinglePageRow CutSinaSingle(const PageReader& reader, const std::string& url, int kind, bool retry)
{
    TParseData data;
    data.Site = "sina";
    data.Kind = kind;
    // The playlist page writes its title by script.
    if (!reader.walk(url, data, kind != 0))
        return Nothing();
    if (!data.Found)
        return Said(kNoData);
    RowFields fields;
    fields.Url = gbk::FromUnicode(data.Url);
    if (!retry) {
        fields.Caption = gbk::FromUnicode(data.Caption);
        fields.Date = data.Date;
    }
    return Written(std::move(fields));
}

const SiteRecord kSina{
    .key = sitekey::Sina,
    .radio = "SinaRadio",
    .ruleSite = "sina",
    .root = kSinaRoot,
    .domain = kSinaDomain,
    .classify = ClassifySina,
    .single = SinglePageParser::Sina,
    .cutPage = CutSinaSingle,
    .retry = RetrySina,
    .pages = {Starter::SinaByWeb, StartPageWorker<TSinaPageParse>,
              [](const std::string& id, int page, int) {
                  return std::string(kSinaRoot) + "/a/" + id + "/" + Number(page) + "/2.html";
              },
              true,
              [](const SiteItem& item) {
                  return ItemRow(std::move(item.caption), CutSinaUrl(item.data), std::move(item.date),
                                 std::move(item.link));
              }},
    .feed = std::nullopt,
};

// Xunlei: the movie ID is taken whole, and its albums come from the movie document.

const SiteRecord kXunlei{
    .key = sitekey::Xunlei,
    .radio = "XunleiRadio",
    .ruleSite = {},
    .root = kXunleiDataRoot,
    .domain = {},
    .classify = [](std::string_view a) { return Id(std::string(a)); },
    .single = SinglePageParser::None,
    .cutPage = nullptr,
    .retry = nullptr,
    .pages = {Starter::XunleiByMovie, StartPageWorker<TXunleiMovieParse>,
              [](const std::string& id, int, int) {
                  return std::string(kXunleiDataRoot) + "/voddata/xml/movieinfo/movie/" + id + ".xml";
              },
              false, nullptr},
    .feed = std::nullopt,
    .movieAlbums = true,
};

// Resource sites: the address of a record is taken whole; its worker reads the record.

std::string ResourceRecordAddressOf(const std::string& address)
{
    const std::optional<ResourceAddress> parsed = ParseResourceAddress(gbk::ToUnicode(address));
    return parsed ? gbk::FromUnicode(ResourceRecordAddress(*parsed)) : address;
}

const SiteRecord kResource{
    .key = sitekey::Resource,
    .radio = "ApiRadio",
    .ruleSite = {},
    .root = {},
    // The JSON and XML forms of the API both live under this path on most sites.
    .domain = "/provide/vod",
    .classify = [](std::string_view a) { return Id(std::string(a)); },
    .single = SinglePageParser::None,
    .cutPage = nullptr,
    .retry = nullptr,
    .pages = {Starter::ResourceByRecord, nullptr,
              [](const std::string& id, int, int) { return ResourceRecordAddressOf(id); }, false, nullptr},
    .feed = std::nullopt,
    .resourceRecord = true,
};

// The domain order decides a typed address that names two sites.
const std::array<const SiteRecord*, 8> kSites{&kTudou, &kYouku, &kWole,   &kSixRooms,
                                              &kOuou,  &kSina,  &kXunlei, &kResource};

}  // namespace

std::span<const SiteRecord* const> Sites() { return kSites; }

const SiteRecord* FindSite(std::string_view key)
{
    for (const SiteRecord* site : kSites)
        if (site->key == key)
            return site;
    return nullptr;
}

const SiteRecord* SiteOfParser(SinglePageParser parser)
{
    for (const SiteRecord* site : kSites)
        if (parser != SinglePageParser::None && site->single == parser)
            return site;
    return nullptr;
}

const SiteRecord& SiteOfStarter(Starter starter)
{
    for (const SiteRecord* site : kSites)
        if (site->pages.starter == starter || (site->feed && site->feed->starter == starter))
            return *site;
    throw std::logic_error("no site has this starter");
}

const CollectionWay& WayOf(Starter starter)
{
    const SiteRecord& site = SiteOfStarter(starter);
    return site.pages.starter == starter ? site.pages : *site.feed;
}

// The address rules, over the table.

AddressClass ClassifyAddress(std::string_view siteKey, std::string_view address)
{
    const SiteRecord* site = FindSite(siteKey);
    return site ? site->classify(address) : Id(std::string(address));
}

Starter StarterFor(std::string_view siteKey, bool fast)
{
    const SiteRecord* site = FindSite(siteKey);
    if (!site)
        return Starter::XunleiByMovie;
    return fast && site->feed ? site->feed->starter : site->pages.starter;
}

std::string FirstAddress(Starter starter, const std::string& id, int page, int draw)
{
    return WayOf(starter).firstAddress(id, page, draw);
}

int FirstIndex(Starter starter, int page) { return WayOf(starter).fromStartPage ? page - 1 : 0; }

std::optional<std::string_view> SiteOfTypedAddress(std::string_view text)
{
    for (const SiteRecord* site : kSites)
        if (!site->domain.empty() && Has(text, site->domain))
            return site->key;
    return std::nullopt;
}

std::optional<RetryTarget> RetryTargetOf(std::string_view link)
{
    if (link.empty())
        return std::nullopt;
    const std::optional<std::string_view> key = SiteOfTypedAddress(link);
    if (!key)
        return std::nullopt;
    const SiteRecord* site = FindSite(*key);
    return site && site->retry ? site->retry(link) : std::nullopt;
}

}  // namespace quib::collect
