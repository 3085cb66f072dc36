// The tabbed browser form in the real browser (offscreen) against the stand-in web: tabs, new
// windows, before-navigate in every frame, scripts run in order in a chosen frame, WebInvoke
// from a sub-frame, and the res:// scheme.
#include "host/browser/browserstartup.h"
#include "host/framework/hostapp.h"
#include "tests/support/scriptedmessages.h"
#include "tests/support/standinmain.h"
#include "host/core/workerthread.h"
#include "host/browser/browsertab.h"
#include "standin/standinweb.h"
#include "host/browser/tabwebform.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWebEngineView>

#include <memory>

using namespace quib;
using namespace quib::test;
using namespace quib::standin;

namespace {

class RecordingForm : public TTabWebForm {
public:
    using TTabWebForm::TTabWebForm;

    struct Navigation {
        std::string url;
        bool mainFrame;
    };
    std::vector<Navigation> navigations;
    std::vector<std::pair<BrowserDocument, std::string>> completed;
    std::vector<std::pair<BrowserDocument, std::vector<std::string>>> invoked;
    std::string refuse;  // navigations to addresses holding this are cancelled

    void BrowserBeforeNaviage2(TBrowserTab* sender, const std::string& url, bool mainFrame, bool& cancel) override
    {
        TTabWebForm::BrowserBeforeNaviage2(sender, url, mainFrame, cancel);
        navigations.push_back({url, mainFrame});
        cancel = !refuse.empty() && url.find(refuse) != std::string::npos;
    }
    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override
    {
        TTabWebForm::BrowserDocumentComplete(sender, document, url);
        completed.emplace_back(document, url);
    }
    void BrwoserWebExternal(TBrowserTab*, const BrowserDocument& caller, const std::vector<std::string>& args) override
    {
        invoked.emplace_back(caller, args);
    }

    BrowserDocument WaitFor(const std::string& part)
    {
        const auto find = [&]() -> const BrowserDocument* {
            for (const auto& [document, url] : completed)
                if (url.find(part) != std::string::npos)
                    return &document;
            return nullptr;
        };
        if (!QTest::qWaitFor([&] { return find() != nullptr; }, 20000))
            throw std::runtime_error("no document completed for " + part);
        return *find();
    }
};

std::string Eval(const BrowserDocument& document, const std::string& expr)
{
    const bool ran = document.ExecScript(
        "var __p=document.getElementsByName('__probe')[0];if(!__p){__p=document.createElement('input');"
        "__p.name='__probe';__p.type='hidden';document.body.appendChild(__p);}__p.value=String(" +
        expr + ");");
    return ran ? document.GetValue("__probe").value_or("<no value>") : "<not run>";
}

const std::string kFrameset = "http://cms.standin.test/4.x/admin/admin_index.asp";

}  // namespace

class TabWebFormTest : public QObject {
    Q_OBJECT
private slots:
    void noBrowserBeforeAfterShow();
    void beforeNavigateInEveryFrameAndCancel();
    void scriptsRunInOrderInTheChosenFrame();
    void webInvokeFromASubFrameNamesItsDocument();
    void newWindowsOpenAsTabs();
    void fixedTabsStayOpen();
    void resSchemeServesModuleResources();
    void formWithoutExternalGivesPagesNone();
    void pageMessageBoxesGoThroughTheHost();
};

void TabWebFormTest::noBrowserBeforeAfterShow()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset), QString(), true);
    QVERIFY(!form.GetActiveBrowser());
    form.AfterShow(nullptr);
    QVERIFY(form.GetActiveBrowser());
    form.AfterShow(nullptr);
    QCOMPARE(form.BrowserCount(), 1);
    form.WaitFor("admin_main.asp");
}

void TabWebFormTest::beforeNavigateInEveryFrameAndCancel()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset), QString(), true);
    form.refuse = "admin_main.asp";
    form.AfterShow(nullptr);
    form.WaitFor("action=admin_left");
    form.WaitFor(kFrameset);
    bool top = false, left = false, main = false;
    for (const auto& n : form.navigations) {
        top |= n.url == kFrameset && n.mainFrame;
        left |= n.url.find("action=admin_left") != std::string::npos && !n.mainFrame;
        main |= n.url.find("admin_main.asp") != std::string::npos && !n.mainFrame;
    }
    QVERIFY(top && left && main);
    for (const auto& [document, url] : form.completed)
        QVERIFY(url.find("admin_main.asp") == std::string::npos);
}

void TabWebFormTest::scriptsRunInOrderInTheChosenFrame()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset), QString(), true);
    form.AfterShow(nullptr);
    const BrowserDocument left = form.WaitFor("action=admin_left");
    const BrowserDocument main = form.WaitFor("admin_main.asp");
    QCOMPARE(left.Href(), kFrameset + "?action=admin_left");
    QCOMPARE(left.Hostname(), std::string("cms.standin.test"));
    for (int i = 0; i < 20; ++i)
        QVERIFY(left.ExecScript("var seq=(typeof seq=='undefined'?[]:seq);seq.push(" + std::to_string(i) + ")"));
    QCOMPARE(Eval(left, "seq.join(',')"), std::string("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19"));
    // Globals stay in their frame.
    QCOMPARE(Eval(main, "typeof seq"), std::string("undefined"));
    // A script that throws did not run to its end and says so; the next still runs.
    QVERIFY(!left.ExecScript("seq.push('thrown');throw new Error('x')"));
    QVERIFY(left.ExecScript("seq.push('after')"));
    QCOMPARE(Eval(left, "seq[seq.length-1]"), std::string("after"));
    // Code that does not compile did not run, and says so.
    QVERIFY(!left.ExecScript("seq.push("));
    QCOMPARE(Eval(left, "seq.length"), std::string("22"));
}

void TabWebFormTest::webInvokeFromASubFrameNamesItsDocument()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset), QString(), true);
    form.AfterShow(nullptr);
    const BrowserDocument left = form.WaitFor("action=admin_left");
    QVERIFY(left.ExecScript("window.external.WebInvoke('search', 12, null)"));
    QVERIFY(QTest::qWaitFor([&] { return !form.invoked.empty(); }, 10000));
    QVERIFY(form.invoked.front().first == left);
    QCOMPARE(form.invoked.front().first.Href(), left.Href());
    QCOMPARE(form.invoked.front().second, (std::vector<std::string>{"search", "12", ""}));
}

void TabWebFormTest::newWindowsOpenAsTabs()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset + "?action=admin_left"), QString(), true);
    form.AfterShow(nullptr);
    const BrowserDocument menu = form.WaitFor("action=admin_left");
    QVERIFY(menu.ExecScript("window.open('http://so.56.com/index?key=a')"));
    QVERIFY(QTest::qWaitFor([&] { return form.BrowserCount() == 2; }, 10000));
    const BrowserDocument opened = form.WaitFor("so.56.com");
    QCOMPARE(opened.Hostname(), std::string("so.56.com"));
    QCOMPARE(form.GetActiveBrowser(), form.BrowserAt(1));
}

void TabWebFormTest::fixedTabsStayOpen()
{
    RecordingForm form(nullptr, nullptr, QString(), QString(), true);
    TBrowserTab* first = form.CreateNewTabBrowser(QString());
    TBrowserTab* second = form.CreateNewTabBrowser(QString());
    first->Fixed = true;
    QVERIFY(!form.CloseBrowser(first));
    QVERIFY(form.CloseBrowser(second));
    QCOMPARE(form.BrowserCount(), 1);
    first->Fixed = false;
    QVERIFY(form.CloseBrowser(first));
    QCOMPARE(form.BrowserCount(), 0);
}

void TabWebFormTest::resSchemeServesModuleResources()
{
    RecordingForm form(nullptr, nullptr, QStringLiteral("res://Quib.bpl/About"), QString(), false);
    form.AfterShow(nullptr);
    TBrowserTab* tab = form.GetActiveBrowser();
    QVERIFY(QTest::qWaitFor([&] { return tab->View().title() == QLatin1String("About Quib"); }, 20000));
    TBrowserTab* missing = form.CreateNewTabBrowser(QStringLiteral("res://Quib.bpl/Nothing"));
    QVERIFY(missing->Wait());
    QVERIFY(missing->View().title() != QLatin1String("About Quib"));
}

void TabWebFormTest::formWithoutExternalGivesPagesNone()
{
    RecordingForm form(nullptr, nullptr, QString::fromStdString(kFrameset + "?action=admin_left"), QString(), false);
    form.AfterShow(nullptr);
    const BrowserDocument menu = form.WaitFor("action=admin_left");
    QCOMPARE(Eval(menu, "typeof window.external.WebInvoke"), std::string("undefined"));
}

void TabWebFormTest::pageMessageBoxesGoThroughTheHost()
{
    ScriptedMessages messages;
    messages.AnswerQuestions({true, false});
    WorkerRegistry workers;
    HostApp app(QStringLiteral("Quib"), QDir::tempPath() + QLatin1Char('/'), messages, workers);
    RecordingForm form(nullptr, &app, QString::fromStdString(kFrameset + "?action=admin_left"), QString(), true);
    form.AfterShow(nullptr);
    const BrowserDocument menu = form.WaitFor("action=admin_left");
    QVERIFY(menu.ExecScript("alert('saved'); var answers=[confirm('one'), confirm('two')]"));
    QCOMPARE(Eval(menu, "answers.join(',')"), std::string("true,false"));
    QCOMPARE(messages.Texts(ScriptedMessages::Kind::Info), std::vector<QString>{QStringLiteral("saved")});
    QCOMPARE(messages.Texts(ScriptedMessages::Kind::Question),
             (std::vector<QString>{QStringLiteral("one"), QStringLiteral("two")}));
}

int main(int argc, char** argv) { return RunEmbeddedBrowserTest<TabWebFormTest>(argc, argv); }

#include "tst_tabwebform.moc"
