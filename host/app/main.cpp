// The host: loads the module libraries by name (Quib, then Oem_Fenmor, unless --module says
// otherwise) and shows each as a page. By default it serves the stand-in web in-process,
// redirects every site to it and keeps its data apart from a live run's, so it runs with no
// internet; --live (or --connect-to) reaches the real hosts.
#include "host/browser/browserstartup.h"
#include "host/core/hostlog.h"
#include "host/app/hostsettings.h"
#include "host/app/hostwindow.h"
#include "host/framework/desktopmessageservice.h"
#include "host/app/moduleloader.h"
#include "host/browser/pagebridge.h"
#include "host/app/qttranslations.h"
#include "host/browser/resscheme.h"
#include "host/app/standinsites.h"
#include "standin/standinweb.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace quib;
using namespace quib::host;
using namespace quib::standin;

namespace {

struct Options {
    bool live = false;
    QStringList connectTo;
    QString userAgent;
    QString appPath;
    QStringList modules;
    QString modulesFolder;
    QString screenshot;
};

// The host's options. A parser needs no application object until it prints help or an error.
struct CommandLine {
    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral("Loads the Quib modules and shows each as a page."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({live, standin, connectTo, userAgent, appPath, module, modulesFolder, screenshot});
    }

    Options Read() const
    {
        Options options;
        options.live = parser.isSet(live) || parser.isSet(connectTo);
        options.connectTo = parser.values(connectTo);
        options.userAgent = parser.value(userAgent);
        options.appPath = parser.value(appPath);
        options.modules = parser.values(module);
        if (options.modules.isEmpty())
            options.modules = {QStringLiteral("Quib"), QStringLiteral("Oem_Fenmor")};
        options.modulesFolder = parser.value(modulesFolder);
        options.screenshot = parser.value(screenshot);
        return options;
    }

    QCommandLineParser parser;
    const QCommandLineOption live{
        QStringLiteral("live"),
        QStringLiteral("Reach the real sites instead of the built-in stand-in web, with the live data folder.")};
    const QCommandLineOption standin{QStringLiteral("standin"),
                                     QStringLiteral("Serve the built-in stand-in web (the default).")};
    const QCommandLineOption connectTo{
        QStringLiteral("connect-to"),
        QStringLiteral("Redirect a host, in curl's HOST:PORT:ADDR:PORT form (repeatable); implies --live."),
        QStringLiteral("rule")};
    const QCommandLineOption userAgent{QStringLiteral("user-agent"),
                                       QStringLiteral("User agent of every request for this run."),
                                       QStringLiteral("text")};
    const QCommandLineOption appPath{QStringLiteral("app-path"),
                                     QStringLiteral("Data folder for the settings, the site file and the log."),
                                     QStringLiteral("dir")};
    const QCommandLineOption module{
        QStringLiteral("module"), QStringLiteral("Load this module (repeatable, in order; default: Quib, Oem_Fenmor)."),
        QStringLiteral("name")};
    const QCommandLineOption modulesFolder{QStringLiteral("modules-dir"),
                                           QStringLiteral("Folder of the module libraries."), QStringLiteral("dir")};
    const QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window once the modules have settled, then quit."),
        QStringLiteral("png")};
};

// Options the GUI library takes for itself (it removes them before the host reads the rest).
bool IsGuiOption(const QString& name)
{
    static const QStringList kGui{"platform",        "platformpluginpath",
                                  "platformtheme",   "plugin",
                                  "qwindowgeometry", "qwindowicon",
                                  "qwindowtitle",    "reverse",
                                  "session",         "display",
                                  "geometry",        "style",
                                  "stylesheet",      "widgetcount",
                                  "qmljsdebugger",   "nograb",
                                  "dograb",          "sync"};
    return kGui.contains(name);
}

// A mistyped option is said before anything needs a display, which may not be there; false then.
bool CheckOptions(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine line;
    // "-platform offscreen" is one option of the GUI library's, not eight letters.
    line.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (line.parser.parse(arguments))
        return true;
    const QStringList unknown = line.parser.unknownOptionNames();
    if (!unknown.isEmpty() && std::all_of(unknown.begin(), unknown.end(), IsGuiOption))
        return true;
    std::fprintf(stderr, "quib: %s\n", qPrintable(line.parser.errorText()));
    return false;
}

// --help and --version print and exit; they need no display.
bool OnlyText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (OnlyText(argc, argv)) {
        QCoreApplication text(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("quib"));
        QCoreApplication::setApplicationVersion(QStringLiteral(QUIB_VERSION));
        CommandLine().parser.process(text);  // prints and exits
        return 0;
    }
    if (!CheckOptions(argc, argv))
        return 1;
    PrepareBrowserApplication();
    RegisterResScheme();
    RegisterBridgeScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quib"));
    QApplication::setApplicationVersion(QStringLiteral(QUIB_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quib/quib.png")));
    CommandLine line;
    line.parser.process(app);
    const Options options = line.Read();
    if (!LoadQtTranslations(app))
        std::fprintf(stderr, "quib: Qt's Chinese translations (qtbase_zh_CN.qm) are not installed\n");

    // A stand-in run keeps its data apart, so trying the program never touches the real site list.
    const QString appPath = options.appPath.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                      (options.live ? QStringLiteral("/quib") : QStringLiteral("/quib-standin"))
                                : options.appPath;
    QDir().mkpath(appPath);
    const HostSettings settings = HostSettings::Load(appPath);

    HostEnvironment environment;
    environment.appPath = appPath;
    environment.modulesFolder = options.modulesFolder.isEmpty() ? DefaultModulesFolder() : options.modulesFolder;
    environment.commandLineUserAgent = options.userAgent;
    for (const QString& rule : options.connectTo)
        environment.network.connectTo.push_back(rule.toStdString());

    // Declared before the workers, so it still answers while they are stopped at exit.
    std::optional<StandinWeb> standin;
    if (!options.live) {
        standin.emplace();
        standin->Start();
        environment.network.connectTo = standin->ConnectToRules();
        environment.standin = true;
        environment.setStandinLatency = [web = &*standin](int milliseconds) { web->SetLatency(milliseconds); };
        environment.standinNote = QStringLiteral(
                                      "演示模式：所有网站都由内置演示网站 (127.0.0.1:%1) 应答，数据在 %2。"
                                      "用 --live 连接真实网站。")
                                      .arg(standin->Port())
                                      .arg(QDir::toNativeSeparators(appPath));
        std::printf("stand-in web on 127.0.0.1:%d, data in %s\n", standin->Port(), qPrintable(appPath));
        std::fflush(stdout);
        SeedStandinSites(appPath);
    }

    // Pages open in the browser redirected as the HTTP client is; a proxy only for the real hosts.
    SetBrowserSwitches(HostResolverRules(environment.network));
    if (options.live)
        SetBrowserProxy(ChromiumProxy(settings.proxy).toStdString());

    WorkerRegistry workers;
    DesktopMessageService messages;
    HostLog log(QDir(appPath).filePath(QStringLiteral("quib.log")));
    environment.messages = &messages;
    environment.workers = &workers;
    environment.log = &log;

    HostWindow window(std::move(environment));
    // Set before the modules load: a message box they show (a corrupt site file) must not hold
    // the picture back. Once taken, every event loop ends, a message box's too.
    std::optional<int> pictured;
    if (!options.screenshot.isEmpty()) {
        // Long enough for the first pages to load from the stand-in web.
        QTimer::singleShot(8000, &window, [&window, &options, &pictured] {
            pictured = window.grab().save(options.screenshot) ? 0 : 1;
            QCoreApplication::exit(*pictured);
        });
    }
    window.LoadModules(options.modules);
    window.show();
    // The application's loop is not started once the picture is taken: it would run on.
    const int code = pictured ? *pictured : QApplication::exec();
    if (pictured && !window.close())
        return 1;
    return code;
}
