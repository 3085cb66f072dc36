#pragma once
// The command line of quib-collect.
#include <QString>
#include <QStringList>

#include <optional>

namespace quib::cli {

struct CollectOptions {
    QString site;             // a site key: tudou, youku, 56, 6jf, ouou, sina, xunlei, api
    bool fast = true;         // as the form's fast switch starts
    int page = 1;             // the start page, 1..255
    int jobs = 4;             // album pages fetched at once, 1..16; 1 walks them one after another
    int album = 0;            // Xunlei: the chooser line to take (1 = first); 0 keeps the first
    bool listAlbums = false;  // Xunlei: print the chooser's lines instead of collecting
    QStringList connectTo;    // curl's HOST:PORT:ADDR:PORT
    QString userAgent;
    bool json = false;
    bool standin = true;  // serve the built-in stand-in web and send every host to it
    QString address;      // the address or ID, as typed into the form
    // Instead of the rows, the text the form's copy command would put on the clipboard.
    std::optional<int> layout;  // 0 title$address, 1 address, 2 link, 3 template
    std::optional<int> merge;   // rows merged into one line; the form's own default otherwise
    QString format;             // the template of layout 3 (<id>, <title>, <url>, <date>)
    // A batch instead of one collection: the file ("-" for standard input) of "SITE ADDRESS-OR-ID"
    // lines; site and address above are then unused.
    QString batch;
    QString archive;             // the archive file of rows seen; empty for none
    bool onlyNew = false;        // leave out rows the archive has
    bool sortEpisodes = false;   // print in episode order
    bool checkEpisodes = false;  // the episode status line on standard error, exit 3 on a gap
    // The live progress line on standard error: by default when it is a terminal.
    enum class Progress { Auto, Always, Never };
    Progress progress = Progress::Auto;
    bool quiet = false;  // no progress line, no remarks; errors and requested lines only
    // Resource sites: the play source of --site api (empty: the first), the keyword of a search
    // over the --api sites, and the hours of a run over what they changed lately.
    QString source;
    QString search;
    QStringList apis;
    int updatedHours = 0;
};

// The site keys --site and a batch line accept.
const QStringList& SiteKeys();

// Exit statuses besides 0.
constexpr int kExitFailed = 1;           // a collection, a batch line or a write failed
constexpr int kExitUsage = 2;            // a wrong command line, or a batch or archive file unreadable
constexpr int kExitMissingEpisodes = 3;  // --check-episodes found a gap, and nothing failed

struct ParsedCommandLine {
    std::optional<CollectOptions> options;  // empty when the program should only print `message`
    QString message;                        // help text, or what is wrong with the command line
    int exitCode = 0;                       // for a command line that does not collect
};

ParsedCommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace quib::cli
