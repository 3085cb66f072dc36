// A site's browser tab in the real browser (offscreen) on the stand-in web: which documents get
// which scripts, what their controls send back to the host, the administration document, and
// that hostile pages cannot reach into the bridge.
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "host/core/gbk.h"
#include "tests/admin/hostilepages.h"
#include "admin/injection.h"
#include "admin/sitedata.h"
#include "tests/support/standinmain.h"
#include "standin/standinweb.h"
#include "admin/webpage.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace quib;
using namespace quib::admin;
using namespace quib::test;
using namespace quib::standin;
using namespace quib::collect;

namespace {

using Args = std::vector<std::string>;

std::string G(std::string_view utf8) { return gbk::FromUtf8(utf8); }

class RecordingPage : public TWebPage {
public:
    using TWebPage::TWebPage;

    struct Completed {
        BrowserDocument document;
        std::string url;
    };
    std::vector<Completed> completed;
    std::vector<Args> invoked;

    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override
    {
        TWebPage::BrowserDocumentComplete(sender, document, url);
        completed.push_back({document, url});
    }
    void BrwoserWebExternal(TBrowserTab*, const BrowserDocument&, const Args& args) override
    {
        invoked.push_back(args);
    }

    const Completed* Find(const std::string& part) const
    {
        for (auto it = completed.rbegin(); it != completed.rend(); ++it)
            if (it->url.find(part) != std::string::npos)
                return &*it;
        return nullptr;
    }
};

// Evaluates expr in the document and reads the result back through an element value.
std::string Eval(const BrowserDocument& document, const std::string& expr)
{
    const bool ran = document.ExecScript(
        "var __p=document.getElementsByName('__probe')[0];if(!__p){__p=document.createElement('input');"
        "__p.name='__probe';__p.type='hidden';document.body.appendChild(__p);}__p.value=String(" +
        expr + ");");
    return ran ? document.GetValue("__probe").value_or("<no value>") : "<not run>";
}

std::string CountCollectLinks()
{
    // A link whose address the script could not find reads "undefined" there.
    return G(
        "Array.from(document.getElementsByTagName('a'))"
        ".filter(function(a){return a.textContent=='采集'&&a.href.indexOf('undefined')<0;}).length");
}

}  // namespace

class WebPageTest : public QObject {
    Q_OBJECT
private slots:
    void cmsVersionsGetTheirControls_data();
    void cmsVersionsGetTheirControls();
    void theEventAddressDecides();
    void videoSitesGetOneLinkPerAlbum_data();
    void videoSitesGetOneLinkPerAlbum();
    void hostCodeSeesTheOldBrowsersDocument();
    void clicksReachWebInvokeInOrder();
    void callsBeforeTheChannelIsUpArrive();
    void adminDocumentFollowsTheCmsPages();
    void hostileTopPageCannotReachTheCmsFrame();
    void foreignFrameCannotReachItsNeighbours();

private:
    std::unique_ptr<RecordingPage> Open(const std::string& url, const std::string& version);
    const RecordingPage::Completed& WaitFor(RecordingPage& page, const std::string& part);

    TSiteData m_site;
};

std::unique_ptr<RecordingPage> WebPageTest::Open(const std::string& url, const std::string& version)
{
    m_site = TSiteData{"site", url, "0", version};
    auto page = std::make_unique<RecordingPage>(nullptr, nullptr, QString::fromStdString(url));
    page->Site = &m_site;
    page->AfterShow(nullptr);
    return page;
}

const RecordingPage::Completed& WebPageTest::WaitFor(RecordingPage& page, const std::string& part)
{
    if (!QTest::qWaitFor([&] { return page.Find(part) != nullptr; }, 20000))
        throw std::runtime_error("no document completed for " + part);
    return *page.Find(part);
}

void WebPageTest::cmsVersionsGetTheirControls_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("served");     // the stand-in version the pages come from
    QTest::addColumn<QString>("menuFirst");  // the first menu entry's text
    QTest::addColumn<QString>("collect");    // the collect buttons' captions
    QTest::addColumn<QString>("search");
    QTest::newRow("3.1") << "3.1"
                         << "3.1"
                         << "视频搜索"
                         << "采集|"
                         << "搜索";
    QTest::newRow("4.x") << "4.x"
                         << "4.x"
                         << "视频搜索"
                         << "采集1|采集2"
                         << "搜索";
    QTest::newRow("5.0") << "5.0"
                         << "5.0"
                         << "视频搜索"
                         << "采集1|采集2"
                         << "搜索";
    QTest::newRow("6.0") << "6.0"
                         << "6.0"
                         << "视频搜索"
                         << "采集1|采集2"
                         << "搜索";
    QTest::newRow("unknown version") << "7.0"
                                     << "4.x"
                                     << "添加影片"
                                     << "|"
                                     << "";
}

void WebPageTest::cmsVersionsGetTheirControls()
{
    QFETCH(QString, version);
    QFETCH(QString, served);
    QFETCH(QString, menuFirst);
    QFETCH(QString, collect);
    QFETCH(QString, search);
    auto page = Open("http://cms.standin.test/" + served.toStdString() + "/admin/admin_index.asp?main=add",
                     version.toStdString());
    const auto left = WaitFor(*page, "action=admin_left");
    const auto add = WaitFor(*page, "admin_add.asp");
    WaitFor(*page, "admin_index.asp?main=");
    const std::string first = served == "6.0"
                                  ? "document.getElementById('submenu3').firstElementChild.textContent.trim()"
                                  : "document.querySelector('#submenu3 tr').textContent.trim()";
    QCOMPARE(QString::fromStdString(gbk::ToUtf8(Eval(left.document, first))), menuFirst);
    const std::string caption = "(document.getElementsByName('%1')[0]||{value:''}).value";
    auto value = [&](const char* name) {
        std::string expr = caption;
        expr.replace(expr.find("%1"), 2, name);
        return QString::fromStdString(gbk::ToUtf8(Eval(add.document, expr)));
    };
    // The host's code reads the form's markup as the page's scripts do, only with upper-case tags.
    QCOMPARE(Eval(add.document, "document.form2.innerHTML.toLowerCase()"),
             Eval(add.document, "document.form2['inner'+'HTML'].toLowerCase()"));
    QVERIFY(Eval(add.document, "document.form2.innerHTML").find("<TEXTAREA name=\"zt_url\"") != std::string::npos);
    QCOMPARE(value("zt_cj") + "|" + value("zt_cj2"), collect);
    QCOMPARE(value("zt_ss"), search);
    // The collect buttons sit behind the album field, the search button behind the title field.
    if (!search.isEmpty()) {
        QCOMPARE(Eval(add.document, "document.form2.zt_dq.nextElementSibling.name"), std::string("zt_cj"));
        QCOMPARE(Eval(add.document, "document.form2.zt_name.nextElementSibling.name"), std::string("zt_ss"));
        QCOMPARE(page->AdminDocument.Empty(), false);
    } else {
        QVERIFY(page->AdminDocument.Empty());
    }
}

void WebPageTest::theEventAddressDecides()
{
    auto page = Open("http://cms.standin.test/4.x/admin/admin_index.asp?main=add", "4.x");
    const auto left = WaitFor(*page, "action=admin_left");
    const auto add = WaitFor(*page, "admin_add.asp");
    TBrowserTab* tab = page->GetActiveBrowser();
    const std::string entries = G("document.querySelectorAll('#submenu3 tr').length");
    QCOMPARE(Eval(left.document, entries), std::string("3"));
    // Further parameters after the menu address still make it the menu page (CMS scripts carry
    // no mark, so each completion adds an entry).
    page->BrowserDocumentComplete(tab, left.document, left.url + "&x=1");
    QCOMPARE(Eval(left.document, entries), std::string("4"));
    // An address with both the menu and the add text is the menu page only: M1 finds no menu in
    // the add page and no buttons are added.
    const std::string buttons =
        "document.getElementsByName('zt_cj').length+','+document.getElementsByName('zt_ss').length";
    QCOMPARE(Eval(add.document, buttons), std::string("1,1"));
    page->BrowserDocumentComplete(
        tab, add.document, "http://cms.standin.test/4.x/admin/admin_index.asp?action=admin_left&go=admin_add.asp");
    QCOMPARE(Eval(add.document, buttons), std::string("1,1"));
    // The search script runs although the collect script failed before it.
    QVERIFY(add.document.ExecScript("document.form2.zt_dq.parentElement.removeChild(document.form2.zt_dq)"));
    page->BrowserDocumentComplete(tab, add.document, add.url);
    QCOMPARE(Eval(add.document, buttons), std::string("1,2"));
}

void WebPageTest::videoSitesGetOneLinkPerAlbum_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("links");
    QTest::addColumn<QString>("none");  // elements that must get no link
    QTest::newRow("56") << "http://so.56.com/index?type=album&key=a"
                        << "3"
                        << "";
    QTest::newRow("youku playlists") << "http://so.youku.com/search_playlist/q_a"
                                     << "3"
                                     << "ul.lists";
    QTest::newRow("youku videos") << "http://so.youku.com/search_video/q_a"
                                  << "6"
                                  << "ul.vList";
    QTest::newRow("youku neither") << "http://so.youku.com/search_other/q_a"
                                   << "0"
                                   << "";
    QTest::newRow("youku neither, CMS address not tried") << "http://so.youku.com/admin/admin_add.asp"
                                                          << "0"
                                                          << "";
    QTest::newRow("tudou programs") << "http://so.tudou.com/psearch/a"
                                    << "3"
                                    << "div.pack";
    QTest::newRow("tudou clips") << "http://so.tudou.com/isearch/a"
                                 << "3"
                                 << "td.programInfo";
    QTest::newRow("6rooms albums, both tests") << "http://6.cn/search.php?t=p&k=a&t=v"
                                               << "3"
                                               << "div.videobar-showl";
    QTest::newRow("6rooms videos") << "http://6.cn/search.php?t=v&k=a"
                                   << "3"
                                   << "div.videobar-showzjl";
    QTest::newRow("ouou") << "http://so.ouou.com/search/special/a/1"
                          << "3"
                          << "";
    QTest::newRow("sina") << "http://so.video.sina.com.cn/s?key=a&type=topic"
                          << "3"
                          << "";
    QTest::newRow("sub-domain") << "http://m.so.56.com/index?type=album&key=a"
                                << "0"
                                << "";
}

void WebPageTest::videoSitesGetOneLinkPerAlbum()
{
    QFETCH(QString, url);
    QFETCH(QString, links);
    QFETCH(QString, none);
    auto page = Open(url.toStdString(), "4.x");
    const auto done = WaitFor(*page, url.toStdString().substr(7, 12));
    QCOMPARE(QString::fromStdString(Eval(done.document, CountCollectLinks())), links);
    page->BrowserDocumentComplete(page->GetActiveBrowser(), done.document, done.url);
    QCOMPARE(QString::fromStdString(Eval(done.document, CountCollectLinks())), links);
    if (!none.isEmpty()) {
        const std::string inside = G("Array.from(document.querySelectorAll('" + none.toStdString() +
                                     " a')).filter(function(a){return a.textContent=='采集';}).length");
        QCOMPARE(Eval(done.document, inside), std::string("0"));
    }
    QVERIFY(page->AdminDocument.Empty());
}

void WebPageTest::hostCodeSeesTheOldBrowsersDocument()
{
    auto page = Open("http://so.56.com/index?type=album&key=a", "4.x");
    const auto done = WaitFor(*page, "so.56.com");
    const std::string result = "document.getElementById('result')";
    // The host's code counts no white-space text and reads tag names in upper case.
    QCOMPARE(Eval(done.document, result + ".childNodes[0].nodeName+(" + result + ".innerHTML.indexOf('<DL class=')>0)"),
             std::string("DL") + "true");
    // The page's own scripts (which name neither, so nothing is lent to this probe) see this
    // browser's document, also after host code that threw, and a getter they kept meanwhile
    // acts as their own.
    QVERIFY(
        !done.document.ExecScript("window.kept=Object.getOwnPropertyDescriptor(Node.prototype,'childNodes').get;"
                                  "document.body.childNodes.none.none"));
    const std::string own = "window.kept.call(" + result + ")[0].nodeName+" + result + "['child'+'Nodes'].length+(" +
                            result + "['inner'+'HTML'].indexOf('<dl class=')>0)";
    QCOMPARE(Eval(done.document, own), std::string("#text7true"));
}

void WebPageTest::clicksReachWebInvokeInOrder()
{
    auto page = Open("http://cms.standin.test/5.0/admin/admin_index.asp?main=add", "5.0");
    const auto left = WaitFor(*page, "action=admin_left");
    const auto add = WaitFor(*page, "admin_add.asp");
    QVERIFY(add.document.SetValue("zt_dq", "http://www.tudou.com/playlist/id/2x5/"));
    QVERIFY(add.document.SetValue("zt_name", G("射雕")));
    QVERIFY(add.document.SetValue("zt_dy1", "youku2"));
    QCOMPARE(add.document.GetValue("zt_dy1").value_or(""), std::string("youku2"));
    QVERIFY(!add.document.GetValue("no_such_field"));
    for (const char* button : {"zt_cj", "zt_cj2", "zt_ss"})
        QVERIFY(add.document.ExecScript(std::string("document.getElementsByName('") + button + "')[0].click()"));
    QVERIFY(left.document.ExecScript("document.querySelector('#submenu3 a').click()"));
    // A page's own call with null and undefined arguments.
    QVERIFY(
        add.document.ExecScript("var "
                                "b=document.createElement('button');b.setAttribute('onclick',\"window.external."
                                "WebInvoke('x',null,undefined,2)\");"
                                "document.body.appendChild(b);b.click()"));
    QVERIFY(QTest::qWaitFor([&] { return page->invoked.size() >= 5; }, 10000));
    const std::vector<Args> expected = {
        {"parse", "1", "http://www.tudou.com/playlist/id/2x5/", "tudou"},
        {"parse", "2", "http://www.tudou.com/playlist/id/2x5/", "youku2"},
        {"search", G("射雕")},
        {"search"},
        {"x", "", "", "2"},
    };
    QCOMPARE(page->invoked, expected);

    auto site = Open("http://so.56.com/index?type=album&key=a", "5.0");
    const auto result = WaitFor(*site, "so.56.com");
    QVERIFY(
        result.document.ExecScript(G("Array.from(document.getElementsByTagName('a')).filter(function(a){return "
                                     "a.textContent=='采集';})[1].click()")));
    QVERIFY(QTest::qWaitFor([&] { return !site->invoked.empty(); }, 10000));
    QCOMPARE(site->invoked.front(), (Args{"webparse", "56", "http://www.56.com/w12/album-aid-2x5.html"}));
}

void WebPageTest::callsBeforeTheChannelIsUpArrive()
{
    auto page = Open(std::string("http://") + kHostileHost + "/early.html", "5.0");
    WaitFor(*page, "/early.html");
    QVERIFY(QTest::qWaitFor([&] { return page->invoked.size() >= 2; }, 10000));
    QCOMPARE(page->invoked, (std::vector<Args>{{"early", "top"}, {"early", "frame"}}));
}

void WebPageTest::adminDocumentFollowsTheCmsPages()
{
    auto page = Open("http://cms.standin.test/5.0/admin/admin_index.asp?main=add", "5.0");
    const auto left = WaitFor(*page, "action=admin_left");
    const auto add = WaitFor(*page, "admin_add.asp");
    WaitFor(*page, "admin_index.asp?main=");
    const RecordingPage::Completed* lastCms = nullptr;
    for (const auto& c : page->completed)
        if (IsCmsInjectedPage(c.url))
            lastCms = &c;
    QVERIFY(lastCms);
    QVERIFY(page->AdminDocument == lastCms->document);

    QVERIFY(add.document.ExecScript("location.href='admin_p.asp?action=edit&id=2'"));
    const auto edit = WaitFor(*page, "admin_p.asp?action=edit");
    QVERIFY(page->AdminDocument == edit.document);
    QVERIFY(!add.document.ExecScript("1"));  // that document is gone
    QVERIFY(page->AdminDocument.SetValue("zt_dy", "iask"));
    QCOMPARE(page->AdminDocument.GetValue("zt_dy").value_or(""), std::string("iask"));

    // Leaving for another page keeps it; heading for one of the three CMS pages clears it.
    QVERIFY(edit.document.ExecScript("location.href='admin_main.asp'"));
    WaitFor(*page, "admin_main.asp");
    QVERIFY(page->AdminDocument == edit.document);
    bool cancel = false;
    page->BrowserBeforeNaviage2(page->GetActiveBrowser(), "http://cms.standin.test/5.0/admin/admin_add.asp", false,
                                cancel);
    QVERIFY(!cancel);
    QVERIFY(page->AdminDocument.Empty());

    // A document that is gone cannot take its scripts: the failure goes to the event's caller.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             page->BrowserDocumentComplete(page->GetActiveBrowser(), edit.document, edit.url));
    // Switched off, nothing is injected and the document stays as it was.
    page->ScriptEnabled = false;
    const BrowserDocument before = page->AdminDocument;
    page->BrowserDocumentComplete(page->GetActiveBrowser(), left.document, left.url);
    QVERIFY(page->AdminDocument == before);
    QVERIFY(!(page->AdminDocument == left.document));
    QCOMPARE(Eval(left.document, G("document.querySelectorAll('#submenu3 tr').length")), std::string("3"));
    page->ScriptEnabled = true;
    page->BrowserDocumentComplete(page->GetActiveBrowser(), left.document, left.url);
    QVERIFY(page->AdminDocument == left.document);
    page->CloseForm();
    QVERIFY(page->AdminDocument.Empty());
}

void WebPageTest::hostileTopPageCannotReachTheCmsFrame()
{
    auto page = Open(std::string("http://") + kHostileHost + "/top.html", "5.0");
    const auto cms = WaitFor(*page, "admin_p.asp?action=edit");
    const auto top = WaitFor(*page, "/top.html");
    QTest::qWait(600);  // the page strikes again after 200 ms
    QCOMPARE(cms.document.GetValue("zt_name").value_or(""), G("天龙八部"));
    QVERIFY(Eval(cms.document, "document.title") != "pwned");
    const std::string loot = top.document.GetValue("loot").value_or("");
    QVERIFY2(loot.find(G("天龙八部")) == std::string::npos, loot.c_str());
    QVERIFY2(loot.find("\"qt\":\"undefined\",\"clip\":\"undefined\",\"nav\":\"undefined\",\"ext\":\"function\"") !=
                 std::string::npos,
             loot.c_str());
    for (const auto& c : page->completed)
        QVERIFY(c.url.find("fake=1") == std::string::npos);
    for (const Args& args : page->invoked)
        QVERIFY(args != Args{"forged"});
}

void WebPageTest::foreignFrameCannotReachItsNeighbours()
{
    auto page = Open(
        std::string("http://cms.standin.test/5.0/admin/admin_index.asp?main=http://") + kHostileHost + "/frame.html",
        "5.0");
    const auto left = WaitFor(*page, "action=admin_left");
    const auto foreign = WaitFor(*page, "/frame.html");
    const auto top = WaitFor(*page, "admin_index.asp?main=");
    QTest::qWait(600);
    QCOMPARE(foreign.document.Hostname(), std::string(kHostileHost));
    QVERIFY(Eval(left.document, "document.title") != "pwned");
    QVERIFY(Eval(top.document, "document.title") != "pwned");
    QCOMPARE(Eval(left.document, G("document.querySelectorAll('#submenu3 tr').length")), std::string("3"));
    for (const auto& c : page->completed)
        QVERIFY(c.url.find("fake=1") == std::string::npos);
    for (const Args& args : page->invoked)
        QVERIFY(args != Args{"forged"});
    const std::string loot = foreign.document.GetValue("loot").value_or("");
    QVERIFY2(loot.find("\"ext\":\"function\"") != std::string::npos, loot.c_str());
}

int main(int argc, char** argv) { return RunEmbeddedBrowserTest<WebPageTest>(argc, argv, RegisterHostilePages); }

#include "tst_webpage.moc"
