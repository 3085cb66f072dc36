#include "admin/searchaddress.h"

#include "admin/cmsfill.h"
#include "host/core/urlencode.h"

#include <cstdio>

namespace quib::admin {

namespace {

enum class Keyword { Raw, Encoded, Script };

struct Source {
    const char* key;
    const char* host;
    const char* videos;  // path and query before the keyword, type 0
    const char* albums;  // any other type
    const char* after;   // after the keyword
    Keyword keyword;
};

using namespace searchsources;

// Gougou and Kuaiche carry the partner identifiers, filled in below.
const Source kSources[] = {
    {"mtime", kMTime, "/search/movie?", "/search/movie?", "", Keyword::Script},
    {"mdb", kMdb, "/query/", "/query/", "", Keyword::Raw},
    {"gg", kGougou, "/search?id=@&search=", "/search?id=@&search=", "", Keyword::Raw},
    {"kc", kKuaiche, "/s/search?sid=@&r=2&q=", "/s/search?sid=@&r=2&q=", "", Keyword::Raw},
    {"baidu", kBaidu, "/i?ct=201326592&lm=-1&word=", "/i?ct=201326592&lm=-1&word=", "", Keyword::Encoded},
    {"youku", kYouku, "/search_video/q_", "/search_playlist/q_", "", Keyword::Raw},
    {"tudou", kTudou, "/search/programs/?posto=%2Fsearch%2Fprograms%2F&kw=",
     "/search/playlist/?posto=%2Fsearch%2Fplaylist%2F&kw=", "&nav_search_target=0&comefrom=1", Keyword::Raw},
    {"wole", kWole, "/index?type=video&key=", "/index?type=album&key=", "", Keyword::Raw},
    {"ouou", kOuou, "/search/video/", "/search/special/", "/1", Keyword::Raw},
    {"sina", kSina, "/s?key=", "/s?key=", "", Keyword::Raw},
    {"ljf", kSixrooms, "/search.php?t=v&k=", "/search.php?t=p&k=", "", Keyword::Script},
};

std::string Before(const Source& source, int type)
{
    std::string text = type == 0 ? source.videos : source.albums;
    if (const auto at = text.find('@'); at != std::string::npos)
        text.replace(at, 1, source.host == std::string_view(kGougou) ? kGougouPartner : kKuaichePartner);
    return text;
}

std::string After(const Source& source, int type)
{
    // Sina's kind of result follows the keyword.
    if (source.key == std::string_view("sina"))
        return type == 0 ? "&type=video&sort=click" : "&type=topic&sort=click";
    return source.after;
}

}  // namespace

SearchRequest SearchFor(std::string_view site, std::string_view keyword, int type)
{
    for (const Source& source : kSources) {
        if (site != source.key)
            continue;
        const std::string address = std::string("http://") + source.host + Before(source, type);
        switch (source.keyword) {
        case Keyword::Raw: return {SearchRequest::Form::Navigate, address + std::string(keyword) + After(source, type)};
        case Keyword::Encoded:
            return {SearchRequest::Form::Navigate, address + EncodeURL(keyword, true) + After(source, type)};
        case Keyword::Script:
            return {SearchRequest::Form::Script,
                    "window.navigate(" + JsStringLiteral(address) + "+encodeURIComponent(" + JsStringLiteral(keyword) +
                        ")" + (After(source, type).empty() ? "" : "+" + JsStringLiteral(After(source, type))) + ");"};
        }
    }
    return {};
}

std::string JsStringLiteral(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t bytes = GbkCharBytes(text, pos);
        if (bytes > 1) {
            out.append(text.substr(pos, bytes));
            pos += bytes;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[pos++]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20 || c == 0x7f || c >= 0x80) {  // a control, or a stray lead byte
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string NavigableAddress(std::string_view address)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : address) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '`') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace quib::admin
