#pragma once
// The catalogue the stand-in resource sites publish: a few dozen invented series in six
// categories, some updated within the last day, one that grows on request (its latest episodes
// dated when they came). Times are relative to the catalogue's making, so "h=24" finds the same
// series whenever the tests run.
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quib::standin {

struct CatalogueEpisode {
    std::string name;  // "第01集", "01", "20241103", "HD"
    int number = 0;
};

struct CatalogueSeries {
    int id = 0;
    std::string name;
    int typeId = 0;
    std::string typeName;
    std::time_t updated = 0;
    std::string remarks;
    std::string year, area, actor, director, content, pic;
    std::vector<std::string> sources;  // play source names
    std::vector<CatalogueEpisode> episodes;
    // The play address of episode `index` on source `source`.
    std::string Address(std::size_t source, std::size_t index) const;
};

struct CatalogueQuery {
    std::string ac;  // list, detail, videolist
    int typeId = 0;
    int page = 1;
    std::string word;
    int hours = 0;
    std::vector<int> ids;
    bool full() const { return ac == "detail" || ac == "videolist"; }
};

struct CataloguePage {
    std::vector<CatalogueSeries> series;  // copies, so the growth may go on meanwhile
    int page = 1;
    int pageCount = 0;
    int limit = 20;
    int total = 0;
};

class ResourceCatalogue {
public:
    ResourceCatalogue();
    // The series that grows: its id, and how it is moved on.
    static constexpr int kGrowingId = 1001;
    void Grow(int episodes);
    int GrowingEpisodes() const;

    CataloguePage Find(const CatalogueQuery& query) const;
    static const std::vector<std::pair<int, std::string>>& Categories();

private:
    mutable std::mutex m_mutex;
    std::vector<CatalogueSeries> m_series;
};

// Reads the API's parameters from a request's.
CatalogueQuery CatalogueQueryOf(const std::map<std::string, std::string>& params);
// "YYYY-MM-DD hh:mm:ss", local time.
std::string CatalogueTime(std::time_t when);

}  // namespace quib::standin
