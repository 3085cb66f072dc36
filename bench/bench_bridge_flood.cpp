// The page bridge under a flood, in the real browser offscreen on the stand-in web: a hostile frame
// inside the CMS frameset sends refused bridge requests at its top speed for --seconds while the
// host keeps asking the add page for a field value and, halfway, writes a list back into it.
// Prints the memory of the host and its browser processes (resident memory, shared memory they
// hold, open descriptors) at the start, at its peak and at the end, the add page's answer times
// (median, worst) and whether the write-back went through.
//   QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox bench_bridge_flood [--seconds 30] [--frames N]
//   [--burst N]
// --frames N: N more hostile frames beside the first (each flooding); --burst N: each frame also
// fires N requests every 10 ms without waiting for their answers.
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "admin/cmsfill.h"
#include "host/core/gbk.h"
#include "tests/admin/hostilepages.h"
#include "admin/sitedata.h"
#include "standin/standinweb.h"
#include "admin/webpage.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace quib;
using namespace quib::admin;
using namespace quib::standin;
using namespace quib::collect;

namespace {

class BenchPage : public TWebPage {
public:
    using TWebPage::TWebPage;
    std::vector<std::pair<BrowserDocument, std::string>> completed;

    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override
    {
        completed.emplace_back(document, url);
        TWebPage::BrowserDocumentComplete(sender, document, url);
    }
    BrowserDocument WaitFor(const std::string& part, std::size_t count = 1)
    {
        std::vector<BrowserDocument> found;
        (void)QTest::qWaitFor(
            [&] {
                found.clear();
                for (const auto& [document, url] : completed)
                    if (url.find(part) != std::string::npos &&
                        std::find(found.begin(), found.end(), document) == found.end())
                        found.push_back(document);
                return found.size() >= count;
            },
            30000);
        if (found.size() < count)
            throw std::runtime_error("no document completed for " + part);
        return found[count - 1];
    }
};

// This process and every process it started (the browser's), by parent id.
std::vector<int> ProcessTree()
{
    std::map<int, int> parents;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const int pid = name.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1)
            parents[pid] = fields[1].toInt();
    }
    std::vector<int> tree{getpid()};
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[i])
                tree.push_back(pid);
    return tree;
}

struct Memory {
    double rssMiB = 0;      // summed over the processes (shared pages count once per process)
    double hostRssMiB = 0;  // this process's alone
    double sharedMiB = 0;   // shared-memory files and memfds the processes hold open, each once
    double shmMiB = 0;      // /dev/shm in use on the machine (other programs count too)
    int descriptors = 0;
};

Memory Measure()
{
    Memory memory;
    struct stat shmDir {};
    ::stat("/dev/shm", &shmDir);
    std::set<std::pair<dev_t, ino_t>> seen;
    for (const int pid : ProcessTree()) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:")) {
                    const double mib = line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
                    memory.rssMiB += mib;
                    if (pid == getpid())
                        memory.hostRssMiB = mib;
                }
        const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
        for (const QString& fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
            ++memory.descriptors;
            const QByteArray path = QFile::encodeName(fds + QLatin1Char('/') + fd);
            const QString target = QFile::symLinkTarget(QString::fromLocal8Bit(path));
            struct stat file {};
            if (::stat(path.constData(), &file) != 0)
                continue;
            const bool shared = file.st_dev == shmDir.st_dev || target.contains(QLatin1String("memfd:"));
            if (shared && S_ISREG(file.st_mode) && seen.insert({file.st_dev, file.st_ino}).second)
                memory.sharedMiB += static_cast<double>(file.st_size) / (1 << 20);
        }
    }
    struct statvfs shm {};
    if (statvfs("/dev/shm", &shm) == 0)
        memory.shmMiB = static_cast<double>(shm.f_blocks - shm.f_bfree) * static_cast<double>(shm.f_frsize) / (1 << 20);
    return memory;
}

void Print(const char* when, const Memory& m)
{
    std::printf("%-6s rss %8.1f MiB (host %6.1f)  shared held %8.1f MiB  /dev/shm %8.1f MiB  descriptors %6d\n", when,
                m.rssMiB, m.hostRssMiB, m.sharedMiB, m.shmMiB, m.descriptors);
    std::fflush(stdout);
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    int seconds = 30;
    int extraFrames = 0;
    std::string burst;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--frames") == 0)
            extraFrames = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--burst") == 0)
            burst = std::string("?burst=") + argv[i + 1];
    }
    StandinWeb web;
    RegisterHostilePages(web);
    web.Start();
    PrepareEmbeddedBrowser(web.HostResolverRules());
    QApplication app(argc, argv);

    const std::string url = "http://cms.standin.test/5.0/admin/admin_index.asp?main=add";
    TSiteData site{"site", url, "0", "5.0"};
    BenchPage page(nullptr, nullptr, QString::fromStdString(url));
    page.Site = &site;
    page.AfterShow(nullptr);
    const BrowserDocument add = page.WaitFor("admin_add.asp");
    const BrowserDocument menu = page.WaitFor("action=admin_left");
    const std::string name = add.GetValue("zt_name").value_or("");
    QTest::qWait(1000);  // the frameset settles
    const Memory start = Measure();
    Print("start", start);

    std::string frames;
    for (int i = 0; i <= extraFrames; ++i)
        frames += "var f=document.createElement('iframe');f.src='http://" + std::string(kFloodFrameHost) +
                  "/flood-frame.html" + burst + "';document.body.appendChild(f);";
    if (!menu.ExecScript(frames)) {
        std::fprintf(stderr, "the flooding frame was not added\n");
        return 1;
    }
    Memory peak = start;
    std::vector<double> answers;
    int wrong = 0;
    bool writeBack = false;
    bool wroteBack = false;
    QElapsedTimer clock;
    clock.start();
    qint64 nextSample = 0;
    while (clock.elapsed() < seconds * 1000LL) {
        QElapsedTimer call;
        call.start();
        const std::optional<std::string> value = add.GetValue("zt_name");
        answers.push_back(static_cast<double>(call.nsecsElapsed()) / 1e6);
        if (value != name)
            ++wrong;
        if (!wroteBack && clock.elapsed() >= seconds * 500LL) {
            wroteBack = true;
            const std::string list = "flood$http://www.tudou.com/programs/view/flood/";
            QGuiApplication::clipboard()->setText(QString::fromStdString(list));
            writeBack =
                add.ExecScript(PasteScript(FillTarget::Address1)) &&
                add.GetValue(AddressListField(FillTarget::Address1)).value_or("").find(list) != std::string::npos &&
                add.SetValue("zt_dq", MergeAlbumId(add.GetValue("zt_dq").value_or(""), "flood", FillTarget::Address1));
        }
        if (clock.elapsed() >= nextSample) {
            nextSample += 1000;
            const Memory now = Measure();
            peak.rssMiB = std::max(peak.rssMiB, now.rssMiB);
            peak.hostRssMiB = std::max(peak.hostRssMiB, now.hostRssMiB);
            peak.sharedMiB = std::max(peak.sharedMiB, now.sharedMiB);
            peak.shmMiB = std::max(peak.shmMiB, now.shmMiB);
            peak.descriptors = std::max(peak.descriptors, now.descriptors);
        }
        QTest::qWait(20);
    }
    Print("peak", peak);
    Print("end", Measure());
    std::printf("host calls to the add page: %zu, median %.1f ms, worst %.1f ms, wrong answers %d\n", answers.size(),
                Percentile(answers, 0.5), Percentile(answers, 1.0), wrong);
    std::printf("write-back during the flood: %s\n", writeBack ? "done" : "FAILED");
    return 0;
}
