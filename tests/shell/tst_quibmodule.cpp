// The collector module as the host meets it: the library loaded by its file, LoadModule resolved
// by name, the main window shown and driven through its widgets on the stand-in web.
#include "host/browser/browserstartup.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "host/core/hostlog.h"
#include "host/framework/module.h"
#include "host/app/moduleloader.h"
#include "host/framework/resources.h"
#include "tests/support/scriptedmessages.h"
#include "tests/support/standinmain.h"
#include "standin/standinweb.h"
#include "host/core/stringhashtable.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLibrary>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <QRegularExpression>

#include <csignal>
#include <deque>
#include <functional>
#include <memory>
#include <sys/resource.h>

using namespace quib;
using namespace quib::host;
using namespace quib::test;
using namespace quib::standin;

namespace {

StandinWeb* g_web = nullptr;

const QString kQuick = QStringLiteral("快速采集");
const QString kHelp = QStringLiteral("使用说明");
const QString kApi = QStringLiteral("资源站");
const QString kTemplate = QStringLiteral("<sites>\r\n</sites>\r\n");

// The library itself, for the entry's failure contract; ordinary loads go through the host's loader.
class ModuleLibrary {
public:
    explicit ModuleLibrary(const QString& file) : m_library(file)
    {
        m_entry = reinterpret_cast<LoadModuleFunction>(m_library.resolve("LoadModule"));
    }
    LoadModuleFunction Entry() const { return m_entry; }
    QString Error() const { return m_library.errorString(); }

private:
    QLibrary m_library;  // stays loaded: its forms may outlive this object in Qt's clean-up
    LoadModuleFunction m_entry = nullptr;
};

ModuleLibrary& Library()
{
    static ModuleLibrary library(QStringLiteral(QUIB_MODULE_FILE));
    return library;
}

QString CmsAddress(const QString& version) { return "http://cms.standin.test/" + version + "/admin/admin_index.asp"; }

// Requests of exactly this target (path and query).
int RequestsFor(const QString& target)
{
    int count = 0;
    for (const StandinWeb::Logged& logged : g_web->Requests())
        count += QString::fromStdString(logged.target) == target;
    return count;
}

// A disk that is full for every file written past its first bytes, while the object lives.
class FullDisk {
public:
    FullDisk()
    {
        // Past the limit write() fails with EFBIG instead of raising SIGXFSZ.
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit tight = m_old;
        tight.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_old{};
};

// A host for one module in a folder of its own; the folder may outlive the session (a restart).
struct Session {
    explicit Session(const QString& folder) : app(QStringLiteral("Quib"), folder, messages, workers, Network())
    {
        app.SetMainForm(&owner);
        new QVBoxLayout(&owner);
        owner.resize(900, 700);
    }

    static NetworkSettings Network()
    {
        NetworkSettings network;
        network.connectTo = g_web->ConnectToRules();
        return network;
    }

    bool Load()
    {
        const ModuleLoad loaded =
            ModuleLoader(QFileInfo(QStringLiteral(QUIB_MODULE_FILE)).absolutePath()).Load(QStringLiteral("Quib"), app);
        module = loaded.module;
        loadError = loaded.error;
        if (!module)
            return false;
        form = module->GetForm();
        tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl"));
        menu = form->findChild<QMenu*>(QStringLiteral("SitePopupMenu"));
        return tabs && menu;
    }
    // Loads, shows the page and tells the module, as the host does.
    bool Start()
    {
        if (!Load())
            return false;
        owner.layout()->addWidget(form);
        owner.show();
        module->AfterShow(module);
        return true;
    }

    QStringList TabTexts() const
    {
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        return texts;
    }
    QString Current() const { return tabs->tabText(tabs->currentIndex()); }
    int IndexOf(const QString& text) const { return TabTexts().indexOf(text); }

    bool CanClose()
    {
        bool may = false;
        QMetaObject::invokeMethod(form, "CanClose", Q_RETURN_ARG(bool, may));
        return may;
    }
    bool Close() { return CanClose() && form->close(); }

    void RightClick(int tab)
    {
        QTabBar* bar = tabs->tabBar();
        if (tab >= 0)
            QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(tab).center());
        else  // the strip beside the last tab
            QTest::mouseClick(tabs, Qt::RightButton, {}, QPoint(tabs->width() - 4, bar->height() / 2));
    }
    QStringList MenuItems() const
    {
        QStringList items;
        for (QAction* action : menu->actions())
            if (action->isVisible())
                items << action->text();
        return items;
    }
    void Command(const char* name)
    {
        form->findChild<QAction*>(QString::fromLatin1(name))->trigger();
        menu->hide();
    }

    ScriptedMessages messages;
    WorkerRegistry workers;
    HostApp app;
    IModule* module = nullptr;
    QString loadError;
    QWidget* form = nullptr;
    QTabWidget* tabs = nullptr;
    QMenu* menu = nullptr;
    QWidget owner;  // last: goes first, with the module's window in it
};

QString SitesXml(const QStringList& titles)
{
    QString xml = "<sites>";
    const QStringList versions{"3.1", "4.x", "6.0", "5.0"};
    for (int i = 0; i < titles.size(); ++i)
        xml += QString("<site title=\"%1\" url=\"%2\" default=\"0\" version=\"%3\"/>")
                   .arg(titles[i], CmsAddress(versions[i % 4]), versions[i % 4]);
    return xml + "</sites>";
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The site dialog answered by the test: fill it, press OK, report what the dialog did.
struct DialogInput {
    QString title;
    QString url;
    QString version;  // empty: leave the list as it is
};

std::function<int(QDialog&)> Fill(const DialogInput& input, QStringList* seen = nullptr)
{
    return [input, seen](QDialog& dialog) {
        auto* title = dialog.findChild<QLineEdit*>("TitleEdit");
        auto* url = dialog.findChild<QLineEdit*>("UrlEdit");
        auto* version = dialog.findChild<QComboBox*>("VComboBox");
        if (seen)
            *seen << dialog.windowTitle() << title->text() << url->text() << version->currentText()
                  << QString("%1x%2").arg(dialog.width()).arg(dialog.height());
        title->setText(input.title);
        url->setText(input.url);
        if (!input.version.isEmpty())
            version->setCurrentText(input.version);
        dialog.findChild<QPushButton*>("OkButton")->click();
        return dialog.result();
    };
}

// An IApp that fails at one step of the module's creation.
class FailingApp final : public IApp {
public:
    FailingApp(IApp& real, QString failing) : m_real(real), m_failing(std::move(failing)) {}
    QWidget* GetMainForm() override { return Fail("GetMainForm"), m_real.GetMainForm(); }
    void WriteLog(const QString& s, const QString& d, const QString& src) override { m_real.WriteLog(s, d, src); }
    QString GetAppPath() override { return m_real.GetAppPath(); }
    QString GetModuleName() override { return Fail("GetModuleName"), m_real.GetModuleName(); }
    std::unique_ptr<TStringHashTable> GetProperties() override { return Fail("GetProperties"), m_real.GetProperties(); }
    QString GetSkinName() override { return m_real.GetSkinName(); }
    MessageService& GetMessages() override { return m_real.GetMessages(); }
    const NetworkSettings& GetNetwork() override { return m_real.GetNetwork(); }
    WorkerRegistry& GetWorkers() override { return m_real.GetWorkers(); }

private:
    void Fail(const char* step)
    {
        if (m_failing == QLatin1String(step))
            throw std::runtime_error(std::string("host failure in ") + step);
    }
    IApp& m_real;
    QString m_failing;
};

}  // namespace

class QuibModuleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void entryResourcesAndAbout();
    void failedCreation_data();
    void failedCreation();
    void settings_data();
    void settings();
    void siteTabsOpenOnFirstSelection();
    void rightClicks_data();
    void rightClicks();
    void siteCommands();
    void deleteOfAMissingNode();
    void siteFileAtStart_data();
    void siteFileAtStart();
    void corruptSiteFileIsKeptAside();
    void fullDiskKeepsTheFileAndSaysSoOnce_data();
    void fullDiskKeepsTheFileAndSaysSoOnce();
    void closeWaitsForTheCollection();
};

void QuibModuleTest::initTestCase() { QVERIFY2(Library().Entry(), qPrintable(Library().Error())); }

void QuibModuleTest::entryResourcesAndAbout()
{
    QTemporaryDir dir;
    Session session(dir.path());
    QVERIFY(session.Load());
    QVERIFY2(session.loadError.isEmpty(), qPrintable(session.loadError));
    QCOMPARE(session.form->parent(), &session.owner);
    QCOMPARE(session.module->About(), std::string("res://Quib.bpl/About"));
    // Before AfterShow only the layout: the two fixed tabs, nothing in them, no site file yet.
    QCOMPARE(session.TabTexts(), (QStringList{kQuick, kHelp, kApi}));
    QCOMPARE(session.form->windowTitle(), QStringLiteral("奎布宝"));
    QVERIFY(!QFile::exists(dir.filePath("data")));

    const auto resource = [](const char* type, const char* name) {
        return ReadFile(ResourcePath("Quib.bpl", type, name));
    };
    QCOMPARE(resource("XML", "SITES"), kTemplate.toLatin1());
    QCOMPARE(QString::fromUtf8(resource("TEXT", "DESCRIPTION")), QStringLiteral("奎布宝"));
    QVERIFY(!QImage::fromData(resource("ICON", "MAINICON"), "PNG").isNull());
    const QString about = gbk::ToUnicode(resource("HTML", "ABOUT").toStdString());
    QVERIFY(about.contains(QStringLiteral("<title>关于奎布宝</title>")));
    QVERIFY(about.contains(QStringLiteral("charset=gb2312")));
    QVERIFY(about.contains(QStringLiteral("v1.0")));
}

void QuibModuleTest::failedCreation_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("formMade");
    QTest::newRow("no application") << "" << false;
    QTest::newRow("owner") << "GetMainForm" << false;
    QTest::newRow("settings") << "GetProperties" << true;
    QTest::newRow("module name") << "GetModuleName" << true;
}

void QuibModuleTest::failedCreation()
{
    QFETCH(QString, failing);
    QFETCH(bool, formMade);
    QTemporaryDir dir;
    Session session(dir.path());
    FailingApp app(session.app, failing);
    ModuleException* error = nullptr;
    IModule* module = reinterpret_cast<IModule*>(1);
    QVERIFY_THROWS_NO_EXCEPTION(module = Library().Entry()(failing.isEmpty() ? nullptr : &app, &error));
    QCOMPARE(module, nullptr);
    QVERIFY(error);
    QCOMPARE(error->Message(), QStringLiteral("栏目初始化失败！"));
    QCOMPARE(error->Form() != nullptr, formMade);
    if (formMade)
        QCOMPARE(error->Form()->parent(), &session.owner);  // not freed: it stays with its owner
    delete error;
}

void QuibModuleTest::settings_data()
{
    QTest::addColumn<int>("sites");
    QTest::addColumn<QString>("defaultSheet");  // null: no such key
    QTest::addColumn<QString>("format");        // null: no such key
    QTest::addColumn<QString>("shown");
    QTest::newRow("no sites, 0") << 0 << "0"
                                 << "{title}" << kQuick;
    QTest::newRow("three sites, 0: the last site of the file") << 3 << "0"
                                                               << "{title}"
                                                               << "C";
    QTest::newRow("no key") << 3 << QString() << QString() << "C";
    QTest::newRow("abc as 0") << 3 << "abc"
                              << ""
                              << "C";
    QTest::newRow("-1") << 3 << "-1"
                        << "{url}" << kQuick;
    QTest::newRow("the tab count") << 3 << "6"
                                   << "{url}" << kQuick;
    QTest::newRow("the help tab") << 3 << "4"
                                  << "{url}" << kHelp;
    QTest::newRow("the last tab") << 3 << "5"
                                  << "{url}" << kApi;
}

void QuibModuleTest::settings()
{
    QFETCH(int, sites);
    QFETCH(QString, defaultSheet);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QStringList titles = QStringList{"A", "B", "C"}.mid(0, sites);
    WriteFile(dir.filePath("data/tool.quib.sites.xml"), SitesXml(titles).toUtf8());
    TStringHashTable table;
    table.Add("Skin", "Black");  // a key of the host's: not written back
    if (!format.isNull())
        table.Add("Format", format.toStdString());
    if (!defaultSheet.isNull())
        table.Add("DefaultSheet", defaultSheet.toStdString());
    table.SaveToFile(dir.filePath("Quib.properties"));

    Session session(dir.path());
    QVERIFY(session.Start());
    QStringList expected;
    for (auto it = titles.rbegin(); it != titles.rend(); ++it)
        expected << *it;
    QCOMPARE(session.TabTexts(), expected << kQuick << kHelp << kApi);
    QCOMPARE(session.Current(), shown);
    QVERIFY(session.messages.Messages().empty());

    QVERIFY(session.Close());
    const auto saved = TStringHashTable::LoadFromFile(dir.filePath("Quib.properties"));
    QCOMPARE(saved->Strings(), (std::vector<std::string>{"Format=" + format.toStdString(),
                                                         "DefaultSheet=" + std::to_string(session.IndexOf(shown))}));
}

void QuibModuleTest::siteTabsOpenOnFirstSelection()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("data/tool.quib.sites.xml"), SitesXml({"A", "B", "C"}).toUtf8());
    g_web->ClearRequests();
    Session session(dir.path());
    QVERIFY(session.Start());
    QWidget* c = session.tabs->widget(session.IndexOf("C"));
    QCOMPARE(session.tabs->currentWidget(), c);
    QTRY_COMPARE(RequestsFor("/6.0/admin/admin_index.asp"), 1);
    QCOMPARE(RequestsFor("/3.1/admin/admin_index.asp"), 0);  // A is not opened before it is selected

    // A window the page opens becomes a second browser tab of the site.
    auto* views = c->findChild<QTabWidget*>();
    QVERIFY(views);
    QTRY_VERIFY(!c->findChildren<QWebEngineView*>().isEmpty());
    c->findChildren<QWebEngineView*>().first()->page()->runJavaScript(
        "window.open('http://cms.standin.test/6.0/admin/admin_main.asp')");
    QTRY_COMPARE(views->count(), 2);
    QCOMPARE(views->currentIndex(), 1);

    session.tabs->setCurrentIndex(session.IndexOf(kQuick));
    session.tabs->setCurrentWidget(c);
    QCOMPARE(views->currentIndex(), 0);  // back on its first tab
    QCOMPARE(views->count(), 2);
    QTRY_COMPARE(RequestsFor("/6.0/admin/admin_index.asp?action=admin_left"), 1);
    QCOMPARE(RequestsFor("/6.0/admin/admin_index.asp"), 1);  // not loaded again

    session.tabs->setCurrentIndex(session.IndexOf("A"));
    QTRY_COMPARE(RequestsFor("/3.1/admin/admin_index.asp"), 1);
    // The help tab opens the guide, once.
    QWidget* help = session.tabs->widget(session.IndexOf(kHelp));
    QVERIFY(help->findChildren<QWebEngineView*>().isEmpty());
    session.tabs->setCurrentWidget(help);
    QTRY_VERIFY(!help->findChildren<QWebEngineView*>().isEmpty());
    QTRY_COMPARE(help->findChildren<QWebEngineView*>().first()->title(), QStringLiteral("奎布宝使用说明"));
    session.tabs->setCurrentIndex(session.IndexOf(kQuick));
    session.tabs->setCurrentWidget(help);
    QCOMPARE(RequestsFor("/help/quib.html"), 1);
    QVERIFY(session.Close());
}

void QuibModuleTest::rightClicks_data()
{
    QTest::addColumn<QString>("target");  // a tab's text, or empty for the strip beside the tabs
    QTest::addColumn<QStringList>("items");
    const QStringList all{"添加站点", "修改站点", "删除站点"};
    QTest::newRow("site tab") << "A" << all;
    QTest::newRow("other site tab") << "B" << all;
    QTest::newRow("quick-collect tab") << kQuick << QStringList{"添加站点"};
    QTest::newRow("help tab") << kHelp << QStringList{"添加站点"};
    QTest::newRow("beside the tabs") << "" << QStringList{"添加站点"};
}

void QuibModuleTest::rightClicks()
{
    QFETCH(QString, target);
    QFETCH(QStringList, items);
    QTemporaryDir dir;
    WriteFile(dir.filePath("data/tool.quib.sites.xml"), SitesXml({"A", "B"}).toUtf8());
    TStringHashTable table;
    table.Add("DefaultSheet", "2");
    table.SaveToFile(dir.filePath("Quib.properties"));
    Session session(dir.path());
    QVERIFY(session.Start());
    QCOMPARE(session.Current(), kQuick);

    session.RightClick(session.TabTexts().indexOf(target));
    QVERIFY(session.menu->isVisible());
    QCOMPARE(session.MenuItems(), items);
    QCOMPARE(session.Current(), kQuick);  // a right-click selects nothing
    session.menu->hide();
}

void QuibModuleTest::siteCommands()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("data/tool.quib.sites.xml");
    const QString u1 = "http://cms.standin.test/5.0/admin/admin_index.asp";
    {
        Session session(dir.path());
        QVERIFY(session.Start());
        ScriptedMessages& messages = session.messages;
        const auto add = [&](const DialogInput& input, QStringList* seen = nullptr) {
            messages.Clear();
            messages.OnModal(Fill(input, seen));
            session.RightClick(-1);
            session.Command("AddSiteNavButton");
        };

        QStringList seen;
        add({"   ", u1, "5.0"}, &seen);
        QCOMPARE(seen, (QStringList{"添加站点", "", "", "6.0", "440x193"}));
        QCOMPARE(messages.Texts(ScriptedMessages::Kind::Info), std::vector<QString>{"请输入站点标题！"});
        add({" a ", "   ", ""});
        QCOMPARE(messages.Texts(ScriptedMessages::Kind::Info), std::vector<QString>{"请输入后台地址！"});
        QCOMPARE(session.TabTexts(), (QStringList{kQuick, kHelp, kApi}));

        add({" a ", u1, "5.0"});
        QCOMPARE(session.TabTexts(), (QStringList{" a ", kQuick, kHelp, kApi}));
        QVERIFY(ReadFile(file).contains(
            ("<site title=\" a \" url=\"" + u1 + "\" default=\"0\" version=\"5.0\" />").toUtf8()));

        add({"电影站", u1, ""});
        QCOMPARE(messages.Texts(ScriptedMessages::Kind::Info), std::vector<QString>{"该地址已经存在！"});
        add({"电影站", u1.toUpper(), ""});  // differs in letter case only: another site
        QCOMPARE(session.TabTexts(), (QStringList{"电影站", " a ", kQuick, kHelp, kApi}));

        // Edit acts on the tab right-clicked, prefilled from its site.
        seen.clear();
        messages.OnModal(Fill({"改名", u1 + "?x", "4.x"}, &seen));
        session.RightClick(session.IndexOf(" a "));
        session.Command("EditSiteNavButton");
        QCOMPARE(seen, (QStringList{"修改站点", " a ", u1, "5.0", "440x193"}));
        QCOMPARE(session.TabTexts(), (QStringList{"电影站", "改名", kQuick, kHelp, kApi}));
        QVERIFY(
            ReadFile(file).contains(("title=\"改名\" url=\"" + u1 + "?x\" default=\"0\" version=\"4.x\"").toUtf8()));

        // Delete asks first; "no" keeps everything.
        messages.Clear();
        messages.AnswerQuestions({false, true});
        session.RightClick(session.IndexOf("改名"));
        session.Command("DelSiteNavButton");
        QCOMPARE(session.TabTexts().size(), 5);
        session.RightClick(session.IndexOf("改名"));
        session.Command("DelSiteNavButton");
        QCOMPARE(messages.Texts(ScriptedMessages::Kind::Question),
                 (std::vector<QString>{"确定要删除站点【改名】吗？", "确定要删除站点【改名】吗？"}));
        QCOMPARE(session.TabTexts(), (QStringList{"电影站", kQuick, kHelp, kApi}));
        QVERIFY(!ReadFile(file).contains("改名"));
        QVERIFY(messages.Texts(ScriptedMessages::Kind::Alert).empty());
        QVERIFY(session.Close());
    }
    // The Chinese title comes back at the next start.
    Session again(dir.path());
    QVERIFY(again.Start());
    QCOMPARE(again.TabTexts(), (QStringList{"电影站", kQuick, kHelp, kApi}));
}

void QuibModuleTest::deleteOfAMissingNode()
{
    // The search is depth first, so editing B changes the element nested in A, which goes when A
    // is deleted: B's tab then has no element left, and deleting it still removes the tab.
    QTemporaryDir dir;
    const QString file = dir.filePath("data/tool.quib.sites.xml");
    WriteFile(file,
              "<sites><site title=\"A\" url=\"http://a/\"><site url=\"http://b/\"/></site>"
              "<site title=\"B\" url=\"http://b/\"/></sites>");
    Session session(dir.path());
    QVERIFY(session.Start());
    session.messages.OnModal(Fill({"B", "http://c/", ""}));
    session.RightClick(session.IndexOf("B"));
    session.Command("EditSiteNavButton");
    session.messages.AnswerQuestions({true, true});
    session.RightClick(session.IndexOf("A"));
    session.Command("DelSiteNavButton");
    session.RightClick(session.IndexOf("B"));
    session.Command("DelSiteNavButton");
    QCOMPARE(session.TabTexts(), (QStringList{kQuick, kHelp, kApi}));
    QVERIFY(session.messages.Texts(ScriptedMessages::Kind::Alert).empty());
    QVERIFY(ReadFile(file).contains("title=\"B\" url=\"http://b/\""));  // the element no tab had
}

void QuibModuleTest::siteFileAtStart_data()
{
    QTest::addColumn<QString>("oldFile");  // titles; null: no such file
    QTest::addColumn<QString>("newFile");
    QTest::addColumn<QString>("firstTab");
    QTest::newRow("first start, no data folder") << QString() << QString() << kQuick;
    QTest::newRow("old name only") << "Old" << QString() << "Old";
    QTest::newRow("both names") << "Old"
                                << "New"
                                << "New";
    QTest::newRow("new name only") << QString() << "New"
                                   << "New";
}

void QuibModuleTest::siteFileAtStart()
{
    QFETCH(QString, oldFile);
    QFETCH(QString, newFile);
    QFETCH(QString, firstTab);
    QTemporaryDir dir;
    const QString oldPath = dir.filePath("data/sites.xml");
    const QString newPath = dir.filePath("data/tool.quib.sites.xml");
    if (!oldFile.isNull())
        WriteFile(oldPath, SitesXml({oldFile}).toUtf8());
    if (!newFile.isNull())
        WriteFile(newPath, SitesXml({newFile}).toUtf8());

    Session session(dir.path());
    QVERIFY(session.Start());
    QCOMPARE(session.TabTexts().first(), firstTab);
    QVERIFY(session.messages.Messages().empty());
    if (oldFile.isNull() && newFile.isNull())
        QCOMPARE(ReadFile(newPath), kTemplate.toLatin1());
    // The old file is renamed only when the new name is free; otherwise it stays as it was.
    QCOMPARE(QFile::exists(oldPath), !oldFile.isNull() && !newFile.isNull());
    if (QFile::exists(oldPath))
        QCOMPARE(ReadFile(oldPath), SitesXml({oldFile}).toUtf8());
}

void QuibModuleTest::corruptSiteFileIsKeptAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data/tool.quib.sites.xml");
    const QByteArray corrupt = "<sites><site title=\"A\" url=\"http://a/\"";
    WriteFile(path, corrupt);
    Session session(dir.path());
    QVERIFY(session.Start());
    QCOMPARE(session.messages.Texts(ScriptedMessages::Kind::Alert), std::vector<QString>{"无法加载站点列表！"});
    QCOMPARE(session.messages.Messages().size(), std::size_t(1));
    QCOMPARE(session.TabTexts(), (QStringList{kQuick, kHelp, kApi}));

    session.messages.OnModal(Fill({"B", "http://b/admin/login.asp", ""}));
    session.RightClick(-1);
    session.Command("AddSiteNavButton");
    QVERIFY(ReadFile(path).contains("http://b/admin/login.asp"));
    QCOMPARE(ReadFile(path + ".unreadable"), corrupt);
}

void QuibModuleTest::fullDiskKeepsTheFileAndSaysSoOnce_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("close");  // else a site is added
    QTest::addColumn<QString>("alert");
    QTest::newRow("settings at close") << "Quib.properties" << true << "保存设置失败！";
    QTest::newRow("site file") << "data/tool.quib.sites.xml" << false << "添加站点失败！";
}

void QuibModuleTest::fullDiskKeepsTheFileAndSaysSoOnce()
{
    QFETCH(QString, file);
    QFETCH(bool, close);
    QFETCH(QString, alert);
    QTemporaryDir dir;
    WriteFile(dir.filePath("data/tool.quib.sites.xml"), SitesXml({"A"}).toUtf8());
    TStringHashTable table;
    table.Add("Format", "{title}");
    table.SaveToFile(dir.filePath("Quib.properties"));
    const QByteArray before = ReadFile(dir.filePath(file));
    const QByteArray logged = "earlier\n";
    WriteFile(dir.filePath("quib.log"), logged);
    HostLog log(dir.filePath("quib.log"));
    Session session(dir.path());
    session.app.SetLog(&log);
    QVERIFY(session.Start());
    session.messages.OnModal(Fill({"B", "http://b/admin/login.asp", ""}));
    {
        const FullDisk full;
        // The log is on the same disk: its entry goes to the terminal instead.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(alert)));
        if (close) {
            QVERIFY(session.Close());
        } else {
            session.RightClick(-1);
            session.Command("AddSiteNavButton");
        }
    }
    QCOMPARE(session.messages.Texts(ScriptedMessages::Kind::Alert), std::vector<QString>{alert});
    QCOMPARE(ReadFile(dir.filePath(file)), before);
    QCOMPARE(ReadFile(dir.filePath("quib.log")), logged);  // no half line either
    QCOMPARE(QDir(dir.filePath("data")).entryList(QDir::Files), QStringList{"tool.quib.sites.xml"});
}

// Pages of the ten-thousand-page album the stand-in has served so far.
int AlbumPagesServed()
{
    int count = 0;
    for (const StandinWeb::Logged& logged : g_web->Requests())
        count += QString::fromStdString(logged.target).contains("lid=10000x1");
    return count;
}

void QuibModuleTest::closeWaitsForTheCollection()
{
    QTemporaryDir dir;
    Session session(dir.path());
    // As in the host: the module's page is one tab, and another module's page is in front.
    auto* hostPages = new QTabWidget(&session.owner);
    session.owner.layout()->addWidget(hostPages);
    auto* page = new QWidget;
    new QVBoxLayout(page);
    hostPages->addTab(page, "奎布宝");
    hostPages->addTab(new QWidget, "other");
    QVERIFY(session.Load());
    page->layout()->addWidget(session.form);
    session.owner.show();
    session.module->AfterShow(session.module);
    QWidget* quick = session.tabs->widget(session.IndexOf(kQuick));
    auto* button = quick->findChild<QPushButton*>("Button");
    QVERIFY(button);
    quick->findChild<QRadioButton*>("TudouRadio")->setChecked(true);
    quick->findChild<QCheckBox*>("FastCheckBox")->setChecked(false);
    quick->findChild<QLineEdit*>("UrlEdit")->setText("10000x1");  // ten thousand pages
    button->click();
    QCOMPARE(button->text(), QStringLiteral("终止"));
    hostPages->setCurrentIndex(1);
    QVERIFY(!session.form->isVisible());

    QVERIFY(!session.CanClose());
    QCOMPARE(session.messages.Texts(ScriptedMessages::Kind::Info), std::vector<QString>{"请先停止当前的采集工作！"});
    // The message says the collection runs, and it does: pages keep coming.
    const int served = AlbumPagesServed();
    QTRY_VERIFY_WITH_TIMEOUT(AlbumPagesServed() >= served + 3, 60000);
    QCOMPARE(button->text(), QStringLiteral("终止"));

    // Stopped by the operator, the window closes.
    button->click();
    QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("采集"), 60000);
    // The custom template the form edits is the window's, written back at close.
    session.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("Edit")->setText("<id>#<title>");
        return int(QDialog::Accepted);
    });
    quick->findChild<QPushButton*>("ExportButton")->click();
    QVERIFY(session.Close());
    QCOMPARE(TStringHashTable::LoadFromFile(dir.filePath("Quib.properties"))->GetValue("Format", "-"),
             std::string("<id>#<title>"));
}

int main(int argc, char** argv)
{
    return RunEmbeddedBrowserTest<QuibModuleTest>(argc, argv, [](StandinWeb& web) { g_web = &web; });
}

#include "tst_quibmodule.moc"
