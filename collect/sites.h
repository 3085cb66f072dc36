#pragma once
// The sites the engine collects from, one record each: everything the engine, the form and the
// retry need to know of a site besides its own page scanner and cuts. A new site is one more
// record here, its scanner and its cuts.
//
// One name per site in the code. The keys and control names the module's rules spell stay as they
// are, and each record says which name they stand for:
//   code name  key       radio        element rules  CMS words
//   Tudou      tudou     TudouRadio   tudou          tudou...
//   Youku      youku     YoukuRadio   -              youku...
//   Wole       56        WoleRadio    56             56
//   SixRooms   6jf       LjfRadio     6              6, 6rooms
//   Ouou       ouou      OuouRadio    -              ouou
//   Sina       sina      SinaRadio    sina           sina, iask
//   Xunlei     xunlei    XunleiRadio  -              xunlei...
//   Resource   api       ApiRadio     -              -
#include "collect/addressrules.h"
#include "collect/pageparse.h"
#include "results/resultrow.h"
#include "collect/retryrules.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quib {
class WorkerRegistry;
struct NetworkSettings;
}  // namespace quib

namespace quib::collect {

struct TParseData;

// One item a worker reported, as its row callback receives it. The texts are the callback's own:
// a row may take them over (std::move) rather than copy them.
struct SiteItem {
    std::string& data;
    std::string& link;
    std::string& caption;
    std::string& date;
};

// The callbacks a page worker reports to.
struct WorkerCallbacks {
    TPageParse::TOnGetUrlEvent onRow;
    TPageParse::TOnParseErrorEvent onError;
    TPageParse::TOnPaseEndEvent onEnd;
    TPageParse::TCheckTerminatedEvent onCheck;
};
using WorkerFactory = std::shared_ptr<TPageParse> (*)(WorkerRegistry& registry, const NetworkSettings& network,
                                                      const std::string& url, const std::string& id, int index,
                                                      WorkerCallbacks callbacks);

template <class Worker>
std::shared_ptr<TPageParse> StartPageWorker(WorkerRegistry& registry, const NetworkSettings& network,
                                            const std::string& url, const std::string& id, int index,
                                            WorkerCallbacks callbacks)
{
    return WorkerThread::Start<Worker>(registry, network, url, id, index, std::move(callbacks.onRow),
                                       std::move(callbacks.onError), std::move(callbacks.onEnd),
                                       std::move(callbacks.onCheck));
}

// One way of collecting a whole album: its playlist pages, its feed, or the Xunlei movie document.
struct CollectionWay {
    Starter starter = Starter::TudouByWeb;
    WorkerFactory start = nullptr;
    // The first address; page is the start page (1..255), draw a number 0..99 where the site wants one.
    std::string (*firstAddress)(const std::string& id, int page, int draw) = nullptr;
    // Paged ways begin at the start page; feeds and documents are read whole from their first.
    bool fromStartPage = true;
    // The item cut: the row an item becomes.
    results::RowFields (*itemRow)(const SiteItem& item) = nullptr;
};

// How the engine reads one page of a single-page collection: fetched as text, or walked element by
// element (false when the engine went away during the walk).
struct PageReader {
    std::function<std::string(const std::string& url)> fetch;
    std::function<bool(const std::string& url, TParseData& data, bool runScripts)> walk;
};

// What a single page gave: a row to write, something to tell, or nothing (the engine went away, or
// the site leaves an empty answer unsaid).
struct SinglePageRow {
    enum class Kind { Row, Alert, Nothing };
    Kind kind = Kind::Nothing;
    results::RowFields fields;
    QString alert;
};
// The single-page cut: kind 0 is one video's page, 1 an album's; retry when the row is read again
// (fields left disengaged keep what the row has).
using SinglePageCut = SinglePageRow (*)(const PageReader& reader, const std::string& url, int kind, bool retry);

struct SiteRecord {
    std::string_view key;       // the engine's key: the form, the command line, the batch files, the archive
    std::string_view radio;     // the collection form's radio button
    std::string_view ruleSite;  // TParseData::Site of its element rules; empty when it has none
    std::string_view root;      // where the collection addresses start
    std::string_view domain;    // how a typed address or a row's link is recognised; empty: never
    AddressClass (*classify)(std::string_view address) = nullptr;  // the address rules
    SinglePageParser single = SinglePageParser::None;
    SinglePageCut cutPage = nullptr;
    std::optional<RetryTarget> (*retry)(std::string_view link) = nullptr;  // the retry pattern
    CollectionWay pages;                // the page worker: playlist pages (Xunlei: the movie document)
    std::optional<CollectionWay> feed;  // the fast mode's feed reader, where the site has one
    // 6rooms: an item whose text names no title is read again by the element walk.
    bool walkUntitledItem = false;
    // Xunlei: the movie document lists albums, one of which is then collected.
    bool movieAlbums = false;
    // Resource sites: the address names a record, whose chosen source's episodes become rows.
    bool resourceRecord = false;
};

// Every site, in the order a typed address is matched against their domains.
std::span<const SiteRecord* const> Sites();
const SiteRecord* FindSite(std::string_view key);
const SiteRecord* SiteOfParser(SinglePageParser parser);
// The site and way of a starter.
const SiteRecord& SiteOfStarter(Starter starter);
const CollectionWay& WayOf(Starter starter);

}  // namespace quib::collect
