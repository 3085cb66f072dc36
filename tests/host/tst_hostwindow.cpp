// The host with small test modules loaded through its loader (real libraries, real QLibrary):
// pages, captions, failures, AfterShow, the about page, the close protocol, host settings and the
// stand-in demonstration data.
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "host/framework/hostapp.h"
#include "host/core/hostlog.h"
#include "host/app/hostsettings.h"
#include "host/app/hostwindow.h"
#include "host/framework/module.h"
#include "tests/support/scriptedmessages.h"
#include "tests/support/standinmain.h"
#include "host/app/standinsites.h"
#include "standin/standinweb.h"
#include "host/browser/tabwebform.h"
#include "host/core/workerthread.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWebEnginePage>
#include <QtTest>

#include <memory>

using namespace quib;
using namespace quib::host;
using namespace quib::test;
using namespace quib::standin;

namespace {

// The log's lines for one module and one summary, as "detail".
QStringList Logged(const HostLog& log, const QString& module, const QString& summary)
{
    QStringList details;
    for (const QString& line : log.ReadAll().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() == 5 && fields[1] == module && fields[2] == summary)
            details << fields[3];
    }
    return details;
}

}  // namespace

class HostWindowTest : public QObject {
    Q_OBJECT

private:
    struct Host {
        explicit Host(const QString& appPath, bool standin = false,
                      const QString& modulesFolder = QStringLiteral(TEST_MODULES_DIR), NetworkSettings network = {})
            : log(appPath + QStringLiteral("/quib.log"))
        {
            HostEnvironment environment;
            environment.appPath = appPath;
            environment.network = std::move(network);
            environment.modulesFolder = modulesFolder;
            environment.messages = &messages;
            environment.workers = &workers;
            environment.log = &log;
            environment.standin = standin;
            window = std::make_unique<HostWindow>(std::move(environment));
        }
        ScriptedMessages messages;
        WorkerRegistry workers;
        HostLog log;
        std::unique_ptr<HostWindow> window;
    };

private slots:
    void modulesLoadCloseAndStop()
    {
        QTemporaryDir dir;
        Host host(dir.path());
        HostWindow& window = *host.window;
        window.LoadModules({QStringLiteral("TestGood"), QStringLiteral("TestFail"), QStringLiteral("Missing"),
                            QStringLiteral("TestRefuse")});

        QCOMPARE(window.Pages()->count(), 4);
        QCOMPARE(window.Pages()->tabText(0), QStringLiteral("测试模块"));  // the description resource
        QCOMPARE(window.Pages()->tabText(1), QStringLiteral("失败模块"));
        QCOMPARE(window.Pages()->tabText(2), QStringLiteral("Missing"));
        const auto& modules = window.Modules();
        QVERIFY(modules[0]->module);
        QCOMPARE(modules[0]->form->parentWidget(), modules[0]->page.data());
        QCOMPARE(modules[0]->app->GetModuleName(), QStringLiteral("TestGood"));

        // A failed LoadModule: its message on the page, and the host went on.
        QVERIFY(!modules[1]->module);
        QCOMPARE(modules[1]->error, QStringLiteral("栏目初始化失败！"));
        QCOMPARE(modules[1]->page->findChild<QLabel*>(QStringLiteral("ModuleError"))->text(),
                 QStringLiteral("栏目初始化失败！"));
        QVERIFY(!modules[2]->module);
        QVERIFY(modules[2]->error.contains(QStringLiteral("Missing.so")));
        QCOMPARE(Logged(host.log, QStringLiteral("TestFail"), QStringLiteral("模块加载失败")),
                 QStringList{QStringLiteral("栏目初始化失败！")});
        QVERIFY(modules[3]->module);

        // AfterShow once the window is on the screen, for every loaded module, once.
        window.show();
        QTRY_COMPARE(Logged(host.log, QStringLiteral("TestRefuse"), QStringLiteral("AfterShow")).size(), 1);
        QCOMPARE(Logged(host.log, QStringLiteral("TestGood"), QStringLiteral("AfterShow")),
                 QStringList{QStringLiteral("visible")});
        window.AfterShow();
        QCOMPARE(Logged(host.log, QStringLiteral("TestGood"), QStringLiteral("AfterShow")).size(), 1);
        QCOMPARE(host.workers.RunningCount(), 2);

        // One module refuses: nothing is closed, the workers go on.
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QVERIFY(Logged(host.log, QStringLiteral("TestGood"), QStringLiteral("FormClose")).isEmpty());
        QCOMPARE(host.workers.RunningCount(), 2);

        modules[3]->form->setProperty("refuse", false);
        QVERIFY(window.close());
        QCOMPARE(Logged(host.log, QStringLiteral("TestGood"), QStringLiteral("FormClose")).size(), 1);
        QCOMPARE(Logged(host.log, QStringLiteral("TestRefuse"), QStringLiteral("FormClose")).size(), 1);
        QCOMPARE(host.workers.RunningCount(), 0);
    }

    void moduleCutShortGetsAnErrorPage_data()
    {
        QTest::addColumn<double>("kept");  // the part of the file the copy got
        QTest::newRow("inside the ELF header") << 0.0001;
        QTest::newRow("half") << 0.5;
        QTest::newRow("all but the last byte") << -1.0;
    }
    void moduleCutShortGetsAnErrorPage()
    {
        QFETCH(double, kept);
        QTemporaryDir dir;
        QFile whole(QStringLiteral(TEST_MODULES_DIR "/TestGood.so"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const qsizetype size = kept < 0 ? bytes.size() - 1 : qsizetype(bytes.size() * kept);
        QFile cut(dir.filePath(QStringLiteral("TestGood.so")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        QCOMPARE(cut.write(bytes.left(size)), size);
        cut.close();

        Host host(dir.path(), false, dir.path());
        host.window->LoadModules({QStringLiteral("TestGood")});
        const auto& module = *host.window->Modules().at(0);
        QVERIFY(!module.module);
        QVERIFY2(module.error.contains(QStringLiteral("文件不完整")), qPrintable(module.error));
        QCOMPARE(module.page->findChild<QLabel*>(QStringLiteral("ModuleError"))->text(), module.error);
    }

    void collectionErrorsReachTheLogView()
    {
        int closedPort = 0;
        {
            StandinWeb gone;
            closedPort = gone.Start();
            gone.Stop();
        }
        NetworkSettings network;
        network.connectTo = {"::127.0.0.1:" + std::to_string(closedPort)};
        QTemporaryDir dir;
        Host host(dir.path(), false, QStringLiteral(QUIB_MODULES_DIR), network);
        host.window->LoadModules({QStringLiteral("Quib")});
        host.window->show();
        QCOMPARE(host.window->Modules().at(0)->error, QString());
        QPushButton* button = nullptr;  // 采集 of 快速采集, once the module has been shown
        QTRY_VERIFY((button = host.window->findChild<QPushButton*>(QStringLiteral("Button"))));
        host.window->findChild<QRadioButton*>(QStringLiteral("TudouRadio"))->setChecked(true);
        host.window->findChild<QCheckBox*>(QStringLiteral("FastCheckBox"))->setChecked(false);
        host.window->findChild<QLineEdit*>(QStringLiteral("UrlEdit"))->setText(QStringLiteral("1x1"));
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("采集"), 60000);
        const auto alerts = host.messages.Texts(ScriptedMessages::Kind::Alert);
        QCOMPARE(alerts.size(), std::size_t(1));

        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("quib.log"))));
        QString shown;
        host.messages.OnModal([&shown](QDialog& dialog) {
            shown = dialog.findChild<QPlainTextEdit*>(QStringLiteral("LogText"))->toPlainText();
            return int(QDialog::Rejected);
        });
        host.window->ShowLog();
        const QStringList line = shown.trimmed().split(QLatin1Char('\t'));
        QCOMPARE(line.size(), 5);
        QVERIFY(QDateTime::fromString(line[0], Qt::ISODate).isValid());
        QCOMPARE(line.mid(1, 2), (QStringList{QStringLiteral("Quib"), alerts[0]}));
        QVERIFY2(line[3].startsWith(QStringLiteral("http://www.tudou.com/")) && line[3].contains(QStringLiteral("1x1")),
                 qPrintable(line[3]));
        QCOMPARE(line[4], QStringLiteral("tudou"));
        QVERIFY(host.window->close());
    }

    void aboutPageFromTheModuleResource()
    {
        QTemporaryDir dir;
        Host host(dir.path());
        host.window->LoadModules({QStringLiteral("TestGood")});
        auto* about = qobject_cast<TTabWebForm*>(host.window->ShowAbout(0));
        QVERIFY(about);
        QCOMPARE(about->HomeAddress, QStringLiteral("res://TestGood.bpl/About"));
        QTRY_VERIFY(about->GetActiveBrowser());
        QTRY_COMPARE_WITH_TIMEOUT(about->GetActiveBrowser()->View().title(), QStringLiteral("About TestGood"), 20000);
        about->close();
    }

    // The first address a seeded site opens: the stand-in CMS lets anyone in, then shows its frameset.
    void standinLoginOpensTheFrameset()
    {
        QTemporaryDir dir;
        Host host(dir.path(), true);
        host.window->LoadModules({QStringLiteral("TestGood")});
        TTabWebForm form(nullptr, host.window->Modules()[0]->app.get(),
                         QStringLiteral("http://cms.standin.test/5.0/admin/login.asp"), QStringLiteral("CMS"), false);
        form.show();
        form.AfterShow(nullptr);
        QTRY_VERIFY(form.GetActiveBrowser());
        QWebEngineView& view = form.GetActiveBrowser()->View();
        QTRY_COMPARE_WITH_TIMEOUT(view.title(), QStringLiteral("管理员登录 5.0"), 20000);
        view.page()->runJavaScript(
            QStringLiteral("document.forms.login.username.value='x';"
                           "document.forms.login.password.value='y';"
                           "document.forms.login.submit();"));
        QTRY_COMPARE_WITH_TIMEOUT(view.title(), QStringLiteral("管理中心 5.0"), 20000);
        form.close();
    }

    void settingsPersistAndApply_data()
    {
        QTest::addColumn<bool>("standin");
        QTest::addColumn<QString>("proxy");  // what the HTTP client gets
        QTest::newRow("live") << false << QStringLiteral("socks5h://127.0.0.1:1080");
        QTest::newRow("stand-in web") << true << QString();
    }

    void settingsPersistAndApply()
    {
        QFETCH(bool, standin);
        QFETCH(QString, proxy);
        QTemporaryDir dir;
        {
            Host host(dir.path(), standin);
            host.window->LoadModules({QStringLiteral("TestGood")});
            host.messages.OnModal([](QDialog& dialog) {
                auto& settings = dynamic_cast<HostSettingsDialog&>(dialog);
                settings.SkinBox->setCurrentText(QStringLiteral("Black"));
                settings.UserAgentEdit->setText(QStringLiteral("TestAgent/1.0"));
                settings.ProxyEdit->setText(QStringLiteral(" socks5h://127.0.0.1:1080 "));
                settings.StallSpin->setValue(7);
                settings.PageJobsSpin->setValue(6);
                return int(QDialog::Accepted);
            });
            host.window->ShowSettings();
            HostApp& app = *host.window->Modules()[0]->app;
            QCOMPARE(app.GetSkinName(), QStringLiteral("Black"));
            QCOMPARE(app.GetNetwork().userAgent, std::string("TestAgent/1.0"));
            QCOMPARE(QString::fromStdString(app.GetNetwork().proxy), proxy);
            QCOMPARE(app.GetNetwork().stallSeconds, 7);
            QCOMPARE(app.GetNetwork().pageJobs, 6);
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("TestGood.properties"))));  // never a module's file
        }
        Host again(dir.path(), standin);
        again.window->LoadModules({QStringLiteral("TestGood")});
        HostApp& app = *again.window->Modules()[0]->app;
        QCOMPARE(again.window->Settings().proxy, QStringLiteral("socks5h://127.0.0.1:1080"));
        QCOMPARE(app.GetNetwork().stallSeconds, 7);
        QCOMPARE(app.GetNetwork().pageJobs, 6);
        QCOMPARE(QString::fromStdString(app.GetNetwork().proxy), proxy);
    }

    void standinSitesSeededOnce_data()
    {
        QTest::addColumn<QString>("existing");  // a site file already there, by name
        QTest::addColumn<bool>("seeded");
        QTest::newRow("first start") << QString() << true;
        QTest::newRow("site file there") << QStringLiteral("tool.quib.sites.xml") << false;
        QTest::newRow("old site file there") << QStringLiteral("sites.xml") << false;
    }

    void standinSitesSeededOnce()
    {
        QFETCH(QString, existing);
        QFETCH(bool, seeded);
        QTemporaryDir dir;
        const QString siteFile = dir.filePath(QStringLiteral("data/tool.quib.sites.xml"));
        if (!existing.isEmpty()) {
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data")));
            QFile file(dir.filePath(QStringLiteral("data/") + existing));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<sites>\r\n</sites>\r\n");
        }
        QCOMPARE(SeedStandinSites(dir.path()), seeded);
        QCOMPARE(SeedStandinSites(dir.path()), false);
        QFile file(siteFile);
        if (!QFile::exists(siteFile))
            return;
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray xml = file.readAll();
        QCOMPARE(xml.count("<site "), seeded ? 4 : 0);
        if (seeded) {
            for (const char* version : {"3.1", "4.x", "5.0", "6.0"})
                QVERIFY(xml.contains(QByteArray("url=\"http://cms.standin.test/") + version +
                                     "/admin/login.asp\" default=\"0\" version=\"" + version + "\""));
        }
    }
};

int main(int argc, char** argv) { return RunEmbeddedBrowserTest<HostWindowTest>(argc, argv); }
#include "tst_hostwindow.moc"
