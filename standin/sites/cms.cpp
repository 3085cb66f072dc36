// The CMS administration back-end, versions 3.1, 4.x, 5.0 and 6.0, one under each path prefix
// (http://cms.standin.test/4.x/admin/admin_index.asp). The index is a frameset: the menu on the
// left, the work pages in the main frame. Served in GBK, as the CMS did. The login page
// (admin/login.asp, the address an operator registers) lets any user name and password in.
#include "standin/builtinsites.h"
#include "standin/sites/cmsfilms.h"
#include "standin/htmlescape.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <array>
#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "cms.standin.test";

struct Version {
    std::string name;
    bool playerSelects;  // player types chosen from a list (5.0 on)
    bool menuList;       // the menu is a list (6.0)
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

// clang-format off

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
    return "<html>\n"
           "<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
           "<title>管理中心 " + version.name + "</title>\n"
           "</head>\n"
           "<frameset cols=\"180,*\" frameborder=\"no\" border=\"0\" framespacing=\"0\">\n"
           "  <frame name=\"left\" src=\"admin_index.asp?action=admin_left\" scrolling=\"auto\">\n"
           "  <frame name=\"" + version.mainFrame + "\" src=\"" + HtmlEscape(mainSource) + "\">\n"
           "</frameset>\n"
           "<noframes><body>您的浏览器不支持框架。</body></noframes>\n"
           "</html>\n";
}

std::string Menu(const Version& version)
{
    const std::string target = " target=\"" + version.mainFrame + "\"";
    if (version.menuList)
        return CmsPage("菜单", "<ul id=\"submenu3\">\n"
                            "  <li><a href=\"admin_add.asp\"" + target + ">添加影片</a></li>\n"
                            "  <li><a href=\"admin_p.asp\"" + target + ">影片管理</a></li>\n"
                            "</ul>\n");
    return CmsPage("菜单", "<div id=\"submenu3\">\n"
                        "  <div>\n"
                        "    <table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\">\n"
                        "      <tr>\n"
                        "        <td height=20><a href=\"admin_add.asp\"" + target + ">添加影片</a></td>\n"
                        "      </tr>\n"
                        "      <tr>\n"
                        "        <td height=20><a href=\"admin_p.asp\"" + target + ">影片管理</a></td>\n"
                        "      </tr>\n"
                        "    </table>\n"
                        "  </div>\n"
                        "</div>\n");
}

std::string PlayerField(const Version& version, const std::string& name, const std::string& value)
{
    if (!version.playerSelects)
        return "<input name=\"" + name + "\" type=\"text\" value=\"" + value + "\">";
    static const std::array<const char*, 11> kTypes = {"flash", "56", "tudou", "tudou2", "youku", "youku2",
                                                       "6rooms", "iask", "ouou", "sina", "xunlei2"};
    std::string select = "\n          <select name=\"" + name + "\">\n";
    for (const char* type : kTypes)
        select += std::string("            <option value=\"") + type + "\"" + (value == type ? " selected" : "") + ">" + type +
                  "</option>\n";
    return select + "          </select>\n        ";
}

std::string FilmForm(const Version& version)
{
    return CmsPage("添加影片",
                "<form name=\"form2\" method=\"post\" action=\"admin_save.asp\">\n"
                "  <table width=\"100%\" border=\"0\" cellpadding=\"2\" cellspacing=\"1\">\n"
                "    <tr>\n"
                "      <td>影片名称</td>\n"
                "      <td>\n"
                "        <input name=\"zt_name\" type=\"text\" value=\"\">\n"
                "      </td>\n"
                "    </tr>\n"
                "    <tr>\n"
                "      <td>专辑</td>\n"
                "      <td>\n"
                "        <input name=\"zt_dq\" type=\"text\" size=\"40\" value=\"\">\n"
                "      </td>\n"
                "    </tr>\n"
                "    <tr>\n"
                "      <td>播放器类型1</td>\n"
                "      <td>" + PlayerField(version, "zt_dy", "tudou") + "</td>\n"
                "    </tr>\n"
                "    <tr>\n"
                "      <td>数据地址1</td>\n"
                "      <td>\n"
                "        <textarea name=\"zt_url\" rows=\"8\" cols=\"60\"></textarea>\n"
                "      </td>\n"
                "    </tr>\n"
                "    <tr>\n"
                "      <td>播放器类型2</td>\n"
                "      <td>" + PlayerField(version, "zt_dy1", "youku") + "</td>\n"
                "    </tr>\n"
                "    <tr>\n"
                "      <td>数据地址2</td>\n"
                "      <td>\n"
                "        <textarea name=\"zt_url1\" rows=\"8\" cols=\"60\"></textarea>\n"
                "      </td>\n"
                "    </tr>\n"
                "  </table>\n"
                "  <input type=\"submit\" value=\"保存\">\n"
                "</form>\n");
}

std::string Login(const Version& version, const StandinRequest& request)
{
    if (request.method != "POST")
        return CmsPage("管理员登录 " + version.name,
                    "<h3>管理员登录（" + version.name + "）</h3>\n"
                    "<p>这是内置的演示后台：任意用户名和密码都可以登录。</p>\n"
                    "<form name=\"login\" method=\"post\" action=\"login.asp\">\n"
                    "  <table>\n"
                    "    <tr>\n"
                    "      <td>用户名</td>\n"
                    "      <td><input name=\"username\" type=\"text\" value=\"admin\"></td>\n"
                    "    </tr>\n"
                    "    <tr>\n"
                    "      <td>密码</td>\n"
                    "      <td><input name=\"password\" type=\"password\"></td>\n"
                    "    </tr>\n"
                    "  </table>\n"
                    "  <input type=\"submit\" value=\"登录\">\n"
                    "</form>\n");
    return "<html>\n"
           "<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
           "<meta http-equiv=\"refresh\" content=\"1;url=admin_index.asp\">\n"
           "<title>登录成功</title>\n"
           "</head>\n"
           "<body>\n"
           "<p>登录成功。演示后台接受任何用户名和密码，正在进入管理中心……</p>\n"
           "<p><a href=\"admin_index.asp\">进入管理中心</a></p>\n"
           "</body>\n"
           "</html>\n";
}
// clang-format on

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
            AnswerGbk(response, CmsPage("管理中心", "<p>欢迎使用管理中心 " + version.name + "</p>"));
        else if (page == "admin_add.asp")
            AnswerGbk(response, FilmForm(version));
        else if (!AnswerFilmPage(films, {version.name, version.playerSelects}, page, request, response))
            return false;
        return true;
    }
    return false;
}

}  // namespace

// Pages are written as the CMS wrote them: one element a line, indented; body is written at the
// body's indentation by its caller.
// clang-format off
std::string CmsPage(const std::string& title, const std::string& body)
{
    return "<html>\n"
           "<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
           "<title>" + title + "</title>\n"
           "</head>\n"
           "<body>\n" + body + "</body>\n"
           "</html>\n";
}
// clang-format on

void RegisterCms(StandinWeb& web)
{
    auto films = MakeCmsFilmStore();
    web.AddSite(kHost, [films](const StandinRequest& request, httplib::Response& response) {
        return Answer(*films, request, response);
    });
}

}  // namespace quib::standin
