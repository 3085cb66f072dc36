#include "options.h"

#include <QCommandLineParser>

namespace {

const QStringList kSites = {"tudou", "youku", "56", "6jf", "ouou", "sina", "xunlei"};
constexpr int kUsageError = 2;

const char* const kDescription =
    "Collects one album, playlist, feed or Xunlei movie the way the quick-collect form does, and\n"
    "prints the rows in the table's order, one per line: RecId, Status (1 or 0), Caption, Url, Date\n"
    "and Link, separated by tabs, in UTF-8 (a tab or line break inside a field becomes a blank).\n"
    "With --json each row is one JSON object with those field names (Status true or false).\n"
    "\n"
    "ADDRESS-OR-ID is what one would type into the form's address box: an album address or a bare ID.\n"
    "Messages the form would show go to standard error. The exit status is 1 when the collection\n"
    "reported an error, 2 for a wrong command line, 0 otherwise.\n"
    "\n"
    "Xunlei: a movie with several albums shows the album chooser; --album N answers it with line N\n"
    "(without --album the first line, the chooser's default, is taken). --list-albums prints the\n"
    "chooser's lines (album ID=title) instead; a movie with a single album has no chooser and its\n"
    "one line is printed.\n"
    "\n"
    "--layout 0|1|2|3 prints, instead of the rows, exactly the text the form's copy command would put\n"
    "on the clipboard: title$address, the address, the link, or the --format template (tags <id>,\n"
    "<title>, <url>, <date>), for the checked rows, --merge N of them to a line.\n"
    "\n"
    "By default the built-in stand-in web answers every site in-process (said on standard error);\n"
    "--live reaches the real sites, and so does --connect-to, which redirects chosen hosts.\n"
    "\n"
    "Example, offline on the built-in stand-in web:\n"
    "  quib-collect --site tudou 2x3\n"
    "  quib-collect --site xunlei --list-albums a3x5";

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
    const QCommandLineOption album("album", "Xunlei: take the chooser's line n (1 = first).", "n");
    const QCommandLineOption listAlbums("list-albums", "Xunlei: print the chooser's lines instead of collecting.");
    const QCommandLineOption connectTo("connect-to",
                                       "Redirect a host, in curl's HOST:PORT:ADDR:PORT form (repeatable); implies --live.",
                                       "rule");
    const QCommandLineOption userAgent("user-agent", "User agent of every request.", "text");
    const QCommandLineOption json("json", "One JSON object per row instead of tab-separated fields.");
    const QCommandLineOption standin("standin",
                                     "Serve the built-in stand-in web in-process and send every host to it (the default).");
    const QCommandLineOption live("live", "Reach the real sites instead of the stand-in web.");
    const QCommandLineOption layout("layout", "Print the copy text of layout n (0 to 3) instead of the rows.", "n");
    const QCommandLineOption merge("merge", "With --layout: rows merged into one line (1 to 100).", "n");
    const QCommandLineOption format("format", "With --layout 3: the template.", "template");
    parser.addOptions({help, version, live, site, fast, noFast, page, album, listAlbums, connectTo, userAgent, json, standin, layout,
                       merge, format});
    parser.addPositionalArgument("ADDRESS-OR-ID", "The album address or ID.");

    if (!parser.parse(arguments))
        return {std::nullopt, Problem(parser.errorText()), kUsageError};
    if (parser.isSet(help))
        return {std::nullopt, parser.helpText(), 0};
    if (parser.isSet(version))
        return {std::nullopt, QStringLiteral("quib-collect " QUIB_VERSION), 0};

    CollectOptions options;
    options.site = parser.value(site);
    if (!kSites.contains(options.site))
        return {std::nullopt, Problem("--site must be one of " + kSites.join(", ") + "."), kUsageError};
    if (parser.isSet(fast) && parser.isSet(noFast))
        return {std::nullopt, Problem("--fast and --no-fast exclude each other."), kUsageError};
    options.fast = !parser.isSet(noFast);
    bool ok = false;
    options.page = parser.value(page).toInt(&ok);
    if (!ok || options.page < 1 || options.page > 255)
        return {std::nullopt, Problem("--page must be a number from 1 to 255."), kUsageError};
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
    if (positional.size() != 1)
        return {std::nullopt, Problem("give one ADDRESS-OR-ID (see --help)."), kUsageError};
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
    return {options, QString(), 0};
}
