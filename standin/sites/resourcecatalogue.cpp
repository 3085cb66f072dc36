#include "standin/sites/resourcecatalogue.h"

#include "standin/sites/sitealbum.h"

#include <algorithm>
#include <sstream>

namespace quib::standin {

namespace {

struct Seed {
    const char* name;
    int typeId;
    int episodes;
    const char* area;
    const char* year;
};

// clang-format off
const Seed kSeeds[] = {
    {"山海长歌", 13, 20, "大陆", "2024"},   {"青石巷", 13, 36, "大陆", "2024"},       {"雾城往事", 2, 24, "香港", "2023"},
    {"北风吹过", 6, 1, "大陆", "2024"},     {"星河旅人", 4, 26, "日本", "2024"},      {"长街夜话", 3, 12, "大陆", "2024"},
    {"南国春深", 13, 40, "大陆", "2023"},   {"白鹭洲", 1, 1, "大陆", "2022"},        {"烟火人家", 13, 30, "大陆", "2024"},
    {"归途", 1, 1, "台湾", "2021"},         {"孤城夜雨", 6, 1, "香港", "2023"},      {"江湖小馆", 2, 18, "大陆", "2024"},
    {"松间明月", 4, 52, "大陆", "2022"},    {"远山的回声", 1, 1, "大陆", "2024"},    {"小城大事", 13, 28, "大陆", "2024"},
    {"明日之约", 3, 10, "韩国", "2024"},    {"云端少年", 4, 12, "日本", "2023"},     {"一路向西", 1, 1, "大陆", "2020"},
    {"风起青萍", 13, 45, "大陆", "2024"},   {"时光邮局", 2, 16, "台湾", "2023"},     {"海上灯塔", 6, 1, "美国", "2024"},
    {"桃花渡", 13, 32, "大陆", "2024"},     {"寒江雪", 2, 22, "大陆", "2021"},       {"逐梦者", 3, 8, "大陆", "2024"},
    {"旧时光", 13, 24, "大陆", "2019"},     {"春水向东", 13, 38, "大陆", "2024"},    {"夜航船", 1, 1, "大陆", "2023"},
    {"草原之歌", 2, 20, "大陆", "2024"},    {"木兰谣", 4, 13, "大陆", "2024"},       {"天际线", 6, 1, "英国", "2022"},
    {"晚风与你", 13, 30, "大陆", "2024"},   {"半城烟沙", 13, 40, "大陆", "2018"},
};
// clang-format on

const std::vector<std::pair<int, std::string>> kCategories = {{1, "电影"}, {2, "连续剧"}, {3, "综艺"},
                                                              {4, "动漫"}, {6, "动作片"}, {13, "国产剧"}};

std::string TypeName(int typeId)
{
    for (const auto& [id, name] : kCategories)
        if (id == typeId)
            return name;
    return {};
}

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Episode names as the sites write them: most "第NN集", some series bare numbers, variety shows
// the date they were aired, films "HD".
CatalogueEpisode EpisodeName(const Seed& seed, std::size_t seedIndex, int n)
{
    if (seed.typeId == 1 || seed.typeId == 6)
        return {seed.episodes == 1 ? "HD" : "第" + Two(n) + "集", n};
    if (seed.typeId == 3)
        return {"202410" + Two(n), n};
    if (seedIndex % 3 == 1)
        return {Two(n), n};
    return {"第" + Two(n) + "集", n};
}

std::string Remarks(const CatalogueSeries& series, int planned)
{
    if (series.typeId == 1 || series.typeId == 6)
        return "HD中字";
    const int reached = static_cast<int>(series.episodes.size());
    return reached >= planned ? std::to_string(planned) + "集全" : "更新至" + std::to_string(reached) + "集";
}

}  // namespace

std::string CatalogueSeries::Address(std::size_t source, std::size_t index) const
{
    const std::string number = std::to_string(episodes[index].number);
    if (source % 2 == 0)
        return "https://vod.standin.test/" + std::to_string(id) + "/" + number + "/index.m3u8";
    return "https://share.standin.test/play/" + std::to_string(id * 1000 + episodes[index].number);
}

std::string CatalogueTime(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

ResourceCatalogue::ResourceCatalogue()
{
    const std::time_t now = std::time(nullptr);
    std::size_t index = 0;
    for (const Seed& seed : kSeeds) {
        CatalogueSeries series;
        series.id = 1001 + static_cast<int>(index);
        series.name = seed.name;
        series.typeId = seed.typeId;
        series.typeName = TypeName(seed.typeId);
        // The first 25 changed within the last day, 40 minutes apart; the others long ago.
        series.updated = index < 25 ? now - 600 - static_cast<std::time_t>(index) * 2400
                                    : now - static_cast<std::time_t>(index) * 86400 * 9;
        series.year = seed.year;
        series.area = seed.area;
        series.actor = index % 4 == 3 ? "" : "林一,陈二,王小三";
        series.director = "周导";
        series.content = "<p>" + std::string(seed.name) + "讲述了一段关于成长与离别的故事。</p>";
        series.pic = "https://img.standin.test/cover/" + std::to_string(series.id) + ".jpg";
        series.sources = {"ffm3u8", "ffyun"};
        // The growing series has reached 20 of its 40; every running series has some still to come.
        const int planned = seed.episodes;
        const int reached = series.id == kGrowingId ? 20 : (index < 25 && planned > 12 ? planned - 4 : planned);
        for (int n = 1; n <= reached; ++n)
            series.episodes.push_back(EpisodeName(seed, index, n));
        series.remarks = Remarks(series, series.id == kGrowingId ? 40 : planned);
        m_series.push_back(std::move(series));
        ++index;
    }
}

void ResourceCatalogue::Grow(int episodes)
{
    const std::lock_guard lock(m_mutex);
    CatalogueSeries& series = m_series.front();
    for (int k = 0; k < episodes && series.episodes.size() < 999; ++k) {
        const int n = static_cast<int>(series.episodes.size()) + 1;
        series.episodes.push_back(EpisodeName(kSeeds[0], 0, n));
    }
    series.updated = std::time(nullptr);
    series.remarks = Remarks(series, std::max<int>(40, static_cast<int>(series.episodes.size())));
}

int ResourceCatalogue::GrowingEpisodes() const
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_series.front().episodes.size());
}

const std::vector<std::pair<int, std::string>>& ResourceCatalogue::Categories() { return kCategories; }

CataloguePage ResourceCatalogue::Find(const CatalogueQuery& query) const
{
    std::vector<CatalogueSeries> found;
    {
        const std::lock_guard lock(m_mutex);
        const std::time_t since = std::time(nullptr) - static_cast<std::time_t>(query.hours) * 3600;
        for (const CatalogueSeries& series : m_series) {
            if (!query.ids.empty() && std::find(query.ids.begin(), query.ids.end(), series.id) == query.ids.end())
                continue;
            if (query.typeId && series.typeId != query.typeId)
                continue;
            if (!query.word.empty() && series.name.find(query.word) == std::string::npos)
                continue;
            if (query.hours > 0 && series.updated < since)
                continue;
            found.push_back(series);
        }
    }
    // Newest first, as the sites list them.
    std::stable_sort(found.begin(), found.end(),
                     [](const CatalogueSeries& a, const CatalogueSeries& b) { return a.updated > b.updated; });
    CataloguePage page;
    page.total = static_cast<int>(found.size());
    page.pageCount = (page.total + page.limit - 1) / page.limit;
    page.page = std::max(1, query.page);
    const std::size_t first = static_cast<std::size_t>(page.page - 1) * static_cast<std::size_t>(page.limit);
    for (std::size_t i = first; i < found.size() && i < first + static_cast<std::size_t>(page.limit); ++i)
        page.series.push_back(std::move(found[i]));
    return page;
}

CatalogueQuery CatalogueQueryOf(const std::map<std::string, std::string>& params)
{
    const auto param = [&params](const char* name) {
        const auto found = params.find(name);
        return found == params.end() ? std::string() : found->second;
    };
    CatalogueQuery query;
    query.ac = param("ac");
    query.typeId = ParseNumber(param("t")).value_or(0);
    query.page = std::clamp(ParseNumber(param("pg")).value_or(1), 1, 1000000);
    query.word = param("wd");
    query.hours = std::clamp(ParseNumber(param("h")).value_or(0), 0, 100000);
    std::stringstream ids(param("ids"));
    std::string id;
    while (std::getline(ids, id, ','))
        if (const auto number = ParseNumber(id))
            query.ids.push_back(*number);
    return query;
}

}  // namespace quib::standin
