#pragma once
// The album a video site's playlist address asks for. Besides the shape ("3x5"), an ID may ask
// for trouble on purpose: "3x5-fail2" answers page 2 with a server error, "3x5-lost4" answers
// the own page of item 4 with "not found", "3x5-endless" never ends: every page, past the last
// too, shows a next page (a 6rooms playlist: every position holds a video), "3x5-back" shows a
// next page on its last page too, which is not there (a test sends it back to the first),
// "9x5-says4" has a pager that states four pages while there are nine.
// Sites that number pages from 0 count them the same.
#include "standin/albumshape.h"
#include "standin/standinweb.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quib::standin {

struct SiteAlbum {
    std::string id;  // as requested
    AlbumShape shape;
    int failingPage = 0;  // 1-based; 0: none
    int lostItem = 0;     // 1-based; 0: none
    bool endless = false;
    bool nextAfterLast = false;
    int statedPages = 0;  // what the pager says; 0: the truth
};

std::optional<SiteAlbum> ParseSiteAlbum(std::string_view id);

// The page numbers a pager shows: a few on either side of the current page, as the sites did.
struct PagerWindow {
    int first = 1;
    int last = 1;
};
PagerWindow PagerAround(const AlbumPage& page);
// The page count a pager states ("共 N 页"): nothing for an album that never ends.
std::optional<int> StatedPages(const SiteAlbum& album, const AlbumPage& page);
// A whole decimal number, nothing else.
std::optional<int> ParseNumber(std::string_view text);

// The answers every site gives alike.
void AnswerServerError(httplib::Response& response);
void AnswerNotFound(httplib::Response& response);
void AnswerGbk(httplib::Response& response, const std::string& utf8Page);
void AnswerUtf8(httplib::Response& response, const std::string& utf8Page);

// How a site writes its pages: AnswerGbk or AnswerUtf8.
using PageWriter = void (*)(httplib::Response& response, const std::string& utf8Page);
using AlbumPageRenderer = std::function<std::string(const SiteAlbum& album, const AlbumPage& page)>;
using ItemPageRenderer = std::function<std::string(int item)>;

// Page `number` of album `id`, or the server error the ID asks for on that page; false when the
// ID or the page is not the album's.
bool AnswerAlbumPage(std::string_view id, int number, httplib::Response& response, PageWriter write,
                     const AlbumPageRenderer& render);
// Item `number`'s own page, or "not found" for the item the ID loses; false for no item number.
bool AnswerItemPage(std::string_view id, std::string_view number, httplib::Response& response, PageWriter write,
                    const ItemPageRenderer& render);

}  // namespace quib::standin
