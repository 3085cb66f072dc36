#pragma once
// Where the video search sends a tab: the address of each source's search for a keyword and a
// kind of result, in one of three forms (the keyword appended as it is, percent-encoded, or
// encoded by the page itself through a script). Plain rules, free of the browser; text is GBK.
#include <string>
#include <string_view>

namespace quib::admin {

// The public hosts of the search sources.
namespace searchsources {
inline constexpr const char* kMTime = "www.mtime.com";
inline constexpr const char* kMdb = "www.mdbchina.com";
inline constexpr const char* kGougou = "www.gougou.com";
inline constexpr const char* kKuaiche = "www.kuaiche.com";
inline constexpr const char* kBaidu = "image.baidu.com";
inline constexpr const char* kYouku = "so.youku.com";
inline constexpr const char* kTudou = "www.tudou.com";  // the main site; it sends a search on to so.tudou.com
inline constexpr const char* kWole = "so.56.com";
inline constexpr const char* kOuou = "so.ouou.com";
inline constexpr const char* kSina = "so.video.sina.com.cn";
inline constexpr const char* kSixrooms = "6.cn";
// Our partner identifiers at Gougou ("id") and Kuaiche ("sid").
inline constexpr const char* kGougouPartner = "quib";
inline constexpr const char* kKuaichePartner = "quib";
}  // namespace searchsources

struct SearchRequest {
    enum class Form {
        None,      // an unknown source: nothing is opened
        Navigate,  // text is the address to open
        Script,    // text is a script to run in the blank page; it navigates there itself
    };
    Form form = Form::None;
    std::string text;
    friend bool operator==(const SearchRequest&, const SearchRequest&) = default;
};

// The search of source `site` for `keyword`; type 0 looks for videos, any other for albums.
SearchRequest SearchFor(std::string_view site, std::string_view keyword, int type);

// A JavaScript string literal in double quotes holding GBK text: a quote, a backslash or a control
// character of the text can never end the literal or the line (the second byte of a two-byte
// character is left alone).
std::string JsStringLiteral(std::string_view text);

// An 8-bit address as a browser can take it: bytes the address syntax cannot carry (controls, the
// space, quotes and angle brackets, every byte of a two-byte character) percent-encoded, the rest
// as it is; the site thus receives the keyword's GBK bytes unchanged.
std::string NavigableAddress(std::string_view address);

}  // namespace quib::admin
