// quib-collect: collections from the command line, each run by the collection engine the window's
// form drives, their rows printed to standard output. Qt Core only: no widget, no browser.
#include "tools/quibcollect/batchfile.h"
#include "tools/quibcollect/clicollection.h"
#include "tools/quibcollect/climessages.h"
#include "tools/quibcollect/collectarchive.h"
#include "tools/quibcollect/collectoutput.h"
#include "collect/collectionprogress.h"
#include "results/copytext.h"
#include "host/core/gbk.h"
#include "host/core/coreapp.h"
#include "tools/quibcollect/liveline.h"
#include "results/memdata.h"
#include "tools/quibcollect/options.h"
#include "tools/quibcollect/resourcecommands.h"
#include "tools/quibcollect/processrenderer.h"
#include "tools/quibcollect/rowformat.h"
#include "host/core/safefile.h"
#include "tools/quibcollect/loadedstandin.h"
#include "host/core/workerthread.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>

using namespace quib;
using namespace quib::cli;
using namespace quib::collect;
using namespace quib::results;

namespace {

NetworkSettings NetworkFor(const CollectOptions& options, const std::optional<LoadedStandin>& standin)
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
    network.pageJobs = options.jobs;
    return network;
}

// A batch file is a list of albums, not a data set.
constexpr std::size_t kMaxBatchBytes = 4u << 20;

// live: where the progress goes while the collection runs; null for none. False when nothing was
// collected because the form refused to start (no address, no site): a failure for whoever runs this.
bool Collect(CliCollection& collection, const CollectOptions& options, const QString& site, const QString& address,
             LiveLine* live)
{
    std::optional<ProgressTicker> ticker;
    if (live) {
        ticker.emplace(collection.Engine());
        QObject::connect(&*ticker, &ProgressTicker::Changed, &*ticker,
                         [live](const QString& line) { live->Show(line); });
        QObject::connect(&*ticker, &ProgressTicker::Finished, &*ticker, [live] { live->Clear(); });
    }
    CollectRequest request;
    request.address = gbk::FromUnicode(address);
    // An address that names a site's domain is that site's, as in the form's address box.
    const std::optional<std::string_view> typed = SiteOfTypedAddress(request.address);
    request.site = typed ? std::string(*typed) : site.toStdString();
    request.fast = options.fast;
    request.startPage = options.page;
    request.source = options.source;
    return collection.Engine().CollectAndWait(request).started;
}

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void Complain(const QString& text) { std::fprintf(stderr, "quib-collect: %s\n", text.toUtf8().constData()); }

// What one collection came to, for the exit status.
struct Outcome {
    bool failed = false;
    bool missingEpisodes = false;
};

void ShowCheck(const EpisodeCheck& check, const QString& label, Outcome& outcome)
{
    const QString line = EpisodeStatusLine(check);
    std::fprintf(stderr, "%s\n", (label.isEmpty() ? line : label + ": " + line).toUtf8().constData());
    outcome.missingEpisodes = !check.missing.empty();
}

// Prints the rows, and only once they are out adds them to the archive: a row that could not be
// shown must not count as seen. album: the batch line's address, as the rows' extra column.
Outcome PrintRows(CliCollection& collection, const CollectOptions& options, const QString& site,
                  CollectArchive* archive, const std::optional<std::string>& album, const QString& label,
                  bool collectionFailed)
{
    Outcome outcome;
    const OutputChoice choice{options.onlyNew, options.sortEpisodes, options.checkEpisodes};
    const std::vector<int> order = collection.DisplayOrder();
    const CollectionOutput output = PlanOutput(collection.Data(), order, site.toStdString(), choice, archive);
    for (const int index : output.rows) {
        const ResultRow& row = collection.Data().Row(index);
        PrintLine(options.json ? JsonLine(row, album) : TsvLine(row, album));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain(QStringLiteral("cannot write the rows to standard output; the archive is left as it was"));
        outcome.failed = true;
        return outcome;
    }
    if (archive) {
        try {
            archive->Append(output.archiveKeys);
        } catch (const std::exception& error) {
            Complain(QString::fromUtf8(error.what()));
            outcome.failed = true;
        }
    }
    // A collection that broke off says nothing about the album's episodes.
    if (output.check && !collectionFailed)
        ShowCheck(*output.check, label, outcome);
    return outcome;
}

void PrintAlbums(CliCollection& collection, const CliMessages& messages, bool json)
{
    std::vector<QString> lines;
    if (messages.ChooserLines()) {
        lines = *messages.ChooserLines();
    } else {
        // One album or none: no chooser, but the line it would have shown.
        for (const std::string& entry : collection.Engine().AlbumTable().Strings())
            lines.push_back(gbk::ToUnicode(entry));
    }
    int position = 0;
    for (const QString& line : lines) {
        const std::string text = line.toStdString();
        PrintLine(json ? "{\"Position\":" + std::to_string(++position) + ",\"Line\":" + JsonString(text) + "}" : text);
    }
}

// The copy commands' own text, so it is what they would put on the clipboard to the byte.
void PrintCopyText(CliCollection& collection, const CollectOptions& options)
{
    CopyLayout layout;
    if (!CopyLayoutFromInt(*options.layout, layout))
        return;
    // The form's merge box: 1 to 255, starting at 1.
    const int merge = std::clamp(options.merge.value_or(1), 1, 255);
    const std::string format = layout == CopyLayout::Template ? gbk::FromUnicode(options.format) : std::string();
    const CopiedText copy = CopyText(collection.Data(), collection.DisplayOrder(), layout, format, merge);
    const QByteArray text = copy.text.toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
}

std::string ReadBatch(const QString& name)
{
    if (name != QStringLiteral("-")) {
        std::optional<std::string> text = safefile::ReadRegularFile(name, kMaxBatchBytes);
        if (!text)
            throw std::runtime_error("there is no batch file " + name.toStdString());
        return std::move(*text);
    }
    std::string text;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        text.append(buffer, n);
        if (text.size() > kMaxBatchBytes)
            throw std::runtime_error("the batch on standard input is larger than " + std::to_string(kMaxBatchBytes) +
                                     " bytes");
    }
    if (std::ferror(stdin))
        throw std::runtime_error("cannot read the batch from standard input");
    return text;
}

class Runner {
public:
    Runner(const CollectOptions& options, CoreApp& host, CliMessages& messages, CollectArchive* archive, LiveLine* live)
        : m_options(options), m_host(host), m_messages(messages), m_archive(archive), m_live(live)
    {
    }

    // One collection of the command line: rows, copy text or the chooser's lines.
    Outcome Single()
    {
        CliCollection collection(m_host, m_messages, Renderer());
        const bool started = Collect(collection, m_options, m_options.site, m_options.address, m_live);
        Outcome outcome;
        if (m_options.layout) {
            PrintCopyText(collection, m_options);
            if (m_options.checkEpisodes && !m_messages.Failed())
                ShowCheck(CheckEpisodes(EpisodeEntries(collection.Data())), QString(), outcome);
        } else if (m_options.listAlbums) {
            PrintAlbums(collection, m_messages, m_options.json);
        } else {
            outcome = PrintRows(collection, m_options, m_options.site, m_archive, std::nullopt, QString(),
                                m_messages.Failed());
        }
        std::fflush(stdout);
        outcome.failed = m_messages.TakeFailed() || outcome.failed || !started;
        return outcome;
    }

    // Every line of the batch, one after another; a line that fails leaves the others to run.
    Outcome Batch(const std::vector<BatchLine>& lines)
    {
        Outcome total;
        const QString file = m_options.batch == QStringLiteral("-") ? QStringLiteral("<stdin>") : m_options.batch;
        for (const BatchLine& line : lines) {
            const QString where = QStringLiteral("%1:%2").arg(file).arg(line.number);
            if (!line.problem.isEmpty()) {
                Complain(where + ": " + line.problem);
                total.failed = true;
                continue;
            }
            const QString label = where + ": " + line.site + ' ' + line.address;
            CliCollection collection(m_host, m_messages, Renderer());
            const bool started = Collect(collection, m_options, line.site, line.address, m_live);
            const Outcome outcome = PrintRows(collection, m_options, line.site, m_archive, line.address.toStdString(),
                                              label, m_messages.Failed());
            if (m_messages.TakeFailed() || outcome.failed || !started) {
                Complain(label + ": the collection failed");
                total.failed = true;
            }
            total.missingEpisodes = total.missingEpisodes || outcome.missingEpisodes;
        }
        return total;
    }

private:
    std::unique_ptr<PageRenderer> Renderer()
    {
        return std::make_unique<ProcessRenderer>(ProcessRenderer::DefaultProgram(), m_host.GetNetwork());
    }

    const CollectOptions& m_options;
    CoreApp& m_host;
    CliMessages& m_messages;
    CollectArchive* m_archive;
    LiveLine* m_live;
};

int Run(const CollectOptions& options)
{
    // The inputs are read before anything is collected, so that a wrong one costs no requests.
    std::optional<CollectArchive> archive;
    std::vector<BatchLine> lines;
    try {
        if (!options.archive.isEmpty())
            archive.emplace(options.archive);
        if (!options.batch.isEmpty())
            lines = ParseBatch(ReadBatch(options.batch), SiteKeys());
    } catch (const std::exception& error) {
        Complain(QString::fromUtf8(error.what()));
        return kExitUsage;
    }

    // Declared before the workers, so it still answers while they are stopped at exit.
    std::optional<LoadedStandin> standin;
    if (options.standin) {
        standin.emplace(LoadedStandin::DefaultPath());
        try {
            standin->Start();
        } catch (const std::exception& error) {
            Complain(QString::fromUtf8(error.what()));
            return kExitFailed;
        }
        if (!options.quiet)
            std::fprintf(stderr,
                         "quib-collect: on the built-in stand-in web (127.0.0.1:%d); --live reaches the real sites\n",
                         standin->Port());
    }
    // Outlives the messages that clear it, up to the workers' last words at exit.
    LiveLine live(stderr);
    WorkerRegistry workers;
    CliMessages messages(options.album, options.listAlbums);
    messages.SetLiveLine(&live);
    CoreApp host(QStringLiteral("Quib"), QDir::tempPath() + QDir::separator(), messages, workers,
                 NetworkFor(options, standin));
    if (const std::optional<int> status = RunResourceCommand(options, host.GetNetwork(), archive ? &*archive : nullptr))
        return *status;
    // A pipe or a log file would only collect the redraws.
    const bool showProgress = options.progress == CollectOptions::Progress::Always ||
                              (options.progress == CollectOptions::Progress::Auto && ::isatty(STDERR_FILENO));
    Runner runner(options, host, messages, archive ? &*archive : nullptr, showProgress ? &live : nullptr);
    const Outcome outcome = options.batch.isEmpty() ? runner.Single() : runner.Batch(lines);
    if (outcome.failed)
        return kExitFailed;
    return outcome.missingEpisodes ? kExitMissingEpisodes : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quib-collect"));
    const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments());
    if (!parsed.options) {
        std::fprintf(parsed.exitCode ? stderr : stdout, "%s\n", parsed.message.toUtf8().constData());
        return parsed.exitCode;
    }
    return Run(*parsed.options);
}
