// The commands over a long result table on the collection form: the check-mark commands, bulk
// edit and copying, each a walk over every row with message processing after each one.
#include "results/dataview.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "collect/parse.h"
#include "tests/support/scriptedmessages.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

using namespace quib;
using namespace quib::results;
using namespace quib::collect;
using namespace quib::test;

namespace {

// A shown collection form holding `count` checked rows of the usual shape.
class FilledForm {
public:
    explicit FilledForm(int count) : m_app("Quib", m_dir.path(), m_messages, m_workers), m_form(nullptr, &m_app)
    {
        m_format.SetFormat("<id>.<title>$<url> <date>");
        m_form.SetFormatOwner(&m_format);
        m_form.resize(900, 600);
        m_form.show();
        const std::string title = gbk::FromUnicode(u"土豆网精选视频第集高清版");
        m_form.Data().Open();
        m_form.View().BeginUpdate();
        RowFields fields;
        for (int i = 0; i < count; ++i) {
            fields.Caption = "  " + title + std::to_string(i) + " - TV";
            fields.Url = "http://www.tudou.com/v/" + std::to_string(1000000 + i) + "/&resourceId=0_04_05_99/v.swf";
            fields.Date = "2009-05-01";
            fields.Link = "http://www.tudou.com/programs/view/" + std::to_string(i) + "/";
            m_form.Data().Append(fields);
        }
        m_form.View().EndUpdate();
        QCoreApplication::processEvents();
    }

    TParseForm& Form() { return m_form; }
    ScriptedMessages& Messages() { return m_messages; }

private:
    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    WorkerRegistry m_workers;
    HostApp m_app;
    SessionFormat m_format;
    TParseForm m_form;
};

template <class Command>
void Run(benchmark::State& state, Command command)
{
    const int count = static_cast<int>(state.range(0));
    FilledForm filled(count);
    for (auto _ : state) {
        command(filled);
        // Deliver the one repaint the command leaves, so it is measured too.
        filled.Form().View().viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_SelectAll(benchmark::State& state)
{
    Run(state, [](FilledForm& f) { f.Form().SelAllButtonClick(); });
}

void BM_CancelAll(benchmark::State& state)
{
    Run(state, [](FilledForm& f) { f.Form().UnSelAllButtonClick(); });
}

void BM_Invert(benchmark::State& state)
{
    // Two inversions per iteration leave every row checked for the next one.
    Run(state, [](FilledForm& f) {
        f.Form().DeSelButtonClick();
        f.Form().DeSelButtonClick();
    });
}

void BM_BulkEdit(benchmark::State& state)
{
    // Trim, cut one character at the back, the marker, replace; the pattern would grow the
    // titles on every iteration, so it is left out.
    Run(state, [](FilledForm& f) {
        f.Messages().OnModal([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("OldTextEdit")->setText("tv");
            dialog.findChild<QLineEdit*>("NewTextEdit")->setText("TV");
            dialog.findChild<QLineEdit*>("TextEdit")->setText(QStringLiteral("土"));
            return int(QDialog::Accepted);
        });
        f.Form().EditButtonClick();
    });
}

void BM_CopyTitlesAndAddresses(benchmark::State& state)
{
    Run(state, [](FilledForm& f) {
        f.Form().MergeCount().setValue(3);
        f.Form().CopyAllButtonClick();
    });
}

void BM_CopyTemplate(benchmark::State& state)
{
    Run(state, [](FilledForm& f) { f.Form().CopyData(3); });
}

// A field of /proc/self/status in KB ("VmRSS", "VmHWM").
long StatusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    return 0;
}

// How far one copy of the whole table raises the resident memory above what it started with:
// the peak is reset (clear_refs 5) before the copy and read after it.
void BM_CopyPeakMemory(benchmark::State& state)
{
    FilledForm filled(static_cast<int>(state.range(0)));
    filled.Form().MergeCount().setValue(1);
    QGuiApplication::clipboard()->clear();
    long raise = 0;
    qsizetype units = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long start = StatusKb("VmRSS");
        filled.Form().CopyAllButtonClick();
        raise = std::max(raise, StatusKb("VmHWM") - start);
        state.PauseTiming();
        units = QGuiApplication::clipboard()->text().size();
        QGuiApplication::clipboard()->clear();
        state.ResumeTiming();
    }
    state.counters["peak_raise_MB"] = static_cast<double>(raise) / 1024.0;
    state.counters["text_MB"] = static_cast<double>(units) * 2 / (1 << 20);
}

BENCHMARK(BM_SelectAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CancelAll)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Invert)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyTitlesAndAddresses)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyTemplate)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPeakMemory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

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
