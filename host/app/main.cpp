// The host at this stage: the quick-collect form in a window of its own. By default it serves the
// stand-in web in-process and redirects every site to it, so it runs with no internet.
#include "formatowner.h"
#include "hostapp.h"
#include "messageservice.h"
#include "parse.h"
#include "simpleparser.h"
#include "standinweb.h"
#include "workerthread.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include <cstdio>
#include <optional>

namespace {

struct Options {
    bool live = false;
    QStringList connectTo;
    QString userAgent;
    QString appPath;
};

Options ParseOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Collects video lists into a checkable table."));
    parser.addHelpOption();
    const QCommandLineOption live(QStringLiteral("live"),
                                  QStringLiteral("Reach the real sites instead of the built-in stand-in web."));
    const QCommandLineOption connectTo(QStringLiteral("connect-to"),
                                       QStringLiteral("Redirect a host, in curl's HOST:PORT:ADDR:PORT form (repeatable)."),
                                       QStringLiteral("rule"));
    const QCommandLineOption userAgent(QStringLiteral("user-agent"), QStringLiteral("User agent of every request."),
                                       QStringLiteral("text"));
    const QCommandLineOption appPath(QStringLiteral("app-path"),
                                     QStringLiteral("Folder for the settings and the site file."), QStringLiteral("dir"));
    parser.addOptions({live, connectTo, userAgent, appPath});
    parser.process(app);
    return {parser.isSet(live) || parser.isSet(connectTo), parser.values(connectTo), parser.value(userAgent),
            parser.value(appPath)};
}

}  // namespace

int main(int argc, char** argv)
{
    SimpleParser::PrepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quib"));
    const Options options = ParseOptions(app);

    NetworkSettings network;
    for (const QString& rule : options.connectTo)
        network.connectTo.push_back(rule.toStdString());
    if (!options.userAgent.isEmpty())
        network.userAgent = options.userAgent.toStdString();

    // Declared before the workers, so it still answers while they are stopped at exit.
    std::optional<StandinWeb> standin;
    if (!options.live) {
        standin.emplace();
        standin->Start();
        network.connectTo = standin->ConnectToRules();
        std::printf("stand-in web on 127.0.0.1:%d\n", standin->Port());
        std::fflush(stdout);
    }

    // Pages whose scripts must run open in a hidden browser, redirected as the HTTP client is.
    SimpleParser::SetBrowserSwitches(SimpleParser::HostResolverRules(network));

    WorkerRegistry workers;
    DesktopMessageService messages;
    const QString appPath = options.appPath.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                : options.appPath;
    HostApp host(QStringLiteral("Quib"), appPath, messages, workers, network);

    // No main window holds the custom copy template here; it lasts for the session.
    SessionFormat format;
    TParseForm form(nullptr, &host);
    form.SetFormatOwner(&format);
    host.SetMainForm(&form);
    form.setWindowTitle(QStringLiteral("快速采集"));
    form.resize(800, 560);
    form.show();
    return QApplication::exec();
}
