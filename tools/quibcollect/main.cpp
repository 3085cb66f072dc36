// quib-collect: one collection from the command line, run by a hidden collection form (the same
// code as the window's), its rows printed to standard output.
#include "climessages.h"
#include "formatowner.h"
#include "dataview.h"
#include "gbk.h"
#include "hostapp.h"
#include "memdata.h"
#include "options.h"
#include "parse.h"
#include "rowformat.h"
#include "standinweb.h"
#include "workerthread.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>

#include <cstdio>
#include <optional>

namespace {

NetworkSettings NetworkFor(const CollectOptions& options, const std::optional<StandinWeb>& standin)
{
    NetworkSettings network;
    for (const QString& rule : options.connectTo)
        network.connectTo.push_back(rule.toStdString());
    // Rules given by hand come first, so they win over the stand-in's catch-all rule.
    if (standin)
        for (const std::string& rule : standin->ConnectToRules())
            network.connectTo.push_back(rule);
    if (!options.userAgent.isEmpty())
        network.userAgent = options.userAgent.toStdString();
    return network;
}

void Collect(TParseForm& form, const CollectOptions& options)
{
    form.SiteRadio(options.site.toStdString()).setChecked(true);
    form.FastSwitch().setChecked(options.fast);
    form.StartPage().setValue(options.page);
    form.UrlEditor().setText(options.address);
    // Connected before the start: a single page ends inside ButtonClick itself.
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&form.Engine(), &CollectionEngine::Ended, &loop, [&] {
        ended = true;
        loop.quit();
    });
    form.ButtonClick();
    if (!ended && form.Engine().IsRunning())
        loop.exec();
}

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintRows(TParseForm& form, bool json)
{
    for (const int index : form.View().DisplayOrder()) {
        const ResultRow& row = form.Data().Row(index);
        PrintLine(json ? JsonLine(row) : TsvLine(row));
    }
}

void PrintAlbums(TParseForm& form, const CliMessages& messages, bool json)
{
    std::vector<QString> lines;
    if (messages.ChooserLines()) {
        lines = *messages.ChooserLines();
    } else {
        // One album or none: no chooser, but the line it would have shown.
        for (const std::string& entry : form.Engine().AlbumTable().Strings())
            lines.push_back(gbk::ToUnicode(entry));
    }
    int position = 0;
    for (const QString& line : lines) {
        const std::string text = line.toStdString();
        PrintLine(json ? "{\"Position\":" + std::to_string(++position) + ",\"Line\":" + JsonString(text) + "}" : text);
    }
}

// The copy command itself does the work, so the text is the clipboard's to the byte.
void PrintCopyText(TParseForm& form, const CollectOptions& options)
{
    SessionFormat format;
    format.SetFormat(gbk::FromUnicode(options.format));
    form.SetFormatOwner(&format);
    if (options.merge)
        form.MergeCount().setValue(*options.merge);
    form.CopyData(*options.layout);
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    form.SetFormatOwner(nullptr);
}

int Run(const CollectOptions& options)
{
    // Declared before the workers, so it still answers while they are stopped at exit.
    std::optional<StandinWeb> standin;
    if (options.standin) {
        standin.emplace();
        standin->Start();
        std::fprintf(stderr, "quib-collect: on the built-in stand-in web (127.0.0.1:%d); --live reaches the real sites\n",
                     standin->Port());
    }
    WorkerRegistry workers;
    CliMessages messages(options.album, options.listAlbums);
    HostApp host(QStringLiteral("Quib"), QDir::tempPath() + QDir::separator(), messages, workers,
                 NetworkFor(options, standin));
    TParseForm form(nullptr, &host);
    host.SetMainForm(&form);
    Collect(form, options);
    if (options.layout)
        PrintCopyText(form, options);
    else if (options.listAlbums)
        PrintAlbums(form, messages, options.json);
    else
        PrintRows(form, options.json);
    std::fflush(stdout);
    return messages.Failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Headless unless told otherwise: the form is never shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quib-collect"));
    const ParsedCommandLine parsed = ParseCommandLine(QApplication::arguments());
    if (!parsed.options) {
        std::fprintf(parsed.exitCode ? stderr : stdout, "%s\n", parsed.message.toUtf8().constData());
        return parsed.exitCode;
    }
    return Run(*parsed.options);
}
