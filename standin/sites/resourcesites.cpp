// Three resource sites of the shared video-data API over one catalogue (resourcecatalogue.h):
//   zyjson.standin.test/api.php/provide/vod/         JSON as most sites write it: compact, "\/"
//   zyxml.standin.test/api.php/provide/vod/at/xml/   the XML form, texts in CDATA
//   zyodd.standin.test/api.php/provide/vod/          JSON with the quirks met in the wild: numbers as
//       strings, \u escapes, served as text/html, a null field, blanks and entities around names, an
//       episode without "$", source lists that do not match the names, a page count that lies
// Parameters ac, t, pg, wd, h, ids. "/standin/grow?by=N" on any of them adds N episodes to the
// growing series (id 1001) and dates it now. zyhostile.standin.test/<hostile-api-...>/api.php/
// provide/vod/ answers with the hostile shape its first path part names.
#include "standin/builtinsites.h"
#include "standin/hostileshapes.h"
#include "standin/sites/resourcecatalogue.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <cstdio>
#include <memory>
#include <string>

namespace quib::standin {

namespace {

// A JSON string as PHP's encoder writes it: "/" escaped, and with asciiOnly every character beyond
// ASCII as \uXXXX (UTF-16 units).
std::string Json(std::string_view text, bool asciiOnly = false)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"': out += "\\\""; continue;
        case '\\': out += "\\\\"; continue;
        case '/': out += "\\/"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            continue;
        }
        if (c < 0x80 || !asciiOnly) {
            out += static_cast<char>(c);
            continue;
        }
        // Decode one UTF-8 character (the catalogue's text is valid) and write its UTF-16 units.
        const int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        unsigned code = c & (0x3F >> more);
        for (int k = 1; k <= more && i + 1 < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
        const auto unit = [&out](unsigned u) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        };
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out + "\"";
}

struct Style {
    bool quirky = false;  // zyodd
};

std::string Number(int n, const Style& style)
{
    return style.quirky ? "\"" + std::to_string(n) + "\"" : std::to_string(n);
}

std::string PlayFrom(const CatalogueSeries& series)
{
    std::string from;
    for (const std::string& source : series.sources)
        from += (from.empty() ? "" : "$$$") + source;
    return from;
}

// quirky: one episode written as its address alone (1003), and one whose address carries a token
// longer than a table field (1006, second source).
std::string PlayList(const CatalogueSeries& series, std::size_t source, bool quirky)
{
    const bool dropFirstDollar = quirky && series.id == 1003;
    const bool longToken = quirky && series.id == 1006 && source == 1;
    std::string list;
    for (std::size_t i = 0; i < series.episodes.size(); ++i) {
        if (i)
            list += '#';
        // The quirk: one episode written as its address alone.
        if (!(dropFirstDollar && i == 1))
            list += series.episodes[i].name + "$";
        list += series.Address(source, i);
        if (longToken && i == 2)
            list += "?token=" + std::string(300, 'x');
    }
    return list;
}

std::string PlayUrl(const CatalogueSeries& series, bool quirky)
{
    std::string url;
    for (std::size_t s = 0; s < series.sources.size(); ++s)
        url += (s ? "$$$" : "") + PlayList(series, s, quirky);
    return url;
}

std::string JsonRecord(const CatalogueSeries& series, bool full, const Style& style)
{
    const bool ascii = style.quirky;
    std::string name = series.name;
    std::string from = PlayFrom(series);
    std::string url = PlayUrl(series, style.quirky);
    if (style.quirky) {
        // Names with blanks and an entity around them, and source lists that do not match.
        if (series.id == 1002)
            name = " " + name + "&amp;续 ";
        if (series.id == 1004)
            from += "$$$bfzym3u8";  // a third name, no third list
        if (series.id == 1005)
            url += "$$$" + PlayList(series, 0, false);  // a third list, no third name
    }
    std::string record = "{\"vod_id\":" + Number(series.id, style) + ",\"vod_name\":" + Json(name, ascii) +
                         ",\"type_id\":" + Number(series.typeId, style) +
                         ",\"type_name\":" + Json(series.typeName, ascii) +
                         ",\"vod_en\":\"\",\"vod_time\":" + Json(CatalogueTime(series.updated)) +
                         ",\"vod_remarks\":" + Json(series.remarks, ascii) + ",\"vod_play_from\":" + Json(from);
    if (full) {
        record += ",\"vod_pic\":" + (style.quirky ? std::string("null") : Json(series.pic)) +
                  ",\"vod_year\":" + (style.quirky ? Number(std::stoi(series.year), style) : Json(series.year)) +
                  ",\"vod_area\":" + Json(series.area, ascii) + ",\"vod_actor\":" + Json(series.actor, ascii) +
                  ",\"vod_director\":" + (style.quirky ? std::string("null") : Json(series.director, ascii)) +
                  ",\"vod_content\":" + Json(series.content, ascii) + ",\"vod_play_server\":\"no\"" +
                  ",\"vod_play_note\":\"$$$\",\"vod_play_url\":" + Json(url, ascii);
    }
    return record + "}";
}

std::string JsonAnswer(const CataloguePage& page, const CatalogueQuery& query, const Style& style)
{
    // The quirky site claims more pages than it has.
    const int pageCount = style.quirky && page.pageCount > 0 ? page.pageCount + 7 : page.pageCount;
    std::string body = "{\"code\":1,\"msg\":" + Json("数据列表", style.quirky) +
                       ",\"page\":" + Number(page.page, style) + ",\"pagecount\":" + Number(pageCount, style) +
                       ",\"limit\":\"20\",\"total\":" + Number(page.total, style) + ",\"list\":[";
    for (std::size_t i = 0; i < page.series.size(); ++i)
        body += (i ? "," : "") + JsonRecord(page.series[i], query.full(), style);
    body += "]";
    if (!query.full()) {
        body += ",\"class\":[";
        bool first = true;
        for (const auto& [id, name] : ResourceCatalogue::Categories()) {
            body += (first ? "" : ",") + std::string("{\"type_id\":") + Number(id, style) +
                    ",\"type_pid\":0,\"type_name\":" + Json(name, style.quirky) + "}";
            first = false;
        }
        body += "]";
    }
    return body + "}";
}

std::string Cdata(const std::string& text) { return "<![CDATA[" + text + "]]>"; }

std::string XmlAnswer(const CataloguePage& page, const CatalogueQuery& query)
{
    std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"5.1\">\n<list page=\"" +
                       std::to_string(page.page) + "\" pagecount=\"" + std::to_string(page.pageCount) +
                       "\" pagesize=\"" + std::to_string(page.limit) + "\" recordcount=\"" +
                       std::to_string(page.total) + "\">\n";
    for (const CatalogueSeries& series : page.series) {
        body += "<video>\n<last>" + CatalogueTime(series.updated) + "</last>\n<id>" + std::to_string(series.id) +
                "</id>\n<tid>" + std::to_string(series.typeId) + "</tid>\n<name>" + Cdata(series.name) +
                "</name>\n<type>" + series.typeName + "</type>\n";
        if (query.full()) {
            body += "<pic>" + series.pic + "</pic>\n<lang>国语</lang>\n<area>" + series.area + "</area>\n<year>" +
                    series.year + "</year>\n<state></state>\n<note>" + Cdata(series.remarks) + "</note>\n<actor>" +
                    Cdata(series.actor) + "</actor>\n<director>" + Cdata(series.director) + "</director>\n<dl>\n";
            for (std::size_t s = 0; s < series.sources.size(); ++s)
                body += "<dd flag=\"" + series.sources[s] + "\">" + Cdata(PlayList(series, s, false)) + "</dd>\n";
            body += "</dl>\n<des>" + Cdata(series.content) + "</des>\n";
        } else {
            body += "<dt>" + PlayFrom(series) + "</dt>\n<note>" + Cdata(series.remarks) + "</note>\n";
        }
        body += "</video>\n";
    }
    body += "</list>\n";
    if (!query.full()) {
        body += "<class>\n";
        for (const auto& [id, name] : ResourceCatalogue::Categories())
            body += "<ty id=\"" + std::to_string(id) + "\">" + name + "</ty>\n";
        body += "</class>\n";
    }
    return body + "</rss>\n";
}

bool AnswerGrow(const StandinRequest& request, httplib::Response& response, ResourceCatalogue& catalogue)
{
    const auto by = request.params.find("by");
    const auto count = by == request.params.end() ? std::optional<int>(2) : ParseNumber(by->second);
    if (!count || *count < 0 || *count > 500)
        return false;
    catalogue.Grow(*count);
    response.set_content("episodes=" + std::to_string(catalogue.GrowingEpisodes()) + "\n", "text/plain");
    return true;
}

SiteHandler Site(std::shared_ptr<ResourceCatalogue> catalogue, std::string path, bool xml, Style style)
{
    return [catalogue, path, xml, style](const StandinRequest& request, httplib::Response& response) {
        if (request.path == "/standin/grow")
            return AnswerGrow(request, response, *catalogue);
        // With or without its closing slash, as the sites' rewrite rules take it.
        if (request.path != path && request.path + "/" != path)
            return false;
        const CatalogueQuery query = CatalogueQueryOf(request.params);
        const CataloguePage page = catalogue->Find(query);
        response.set_header("Cache-Control", "no-cache");
        if (xml)
            response.set_content(XmlAnswer(page, query), "text/xml; charset=utf-8");
        else if (style.quirky)
            response.set_content(JsonAnswer(page, query, style), "text/html; charset=UTF-8");
        else
            response.set_content(JsonAnswer(page, query, style), "application/json; charset=utf-8");
        return true;
    };
}

bool AnswerHostile(const StandinRequest& request, httplib::Response& response)
{
    const std::size_t slash = request.path.find('/', 1);
    if (slash == std::string::npos || request.path.compare(slash, std::string::npos, "/api.php/provide/vod/") != 0)
        return false;
    const auto hostile = ParseHostileId(request.path.substr(1, slash - 1));
    if (!hostile)
        return false;
    if (hostile->shape == HostileShape::ApiPageCount) {
        // Every page answers with records of its own, so only a cap on pages ends a walk.
        const auto pg = request.params.find("pg");
        const int page = pg == request.params.end() ? 1 : ParseNumber(pg->second).value_or(1);
        response.set_content(HostileApiPage(page), "application/json; charset=utf-8");
        return true;
    }
    response.set_content(HostilePage(hostile->shape, hostile->bytes), "application/json; charset=utf-8");
    return true;
}

}  // namespace

void RegisterResourceSites(StandinWeb& web)
{
    // Each web has its own catalogue, so tests that start webs of their own do not meet.
    auto catalogue = std::make_shared<ResourceCatalogue>();
    web.AddSite("zyjson.standin.test", Site(catalogue, "/api.php/provide/vod/", false, Style{}));
    web.AddSite("zyxml.standin.test", Site(catalogue, "/api.php/provide/vod/at/xml/", true, Style{}));
    web.AddSite("zyodd.standin.test", Site(catalogue, "/api.php/provide/vod/", false, Style{true}));
    web.AddSite("zyhostile.standin.test", AnswerHostile);
}

}  // namespace quib::standin
