#include "standin/sites/sitealbum.h"

#include "standin/gbktext.h"

#include <algorithm>
#include <charconv>

namespace quib::standin {

namespace {

// Reads "-<word><number>" at the end of id into number; false when it is not there.
bool TakeSuffix(std::string_view& id, std::string_view word, int& number)
{
    std::string marker = "-";
    marker += word;
    const std::size_t at = id.rfind(marker);
    if (at == std::string_view::npos)
        return false;
    const auto value = ParseNumber(id.substr(at + 1 + word.size()));
    if (!value)
        return false;
    number = *value;
    id = id.substr(0, at);
    return true;
}

}  // namespace

std::optional<int> ParseNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<SiteAlbum> ParseSiteAlbum(std::string_view id)
{
    SiteAlbum album;
    album.id = std::string(id);
    std::string_view shape = id;
    const auto takeFlag = [&shape](std::string_view flag) {
        if (shape.size() <= flag.size() || shape.substr(shape.size() - flag.size()) != flag)
            return false;
        shape.remove_suffix(flag.size());
        return true;
    };
    album.endless = takeFlag("-endless");
    album.nextAfterLast = !album.endless && takeFlag("-back");
    TakeSuffix(shape, "says", album.statedPages);
    TakeSuffix(shape, "fail", album.failingPage);
    TakeSuffix(shape, "lost", album.lostItem);
    const auto parsed = ParseAlbumShape(shape);
    if (!parsed)
        return std::nullopt;
    album.shape = *parsed;
    return album;
}

std::optional<int> StatedPages(const SiteAlbum& album, const AlbumPage& page)
{
    if (album.endless)
        return std::nullopt;
    return album.statedPages > 0 ? album.statedPages : page.pages;
}

PagerWindow PagerAround(const AlbumPage& page)
{
    constexpr int kReach = 5;
    return PagerWindow{std::max(1, page.page - kReach), std::min(page.pages, page.page + kReach)};
}

void AnswerServerError(httplib::Response& response)
{
    response.status = 500;
    response.set_content("<html><body>Internal Server Error</body></html>", "text/html");
}

void AnswerNotFound(httplib::Response& response)
{
    response.status = 404;
    response.set_content("<html><body>Not Found</body></html>", "text/html");
}

void AnswerGbk(httplib::Response& response, const std::string& utf8Page)
{
    response.set_content(Utf8ToGbk(utf8Page), "text/html; charset=gbk");
}

void AnswerUtf8(httplib::Response& response, const std::string& utf8Page)
{
    response.set_content(utf8Page, "text/html; charset=utf-8");
}

bool AnswerAlbumPage(std::string_view id, int number, httplib::Response& response, PageWriter write,
                     const AlbumPageRenderer& render)
{
    const auto album = ParseSiteAlbum(id);
    auto page = album ? PageOf(album->shape, number) : std::nullopt;
    if (album && album->endless && number >= 1 && 1LL * number * album->shape.itemsPerPage < 1000000000LL) {
        // Every page looks like one before the last, however far the client goes.
        const int first = (number - 1) * album->shape.itemsPerPage + 1;
        page = AlbumPage{number, number + 1, first, first + album->shape.itemsPerPage - 1};
    }
    if (page && album->nextAfterLast && page->page == page->pages)
        page->pages = page->page + 1;
    if (!page)
        return false;
    if (page->page == album->failingPage)
        AnswerServerError(response);
    else
        write(response, render(*album, *page));
    return true;
}

bool AnswerItemPage(std::string_view id, std::string_view number, httplib::Response& response, PageWriter write,
                    const ItemPageRenderer& render)
{
    const auto n = ParseNumber(number);
    if (!n || *n < 1)
        return false;
    const auto album = ParseSiteAlbum(id);
    if (album && album->lostItem == *n)
        AnswerNotFound(response);
    else
        write(response, render(*n));
    return true;
}

}  // namespace quib::standin
