#pragma once
// The rules of single-page collection, free of widgets: what an element walk picks from a
// page's elements, and the text cuts of the pages read as text.
#include "host/core/htmlelement.h"

#include <QString>

#include <string>
#include <string_view>

namespace quib::collect {

// One element walk's inputs and findings.
struct TParseData {
    QString Caption;
    QString Url;
    std::string Date;  // GBK
    int Kind = 0;
    bool Found = false;
    std::string Site;  // "tudou", "56", "sina" or "6"
};

// Decodes the five character references &amp; &lt; &gt; &apos; &quot;, in that order.
// The name is kept although it decodes; EncodeURL (host/framework/urlencode.h) percent-encodes.
std::string EncodeUrl(std::string_view text);

// Applies the element rules of data.Site to one element of the page at address (GBK). Returns
// true when the walk has what it needs and should stop.
bool ApplySimpleParserRules(const HtmlElement& element, const std::string& address, TParseData& data);

// The text cuts of the pages read as text. All text is GBK; the UTF-8 sites' bodies are
// converted before they are cut.
struct SimplePage {
    std::string Caption;
    std::string Url;
    std::string Date;
};

// What a 56 page yields: its values, or the need to render the page (its address is filled in
// by script), or that it is not the kind of page it should be.
struct WoleCut {
    enum class Outcome { Cut, NeedsWalk, WrongVideo, WrongAlbum };
    Outcome outcome = Outcome::Cut;
    SimplePage page;
};
WoleCut CutWolePage(const std::string& body, int kind);
// A 56 address in the site's own form is stored without the site's root ("http://www.56.com/").
std::string StripWoleRoot(const std::string& address);

SimplePage CutSixRoomsPage(const std::string& body, int kind);
SimplePage CutYoukuPage(const std::string& body, int kind);
// The Ouou video id comes from the address, the title and date from the body.
SimplePage CutOuouPage(const std::string& body, const std::string& address);

}  // namespace quib::collect
