#include "standin/sites/cmsfilms.h"

#include "standin/gbktext.h"
#include "standin/htmlescape.h"
#include "standin/sites/sitealbum.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace quib::standin {

namespace {

// A film as the database holds it; text in UTF-8, the address lists as the browser posted them.
struct Film {
    int id = 0;
    std::string name;
    std::string album;    // zt_dq
    std::string player1;  // zt_dy
    std::string list1;    // zt_url
    std::string player2;  // zt_dy1
    std::string list2;    // zt_url1
};

// Enough for any trial; a client that posts film after film cannot grow the stand-in for ever.
constexpr std::size_t kMaxFilms = 1000;

}  // namespace

class CmsFilmStore {
public:
    std::vector<Film> Films(const std::string& version)
    {
        const std::lock_guard lock(m_mutex);
        return Database(version).films;
    }

    std::optional<Film> Find(const std::string& version, int id)
    {
        const std::lock_guard lock(m_mutex);
        for (const Film& film : Database(version).films)
            if (film.id == id)
                return film;
        return std::nullopt;
    }

    // A film with id 0 is added under a new id; any other replaces the film of that id. Returns
    // the film's id; none when there is no such film or no room for another.
    std::optional<int> Save(const std::string& version, Film film)
    {
        const std::lock_guard lock(m_mutex);
        Db& db = Database(version);
        if (film.id == 0) {
            if (db.films.size() >= kMaxFilms)
                return std::nullopt;
            film.id = db.nextId++;
            db.films.push_back(std::move(film));
            return db.films.back().id;
        }
        const auto found =
            std::find_if(db.films.begin(), db.films.end(), [&film](const Film& f) { return f.id == film.id; });
        if (found == db.films.end())
            return std::nullopt;
        *found = std::move(film);
        return found->id;
    }

private:
    struct Db {
        std::vector<Film> films;
        int nextId = 1;
    };

    // Every version's database starts with the two films of a fresh installation's sample data.
    Db& Database(const std::string& version)
    {
        const auto [at, added] = m_databases.try_emplace(version);
        if (added) {
            at->second.films = {
                {1, "天龙八部", "http://www.tudou.com/playlist/id/3x20/", "tudou", "", "youku", ""},
                {2, "射雕英雄传", "http://www.youku.com/playlist_show/id_1x4.html", "youku", "", "tudou", ""},
            };
            at->second.nextId = 3;
        }
        return at->second;
    }

    std::mutex m_mutex;
    std::map<std::string, Db> m_databases;
};

std::shared_ptr<CmsFilmStore> MakeCmsFilmStore() { return std::make_shared<CmsFilmStore>(); }

namespace {

// The pages are written as the CMS's own scripts wrote them, one line of markup to a line here.
// clang-format off

// A short page that says what went wrong and sends the operator back to his form.
std::string Refusal(const std::string& text)
{
    return CmsPage("提示", "<p>" + text + "</p>\n"
                        "<p><a href=\"javascript:history.back()\">返回</a></p>\n");
}

std::string Param(const StandinRequest& request, const char* name)
{
    const auto found = request.params.find(name);
    return found == request.params.end() ? std::string() : found->second;
}

bool Blank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c <= ' '; });
}

// The addresses of a list: its entries between "|" and line breaks, blank ones left out.
int EntryCount(const std::string& list)
{
    int count = 0;
    std::string entry;
    for (const char c : list + "\n") {
        if (c != '|' && c != '\r' && c != '\n') {
            entry += c;
            continue;
        }
        count += Blank(entry) ? 0 : 1;
        entry.clear();
    }
    return count;
}

std::string PlayerField(const CmsFilmVersion& version, const std::string& name, const std::string& value)
{
    if (!version.playerSelects)
        return "<input name=\"" + name + "\" type=\"text\" value=\"" + HtmlEscape(value) + "\">";
    static const std::array<const char*, 11> kTypes = {"flash", "56",   "tudou", "tudou2", "youku",  "youku2",
                                                       "6rooms", "iask", "ouou", "sina", "xunlei2"};
    std::string select = "<select name=\"" + name + "\">\n";
    for (const char* type : kTypes)
        select += std::string("          <option value=\"") + type + "\"" + (value == type ? " selected" : "") + ">" +
                  type + "</option>\n";
    return select + "        </select>";
}

std::string Row(const std::string& label, const std::string& field)
{
    return "    <tr>\n"
           "      <td>" + label + "</td>\n"
           "      <td>" + field + "</td>\n"
           "    </tr>\n";
}

std::string EditForm(const CmsFilmVersion& version, const Film& film)
{
    const std::string id = std::to_string(film.id);
    return CmsPage("修改影片",
                "<form name=\"form2\" method=\"post\" action=\"admin_save.asp\">\n"
                "  <input type=\"hidden\" name=\"id\" value=\"" + id + "\">\n"
                "  <table>\n" +
                Row("影片名称", "<input name=\"zt_name\" type=\"text\" value=\"" + HtmlEscape(film.name) + "\">") +
                Row("专辑", "<input name=\"zt_dq\" type=\"text\" size=\"40\" value=\"" + HtmlEscape(film.album) + "\">") +
                Row("播放器类型1", PlayerField(version, "zt_dy", film.player1)) +
                Row("数据地址1", "<textarea name=\"zt_url\" rows=\"8\" cols=\"60\">" + HtmlEscape(film.list1) + "</textarea>") +
                Row("播放器类型2", PlayerField(version, "zt_dy1", film.player2)) +
                Row("数据地址2", "<textarea name=\"zt_url1\" rows=\"8\" cols=\"60\">" + HtmlEscape(film.list2) + "</textarea>") +
                "  </table>\n"
                "  <input type=\"submit\" value=\"保存\">\n"
                "  <input type=\"button\" value=\"返回列表\" onclick=\"location.href='admin_p.asp'\">\n"
                "</form>\n");
}

std::string FilmList(const std::vector<Film>& films)
{
    std::string rows;
    for (const Film& film : films) {
        const std::string edit = "admin_p.asp?action=edit&amp;id=" + std::to_string(film.id);
        rows += "  <tr>\n"
                "    <td>" + std::to_string(film.id) + "</td>\n"
                "    <td><a href=\"" + edit + "\">" + HtmlEscape(film.name) + "</a></td>\n"
                "    <td>" + HtmlEscape(film.album) + "</td>\n"
                "    <td>" + std::to_string(EntryCount(film.list1)) + "</td>\n"
                "    <td>" + std::to_string(EntryCount(film.list2)) + "</td>\n"
                "    <td><a href=\"" + edit + "\">修改</a></td>\n"
                "  </tr>\n";
    }
    return CmsPage("影片管理",
                "<table id=\"films\" width=\"98%\" border=\"1\" cellpadding=\"3\" cellspacing=\"0\">\n"
                "  <tr>\n"
                "    <th>编号</th>\n"
                "    <th>影片名称</th>\n"
                "    <th>专辑</th>\n"
                "    <th>数据地址1</th>\n"
                "    <th>数据地址2</th>\n"
                "    <th>操作</th>\n"
                "  </tr>\n" +
                rows +
                "</table>\n"
                "<p>共 " + std::to_string(films.size()) + " 部影片　<a href=\"admin_add.asp\">添加影片</a></p>\n");
}

// clang-format on

// The form arrives in GBK, the encoding of the page it was filled in.
std::string Save(CmsFilmStore& store, const CmsFilmVersion& version, const StandinRequest& request)
{
    if (request.method != "POST")
        return Refusal("请从影片表单保存。");
    Film film;
    const std::string id = Param(request, "id");
    if (!id.empty()) {
        const auto number = ParseNumber(id);
        if (!number || *number < 1)
            return Refusal("该影片不存在！");
        film.id = *number;
    }
    film.name = GbkToUtf8(Param(request, "zt_name"));
    if (Blank(film.name))
        return Refusal("请填写影片名称！");
    film.album = GbkToUtf8(Param(request, "zt_dq"));
    film.player1 = GbkToUtf8(Param(request, "zt_dy"));
    film.list1 = GbkToUtf8(Param(request, "zt_url"));
    film.player2 = GbkToUtf8(Param(request, "zt_dy1"));
    film.list2 = GbkToUtf8(Param(request, "zt_url1"));
    const std::string name = film.name;
    const auto saved = store.Save(version.name, std::move(film));
    if (!saved)
        return Refusal(id.empty() ? "影片数量已达上限，无法添加。" : "该影片不存在！");
    const std::string edit = "admin_p.asp?action=edit&amp;id=" + std::to_string(*saved);
    // clang-format off
    return CmsPage("保存成功",
                "<p>影片“" + HtmlEscape(name) + "”已保存。</p>\n"
                "<ul>\n"
                "  <li><a href=\"admin_p.asp\">返回影片列表</a></li>\n"
                "  <li><a href=\"" + edit + "\">继续修改这部影片</a></li>\n"
                "  <li><a href=\"admin_add.asp\">添加影片</a></li>\n"
                "</ul>\n");
    // clang-format on
}

std::string Edit(CmsFilmStore& store, const CmsFilmVersion& version, const StandinRequest& request)
{
    const auto id = ParseNumber(Param(request, "id"));
    const auto film = id ? store.Find(version.name, *id) : std::nullopt;
    return film ? EditForm(version, *film) : Refusal("该影片不存在！");
}

}  // namespace

bool AnswerFilmPage(CmsFilmStore& store, const CmsFilmVersion& version, const std::string& page,
                    const StandinRequest& request, httplib::Response& response)
{
    if (page == "admin_save.asp") {
        AnswerGbk(response, Save(store, version, request));
        return true;
    }
    if (page != "admin_p.asp")
        return false;
    if (Param(request, "action") == "edit")
        AnswerGbk(response, Edit(store, version, request));
    else
        AnswerGbk(response, FilmList(store.Films(version.name)));
    return true;
}

}  // namespace quib::standin
