#include "tools/quibcollect/options.h"

#include <QCommandLineParser>

namespace quib::cli {

namespace {

const QStringList kSites = {"tudou", "youku", "56", "6jf", "ouou", "sina", "xunlei", "api"};
constexpr int kUsageError = kExitUsage;

const char* const kDescription =
    "Collects one album, playlist, feed or Xunlei movie the way the quick-collect form does, and\n"
    "prints the rows in the table's order, one per line: RecId, Status (1 or 0), Caption, Url, Date\n"
    "and Link, separated by tabs, in UTF-8 (a tab or line break inside a field becomes a blank).\n"
    "With --json each row is one JSON object with those field names (Status true or false).\n"
    "\n"
    "ADDRESS-OR-ID is what one would type into the form's address box: an album address or a bare ID.\n"
    "Messages the form would show go to standard error. The exit status is 1 when a collection\n"
    "reported an error or did not start (\"请输入地址！\" for an empty address), or, in a batch, a\n"
    "line failed, or the output or the archive could not be written; 2 for a wrong command line or a\n"
    "batch or archive file that cannot be read; 3 when --check-episodes found missing episodes and\n"
    "nothing failed; 0 otherwise.\n"
    "\n"
    "Xunlei: a movie with several albums shows the album chooser; --album N answers it with line N\n"
    "(without --album the first line, the chooser's default, is taken). --list-albums prints the\n"
    "chooser's lines (album ID=title) instead; a movie with a single album has no chooser and its\n"
    "one line is printed.\n"
    "\n"
    "--layout 0|1|2|3 prints, instead of the rows, exactly the text the form's copy command would put\n"
    "on the clipboard: title$address, the address, the link, or the --format template (tags <id>,\n"
    "<title>, <url>, <date>), for the checked rows, --merge N of them to a line; a row without an\n"
    "address is left out where the address would go.\n"
    "\n"
    "--batch FILE runs one collection per line of FILE (\"-\": standard input), one after another:\n"
    "\"SITE ADDRESS-OR-ID\", blank lines and lines starting with # skipped. Every row gets the line's\n"
    "ADDRESS-OR-ID as a last column (with --json: the field \"album\"). A line that fails is reported\n"
    "on standard error with its line number and the batch goes on. --page, --fast/--no-fast, --json\n"
    "and the network options apply to every line; --site, ADDRESS-OR-ID, --album, --list-albums and\n"
    "--layout belong to one collection and are refused with --batch (a Xunlei line takes the\n"
    "chooser's first album).\n"
    "\n"
    "--archive FILE appends, after each collection, one \"site address\" line (the row's Url) for each\n"
    "printed row it does not hold yet; with --only-new the rows it already holds are not printed.\n"
    "--sort-episodes prints the rows in episode order (read from the titles; rows without a number\n"
    "last, in their order). --check-episodes writes each collection's episode status line to\n"
    "standard error, e.g. \"共 45 条，第1–46集，缺第23集；重复地址 2 条\", over all its rows.\n"
    "\n"
    "While a collection runs, standard error shows its progress (\"第 25 页 · 已采集 743 条 · 12 秒\"),\n"
    "redrawn in place and cleared at its end, when standard error is a terminal; --progress shows it\n"
    "anyway, --quiet neither shows it nor other remarks (errors and requested lines still appear).\n"
    "\n"
    "Resource sites (the shared video-data API): --site api 'BASE?ac=detail&ids=N' (or BASE#N) collects\n"
    "one record, a row per episode of its first play source or of --source NAME; a batch line\n"
    "\"api ADDRESS\" likewise. --search WORD --api BASE [--api BASE]... searches every site at once and\n"
    "prints one line per series: site, record address, name, remarks, updated time and sources\n"
    "(joined by $$$), or JSON objects with --json; a site that fails is reported on standard error,\n"
    "and the exit status is 1 only when every site failed. --api BASE --updated-hours N prints the\n"
    "rows of every series the site changed in the last N hours (all pages), each with its record\n"
    "address as a last column; with --archive and --only-new only the episodes not seen before.\n"
    "\n"
    "By default the built-in stand-in web answers every site in-process (said on standard error);\n"
    "--live reaches the real sites, and so does --connect-to, which redirects chosen hosts.\n"
    "\n"
    "Example, offline on the built-in stand-in web:\n"
    "  quib-collect --site tudou 2x3\n"
    "  quib-collect --site xunlei --list-albums a3x5\n"
    "  quib-collect --batch series.txt --archive seen.txt --only-new --sort-episodes\n"
    "  quib-collect --search 山海 --api http://zyjson.standin.test/api.php/provide/vod/\n"
    "  quib-collect --api http://zyjson.standin.test/api.php/provide/vod/ --updated-hours 24";

QString Problem(const QString& text) { return QStringLiteral("quib-collect: ") + text; }

}  // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version({"v", "version"}, "Show the version.");
    const QCommandLineOption site("site", "The site: " + kSites.join(", ") + ".", "key");
    const QCommandLineOption fast("fast", "Read Tudou and Youku albums from their feeds (the default).");
    const QCommandLineOption noFast("no-fast", "Walk the Tudou and Youku playlist pages instead.");
    const QCommandLineOption page("page", "The page to start from, 1 to 255 (default 1).", "n", "1");
    const QCommandLineOption jobs("jobs", "Album pages fetched at once, 1 to 16 (default 4; 1: one after another).",
                                  "n", "4");
    const QCommandLineOption album("album", "Xunlei: take the chooser's line n (1 = first).", "n");
    const QCommandLineOption listAlbums("list-albums", "Xunlei: print the chooser's lines instead of collecting.");
    const QCommandLineOption connectTo(
        "connect-to", "Redirect a host, in curl's HOST:PORT:ADDR:PORT form (repeatable); implies --live.", "rule");
    const QCommandLineOption userAgent("user-agent", "User agent of every request.", "text");
    const QCommandLineOption json("json", "One JSON object per row instead of tab-separated fields.");
    const QCommandLineOption standin(
        "standin", "Serve the built-in stand-in web in-process and send every host to it (the default).");
    const QCommandLineOption live("live", "Reach the real sites instead of the stand-in web.");
    const QCommandLineOption layout("layout", "Print the copy text of layout n (0 to 3) instead of the rows.", "n");
    const QCommandLineOption merge("merge", "With --layout: rows merged into one line (1 to 100).", "n");
    const QCommandLineOption format("format", "With --layout 3: the template.", "template");
    const QCommandLineOption batch(
        "batch", "Collect every \"SITE ADDRESS-OR-ID\" line of the file (- for standard input).", "file");
    const QCommandLineOption archive("archive", "Append a \"site address\" line per printed row not in the file yet.",
                                     "file");
    const QCommandLineOption onlyNew("only-new", "With --archive: leave out the rows the archive has.");
    const QCommandLineOption sortEpisodes("sort-episodes", "Print the rows in episode order.");
    const QCommandLineOption checkEpisodes(
        "check-episodes", "Write the episode status line to standard error; exit 3 when episodes are missing.");
    const QCommandLineOption progress("progress", "Show the progress line even when standard error is no terminal.");
    const QCommandLineOption quiet("quiet", "No progress line and no remarks on standard error; errors still.");
    const QCommandLineOption source("source", "Resource sites: the play source to collect (default: the first).",
                                    "name");
    const QCommandLineOption search("search", "Search the --api sites for a word.", "word");
    const QCommandLineOption api("api", "A resource site's base address (repeatable).", "base");
    const QCommandLineOption updatedHours("updated-hours", "Rows of every series the --api sites changed lately.",
                                          "hours");
    parser.addOptions({help,      version,      live,          site,     fast,   noFast, page,   album, listAlbums,
                       connectTo, userAgent,    json,          standin,  layout, merge,  format, batch, archive,
                       onlyNew,   sortEpisodes, checkEpisodes, progress, quiet,  source, search, api,   updatedHours});
    parser.addOption(jobs);
    parser.addPositionalArgument("ADDRESS-OR-ID", "The album address or ID (not with --batch).");

    if (!parser.parse(arguments))
        return {std::nullopt, Problem(parser.errorText()), kUsageError};
    if (parser.isSet(help))
        return {std::nullopt, parser.helpText(), 0};
    if (parser.isSet(version))
        return {std::nullopt, QStringLiteral("quib-collect " QUIB_VERSION), 0};

    CollectOptions options;
    options.source = parser.value(source).trimmed();
    options.search = parser.value(search).trimmed();
    options.apis = parser.values(api);
    if (parser.isSet(search) && options.search.isEmpty())
        return {std::nullopt, Problem("--search needs a word."), kUsageError};
    if (parser.isSet(updatedHours)) {
        bool hoursOk = false;
        options.updatedHours = parser.value(updatedHours).toInt(&hoursOk);
        if (!hoursOk || options.updatedHours < 1 || options.updatedHours > 8760)
            return {std::nullopt, Problem("--updated-hours must be a number from 1 to 8760."), kUsageError};
    }
    const bool resourceRun = parser.isSet(search) || parser.isSet(updatedHours);
    if (parser.isSet(search) && parser.isSet(updatedHours))
        return {std::nullopt, Problem("--search and --updated-hours exclude each other."), kUsageError};
    if (resourceRun != !options.apis.isEmpty())
        return {std::nullopt, Problem("--api goes with --search or --updated-hours, which need at least one --api."),
                kUsageError};
    if (resourceRun) {
        // These name one collection; the sites name their own series.
        for (const QCommandLineOption* single : {&site, &batch, &album, &listAlbums, &layout, &merge, &format, &page})
            if (parser.isSet(*single))
                return {std::nullopt, Problem("--" + single->names().front() + " does not go with --api."),
                        kUsageError};
        if (!parser.positionalArguments().isEmpty())
            return {std::nullopt, Problem("--api runs take no ADDRESS-OR-ID."), kUsageError};
        if (parser.isSet(search) && (parser.isSet(archive) || parser.isSet(onlyNew) || parser.isSet(sortEpisodes) ||
                                     parser.isSet(checkEpisodes) || parser.isSet(source)))
            return {std::nullopt,
                    Problem("--search prints series, not rows: no --archive, --only-new, "
                            "--sort-episodes, --check-episodes or --source."),
                    kUsageError};
        if (parser.isSet(archive) && parser.value(archive).isEmpty())
            return {std::nullopt, Problem("--archive needs a file name."), kUsageError};
        if (parser.isSet(onlyNew) && !parser.isSet(archive))
            return {std::nullopt, Problem("--only-new needs --archive, the file of rows seen before."), kUsageError};
        if (parser.isSet(standin) && parser.isSet(live))
            return {std::nullopt, Problem("--standin and --live exclude each other."), kUsageError};
        options.archive = parser.value(archive);
        options.onlyNew = parser.isSet(onlyNew);
        options.sortEpisodes = parser.isSet(sortEpisodes);
        options.checkEpisodes = parser.isSet(checkEpisodes);
        options.json = parser.isSet(json);
        options.connectTo = parser.values(connectTo);
        options.userAgent = parser.value(userAgent);
        options.standin = parser.isSet(standin) || !(parser.isSet(live) || parser.isSet(connectTo));
        options.quiet = parser.isSet(quiet);
        options.progress = CollectOptions::Progress::Never;
        return {options, QString(), 0};
    }
    options.batch = parser.value(batch);
    const bool batched = parser.isSet(batch);
    if (batched && options.batch.isEmpty())
        return {std::nullopt, Problem("--batch needs a file name, or - for standard input."), kUsageError};
    if (batched) {
        // These name one collection; a batch line names its own.
        for (const QCommandLineOption* single : {&site, &album, &listAlbums, &layout, &merge, &format})
            if (parser.isSet(*single))
                return {std::nullopt,
                        Problem("--" + single->names().front() + " is for one collection, not for --batch."),
                        kUsageError};
        if (!parser.positionalArguments().isEmpty())
            return {std::nullopt, Problem("--batch takes the addresses from its file, not from the command line."),
                    kUsageError};
    }
    options.site = parser.value(site);
    if (!batched && !kSites.contains(options.site))
        return {std::nullopt, Problem("--site must be one of " + kSites.join(", ") + "."), kUsageError};
    if (parser.isSet(source) && !batched && options.site != "api")
        return {std::nullopt, Problem("--source is for --site api."), kUsageError};
    if (parser.isSet(fast) && parser.isSet(noFast))
        return {std::nullopt, Problem("--fast and --no-fast exclude each other."), kUsageError};
    options.fast = !parser.isSet(noFast);
    bool ok = false;
    options.page = parser.value(page).toInt(&ok);
    if (!ok || options.page < 1 || options.page > 255)
        return {std::nullopt, Problem("--page must be a number from 1 to 255."), kUsageError};
    options.jobs = parser.value(jobs).toInt(&ok);
    if (!ok || options.jobs < 1 || options.jobs > 16)
        return {std::nullopt, Problem("--jobs must be a number from 1 to 16."), kUsageError};
    if (parser.isSet(album)) {
        options.album = parser.value(album).toInt(&ok);
        if (!ok || options.album < 1)
            return {std::nullopt, Problem("--album must be a number from 1 on."), kUsageError};
    }
    options.listAlbums = parser.isSet(listAlbums);
    if ((options.album || options.listAlbums) && options.site != "xunlei")
        return {std::nullopt, Problem("--album and --list-albums are for --site xunlei."), kUsageError};
    if (options.album && options.listAlbums)
        return {std::nullopt, Problem("--album and --list-albums exclude each other."), kUsageError};
    options.connectTo = parser.values(connectTo);
    options.userAgent = parser.value(userAgent);
    options.json = parser.isSet(json);
    if (parser.isSet(standin) && parser.isSet(live))
        return {std::nullopt, Problem("--standin and --live exclude each other."), kUsageError};
    // Redirected hosts are live ones; an explicit --standin keeps its redirections on top.
    options.standin = parser.isSet(standin) || !(parser.isSet(live) || parser.isSet(connectTo));
    const QStringList positional = parser.positionalArguments();
    if (!batched && positional.size() != 1)
        return {std::nullopt, Problem("give one ADDRESS-OR-ID (see --help)."), kUsageError};
    if (!batched)
        options.address = positional.front();
    if (parser.isSet(layout)) {
        options.layout = parser.value(layout).toInt(&ok);
        if (!ok || *options.layout < 0 || *options.layout > 3)
            return {std::nullopt, Problem("--layout must be 0, 1, 2 or 3."), kUsageError};
    }
    if (parser.isSet(merge)) {
        options.merge = parser.value(merge).toInt(&ok);
        if (!ok || *options.merge < 1 || *options.merge > 100)
            return {std::nullopt, Problem("--merge must be a number from 1 to 100."), kUsageError};
    }
    options.format = parser.value(format);
    if ((options.merge || parser.isSet(format)) && !options.layout)
        return {std::nullopt, Problem("--merge and --format go with --layout."), kUsageError};
    if (options.layout && (options.listAlbums || options.json))
        return {std::nullopt, Problem("--layout excludes --list-albums and --json."), kUsageError};
    options.archive = parser.value(archive);
    if (parser.isSet(archive) && options.archive.isEmpty())
        return {std::nullopt, Problem("--archive needs a file name."), kUsageError};
    options.onlyNew = parser.isSet(onlyNew);
    options.sortEpisodes = parser.isSet(sortEpisodes);
    options.checkEpisodes = parser.isSet(checkEpisodes);
    if (options.onlyNew && options.archive.isEmpty())
        return {std::nullopt, Problem("--only-new needs --archive, the file of rows seen before."), kUsageError};
    // These act on the printed rows; the copy text and the chooser's lines are no rows. The
    // episode check looks at the collection itself, so it goes with --layout too.
    if ((options.layout || options.listAlbums) && (parser.isSet(archive) || options.onlyNew || options.sortEpisodes))
        return {
            std::nullopt,
            Problem(
                "--archive, --only-new and --sort-episodes go with printed rows, not with --layout or --list-albums."),
            kUsageError};
    if (options.listAlbums && options.checkEpisodes)
        return {std::nullopt, Problem("--check-episodes needs a collection, not --list-albums."), kUsageError};
    if (parser.isSet(progress) && parser.isSet(quiet))
        return {std::nullopt, Problem("--progress and --quiet exclude each other."), kUsageError};
    options.quiet = parser.isSet(quiet);
    if (options.quiet)
        options.progress = CollectOptions::Progress::Never;
    else if (parser.isSet(progress))
        options.progress = CollectOptions::Progress::Always;
    return {options, QString(), 0};
}

const QStringList& SiteKeys() { return kSites; }

}  // namespace quib::cli
