#include "tools/quibcollect/resourcecommands.h"

#include "collect/resourcerows.h"
#include "collect/resourcesearch.h"
#include "results/episodecheck.h"
#include "results/memdata.h"
#include "tools/quibcollect/collectarchive.h"
#include "tools/quibcollect/collectoutput.h"
#include "tools/quibcollect/options.h"
#include "tools/quibcollect/rowformat.h"

#include <cstdio>
#include <numeric>

namespace quib::cli {

using namespace quib::collect;
using namespace quib::results;

namespace {

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void Say(const QString& text) { std::fprintf(stderr, "quib-collect: %s\n", text.toUtf8().constData()); }

std::string Field(const QString& text)
{
    std::string utf8 = text.toStdString();
    for (char& c : utf8)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return utf8;
}

std::vector<ResourceSite> SitesOf(const CollectOptions& options)
{
    std::vector<ResourceSite> sites;
    for (const QString& base : options.apis)
        sites.push_back(ResourceSite{QString(), base});
    return sites;
}

std::string HitLine(const std::vector<ResourceSite>& sites, const ResourceHit& hit, bool json)
{
    const ResourceSite& site = sites[static_cast<std::size_t>(hit.site)];
    const QStringList sources = hit.record.SourceNames();
    if (!json)
        return Field(site.DisplayName()) + '\t' + Field(hit.address) + '\t' + Field(hit.record.name) + '\t' +
               Field(hit.record.remarks) + '\t' + Field(hit.record.time) + '\t' +
               Field(sources.join(QStringLiteral("$$$")));
    std::string names;
    for (const QString& name : sources)
        names += (names.empty() ? "" : ",") + JsonString(name.toStdString());
    return "{\"site\":" + JsonString(site.DisplayName().toStdString()) +
           ",\"address\":" + JsonString(hit.address.toStdString()) +
           ",\"name\":" + JsonString(hit.record.name.toStdString()) +
           ",\"remarks\":" + JsonString(hit.record.remarks.toStdString()) +
           ",\"time\":" + JsonString(hit.record.time.toStdString()) + ",\"sources\":[" + names + "]}";
}

int Search(const CollectOptions& options, const NetworkSettings& network)
{
    const std::vector<ResourceSite> sites = SitesOf(options);
    const ResourceSearch search = SearchResourceSites(sites, options.search, network);
    for (const ResourceHit& hit : search.hits)
        PrintLine(HitLine(sites, hit, options.json));
    std::fflush(stdout);
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const ResourceSiteOutcome& outcome = search.outcomes[i];
        const QString name = sites[i].DisplayName();
        if (!outcome.error.isEmpty())
            Say(name + ": " + outcome.error);
        if (!options.quiet)
            for (const QString& warning : outcome.warnings)
                Say(name + ": " + warning);
    }
    return search.AllFailed() ? kExitFailed : 0;
}

// One series' rows, as a collection of it would print them.
bool PrintSeries(const CollectOptions& options, const ResourceRecord& record, const QString& address,
                 CollectArchive* archive, bool& missingEpisodes)
{
    int source = 0;
    if (!options.source.isEmpty()) {
        source = ResourceSourceIndex(record, options.source);
        if (source < 0) {
            if (!options.quiet)
                Say(address + ": 《" + record.name + "》没有播放源 " + options.source + "，跳过");
            return true;
        }
    }
    MemData table;
    table.Open();
    int tooLong = 0;
    for (const RowFields& row : ResourceEpisodeRows(record, source, &tooLong))
        table.Append(row);
    // The rows that fit are printed, but the list is not whole.
    const bool complete = tooLong == 0;
    if (!complete)
        Say(address + ": " + ResourceTooLongNote(tooLong));
    std::vector<int> order(static_cast<std::size_t>(table.Count()));
    std::iota(order.begin(), order.end(), 0);
    const OutputChoice choice{options.onlyNew, options.sortEpisodes, options.checkEpisodes};
    const CollectionOutput output = PlanOutput(table, order, "api", choice, archive);
    const std::string album = address.toStdString();
    for (const int index : output.rows)
        PrintLine(options.json ? JsonLine(table.Row(index), album) : TsvLine(table.Row(index), album));
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Say(QStringLiteral("cannot write the rows to standard output; the archive is left as it was"));
        return false;
    }
    if (archive) {
        try {
            archive->Append(output.archiveKeys);
        } catch (const std::exception& error) {
            Say(QString::fromUtf8(error.what()));
            return false;
        }
    }
    if (output.check) {
        std::fprintf(stderr, "%s: %s\n", album.c_str(), EpisodeStatusLine(*output.check).toUtf8().constData());
        missingEpisodes = missingEpisodes || !output.check->missing.empty();
    }
    return complete;
}

int Updated(const CollectOptions& options, const NetworkSettings& network, CollectArchive* archive)
{
    bool failed = false;
    bool missingEpisodes = false;
    for (const QString& base : options.apis) {
        ResourcePages pages(network);
        const ResourceUpdates updates = WalkResourceUpdates(base, options.updatedHours, pages);
        if (!options.quiet)
            for (const QString& warning : updates.warnings)
                Say(base + ": " + warning);
        for (const ResourceRecord& record : updates.records) {
            const QString address = ResourceRecordAddress(ResourceAddress{base.trimmed(), record.id});
            failed = !PrintSeries(options, record, address, archive, missingEpisodes) || failed;
        }
        if (!updates.error.isEmpty()) {
            Say(base + ": " + updates.error);
            failed = true;
        }
    }
    if (failed)
        return kExitFailed;
    return missingEpisodes ? kExitMissingEpisodes : 0;
}

}  // namespace

std::optional<int> RunResourceCommand(const CollectOptions& options, const NetworkSettings& network,
                                      CollectArchive* archive)
{
    if (!options.search.isEmpty())
        return Search(options, network);
    if (options.updatedHours > 0)
        return Updated(options, network, archive);
    return std::nullopt;
}

}  // namespace quib::cli
