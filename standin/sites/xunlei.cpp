// The Xunlei data service: movie documents (/voddata/xml/movieinfo/movie/ID.xml) that list a
// movie's albums, and album documents (/voddata/xml/movieinfo/album/ID.xml) that list its files.
// A movie "a<albums>x<files>" ("a3x5": three albums of five files) has the albums
// "a3x5_1" .. "a3x5_3"; a few hand-written documents cover the awkward cases.
#include "standin/builtinsites.h"
#include "standin/standinweb.h"

#include <charconv>
#include <map>
#include <optional>
#include <regex>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "data.movie.xunlei.com";
constexpr int kMaxAlbums = 100;
constexpr int kMaxFiles = 100000;

struct MovieShape {
    int albums = 0;
    int files = 0;
};

std::optional<int> Number(const std::string& text, int max)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > max)
        return std::nullopt;
    return value;
}

std::optional<MovieShape> ParseMovie(const std::string& id)
{
    static const std::regex kShape(R"(a(\d+)x(\d+))");
    std::smatch match;
    if (!std::regex_match(id, match, kShape))
        return std::nullopt;
    const auto albums = Number(match[1], kMaxAlbums);
    const auto files = Number(match[2], kMaxFiles);
    if (!albums || !files)
        return std::nullopt;
    return MovieShape{*albums, *files};
}

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

std::string Album(const std::string& title, const std::string& id)
{
    return "<album>\n<title>" + title + "</title>\n<ID>" + id + "</ID>\n<type>1</type>\n</album>\n";
}

std::string MovieDocument(const std::string& id, const std::string& title, const std::string& albums)
{
    return std::string(kXmlHead) + "<movie>\n<ID>" + id + "</ID>\n<title>" + title + "</title>\n<albums>\n" + albums +
           "</albums>\n</movie>\n";
}

std::string GeneratedMovie(const std::string& id, const MovieShape& shape)
{
    std::string albums;
    for (int k = 1; k <= shape.albums; ++k)
        albums += Album("第" + std::to_string(k) + "版 高清", id + "_" + std::to_string(k));
    return MovieDocument(id, "电影 " + id, albums);
}

std::string File(const std::string& title, const std::string& source)
{
    return "<file>\n<title>" + title + "</title>\n<size>1024</size>\n<source>" + source + "</source>\n</file>\n";
}

std::string AlbumDocument(const std::string& id, const std::string& files)
{
    return std::string(kXmlHead) + "<album>\n<ID>" + id + "</ID>\n<title>专辑 " + id + "</title>\n<files>\n" + files +
           "</files>\n</album>\n";
}

// Odd files give their source as CDATA, even ones plainly.
std::string GeneratedAlbum(const std::string& id, int files)
{
    std::string list;
    for (int n = 1; n <= files; ++n) {
        const std::string address = "http://vod.xunlei.com/" + id + "/" + std::to_string(n) + ".rmvb";
        list += File("第" + std::to_string(n) + "集", n % 2 ? "<![CDATA[" + address + "]]>" : address);
    }
    return AlbumDocument(id, list);
}

const std::map<std::string, std::string>& FixedMovies()
{
    static const std::map<std::string, std::string> movies = {
        {"none", MovieDocument("none", "没有专辑", "")},
        {"dup",
         MovieDocument("dup", "重复专辑", Album("原版", "edge") + Album("重复", "edge") + Album("第二", "a1x2_1"))},
        {"untitled",
         MovieDocument("untitled", "无标题专辑", "<album>\n<ID>a1x3_1</ID>\n</album>\n" + Album("唯一", "edge"))},
    };
    return movies;
}

// A file without a title of its own, sources with blanks around them, a source with Chinese.
std::string EdgeAlbum()
{
    return AlbumDocument("edge", File("第一", " <![CDATA[http://vod.xunlei.com/edge/1.rmvb]]> ") +
                                     "<file>\n<source>http://vod.xunlei.com/edge/untitled.rmvb</source>\n</file>\n" +
                                     File("第二", "http://vod.xunlei.com/edge/2.rmvb") +
                                     File("第三", "<![CDATA[http://vod.xunlei.com/电影/3.rmvb]]>"));
}

std::optional<std::string> MovieFor(const std::string& id)
{
    if (const auto fixed = FixedMovies().find(id); fixed != FixedMovies().end())
        return fixed->second;
    if (const auto shape = ParseMovie(id))
        return GeneratedMovie(id, *shape);
    return std::nullopt;
}

std::optional<std::string> AlbumFor(const std::string& id)
{
    if (id == "edge")
        return EdgeAlbum();
    const std::size_t cut = id.rfind('_');
    if (cut == std::string::npos)
        return std::nullopt;
    const auto shape = ParseMovie(id.substr(0, cut));
    const auto number = Number(id.substr(cut + 1), kMaxAlbums);
    if (!shape || !number || *number > shape->albums)
        return std::nullopt;
    return GeneratedAlbum(id, shape->files);
}

bool Answer(const StandinRequest& request, httplib::Response& response)
{
    static const std::regex kPath(R"(/voddata/xml/movieinfo/(movie|album)/([^/]+)\.xml)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kPath))
        return false;
    const auto document = match[1] == "movie" ? MovieFor(match[2]) : AlbumFor(match[2]);
    if (!document)
        return false;
    response.set_content(*document, "text/xml; charset=utf-8");
    return true;
}

}  // namespace

void RegisterXunleiData(StandinWeb& web) { web.AddSite(kHost, Answer); }

}  // namespace quib::standin
