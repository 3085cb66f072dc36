// The partner module loaded from its library as the host loads it, in the real browser (offscreen)
// on the stand-in web: its page, the help link in exactly the partner's documents, the first tab
// that stays, and the failure the host gets when the page cannot be built.
#include "host/core/app.h"
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "host/framework/hostapp.h"
#include "host/framework/module.h"
#include "host/app/moduleloader.h"
#include "host/framework/resources.h"
#include "tests/support/scriptedmessages.h"
#include "tests/support/standinmain.h"
#include "standin/standinweb.h"
#include "host/browser/tabwebform.h"
#include "host/core/workerthread.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>
#include <memory>
#include <stdexcept>

using namespace quib;
using namespace quib::host;
using namespace quib::test;
using namespace quib::standin;

namespace {

const QString kFailed = QStringLiteral("栏目初始化失败！");

ModuleLoad LoadPartner(IApp& app)
{
    return ModuleLoader(QStringLiteral(QUIB_MODULES_DIR)).Load(QStringLiteral("Oem_Fenmor"), app);
}

// What the pages show: a script error logged by the browser, and, through a console line of the
// observer below, every document whose element "help" received the help link.
QStringList g_scriptErrors;
QStringList g_helpLinks;
QtMessageHandler g_previousHandler = nullptr;

void Capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("script error:"))) {
        const qsizetype marker = message.indexOf(QLatin1String("HELPLINK "));
        if (marker >= 0)
            g_helpLinks << message.mid(marker + 9).trimmed();
        else
            g_scriptErrors << message;
    }
    g_previousHandler(type, context, message);
}

// Watches every frame for the help link and reports its document once.
QWebEngineScript HelpLinkObserver()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("help-link-observer"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setSourceCode(QStringLiteral(
        "(function(){var seen=false;new MutationObserver(function(){if(seen)return;"
        "var h=document.getElementById('help'),a=h&&h.querySelector('a');"
        "if(a&&a.textContent=='使用帮助'&&a.getAttribute('href')=='/help/'&&a.target=='_blank'&&a.style.color=='red')"
        "{seen=true;console.error('HELPLINK "
        "'+location.href);}}).observe(document,{childList:true,subtree:true});})();"));
    return script;
}

// An application whose owner for the module's form cannot be had.
class OwnerlessApp final : public IApp {
public:
    explicit OwnerlessApp(IApp& app) : m_app(app) {}
    QWidget* GetMainForm() override { throw std::runtime_error("the host window is gone"); }
    void WriteLog(const QString& s, const QString& d, const QString& src) override { m_app.WriteLog(s, d, src); }
    QString GetAppPath() override { return m_app.GetAppPath(); }
    QString GetModuleName() override { return m_app.GetModuleName(); }
    std::unique_ptr<TStringHashTable> GetProperties() override { return m_app.GetProperties(); }
    QString GetSkinName() override { return m_app.GetSkinName(); }
    MessageService& GetMessages() override { return m_app.GetMessages(); }
    const NetworkSettings& GetNetwork() override { return m_app.GetNetwork(); }
    WorkerRegistry& GetWorkers() override { return m_app.GetWorkers(); }

private:
    IApp& m_app;
};

}  // namespace

class PartnerModuleTest : public QObject {
    Q_OBJECT
private slots:
    void partnerPageInTheBrowser();
    void failedStartReachesTheHost();
};

void PartnerModuleTest::partnerPageInTheBrowser()
{
    QTemporaryDir data;
    ScriptedMessages messages;
    WorkerRegistry workers;
    HostApp app(QStringLiteral("Oem_Fenmor"), data.path(), messages, workers);
    QWidget hostWindow;
    app.SetMainForm(&hostWindow);

    const ModuleLoad loaded = LoadPartner(app);
    QVERIFY2(loaded.module, qPrintable(loaded.error));
    IModule* module = loaded.module;
    auto* form = qobject_cast<TTabWebForm*>(module->GetForm());
    QVERIFY(form);
    QCOMPARE(form->parentWidget(), &hostWindow);
    QCOMPARE(form->windowTitle(), QStringLiteral("沛融通"));
    QCOMPARE(module->About(), std::string("res://Oem_Fenmor.bpl/About"));
    QFile description(
        ResourcePath(QStringLiteral("Oem_Fenmor.bpl"), QStringLiteral("TEXT"), QStringLiteral("DESCRIPTION")));
    QVERIFY(description.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(description.readAll()).trimmed(), QStringLiteral("沛融通"));
    QVERIFY(!QImage(ResourcePath(QStringLiteral("Oem_Fenmor.bpl"), QStringLiteral("ICON"), QStringLiteral("MAINICON")))
                 .isNull());

    module->AfterShow(module);
    TBrowserTab* first = form->GetActiveBrowser();
    QVERIFY(first);
    QVERIFY(first->Wait(60000));
    // The home page gets its link; from here on an observer in every frame reports each one. One
    // question at a time, to the loaded document: a new one on every turn of the wait would pile up
    // faster than a loaded machine answers them, and the page's own bridge requests, the document's
    // completion among them, would wait behind the pile.
    const auto homeLinked = std::make_shared<bool>(false);
    const auto asking = std::make_shared<bool>(false);
    QVERIFY(QTest::qWaitFor(
        [&] {
            if (!*asking) {
                *asking = true;
                first->View().page()->runJavaScript(QStringLiteral("!!document.querySelector('#help a')"),
                                                    [homeLinked, asking](const QVariant& linked) {
                                                        *asking = false;
                                                        *homeLinked = linked.toBool();
                                                    });
            }
            return *homeLinked;
        },
        60000));
    QCOMPARE(first->View().url(), QUrl(QStringLiteral("http://www.fenmor.com/")));
    first->View().page()->profile()->scripts()->insert(HelpLinkObserver());
    g_scriptErrors.clear();
    g_helpLinks.clear();
    g_previousHandler = qInstallMessageHandler(Capture);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(g_previousHandler); });

    // Each page in turn, in the first tab: the documents that must get the link. Documents complete
    // and are handled in order, so once a page's links are there, the pages before it are done.
    QStringList expected;
    const auto visit = [&](const QString& address, const QStringList& linked) {
        first->Go(address);
        expected += linked;
        return QTest::qWaitFor(
                   [&] {
                       return std::all_of(linked.begin(), linked.end(), [&](const QString& href) {
                           return g_helpLinks.count(href) == expected.count(href);
                       });
                   },
                   60000) &&
               first->Wait();
    };
    const QString rates = QStringLiteral("http://tools.fenmor.com/rates.html");
    // A partner page with a partner frame (of another host of the domain).
    QVERIFY(visit(QStringLiteral("http://www.fenmor.com/market/?v=1"),
                  {QStringLiteral("http://www.fenmor.com/market/?v=1"), rates}));
    // A partner page with an advertiser's frame: the frame has a "help" element, and keeps it empty.
    QVERIFY(visit(QStringLiteral("http://www.fenmor.com/forum/?v=2"),
                  {QStringLiteral("http://www.fenmor.com/forum/?v=2")}));
    // Another site's page, whose address names the partner's domain, with the partner's frame.
    QVERIFY(visit(QStringLiteral("http://portal.standin.test/?from=www.fenmor.com"), {rates}));
    // A partner page without a "help" element.
    QVERIFY(visit(QStringLiteral("http://tools.fenmor.com/"), {}));
    QVERIFY(visit(QStringLiteral("http://www.fenmor.com/?v=5"), {QStringLiteral("http://www.fenmor.com/?v=5")}));
    g_helpLinks.sort();
    expected.sort();
    QCOMPARE(g_helpLinks, expected);
    QCOMPARE(g_scriptErrors, QStringList());
    QVERIFY(!form->StopItem->isEnabled());
    QVERIFY(!form->RefreshItem->isEnabled());

    // The help link opens the help page in a second tab.
    first->View().page()->runJavaScript(QStringLiteral("document.querySelector('#help a').click()"));
    QVERIFY(QTest::qWaitFor([&] { return form->BrowserCount() == 2; }, 60000));
    TBrowserTab* second = form->GetActiveBrowser();
    QVERIFY(second != first);
    QVERIFY(QTest::qWaitFor([&] { return second->View().url() == QUrl(QStringLiteral("http://www.fenmor.com/help/")); },
                            60000));
    QCOMPARE(first->View().contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(second->View().contextMenuPolicy(), Qt::NoContextMenu);

    // The about page, GB2312, in a third tab.
    TBrowserTab* about = form->CreateNewTabBrowser(QString::fromStdString(module->About()));
    QVERIFY(QTest::qWaitFor([&] { return about->View().title() == QStringLiteral("关于沛融通"); }, 60000));

    // The first tab stays, marked so for the host; the others close.
    QVERIFY(!form->CloseBrowser(first));
    QVERIFY(first->Fixed);
    QVERIFY(form->CloseBrowser(about));
    QVERIFY(form->CloseBrowser(second));
    QVERIFY(!form->CloseBrowser(first));
    QCOMPARE(form->BrowserCount(), 1);
    QCOMPARE(form->GetActiveBrowser(), first);
}

void PartnerModuleTest::failedStartReachesTheHost()
{
    QTemporaryDir data;
    ScriptedMessages messages;
    WorkerRegistry workers;
    HostApp host(QStringLiteral("Oem_Fenmor"), data.path(), messages, workers);
    OwnerlessApp ownerless(host);
    const ModuleLoad loaded = LoadPartner(ownerless);
    QVERIFY(!loaded.module);
    QCOMPARE(loaded.error, kFailed);
    QVERIFY(!loaded.failedForm);
}

int main(int argc, char** argv) { return RunEmbeddedBrowserTest<PartnerModuleTest>(argc, argv); }

#include "tst_partnermodule.moc"
