// The partner's personal-finance site "沛融通" (www.fenmor.com, with its tools on
// tools.fenmor.com), and two neighbours that frame it or are framed by it: an advertiser
// (ads.standin.test) and a portal (portal.standin.test). Every page that may take the partner
// module's help link has an element with the id "help" (the foreign ones too, so that a link that
// should not be there would have a place to go); the tools page has none. Served in GBK.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <string>

namespace quib::standin {

namespace {

const char* const kStyle =
    "<style>body{margin:0;font-family:'SimSun',sans-serif;font-size:13px;color:#333;background:#f6f8f5}"
    ".top{background:#1f7a4d;color:#fff;padding:10px 24px;overflow:hidden}"
    ".top b{font-size:22px;letter-spacing:4px}.top a{color:#fff;margin-left:18px;text-decoration:none}"
    "#help{float:right;background:#fff;padding:2px 8px}"
    ".main{padding:16px 24px}.box{background:#fff;border:1px solid #cfe3d6;padding:12px 16px;margin-bottom:12px}"
    "h2{font-size:15px;color:#1f7a4d;margin:0 0 8px}iframe{border:1px solid #cfe3d6;background:#fff}"
    ".foot{color:#888;padding:8px 24px;font-size:12px}</style>";

std::string Document(const std::string& title, const std::string& body)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>" + title +
           "</title>" + kStyle + "</head><body>" + body + "</body></html>";
}

// The partner's frame of every page: the brand, the navigation and, unless the page has no help
// element, the place for the help link.
std::string PartnerPage(const std::string& title, const std::string& content, bool helpElement = true)
{
    return Document(title + " - 沛融通",
                    "<div class=\"top\">" + std::string(helpElement ? "<span id=\"help\"></span>" : "") +
                        "<b>沛融通</b><a href=\"/\">首页</a><a href=\"/market/\">市场行情</a>"
                        "<a href=\"/forum/\">理财论坛</a><a href=\"http://tools.fenmor.com/\">理财工具</a></div>"
                        "<div class=\"main\">" +
                        content +
                        "</div>"
                        "<div class=\"foot\">沛融通 个人理财服务 &copy; 2009</div>");
}

std::string Home()
{
    return PartnerPage(
        "首页",
        "<div "
        "class=\"box\"><h2>今天的钱，明天的家</h2><p>记账、储蓄、信用卡还款，沛融通陪您把日常的每一笔钱都理清楚。</p>"
        "<p><a href=\"http://tools.fenmor.com/calc.html\" target=\"_blank\">打开理财计算器（新窗口）</a></p></div>"
        "<div class=\"box\"><h2>本周话题</h2><ul><li>工资到手，先存后花</li><li>信用卡免息期怎样用足</li>"
        "<li>零存整取适合哪些人</li></ul></div>");
}

std::string Market()
{
    return PartnerPage(
        "市场行情",
        "<div class=\"box\"><h2>今日存款利率</h2>"
        "<iframe src=\"http://tools.fenmor.com/rates.html\" width=\"420\" height=\"150\"></iframe></div>");
}

std::string Forum()
{
    return PartnerPage(
        "理财论坛",
        "<div class=\"box\"><h2>理财论坛</h2><p>网友交流：如何一年存下两万元？</p>"
        "<iframe src=\"http://ads.standin.test/banner.html\" width=\"420\" height=\"90\"></iframe></div>");
}

std::string Help()
{
    return Document("使用帮助 - 沛融通",
                    "<div class=\"top\"><b>沛融通</b></div><div class=\"main\"><div class=\"box\"><h2>使用帮助</h2>"
                    "<p>首页汇集每周的理财话题；“市场行情”列出今日的存款利率；“理财论坛”是网友交流的地方；"
                    "“理财工具”里有记账本和理财计算器。</p></div></div>");
}

bool AnswerPartner(const StandinRequest& request, httplib::Response& response)
{
    if (request.path == "/" || request.path == "/index.html")
        AnswerGbk(response, Home());
    else if (request.path == "/market/")
        AnswerGbk(response, Market());
    else if (request.path == "/forum/")
        AnswerGbk(response, Forum());
    else if (request.path == "/help/")
        AnswerGbk(response, Help());
    else
        return false;
    return true;
}

bool AnswerTools(const StandinRequest& request, httplib::Response& response)
{
    if (request.path == "/")  // the partner's page without a help element
        AnswerGbk(response,
                  PartnerPage("理财工具",
                              "<div class=\"box\"><h2>理财工具</h2><ul><li><a href=\"/calc.html\">理财计算器</a></li>"
                              "<li>记账本</li></ul></div>",
                              false));
    else if (request.path == "/calc.html")
        AnswerGbk(
            response,
            PartnerPage("理财计算器",
                        "<div class=\"box\"><h2>理财计算器</h2><p>每月存入 <input name=\"amount\" value=\"1000\"> 元，"
                        "年利率 <input name=\"rate\" value=\"2.25\">%</p></div>"));
    else if (request.path == "/rates.html")
        AnswerGbk(response, Document("存款利率",
                                     "<span id=\"help\"></span><table><tr><td>活期</td><td>0.36%</td></tr>"
                                     "<tr><td>定期一年</td><td>2.25%</td></tr>"
                                     "<tr><td>零存整取一年</td><td>1.71%</td></tr></table>"));
    else
        return false;
    return true;
}

bool AnswerAds(const StandinRequest& request, httplib::Response& response)
{
    if (request.path != "/banner.html")
        return false;
    AnswerGbk(response, Document("广告", "<span id=\"help\"></span><p>新车上市，首付三成开回家！</p>"));
    return true;
}

// A portal that shows the partner's rates in a frame (any query: an address that names the
// partner's domain in its query is still the portal's page).
bool AnswerPortal(const StandinRequest& request, httplib::Response& response)
{
    if (request.path != "/")
        return false;
    AnswerGbk(response,
              Document("生活门户",
                       "<div class=\"top\"><span id=\"help\"></span><b>生活门户</b></div>"
                       "<div class=\"main\"><div class=\"box\"><h2>合作伙伴：沛融通</h2>"
                       "<iframe src=\"http://tools.fenmor.com/rates.html\" width=\"420\" height=\"150\"></iframe>"
                       "</div></div>"));
    return true;
}

}  // namespace

void RegisterPartnerSite(StandinWeb& web)
{
    web.AddSite("www.fenmor.com", AnswerPartner);
    web.AddSite("tools.fenmor.com", AnswerTools);
    web.AddSite("ads.standin.test", AnswerAds);
    web.AddSite("portal.standin.test", AnswerPortal);
}

}  // namespace quib::standin
