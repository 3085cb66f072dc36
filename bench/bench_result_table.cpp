// Appending a large collection to the result grid, frozen as a collection runs it and unfrozen
// for comparison; the episode check of a large table, as the form runs it once at the end.
#include "results/dataview.h"
#include "results/episodecheck.h"
#include "host/core/gbk.h"
#include "results/resultgrid.h"
#include "results/memdata.h"

#include <QApplication>
#include <QHeaderView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace quib;
using namespace quib::results;

namespace {

// Rows as a site parser delivers them: Chinese titles, ~60-byte play addresses.
std::vector<RowFields> MakeRows(int count)
{
    const std::string title = gbk::FromUnicode(u"土豆网精选视频第集高清版");
    std::vector<RowFields> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        RowFields fields;
        fields.Caption = title + std::to_string(i);
        fields.Url = "http://www.tudou.com/v/" + std::to_string(1000000 + i) + "/&resourceId=0_04_05_99/v.swf";
        fields.Date = "2009-05-01";
        fields.Link = "http://www.tudou.com/programs/view/" + std::to_string(i) + "/";
        fields.Status = true;
        rows.push_back(std::move(fields));
    }
    return rows;
}

void Collect(benchmark::State& state, bool frozen, int sortColumn)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<RowFields> rows = MakeRows(count);
    ResultGrid grid;
    grid.resize(900, 600);
    grid.View().sortByColumn(sortColumn, Qt::AscendingOrder);
    grid.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        grid.Data().Close();
        grid.Data().Open();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        if (frozen)
            grid.View().BeginUpdate();
        for (const RowFields& fields : rows)
            grid.Data().Append(fields);
        if (frozen)
            grid.View().EndUpdate();
        QCoreApplication::processEvents();
        // The platform delivers the posted repaint on a timer; paint now so it is measured.
        grid.repaint();
    }
    if (grid.Data().rowCount() != count)
        state.SkipWithError("rows missing from the grid");
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_AppendFrozen(benchmark::State& state) { Collect(state, true, ColId); }
void BM_AppendFrozenSortedByCaption(benchmark::State& state) { Collect(state, true, ColCaption); }
void BM_AppendUnfrozen(benchmark::State& state) { Collect(state, false, ColId); }

// The status line under the grid: every title read for its episode number, then the check.
void BM_EpisodeStatusLine(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    MemData data;
    data.Open();
    for (RowFields& fields : MakeRows(count)) {
        fields.Caption = *fields.Caption + gbk::FromUnicode(u" 第") + std::to_string(data.Count() % 40 + 1) +
                         gbk::FromUnicode(u"集");
        data.Append(fields);
    }
    QString line;
    for (auto _ : state)
        line = EpisodeStatusLine(CheckEpisodes(EpisodeEntries(data)));
    if (!line.startsWith(QStringLiteral("共 %1 条").arg(count)))
        state.SkipWithError("unexpected status line");
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_AppendFrozen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendFrozenSortedByCaption)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendUnfrozen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EpisodeStatusLine)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
