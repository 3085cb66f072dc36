#pragma once
// Resource sites: sites that publish their catalogue through the shared video-data API, as JSON
// (usually under .../api.php/provide/vod/) or as XML (.../at/xml/). This reads their answers into
// one record type, builds their query addresses and takes record addresses apart. Answers come
// from strangers: whatever they hold ends as records plus warnings, never as a crash.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string_view>
#include <vector>

namespace quib::collect {

struct ResourceEpisode {
    QString name;     // may be empty: some lists give the address alone
    QString address;  // the play address
};

struct ResourceSource {
    QString name;  // the play source ("ffm3u8"); numbered when the site names none
    std::vector<ResourceEpisode> episodes;
};

struct ResourceRecord {
    QString id;  // vod_id as text (sites send numbers or strings)
    QString name;
    QString typeId;
    QString typeName;
    QString time;  // "YYYY-MM-DD hh:mm:ss" as the site writes it
    QString remarks;
    QString pic;
    QString year;
    QString area;
    QString actor;
    QString director;
    QString content;
    std::vector<ResourceSource> sources;

    int EpisodeCount() const;
    QStringList SourceNames() const;
};

struct ResourceCategory {
    QString id;
    QString name;
};

// One answer of a resource site: a page of records with its paging, and the categories.
struct ResourcePage {
    int page = 0;       // as the site says; 0 when it does not
    int pageCount = 0;  // likewise; the walk over pages does not trust it (see ResourcePageCap)
    int limit = 0;
    long long total = 0;
    std::vector<ResourceRecord> records;
    std::vector<ResourceCategory> categories;
    // What was odd or left out (mismatched play lists, empty episodes, broken records), in Chinese.
    QStringList warnings;
    // Why nothing could be read (not JSON or XML, too large, nested too deep); empty when read.
    QString error;

    bool Ok() const { return error.isEmpty(); }
};

// The largest answer read; a larger one is refused whole.
inline constexpr std::size_t kResourceMaxBody = std::size_t{50} * 1000 * 1000;
// Episodes one record may bring; the rest are dropped with a warning (a table of more is no list
// an operator can check).
inline constexpr int kResourceMaxEpisodes = 200000;

// Reads an answer, JSON or XML as its first character says. Invalid UTF-8 is repaired (and said).
ResourcePage ParseResourceAnswer(std::string_view body);
ResourcePage ParseResourceJson(std::string_view body);
ResourcePage ParseResourceXml(std::string_view body);

// The play lists of a record: source names joined by "$$$", one list per source joined by "$$$",
// episodes in a list by "#", an episode "name$address" split at its first "$". A list without a
// source name, a name without a list, and empty episodes are left out or numbered, with a warning.
std::vector<ResourceSource> SplitPlayLists(QStringView from, QStringView urls, QStringList& warnings);
// One source's list as the XML form gives it ("name$address#name$address").
std::vector<ResourceEpisode> SplitEpisodes(QStringView list, int& empty);

// HTML entities decoded (named ones the sites use, and numeric ones), blanks around trimmed.
QString CleanResourceText(QStringView text);

// A record's place: the site's base address and the record's id.
struct ResourceAddress {
    QString base;  // the site's base address, its own query parameters kept
    QString id;
};
// Takes "BASE?ac=detail&ids=N" (other API parameters dropped, a site's own kept) or "BASE#N";
// nothing for anything else (no http(s) address, no single id).
std::optional<ResourceAddress> ParseResourceAddress(QStringView address);
// "BASE?ac=detail&ids=N" ("&" when the base has its own query already).
QString ResourceRecordAddress(const ResourceAddress& address);

// One request of the API; empty fields and a zero page or hours are left out.
struct ResourceQuery {
    QString ac = QStringLiteral("detail");  // "list", "detail" or "videolist"
    QString typeId;                         // t
    int page = 0;                           // pg, from 1
    QString word;                           // wd, percent-encoded as UTF-8
    int hours = 0;                          // h
    QString ids;                            // comma-separated
};
QString ResourceQueryAddress(const QString& base, const ResourceQuery& query);

// The pages a walk over a listing reads at most, whatever the site's page count says.
inline constexpr int kResourcePageCap = 200;

}  // namespace quib::collect
