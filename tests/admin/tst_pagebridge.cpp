// The page bridge of a site's tab against hostile pages, in the real browser (offscreen) on the
// stand-in web: pages that rewrite themselves, open popups, frame the CMS and forge the bridge's
// requests with guessed and stolen keys. Each attack must fail, and the evidence is checked.
#include "host/browser/browserpage.h"
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "admin/cmsfill.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "host/core/hostlog.h"
#include "tests/admin/hostilepages.h"
#include "host/browser/pagebridge.h"
#include "tests/support/scriptedmessages.h"
#include "admin/sitedata.h"
#include "tests/support/standinmain.h"
#include "standin/standinweb.h"
#include "admin/webpage.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <memory>

using namespace quib;
using namespace quib::admin;
using namespace quib::test;
using namespace quib::standin;
using namespace quib::collect;

namespace {

using Args = std::vector<std::string>;

// Waits for done, keeping the event loop running all the time: the browser's own work runs on this
// thread, and QTest::qWaitFor's naps between rounds starve a page of twenty frames or a flood.
template <class Done>
bool Spin(Done done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

class RecordingPage : public TWebPage {
public:
    using TWebPage::TWebPage;

    struct Completed {
        BrowserDocument document;
        std::string url;
    };
    std::vector<Completed> completed;
    std::vector<std::pair<BrowserDocument, Args>> invoked;

    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override
    {
        completed.push_back({document, url});
        TWebPage::BrowserDocumentComplete(sender, document, url);
    }
    void BrwoserWebExternal(TBrowserTab*, const BrowserDocument& caller, const Args& args) override
    {
        invoked.emplace_back(caller, args);
    }

    // The documents that completed with part in their address, in order (a document once).
    std::vector<BrowserDocument> Documents(const std::string& part) const
    {
        std::vector<BrowserDocument> found;
        for (const auto& c : completed)
            if (c.url.find(part) != std::string::npos &&
                std::find(found.begin(), found.end(), c.document) == found.end())
                found.push_back(c.document);
        return found;
    }
    // The same without qWaitFor's naps, for pages that keep the browser busy.
    BrowserDocument Await(const std::string& part)
    {
        if (!Spin([&] { return !Documents(part).empty(); }, 30000))
            throw std::runtime_error("no document completed for " + part);
        return Documents(part).front();
    }
    BrowserDocument WaitFor(const std::string& part, std::size_t count = 1)
    {
        if (!QTest::qWaitFor([&] { return Documents(part).size() >= count; }, 20000))
            throw std::runtime_error("no document completed for " + part);
        return Documents(part)[count - 1];
    }
    bool Invoked(const Args& args, const BrowserDocument& caller)
    {
        return QTest::qWaitFor(
            [&] { return std::find(invoked.begin(), invoked.end(), std::make_pair(caller, args)) != invoked.end(); },
            10000);
    }
    // Nothing forged reached the host's events.
    bool Clean() const
    {
        for (const auto& c : completed)
            if (c.url.find("forged") != std::string::npos)
                return false;
        for (const auto& [caller, args] : invoked)
            if (args == Args{"forged"})
                return false;
        return AdminDocument.Href().find("forged") == std::string::npos;
    }
};

std::string G(std::string_view utf8) { return gbk::FromUtf8(utf8); }

std::string Eval(const BrowserDocument& document, const std::string& expr)
{
    const bool ran = document.ExecScript(
        "var __p=document.getElementsByName('__probe')[0];if(!__p){__p=document.createElement('input');"
        "__p.name='__probe';__p.type='hidden';document.body.appendChild(__p);}__p.value=String(" +
        expr + ");");
    return ran ? document.GetValue("__probe").value_or("<no value>") : "<not run>";
}

// What the host answers to a request to its bridge scheme made by the page's own script.
std::string Ask(const BrowserDocument& from, const std::string& path, const std::string& key)
{
    return Eval(from, "(function(){try{var x=new XMLHttpRequest();x.open('GET','quib-bridge:" + path +
                          "',false);x.setRequestHeader('X-Quib-Key','" + key +
                          "');x.send();return 'accepted';}"
                          "catch(e){return 'refused';}})()");
}

std::string Count(const std::string& text, const std::string& word)
{
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return std::to_string(n);
}

// The write-back of a collection into a CMS film form: the list pasted from the clipboard into the
// address list, the album id merged into the album field.
bool WriteBack(const BrowserDocument& form, const std::string& list)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(list));
    const std::string field = AddressListField(FillTarget::Address1);
    const std::optional<std::string> album = form.GetValue("zt_dq");
    return form.ExecScript(PasteScript(FillTarget::Address1)) && form.GetValue(field) == list && album &&
           form.SetValue("zt_dq", MergeAlbumId(*album, "flood", FillTarget::Address1)) &&
           form.GetValue("zt_dq") == MergeAlbumId(*album, "flood", FillTarget::Address1);
}

// How many requests the page's flooding script (main world) has sent so far.
int FloodSent(RecordingPage& page)
{
    int sent = -1;
    page.GetActiveBrowser()->Page().runJavaScript(QStringLiteral("window.floodSent || 0"),
                                                  [&sent](const QVariant& value) { sent = value.toInt(); });
    (void)Spin([&] { return sent >= 0; }, 10000);
    return sent;
}

const QString kForgedHref = QStringLiteral("http%3A%2F%2Fcms.standin.test%2F5.0%2Fadmin%2Fadmin_add.asp%3Fforged%3D1");

}  // namespace

class PageBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void pagesNeverSeeASecret_data();
    void pagesNeverSeeASecret();
    void forgedRequestsAreRefused_data();
    void forgedRequestsAreRefused();
    void repliesCountOnlyForTheirRequest_data();
    void repliesCountOnlyForTheirRequest();
    void pageGlobalsSurviveHostCode_data();
    void pageGlobalsSurviveHostCode();
    void rewrittenDocumentsGetTheirBridge();
    void floodsAreCutOff_data();
    void floodsAreCutOff();
    void twentyFramesAnswer();

private:
    std::unique_ptr<RecordingPage> Open(const std::string& url);
    // A CMS frameset whose menu was reloaded once and holds a frame of the hostile site.
    struct Frameset {
        std::unique_ptr<RecordingPage> page;
        BrowserDocument add, oldMenu, menu, foreign, admin;
        QByteArray oldMenuKey;
    };
    Frameset& Stage();

    // The log the pages opened with a host write to.
    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    WorkerRegistry m_workers;
    HostLog m_log{m_dir.filePath(QStringLiteral("quib.log"))};
    HostApp m_app{QStringLiteral("admin"), m_dir.path(), m_messages, m_workers};
    TSiteData m_site;
    std::unique_ptr<Frameset> m_frameset;
};

std::unique_ptr<RecordingPage> PageBridgeTest::Open(const std::string& url)
{
    m_site = TSiteData{"site", url, "0", "5.0"};
    m_app.SetLog(&m_log);
    auto page = std::make_unique<RecordingPage>(nullptr, &m_app, QString::fromStdString(url));
    page->Site = &m_site;
    page->AfterShow(nullptr);
    return page;
}

void PageBridgeTest::pagesNeverSeeASecret_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("looted");  // the page whose "loot" holds what the attack saw
    // The page drops every listener with document.open, then frames the CMS.
    QTest::newRow("document.open") << "/open.html"
                                   << "/open.html";
    // The page writes a page that frames the CMS into a blank popup of its own.
    QTest::newRow("popup") << "/popup.html"
                           << "/popup.html";
}

void PageBridgeTest::pagesNeverSeeASecret()
{
    QFETCH(QString, url);
    QFETCH(QString, looted);
    auto page = Open(std::string("http://") + kHostileHost + url.toStdString());
    const BrowserDocument cms = page->WaitFor("admin_p.asp?action=edit");
    QVERIFY(!cms.IsTop());
    std::string loot;
    // Two strikes of the attack, each asking for an identity and forging a completion, a call and
    // five replies with every long text it saw: every one refused.
    QVERIFY(QTest::qWaitFor(
        [&] {
            loot.clear();
            for (const BrowserDocument& top : page->Documents(looted.toStdString()))
                loot += top.GetValue("loot").value_or("");
            return std::stoi(Count(loot, "refused:")) >= 2 * 8;
        },
        20000));
    QVERIFY2(loot.find("accepted:") == std::string::npos, loot.c_str());
    QCOMPARE(Count(loot, "refused:hello"), Count(loot, "refused:complete"));
    // Nothing of the CMS frame reached the page, nothing of the page reached the CMS frame, and
    // the host still speaks with that frame.
    QVERIFY2(loot.find(G("天龙八部")) == std::string::npos, loot.c_str());
    QCOMPARE(cms.GetValue("zt_name").value_or(""), G("天龙八部"));
    QVERIFY(Eval(cms, "document.title") != "pwned");
    QVERIFY(page->Clean());
}

void PageBridgeTest::forgedRequestsAreRefused_data()
{
    QTest::addColumn<QString>("from");     // the page that asks: the CMS menu or the hostile frame in it
    QTest::addColumn<QString>("request");  // {menu}, {oldMenu}, {add}: those documents' ids
    QTest::addColumn<QString>("key");      // whose key it proves with: menu, oldMenu, add or a guess
    QTest::addColumn<bool>("accepted");
    QTest::newRow("own key (control)") << "menu"
                                       << "invoke?d={menu}&a=control"
                                       << "menu" << true;
    QTest::newRow("earlier document's key") << "menu"
                                            << "invoke?d={menu}&a=forged"
                                            << "oldMenu" << false;
    QTest::newRow("earlier document") << "menu"
                                      << "invoke?d={oldMenu}&a=forged"
                                      << "oldMenu" << false;
    QTest::newRow("completion, earlier key")
        << "menu" << QStringLiteral("complete?d={menu}&href=") + kForgedHref << "oldMenu" << false;
    QTest::newRow("renewal of an earlier document") << "menu"
                                                    << "renew?d={oldMenu}"
                                                    << "oldMenu" << false;
    QTest::newRow("hello with a document's key") << "menu"
                                                 << "hello?top=0"
                                                 << "menu" << false;
    QTest::newRow("hello with a guess") << "foreign"
                                        << "hello?top=1"
                                        << "guess" << false;
    QTest::newRow("stolen key, foreign frame") << "foreign"
                                               << "invoke?d={menu}&a=forged"
                                               << "menu" << false;
    QTest::newRow("foreign frame completes as the add page")
        << "foreign" << QStringLiteral("complete?d={add}&href=") + kForgedHref << "add" << false;
    QTest::newRow("poll with a guess") << "foreign"
                                       << "poll?d={add}"
                                       << "guess" << false;
}

PageBridgeTest::Frameset& PageBridgeTest::Stage()
{
    if (m_frameset)
        return *m_frameset;
    auto stage = std::make_unique<Frameset>();
    stage->page = Open("http://cms.standin.test/5.0/admin/admin_index.asp?main=add");
    RecordingPage& page = *stage->page;
    stage->add = page.WaitFor("admin_add.asp");
    stage->oldMenu = page.WaitFor("action=admin_left");
    stage->oldMenuKey = page.GetActiveBrowser()->Bridge().DocumentKey(stage->oldMenu.Address());
    if (!stage->oldMenu.ExecScript("location.reload()"))
        throw std::runtime_error("menu not reloaded");
    stage->menu = page.WaitFor("action=admin_left", 2);
    // The reloaded menu's identity goes once it has stopped checking in.
    const PageBridge& bridge = page.GetActiveBrowser()->Bridge();
    if (!Spin([&] { return bridge.DocumentKey(stage->oldMenu.Address()).isEmpty(); }, 20000))
        throw std::runtime_error("the reloaded menu's identity lives on");
    if (!stage->menu.ExecScript("var f=document.createElement('iframe');f.src='http://" + std::string(kHostileHost) +
                                "/frame.html';document.body.appendChild(f)"))
        throw std::runtime_error("no foreign frame");
    stage->foreign = page.WaitFor("/frame.html");
    stage->admin = page.AdminDocument;
    m_frameset = std::move(stage);
    return *m_frameset;
}

void PageBridgeTest::forgedRequestsAreRefused()
{
    QFETCH(QString, from);
    QFETCH(QString, request);
    QFETCH(QString, key);
    QFETCH(bool, accepted);
    Frameset& stage = Stage();
    const PageBridge& bridge = stage.page->GetActiveBrowser()->Bridge();
    const std::map<QString, const BrowserDocument*> documents = {
        {"menu", &stage.menu}, {"oldMenu", &stage.oldMenu}, {"add", &stage.add}};
    for (const auto& [name, document] : documents)
        request.replace("{" + name + "}", document->Address().document);
    const QByteArray secret = key == "guess"
                                  ? QByteArray("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef")
                              : key == "oldMenu" ? stage.oldMenuKey
                                                 : bridge.DocumentKey(documents.at(key)->Address());
    QVERIFY(!secret.isEmpty());
    const BrowserDocument& asker = from == "menu" ? stage.menu : stage.foreign;
    QCOMPARE(Ask(asker, request.toStdString(), secret.toStdString()), std::string(accepted ? "accepted" : "refused"));
    if (accepted)  // the control: the host took the call as the menu's own
        QVERIFY(stage.page->Invoked({"control"}, stage.menu));
    QVERIFY(stage.page->Clean());
    QVERIFY(stage.page->AdminDocument == stage.admin);
}

void PageBridgeTest::repliesCountOnlyForTheirRequest_data()
{
    QTest::addColumn<QString>("as");  // the document the forged replies name, with its own key
    QTest::addColumn<bool>("result");
    // Replies with the add page's own key for every sequence number, while the menu's request waits.
    QTest::newRow("another document") << "add" << true;
    // The same with the menu's own key (control): one of them answers the waiting request.
    QTest::newRow("the document itself") << "menu" << false;
}

void PageBridgeTest::repliesCountOnlyForTheirRequest()
{
    QFETCH(QString, as);
    QFETCH(bool, result);
    Frameset& stage = Stage();
    const BrowserDocument& named = as == "add" ? stage.add : stage.menu;
    PageBridge& bridge = stage.page->GetActiveBrowser()->Bridge();
    const QByteArray key = bridge.DocumentKey(named.Address());
    bridge.SetTimeout(std::chrono::seconds(60));  // the page asks the host 150 times before it answers
    // From the highest number down (above every request so far), so that no later request of
    // the host's is answered.
    const std::string forge =
        "for(var s=150;s>0;--s){try{var x=new XMLHttpRequest();x.open('GET','quib-bridge:reply?d=" +
        named.Address().document.toStdString() + "&ok=0&s='+s,false);x.setRequestHeader('X-Quib-Key','" +
        key.toStdString() + "');x.send();}catch(e){}}";
    QCOMPARE(stage.menu.ExecScript(forge), result);
    bridge.SetTimeout(std::chrono::seconds(5));
    QVERIFY(stage.menu.ExecScript("1"));
}

void PageBridgeTest::pageGlobalsSurviveHostCode_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("pastes");  // whether the host's code that reads the clipboard can run there
    QTest::addColumn<QString>("own");  // what the page's names hold, before and after the host's code
    // A function declaration and a non-configurable property cannot be lent out: code that uses
    // them does not run there, and says so; the injected buttons, which use neither, still come.
    QTest::newRow("fixed") << "fixed" << false << "page:x|page clip";
    // An old toolbar's function navigate() alone stands in the way of nothing the host runs.
    QTest::newRow("navigate") << "navigate" << true << "page:x|none";
    // Plain properties are lent to the host's code and given back.
    QTest::newRow("replaceable") << "replaceable" << true << "page:x|page clip";
}

void PageBridgeTest::pageGlobalsSurviveHostCode()
{
    QFETCH(QString, kind);
    QFETCH(bool, pastes);
    QFETCH(QString, own);
    const std::string url = std::string("http://") + kHostileHost + "/" + kind.toStdString() + "/admin_add.asp";
    auto page = Open(url);
    const BrowserDocument add = page->WaitFor("/admin_add.asp");
    QVERIFY(QTest::qWaitFor([&] { return add.GetValue("seen").value_or("") == own.toStdString(); }, 10000));
    QVERIFY(add.GetValue("zt_cj").has_value());  // the collect button of the injection
    QVERIFY(add.GetValue("zt_ss").has_value());
    // Code that names navigate runs only where the page's own can be lent.
    QCOMPARE(add.ExecScript("if(!document)navigate('x')"), kind == "replaceable");
    page->BrowserDocumentComplete(page->GetActiveBrowser(), add, url);
    QGuiApplication::clipboard()->setText(QStringLiteral("host clip"));
    QCOMPARE(add.ExecScript("try{document.form2.zt_url.value=window.clipboardData.getData(\"text\");}catch(e){}"),
             pastes);
    QCOMPARE(add.GetValue("zt_url").value_or(""), std::string(pastes ? "host clip" : ""));
    QVERIFY(add.SetValue("seen", ""));
    QVERIFY(QTest::qWaitFor([&] { return add.GetValue("seen").value_or("") == own.toStdString(); }, 10000));
}

void PageBridgeTest::rewrittenDocumentsGetTheirBridge()
{
    auto page = Open(std::string("http://") + kHostileHost + "/rewrite.html");
    const BrowserDocument first = page->WaitFor("/rewrite.html");
    QCOMPARE(first.GetValue("stage").value_or(""), std::string("first"));
    QVERIFY(first.ExecScript("setTimeout(rewrite,0)"));
    // The rewritten page and the blank frame it fills complete with the page's address (a document
    // written by document.open takes its writer's).
    page->WaitFor("/rewrite.html", 3);
    const auto documents = page->Documents("/rewrite.html");
    const BrowserDocument rewritten = documents[1].IsTop() ? documents[1] : documents[2];
    const BrowserDocument blank = documents[1].IsTop() ? documents[2] : documents[1];
    QVERIFY(rewritten.IsTop() && !blank.IsTop());
    QVERIFY(!first.ExecScript("1"));  // its identity went with its content
    QCOMPARE(rewritten.GetValue("stage").value_or(""), std::string("second"));
    QCOMPARE(blank.GetValue("stage").value_or(""), std::string("blank"));
    QVERIFY(rewritten.ExecScript("window.external.WebInvoke('rewritten')"));
    QVERIFY(page->Invoked({"rewritten"}, rewritten));
    QVERIFY(blank.ExecScript("window.external.WebInvoke('blank')"));
    QVERIFY(page->Invoked({"blank"}, blank));
}

void PageBridgeTest::floodsAreCutOff_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("form");   // the CMS form written back into during the flood
    QTest::addColumn<QString>("flood");  // the flooding document
    // The top page floods the bridge, with a CMS edit page in a frame.
    QTest::newRow("main page") << QStringLiteral("http://%1/flood.html").arg(kFloodTopHost) << "admin_p.asp?action=edit"
                               << "/flood.html";
    // A frame of the hostile site inside the CMS frameset floods it, beside the add page and the menu.
    QTest::newRow("foreign frame") << QStringLiteral("http://cms.standin.test/5.0/admin/admin_index.asp?main=add")
                                   << "admin_add.asp"
                                   << "/flood-frame.html";
}

void PageBridgeTest::floodsAreCutOff()
{
    QFETCH(QString, url);
    QFETCH(QString, form);
    QFETCH(QString, flood);
    const QString before = m_log.ReadAll();
    auto page = Open(url.toStdString());
    const BrowserDocument cms = page->Await(form.toStdString());
    std::vector<BrowserDocument> others;  // the frameset's other CMS documents
    if (flood == "/flood-frame.html") {
        others = {page->Await("action=admin_left"), page->Await("admin_index.asp")};
        QVERIFY(others[0].ExecScript("var f=document.createElement('iframe');f.src='http://" +
                                     std::string(kFloodFrameHost) + "/flood-frame.html';document.body.appendChild(f)"));
    }
    // Cut off and logged, naming the flooding site.
    QVERIFY(Spin([&] { return m_log.ReadAll().size() > before.size(); }, 60000));
    const QString logged = m_log.ReadAll().mid(before.size());
    QVERIFY2(logged.contains(QLatin1String(flood == "/flood.html" ? kFloodTopHost : kFloodFrameHost)) &&
                 logged.contains(QLatin1String("PageBridge")),
             qPrintable(logged));
    for (const BrowserDocument& flooding : page->Documents(flood.toStdString()))  // if it got as far as completing
        QVERIFY(!flooding.ExecScript("1"));
    // The CMS documents answer as themselves while the flood goes on, and the write-back works.
    const int sent = FloodSent(*page);
    QVERIFY(cms.ExecScript("document.title='written'"));
    QCOMPARE(Eval(cms, "document.title"), std::string("written"));
    QVERIFY(WriteBack(cms, "flood$http://www.tudou.com/programs/view/flood/"));
    for (const BrowserDocument& other : others)
        QVERIFY(other.ExecScript("1"));
    QCOMPARE(page->Documents(form.toStdString()).size(), std::size_t{1});
    if (flood == "/flood.html")
        QVERIFY(FloodSent(*page) > sent);  // the top page still floods: it is refused, not sent away
    QVERIFY(page->Clean());
}

void PageBridgeTest::twentyFramesAnswer()
{
    auto page = Open(std::string("http://") + kHostileHost + "/frames.html?n=20");
    QVERIFY(Spin([&] { return page->Documents("/quiet.html").size() >= 20; }, 20000));
    const std::vector<BrowserDocument> frames = page->Documents("/quiet.html");
    QCOMPARE(frames.size(), std::size_t{20});
    // Every frame, in turn and again, answers with its own number.
    for (int round = 0; round < 2; ++round)
        for (const BrowserDocument& frame : frames) {
            const std::string url = frame.Href();
            const std::string number = url.substr(url.find("n=") + 2);
            QCOMPARE(frame.GetValue("n").value_or("<none>"), number);
        }
}

int main(int argc, char** argv) { return RunEmbeddedBrowserTest<PageBridgeTest>(argc, argv, RegisterHostilePages); }

#include "tst_pagebridge.moc"
