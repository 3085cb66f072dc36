// The CMS administration back-end, versions 3.1, 4.x, 5.0 and 6.0, one under each path prefix
// (http://cms.standin.test/4.x/admin/admin_index.asp). The index is a frameset: the menu on the
// left, the work pages in the main frame. Served in GBK, as the CMS did. The login page
// (admin/login.asp, the address an operator registers) lets any user name and password in.
#include "builtinsites.h"
#include "cmsfilms.h"
#include "htmlescape.h"
#include "sitealbum.h"
#include "standinweb.h"

#include <array>
#include <string>

namespace {

const char* const kHost = "cms.standin.test";

struct Version {
    std::string name;
    bool playerSelects;    // player types chosen from a list (5.0 on)
    bool menuList;         // the menu is a list (6.0)
    std::string mainFrame;
};

const std::array<Version, 4>& Versions()
{
    static const std::array<Version, 4> versions = {{
        {"3.1", false, false, "main"},
        {"4.x", false, false, "main"},
        {"5.0", true, false, "main"},
        {"6.0", true, true, "mainFrame"},
    }};
    return versions;
}

std::string Page(const std::string& title, const std::string& body)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>" + title +
           "</title></head><body>" + body + "</body></html>";
}

// ?main=add or ?main=edit opens the film form in the main frame; ?main=ADDRESS another page (a
// foreign frame, for tests). The short names keep the frameset's own address free of the pages'.
std::string MainSource(const StandinRequest& request)
{
    const auto main = request.params.find("main");
    if (main == request.params.end())
        return "admin_main.asp";
    if (main->second == "add")
        return "admin_add.asp";
    if (main->second == "edit")
        return "admin_p.asp?action=edit&id=1";
    return main->second;
}

std::string Frameset(const Version& version, const StandinRequest& request)
{
    const std::string mainSource = MainSource(request);
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>管理中心 " +
           version.name +
           "</title></head><frameset cols=\"180,*\"><frame name=\"left\" src=\"admin_index.asp?action=admin_left\">"
           "<frame name=\"" +
           version.mainFrame + "\" src=\"" + HtmlEscape(mainSource) + "\"></frameset></html>";
}

std::string Menu(const Version& version)
{
    const std::string target = " target=\"" + version.mainFrame + "\"";
    if (version.menuList)
        return Page("菜单", "<ul id=\"submenu3\"><li><a href=\"admin_add.asp\"" + target +
                                ">添加影片</a></li>"
                                "<li><a href=\"admin_p.asp\"" +
                                target + ">影片管理</a></li></ul>");
    return Page("菜单",
                "<div id=\"submenu3\"><div><table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\">"
                "<tr><td height=20><a href=\"admin_add.asp\"" +
                    target +
                    ">添加影片</a></td></tr>"
                    "<tr><td height=20><a href=\"admin_p.asp\"" +
                    target +
                    ">影片管理</a></td></tr>"
                    "</table></div></div>");
}

std::string PlayerField(const Version& version, const std::string& name, const std::string& value)
{
    if (!version.playerSelects)
        return "<input name=\"" + name + "\" type=\"text\" value=\"" + value + "\">";
    static const std::array<const char*, 11> kTypes = {"flash", "56", "tudou", "tudou2", "youku", "youku2",
                                                       "6rooms", "iask", "ouou", "sina", "xunlei2"};
    std::string select = "<select name=\"" + name + "\">";
    for (const char* type : kTypes)
        select += std::string("<option value=\"") + type + "\"" + (value == type ? " selected" : "") + ">" + type + "</option>";
    return select + "</select>";
}

std::string FilmForm(const Version& version, bool edit)
{
    const std::string name = edit ? "天龙八部" : "";
    const std::string album = edit ? "http://www.tudou.com/playlist/id/3x20/" : "";
    return Page(edit ? "修改影片" : "添加影片",
                "<form name=\"form2\" method=\"post\" action=\"admin_save.asp\"><table>"
                "<tr><td>影片名称</td><td><input name=\"zt_name\" type=\"text\" value=\"" + name + "\"></td></tr>"
                "<tr><td>专辑</td><td><input name=\"zt_dq\" type=\"text\" size=\"40\" value=\"" + album + "\"></td></tr>"
                "<tr><td>播放器类型1</td><td>" + PlayerField(version, "zt_dy", "tudou") + "</td></tr>"
                "<tr><td>数据地址1</td><td><textarea name=\"zt_url\" rows=\"8\" cols=\"60\"></textarea></td></tr>"
                "<tr><td>播放器类型2</td><td>" + PlayerField(version, "zt_dy1", "youku") + "</td></tr>"
                "<tr><td>数据地址2</td><td><textarea name=\"zt_url1\" rows=\"8\" cols=\"60\"></textarea></td></tr>"
                "</table><input type=\"submit\" value=\"保存\"></form>");
}

std::string Login(const Version& version, const StandinRequest& request)
{
    if (request.method != "POST")
        return Page("管理员登录 " + version.name,
                    "<h3>管理员登录（" + version.name + "）</h3>"
                    "<p>这是内置的演示后台：任意用户名和密码都可以登录。</p>"
                    "<form name=\"login\" method=\"post\" action=\"login.asp\"><table>"
                    "<tr><td>用户名</td><td><input name=\"username\" type=\"text\" value=\"admin\"></td></tr>"
                    "<tr><td>密码</td><td><input name=\"password\" type=\"password\"></td></tr>"
                    "</table><input type=\"submit\" value=\"登录\"></form>");
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
           "<meta http-equiv=\"refresh\" content=\"1;url=admin_index.asp\"><title>登录成功</title></head><body>"
           "<p>登录成功。演示后台接受任何用户名和密码，正在进入管理中心……</p>"
           "<p><a href=\"admin_index.asp\">进入管理中心</a></p></body></html>";
}

bool Answer(CmsFilmStore& films, const StandinRequest& request, httplib::Response& response)
{
    for (const Version& version : Versions()) {
        const std::string prefix = "/" + version.name + "/admin/";
        if (request.path.rfind(prefix, 0) != 0)
            continue;
        const std::string page = request.path.substr(prefix.size());
        const auto action = request.params.find("action");
        const std::string act = action == request.params.end() ? "" : action->second;
        if (page == "login.asp")
            AnswerGbk(response, Login(version, request));
        else if (page == "admin_index.asp")
            AnswerGbk(response, act == "admin_left" ? Menu(version) : Frameset(version, request));
        else if (page == "admin_main.asp")
            AnswerGbk(response, Page("管理中心", "<p>欢迎使用管理中心 " + version.name + "</p>"));
        else if (page == "admin_add.asp")
            AnswerGbk(response, FilmForm(version, false));
        else if (!AnswerFilmPage(films, {version.name, version.playerSelects}, page, request, response))
            return false;
        return true;
    }
    return false;
}

}  // namespace

void RegisterCms(StandinWeb& web)
{
    auto films = MakeCmsFilmStore();
    web.AddSite(kHost, [films](const StandinRequest& request, httplib::Response& response) {
        return Answer(*films, request, response);
    });
}
