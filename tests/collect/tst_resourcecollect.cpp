// quib-collect over the stand-in resource sites, as an operator or a cron job runs it.
#include "standin/standinweb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace quib;
using namespace quib::standin;

namespace {

const QString kJson = "http://zyjson.standin.test/api.php/provide/vod/";
const QString kXml = "http://zyxml.standin.test/api.php/provide/vod/at/xml/";
const QString kOdd = "http://zyodd.standin.test/api.php/provide/vod/";
const QString kDead = "http://zydead.standin.test/api.php/provide/vod/";  // no such site: 404

struct Outcome {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

// The field of every line at column.
QStringList Column(const QStringList& lines, int column)
{
    QStringList fields;
    for (const QString& line : lines)
        fields << line.split('\t').value(column);
    return fields;
}

}  // namespace

class ResourceCollectTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_web.Start(); }
    void collectsARecord_data();
    void collectsARecord();
    void searchesEverySiteAtOnce_data();
    void searchesEverySiteAtOnce();
    void updatedRunPrintsOnlyNewEpisodes();
    void pageCountIsCapped();
    void updatedPagesAtOnce_data();
    void updatedPagesAtOnce();

private:
    Outcome Run(QStringList arguments);

    StandinWeb m_web;
};

Outcome ResourceCollectTest::Run(QStringList arguments)
{
    arguments << "--connect-to" << QString::fromStdString(m_web.ConnectToRules().front());
    QProcess process;
    process.start(QStringLiteral(QUIB_COLLECT_PATH), arguments);
    Outcome outcome;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QStringList errors = QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    errors.removeIf([](const QString& line) { return line.startsWith("QStandardPaths:"); });
    outcome.errors = errors.join('\n');
    return outcome;
}

void ResourceCollectTest::collectsARecord_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstRow");  // caption, tab, address

    // 青石巷 (1002) names its episodes by bare numbers: the series goes in front.
    const QString first = QStringLiteral("青石巷 第01集\thttps://vod.standin.test/1002/1/index.m3u8");
    QTest::newRow("json") << QStringList{"--site", "api", kJson + "?ac=detail&ids=1002"} << 0 << 32 << first;
    QTest::newRow("xml, hash form") << QStringList{"--site", "api", kXml + "#1002"} << 0 << 32 << first;
    QTest::newRow("quirky, second source")
        << QStringList{"--site", "api", "--source", "ffyun", kOdd + "?ac=detail&ids=1002"} << 0 << 32
        << QStringLiteral("青石巷&续 第01集\thttps://share.standin.test/play/1002001");
    QTest::newRow("quirky, an episode without $")
        << QStringList{"--site", "api", kOdd + "#1003", "--sort-episodes"} << 0 << 20
        << QStringLiteral("第01集\thttps://vod.standin.test/1003/1/index.m3u8");
    // An address cut to the table's field would play nothing: the episode is left out, and said.
    QTest::newRow("quirky, an address too long")
        << QStringList{"--site", "api", "--source", "ffyun", kOdd + "#1006"} << 1 << 11
        << QStringLiteral("长街夜话 20241001\thttps://share.standin.test/play/1006001");
    QTest::newRow("no such source") << QStringList{"--site", "api", "--source", "nope", kJson + "#1002"} << 1 << 0
                                    << QString();
    QTest::newRow("no such record") << QStringList{"--site", "api", kJson + "#99999"} << 1 << 0 << QString();
    QTest::newRow("not a record address") << QStringList{"--site", "api", kJson} << 1 << 0 << QString();
}

void ResourceCollectTest::collectsARecord()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, rows);
    QFETCH(QString, firstRow);
    const Outcome outcome = Run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    QCOMPARE(outcome.lines.size(), rows);
    if (rows == 0) {
        QVERIFY(!outcome.errors.isEmpty());
        return;
    }
    const QStringList fields = outcome.lines.front().split('\t');
    QCOMPARE(fields.value(2) + '\t' + fields.value(3), firstRow);
    QVERIFY(!fields.value(4).isEmpty());  // the record's update time
}

void ResourceCollectTest::searchesEverySiteAtOnce_data()
{
    QTest::addColumn<QStringList>("sites");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("lines");

    QTest::newRow("three sites and a dead one") << QStringList{kJson, kXml, kOdd, kDead} << 0 << 6;
    QTest::newRow("every site dead") << QStringList{kDead} << 1 << 0;
}

void ResourceCollectTest::searchesEverySiteAtOnce()
{
    QFETCH(QStringList, sites);
    QFETCH(int, exitCode);
    QFETCH(int, lines);
    QStringList arguments{"--search", QStringLiteral("山")};
    for (const QString& site : sites)
        arguments << "--api" << site;
    const Outcome outcome = Run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    QCOMPARE(outcome.lines.size(), lines);
    QVERIFY(outcome.errors.contains("zydead.standin.test"));
    if (lines == 0)
        return;
    // A series found on three sites stands together, in the sites' order.
    QCOMPARE(Column(outcome.lines, 2).mid(0, 3), QStringList(3, QStringLiteral("山海长歌")));
    QCOMPARE(Column(outcome.lines, 0).mid(0, 3),
             (QStringList{"zyjson.standin.test", "zyxml.standin.test", "zyodd.standin.test"}));
    QCOMPARE(Column(outcome.lines, 1).front(), kJson + "?ac=detail&ids=1001");
    QCOMPARE(Column(outcome.lines, 5).front(), QStringLiteral("ffm3u8$$$ffyun"));
    // What the search printed collects.
    QCOMPARE(Run({"--site", "api", Column(outcome.lines, 1).at(1)}).lines.size(), 20);
}

void ResourceCollectTest::updatedRunPrintsOnlyNewEpisodes()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath("seen.txt");
    const QStringList arguments{"--api", kJson, "--updated-hours", "24", "--archive", archive, "--only-new"};
    const Outcome first = Run(arguments);
    QCOMPARE(first.exitCode, 0);
    // 25 series changed in the last day, over two pages; every row ends with its record address.
    QStringList records = Column(first.lines, 6);
    records.removeDuplicates();
    QCOMPARE(records.size(), 25);
    QVERIFY(records.contains(kJson + "?ac=detail&ids=1001"));

    // The series grows by two; the next run prints those two and nothing else.
    httplib::Client client("127.0.0.1", m_web.Port());
    const auto grown = client.Get("/standin/grow?by=2", {{"Host", "zyjson.standin.test"}});
    QVERIFY(grown && grown->status == 200);
    const Outcome second = Run(arguments);
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(Column(second.lines, 2), (QStringList{QStringLiteral("第21集"), QStringLiteral("第22集")}));
    QCOMPARE(Column(second.lines, 6), QStringList(2, kJson + "?ac=detail&ids=1001"));
    QVERIFY(Run(arguments).lines.isEmpty());
}

void ResourceCollectTest::pageCountIsCapped()
{
    const Outcome outcome = Run({"--api", "http://zyhostile.standin.test/hostile-api-pagecount-1/api.php/provide/vod/",
                                 "--updated-hours", "24"});
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.errors.contains(QStringLiteral("只读前 200 页")), qPrintable(outcome.errors));
    QCOMPARE(outcome.lines.size(), 200 * 20);
}

void ResourceCollectTest::updatedPagesAtOnce_data()
{
    QTest::addColumn<QString>("api");
    QTest::addColumn<int>("mostPageRequests");
    // Two pages, as the first one states: not one request more.
    QTest::newRow("count stated") << kJson << 2;
    // Nine pages claimed, two there: the walk ends at the first empty page (3), which one after
    // another asks for too; the window of four reaches three past it.
    QTest::newRow("count lies") << kOdd << 3 + 3;
}

void ResourceCollectTest::updatedPagesAtOnce()
{
    QFETCH(QString, api);
    QFETCH(int, mostPageRequests);
    const QStringList arguments{"--api", api, "--updated-hours", "24"};
    const Outcome walked = Run(arguments + QStringList{"--jobs", "1"});
    QCOMPARE(walked.exitCode, 0);
    m_web.ClearRequests();
    const Outcome atOnce = Run(arguments + QStringList{"--jobs", "4"});
    QCOMPARE(atOnce.exitCode, 0);
    QVERIFY(walked.lines.size() > 20);
    QCOMPARE(atOnce.lines, walked.lines);
    const auto requests = m_web.Requests();
    const auto pageRequests = std::count_if(requests.begin(), requests.end(), [](const StandinWeb::Logged& logged) {
        return logged.target.find("pg=") != std::string::npos;
    });
    QVERIFY2(pageRequests >= 2 && pageRequests <= mostPageRequests, QByteArray::number(int(pageRequests)));
}

QTEST_GUILESS_MAIN(ResourceCollectTest)
#include "tst_resourcecollect.moc"
