// quib-render: quib-collect's page renderer. Loads one page in a hidden browser page with its
// scripts on and writes the document they leave to standard output, as UTF-8 markup. On failure
// it exits with status 1 and says why on its last "quib-render: " line of standard error.
#include "host/browser/browserstartup.h"
#include "host/browser/webpagerenderer.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>

using namespace quib;

int main(int argc, char** argv)
{
    // Never shown: the page is only read.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The switches go in before the application object: Chromium reads them once.
    NetworkSettings network;
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
            if (arguments[i] == QStringLiteral("--connect-to"))
                network.connectTo.push_back(arguments[i + 1].toStdString());
    }
    PrepareBrowser(HostResolverRules(network));
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption connectTo("connect-to", "curl's HOST:PORT:ADDR:PORT redirection.", "rule");
    const QCommandLineOption userAgent("user-agent", "The user agent the page sees.", "text");
    const QCommandLineOption timeout("timeout-ms", "How long the page may take to load.", "ms", "30000");
    parser.addOptions({connectTo, userAgent, timeout});
    parser.addPositionalArgument("URL", "The page.");
    const bool parsed = parser.parse(QGuiApplication::arguments());
    bool ok = false;
    const qint64 milliseconds = parser.value(timeout).toLongLong(&ok);
    if (!parsed || !ok || parser.positionalArguments().size() != 1 || milliseconds <= 0) {
        std::fprintf(stderr,
                     "quib-render: usage: quib-render [--connect-to RULE]... [--user-agent TEXT] "
                     "[--timeout-ms MS] URL\n");
        return 2;
    }
    if (parser.isSet(userAgent))
        network.userAgent = parser.value(userAgent).toStdString();

    WebPageRenderer renderer(network);
    std::string error;
    const std::optional<std::string> document = renderer.Render(parser.positionalArguments().front().toStdString(),
                                                                std::chrono::milliseconds(milliseconds), error);
    if (!document) {
        std::fprintf(stderr, "quib-render: %s\n", error.c_str());
        return 1;
    }
    if (std::fwrite(document->data(), 1, document->size(), stdout) != document->size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "quib-render: cannot write the page to standard output\n");
        return 1;
    }
    return 0;
}
