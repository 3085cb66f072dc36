#include "tools/quibcollect/collectarchive.h"
#include "tools/quibcollect/rowformat.h"
#include "standin/standinweb.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>
#include <utility>
#include <vector>

using namespace quib;
using namespace quib::cli;
using namespace quib::standin;
using namespace quib::results;

namespace {

struct Outcome {
    int exitCode = -1;
    QStringList lines;  // standard output, one entry per line
    QString errors;     // standard error
};

// A Tudou album feed whose items the test sets: (title, video id) pairs.
using SeriesItems = std::vector<std::pair<std::string, int>>;

std::string SeriesFeed(const SeriesItems& items)
{
    std::string feed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
        "xmlns:tudou=\"http://www.tudou.com/\">\n<channel>\n<title>连载</title>\n";
    for (const auto& [title, id] : items)
        feed += "<item>\n<title>" + title + "</title>\n<link>http://www.tudou.com/programs/view/s" +
                std::to_string(id) + "/</link>\n<tudou:info id=\"" + std::to_string(id) +
                "\" pubDate=\"1236643200000\"/>\n</item>\n";
    return feed + "</channel>\n</rss>\n";
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void Write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

}  // namespace

class QuibCollectTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void printsTheRowsTabSeparated();
    void printsJsonObjects();
    void pagedSiteFromTheStartPage();
    void listsTheChooserLinesWithoutCollecting_data();
    void listsTheChooserLinesWithoutCollecting();
    void albumPicksTheChooserLine();
    void albumBeyondTheChooserFails();
    void collectionErrorGivesNonZeroExit_data();
    void collectionErrorGivesNonZeroExit();
    void wrongCommandLine_data();
    void wrongCommandLine();
    void layoutPrintsTheCopyText_data();
    void layoutPrintsTheCopyText();
    void standinWorksOfflineAndHeadless_data();
    void standinWorksOfflineAndHeadless();
    void standinModuleLoadedOnlyForStandinRuns_data();
    void standinModuleLoadedOnlyForStandinRuns();
    void helpDocumentsTheOptions();
    void tsvKeepsSixFieldsPerLine();
    void jsonEscapes_data();
    void jsonEscapes();
    void scriptPagesRenderInTheRedirectedBrowser_data();
    void scriptPagesRenderInTheRedirectedBrowser();
    void batchRunsEveryLineAndReportsTheFailingOnes_data();
    void batchRunsEveryLineAndReportsTheFailingOnes();
    void archiveLeavesOutWhatWasSeen();
    void archiveThatCannotBeWrittenIsAnError();
    void archiveReadsHandEditedLines_data();
    void archiveReadsHandEditedLines();
    void tornLastLineIsRecordedAgainWhole_data();
    void tornLastLineIsRecordedAgainWhole();
    void overlappingRunsRecordALineOnce();
    void episodesCheckedAndSorted_data();
    void episodesCheckedAndSorted();
    void progressLineOnRequest_data();
    void progressLineOnRequest();

private:
    Outcome Run(QStringList arguments, bool redirect = true, const QProcessEnvironment* environment = nullptr,
                const QByteArray& input = {});
    int RequestsFor(const std::string& pathStart) const;
    void SetSeries(SeriesItems items);

    StandinWeb m_web;
    std::mutex m_seriesMutex;  // the server's threads read the series
    SeriesItems m_series;
};

void QuibCollectTest::initTestCase()
{
    // The series the tests grow and break, as album "tstseries"; the built-in feeds pass it on.
    m_web.AddSite("www.tudou.com", [this](const StandinRequest& request, httplib::Response& response) {
        const auto lid = request.params.find("lid");
        if (request.path != "/playlist/rss.do" || lid == request.params.end() || lid->second != "tstseries")
            return false;
        std::lock_guard lock(m_seriesMutex);
        response.set_content(SeriesFeed(m_series), "text/xml; charset=utf-8");
        return true;
    });
    m_web.Start();
}

void QuibCollectTest::SetSeries(SeriesItems items)
{
    std::lock_guard lock(m_seriesMutex);
    m_series = std::move(items);
}

void QuibCollectTest::cleanup() { m_web.ClearRequests(); }

Outcome QuibCollectTest::Run(QStringList arguments, bool redirect, const QProcessEnvironment* environment,
                             const QByteArray& input)
{
    if (redirect)
        arguments.prepend(QString::fromStdString(m_web.ConnectToRules().front())), arguments.prepend("--connect-to");
    QProcess process;
    if (environment)
        process.setProcessEnvironment(*environment);
    process.start(QStringLiteral(QUIB_COLLECT_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    Outcome outcome;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.lines = out.split('\n', Qt::SkipEmptyParts);
    // The platform's own start-up remarks are not the program's messages.
    QStringList errors = QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    errors.removeIf([](const QString& line) { return line.startsWith("QStandardPaths:"); });
    outcome.errors = errors.join('\n');
    // A sanitizer's report in the child is otherwise only its exit code.
    if (outcome.errors.contains("Sanitizer"))
        qWarning().noquote() << outcome.errors;
    return outcome;
}

int QuibCollectTest::RequestsFor(const std::string& pathStart) const
{
    int count = 0;
    for (const auto& request : m_web.Requests())
        count += request.target.rfind(pathStart, 0) == 0;
    return count;
}

void QuibCollectTest::printsTheRowsTabSeparated()
{
    const Outcome outcome = Run({"--site", "tudou", "http://www.tudou.com/playlist/id/1x3/"});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 3);
    QCOMPARE(
        outcome.lines[0],
        QString("1\t1\t第1集 土豆视频\t50000001\t2009-03-11 08:00:00\thttp://www.tudou.com/programs/view/td1x3n1/"));
    QCOMPARE(
        outcome.lines[2],
        QString("3\t1\t第3集 土豆视频\t50000003\t2009-03-13 08:00:00\thttp://www.tudou.com/programs/view/td1x3n3/"));
    QVERIFY(outcome.errors.isEmpty());
}

void QuibCollectTest::printsJsonObjects()
{
    const Outcome outcome = Run({"--json", "--site", "youku", "1x2"});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 2);
    QJsonParseError error{};
    const QJsonObject second = QJsonDocument::fromJson(outcome.lines[1].toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(second.value("RecId").toInt(), 2);
    QCOMPARE(second.value("Status").toBool(), true);
    QCOMPARE(second.value("Caption").toString(), QString("第2集 优酷视频"));
    QCOMPARE(second.value("Url").toString(), QString("http://player.youku.com/player.php/sid/XM1x2n2/v.swf"));
    QCOMPARE(second.value("Date").toString(), QString("2009-03-10 14:30:00"));
    QCOMPARE(second.value("Link").toString(), QString("http://v.youku.com/v_show/id_XM1x2n2.html"));
}

void QuibCollectTest::pagedSiteFromTheStartPage()
{
    const Outcome outcome = Run({"--site", "tudou", "--no-fast", "--page", "2", "2x3"});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 3);
    QVERIFY2(outcome.lines[0].startsWith("1\t1\t土豆视频 第4集\t"), qPrintable(outcome.lines[0]));
    QCOMPARE(RequestsFor("/playlist/showItems.do?lid=2x3&pn=2"), 1);
    QCOMPARE(RequestsFor("/playlist/showItems.do?lid=2x3&pn=1"), 0);
    QCOMPARE(RequestsFor("/playlist/rss.do"), 0);
}

void QuibCollectTest::listsTheChooserLinesWithoutCollecting_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("albumRequests");
    QTest::newRow("chooser") << "a3x5" << QStringList{"a3x5_1=第1版 高清", "a3x5_2=第2版 高清", "a3x5_3=第3版 高清"}
                             << 0;
    // No chooser for one album: the form goes on to it, but only its line is printed.
    QTest::newRow("one album") << "a1x4" << QStringList{"a1x4_1=第1版 高清"} << 1;
}

void QuibCollectTest::listsTheChooserLinesWithoutCollecting()
{
    QFETCH(QString, movie);
    QFETCH(QStringList, lines);
    QFETCH(int, albumRequests);
    const Outcome outcome = Run({"--site", "xunlei", "--list-albums", movie});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines, lines);
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/"), albumRequests);
}

void QuibCollectTest::albumPicksTheChooserLine()
{
    const Outcome outcome = Run({"--site", "xunlei", "--album", "2", "a3x5"});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 5);
    QCOMPARE(outcome.lines[0], QString("1\t1\t第1集\thttp://vod.xunlei.com/a3x5_2/1.rmvb\t\t"));
    QCOMPARE(outcome.lines[1], QString("2\t1\t第2集\thttp://vod.xunlei.com/a3x5_2/2.rmvb\t\t"));
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/a3x5_2.xml"), 1);
}

void QuibCollectTest::albumBeyondTheChooserFails()
{
    const Outcome outcome = Run({"--site", "xunlei", "--album", "9", "a3x5"});
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY(outcome.lines.isEmpty());
    QVERIFY2(outcome.errors.contains("no album 9"), qPrintable(outcome.errors));
    QCOMPARE(RequestsFor("/voddata/xml/movieinfo/album/"), 0);
}

void QuibCollectTest::collectionErrorGivesNonZeroExit_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("a page failed") << "nosuchalbum"
                                   << "在采集的过程中发生错误：";
    // Nothing started: cron must see it as well.
    QTest::newRow("empty address") << ""
                                   << "请输入地址！";
    QTest::newRow("blank address") << " \t"
                                   << "请输入地址！";
}

void QuibCollectTest::collectionErrorGivesNonZeroExit()
{
    QFETCH(QString, address);
    QFETCH(QString, message);
    const Outcome outcome = Run({"--site", "tudou", address});
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY(outcome.lines.isEmpty());
    QVERIFY2(outcome.errors.contains(message), qPrintable(outcome.errors));
}

void QuibCollectTest::wrongCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown site") << QStringList{"--site", "nosuch", "1x1"};
    QTest::newRow("no site") << QStringList{"1x1"};
    QTest::newRow("no address") << QStringList{"--site", "tudou"};
    QTest::newRow("page out of range") << QStringList{"--site", "tudou", "--page", "256", "1x1"};
    QTest::newRow("no pages at once") << QStringList{"--site", "tudou", "--jobs", "0", "1x1"};
    QTest::newRow("too many pages at once") << QStringList{"--site", "tudou", "--jobs", "17", "1x1"};
    QTest::newRow("album for another site") << QStringList{"--site", "youku", "--album", "1", "1x1"};
    QTest::newRow("album and list") << QStringList{"--site", "xunlei", "--album", "1", "--list-albums", "a1x1"};
    QTest::newRow("unknown option") << QStringList{"--site", "tudou", "--bogus", "1x1"};
    QTest::newRow("layout out of range") << QStringList{"--site", "tudou", "--layout", "4", "1x1"};
    QTest::newRow("merge without layout") << QStringList{"--site", "tudou", "--merge", "2", "1x1"};
    QTest::newRow("layout with json") << QStringList{"--site", "tudou", "--layout", "1", "--json", "1x1"};
    QTest::newRow("batch with a site") << QStringList{"--batch", "-", "--site", "tudou"};
    QTest::newRow("batch with an address") << QStringList{"--batch", "-", "1x1"};
    QTest::newRow("batch with an album") << QStringList{"--batch", "-", "--album", "1"};
    QTest::newRow("batch with a layout") << QStringList{"--batch", "-", "--layout", "1"};
    QTest::newRow("no batch file") << QStringList{"--batch", "/nonexistent/batch.txt"};
    QTest::newRow("only new without archive") << QStringList{"--site", "tudou", "--only-new", "1x1"};
    QTest::newRow("archive with layout") << QStringList{"--site", "tudou", "--archive", "a", "--layout", "1", "1x1"};
    QTest::newRow("sorting the chooser") << QStringList{"--site", "xunlei", "--list-albums", "--sort-episodes", "a1x1"};
    QTest::newRow("progress and quiet") << QStringList{"--site", "tudou", "--progress", "--quiet", "1x1"};
    QTest::newRow("archive is a folder") << QStringList{"--site", "tudou", "--archive", QDir::tempPath(), "1x1"};
}

void QuibCollectTest::layoutPrintsTheCopyText_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("text");  // standard output, lines joined by "\n" ("\r" stays)
    const QString link = "http://www.tudou.com/playlist/playindex.do?lid=1x3&iid=100000000";
    QTest::newRow("title and address, one a line")
        << QStringList{"--layout", "0"}
        << "土豆视频 第1集$1000000001\r\n土豆视频 第2集$1000000002\r\n土豆视频 第3集$1000000003";
    QTest::newRow("addresses, two a line")
        << QStringList{"--layout", "1", "--merge", "2"} << "1000000001|1000000002\r\n1000000003";
    QTest::newRow("links, three a line") << QStringList{"--layout", "2", "--merge", "3"}
                                         << link + "1|" + link + "2|" + link + "3";
    QTest::newRow("template, tags in any case") << QStringList{"--layout", "3", "--format", "<ID>:<title>"}
                                                << "1:土豆视频 第1集\r\n2:土豆视频 第2集\r\n3:土豆视频 第3集";
}

void QuibCollectTest::layoutPrintsTheCopyText()
{
    QFETCH(QStringList, options);
    const Outcome outcome = Run(QStringList{"--site", "tudou", "--no-fast"} + options + QStringList{"1x3"});
    QCOMPARE(outcome.exitCode, 0);
    QTEST(outcome.lines.join('\n'), "text");
}

void QuibCollectTest::wrongCommandLine()
{
    QFETCH(QStringList, arguments);
    const Outcome outcome = Run(arguments);
    QCOMPARE(outcome.exitCode, 2);
    QVERIFY(outcome.lines.isEmpty());
    QVERIFY(outcome.errors.startsWith("quib-collect: "));
    QVERIFY(m_web.Requests().empty());
}

void QuibCollectTest::standinWorksOfflineAndHeadless_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("by default") << QStringList{};
    QTest::newRow("--standin") << QStringList{"--standin"};
}

void QuibCollectTest::standinWorksOfflineAndHeadless()
{
    QFETCH(QStringList, flags);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    const Outcome outcome = Run(flags + QStringList{"--site", "xunlei", "a1x2"}, false, &environment);
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.errors.contains("on the built-in stand-in web"), qPrintable(outcome.errors));
    QCOMPARE(outcome.lines.size(), 2);
    QCOMPARE(outcome.lines[1], QString("2\t1\t第2集\thttp://vod.xunlei.com/a1x2_1/2.rmvb\t\t"));
    QVERIFY(m_web.Requests().empty());  // its own stand-in answered, not this one
}

void QuibCollectTest::standinModuleLoadedOnlyForStandinRuns_data()
{
    QTest::addColumn<bool>("redirect");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("rows");
    QTest::newRow("redirected hosts") << true << 0 << 3;
    QTest::newRow("stand-in run") << false << 1 << 0;
}

void QuibCollectTest::standinModuleLoadedOnlyForStandinRuns()
{
    QFETCH(bool, redirect);
    QFETCH(int, exitCode);
    QFETCH(int, rows);
    // A copy of the tool where its stand-in module is nowhere to be found.
    const QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("usr/bin")));
    const QString copy = dir.filePath("usr/bin/quib-collect");
    QVERIFY(QFile::copy(QStringLiteral(QUIB_COLLECT_PATH), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QStringList arguments{"--site", "tudou", "1x3"};
    if (redirect)
        arguments = QStringList{"--connect-to", QString::fromStdString(m_web.ConnectToRules().front())} + arguments;
    QProcess process;
    process.start(copy, arguments);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(process.readAllStandardOutput().count('\n'), rows);
    const QByteArray errors = process.readAllStandardError();
    QCOMPARE(errors.contains("quib-collect: cannot load the stand-in web: "), !redirect);
}

void QuibCollectTest::helpDocumentsTheOptions()
{
    const Outcome outcome = Run({"--help"}, false);
    QCOMPARE(outcome.exitCode, 0);
    const QString help = outcome.lines.join('\n');
    for (const char* option : {"--site", "--fast", "--no-fast", "--page", "--album", "--list-albums", "--connect-to",
                               "--user-agent", "--json", "--standin", "ADDRESS-OR-ID", "--batch", "--archive",
                               "--only-new", "--sort-episodes", "--check-episodes", "--progress", "--quiet"})
        QVERIFY2(help.contains(option), option);
}

void QuibCollectTest::tsvKeepsSixFieldsPerLine()
{
    ResultRow row;
    row.RecId = 7;
    row.Status = false;
    row.Caption = "a\tb\r\nc";
    row.Url = "u";
    row.Link = "l\n";
    QCOMPARE(QByteArray::fromStdString(TsvLine(row)), QByteArray("7\t0\ta b  c\tu\t\tl "));
}

void QuibCollectTest::jsonEscapes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("literal");
    QTest::newRow("plain") << QByteArray("abc") << QByteArray("\"abc\"");
    QTest::newRow("quote and backslash") << QByteArray("a\"b\\c") << QByteArray("\"a\\\"b\\\\c\"");
    QTest::newRow("line breaks and tab") << QByteArray("a\r\n\tb") << QByteArray("\"a\\r\\n\\tb\"");
    QTest::newRow("other control") << QByteArray("\x01z") << QByteArray("\"\\u0001z\"");
    QTest::newRow("utf-8 kept") << QByteArray("第1集") << QByteArray("\"第1集\"");
}

void QuibCollectTest::jsonEscapes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, literal);
    QCOMPARE(QByteArray::fromStdString(JsonString(text.toStdString())), literal);
}

void QuibCollectTest::scriptPagesRenderInTheRedirectedBrowser_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("row");  // the line's start: RecId, Status, Caption, Url
    QTest::newRow("56 video filled in by script")
        << "56"
        << "http://www.56.com/u12/v_jsAbc.html" << QStringLiteral("1\t1\t我乐视频 jsAbc\tv_jsAbc\t");
    QTest::newRow("sina album, title by script")
        << "sina"
        << "http://you.video.sina.com.cn/pg/topicdetail/topicPlay.php?tid=5&uid=1650000001#123456789012345"
        << QStringLiteral("1\t1\t新浪专辑 5\t1234567890&uid=1650000001\t");
}

void QuibCollectTest::scriptPagesRenderInTheRedirectedBrowser()
{
#if defined(__SANITIZE_THREAD__)
    // Chromium's own threads are not instrumented: a rendering child only reports their races.
    QSKIP("rendering is kept out of the ThreadSanitizer run");
#endif
    QFETCH(QString, site);
    QFETCH(QString, address);
    QFETCH(QString, row);
    const Outcome outcome = Run({"--site", site, address});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 1);
    QVERIFY2(outcome.lines[0].startsWith(row), qUtf8Printable(outcome.lines[0]));
}

void QuibCollectTest::batchRunsEveryLineAndReportsTheFailingOnes_data()
{
    QTest::addColumn<bool>("fromStandardInput");
    QTest::addColumn<bool>("json");
    QTest::newRow("file, tab-separated") << false << false;
    QTest::newRow("standard input, json") << true << true;
}

void QuibCollectTest::batchRunsEveryLineAndReportsTheFailingOnes()
{
    QFETCH(bool, fromStandardInput);
    QFETCH(bool, json);
    const QByteArray batch =
        "# running series\n"
        "tudou 1x3\n"
        "\n"
        "  tudou   nosuchalbum  \n"
        "vimeo 1x1\n"
        "youku 1x2";
    QTemporaryDir folder;
    const QString file = folder.filePath("series.txt");
    Write(file, batch);
    QStringList arguments{"--batch", fromStandardInput ? "-" : file};
    if (json)
        arguments << "--json";
    const Outcome outcome = Run(arguments, true, nullptr, fromStandardInput ? batch : QByteArray());
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.lines.size(), 5);
    const QString where = fromStandardInput ? "<stdin>" : file;
    QVERIFY2(outcome.errors.contains(where + ":4: tudou nosuchalbum: the collection failed"),
             qPrintable(outcome.errors));
    QVERIFY2(outcome.errors.contains(where + ":5: unknown site \"vimeo\""), qPrintable(outcome.errors));
    const QStringList albums{"1x3", "1x3", "1x3", "1x2", "1x2"};
    const QStringList captions{"第1集 土豆视频", "第2集 土豆视频", "第3集 土豆视频", "第1集 优酷视频",
                               "第2集 优酷视频"};
    for (int i = 0; i < 5; ++i) {
        if (json) {
            const QJsonObject row = QJsonDocument::fromJson(outcome.lines[i].toUtf8()).object();
            QCOMPARE(row.value("album").toString(), albums[i]);
            QCOMPARE(row.value("Caption").toString(), captions[i]);
        } else {
            const QStringList fields = outcome.lines[i].split('\t');
            QCOMPARE(fields.size(), 7);
            QCOMPARE(fields[6], albums[i]);
            QCOMPARE(fields[2], captions[i]);
        }
    }
}

void QuibCollectTest::archiveLeavesOutWhatWasSeen()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath("seen.txt");
    // Edited by hand: a blank line.
    Write(archive, "\ntudou 9001\n");
    const QStringList arguments{"--site", "tudou", "--archive", archive, "--only-new", "tstseries"};
    SetSeries({{"连载 第1集", 9001}, {"连载 第2集", 9002}, {"连载 第3集", 9003}});
    Outcome outcome = Run(arguments);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 2);
    QVERIFY(outcome.lines[0].startsWith("2\t1\t连载 第2集\t9002\t"));
    QVERIFY(outcome.lines[1].startsWith("3\t1\t连载 第3集\t9003\t"));
    QCOMPARE(ReadAll(archive), QByteArray("\ntudou 9001\ntudou 9002\ntudou 9003\n"));

    outcome = Run(arguments);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines, QStringList());
    QCOMPARE(ReadAll(archive), QByteArray("\ntudou 9001\ntudou 9002\ntudou 9003\n"));

    // The series grows: only the new episodes, and without --only-new everything but no line twice.
    SetSeries({{"连载 第1集", 9001}, {"连载 第2集", 9002}, {"连载 第3集", 9003}, {"连载 第4集", 9004}});
    outcome = Run(arguments);
    QCOMPARE(outcome.lines.size(), 1);
    QVERIFY(outcome.lines[0].startsWith("4\t1\t连载 第4集\t9004\t"));
    outcome = Run({"--site", "tudou", "--archive", archive, "tstseries"});
    QCOMPARE(outcome.lines.size(), 4);
    QCOMPARE(ReadAll(archive), QByteArray("\ntudou 9001\ntudou 9002\ntudou 9003\ntudou 9004\n"));
}

void QuibCollectTest::archiveThatCannotBeWrittenIsAnError()
{
    const QString archive = "/nonexistent/folder/seen.txt";
    const Outcome outcome = Run({"--site", "tudou", "--archive", archive, "1x2"});
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.lines.size(), 2);  // shown, but not taken as seen
    QVERIFY2(outcome.errors.contains("cannot open the archive " + archive), qPrintable(outcome.errors));
}

void QuibCollectTest::archiveReadsHandEditedLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("url");  // a row's Url, as collected
    QTest::addColumn<bool>("known");
    QTest::newRow("line ends CR LF") << QByteArray("tudou 9001\r\ntudou 9002\r\n") << QByteArray("9002") << true;
    QTest::newRow("blanks around") << QByteArray(" \ttudou \t 9001  \n") << QByteArray("9001") << true;
    QTest::newRow("address with a line break, stored as blanks")
        << QByteArray("tudou a  b\n") << QByteArray("a\r\nb") << true;
    QTest::newRow("address with a tab, stored as a blank") << QByteArray("tudou a b\n") << QByteArray("a\tb") << true;
    QTest::newRow("another site's address") << QByteArray("youku 9001\n") << QByteArray("9001") << false;
    QTest::newRow("a site without address names nothing") << QByteArray("tudou\n9001\n") << QByteArray("9001") << false;
}

void QuibCollectTest::archiveReadsHandEditedLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, url);
    QTemporaryDir folder;
    const QString path = folder.filePath("seen.txt");
    Write(path, content);
    const CollectArchive archive(path);
    QTEST(archive.Contains(CollectArchive::Key("tudou", url.toStdString())), "known");
}

void QuibCollectTest::tornLastLineIsRecordedAgainWhole_data()
{
    // What a run killed while appending leaves: its last line without the line break.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("printed");  // the Url column of the rows printed as new
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("torn inside the address") << QByteArray("tudou 9001\ntudou 90") << QStringList{"9002", "9003"}
                                             << QByteArray("tudou 9001\ntudou 9002\ntudou 9003\n");
    QTest::newRow("torn before its line break") << QByteArray("tudou 9001\ntudou 9002") << QStringList{"9002", "9003"}
                                                << QByteArray("tudou 9001\ntudou 9002\ntudou 9003\n");
    QTest::newRow("the only line torn") << QByteArray("tudou 9001") << QStringList{"9001", "9002", "9003"}
                                        << QByteArray("tudou 9001\ntudou 9002\ntudou 9003\n");
    QTest::newRow("torn after every row was recorded")
        << QByteArray("tudou 9001\ntudou 9002\ntudou 9003\ntudou 9") << QStringList{}
        << QByteArray("tudou 9001\ntudou 9002\ntudou 9003\n");
}

void QuibCollectTest::tornLastLineIsRecordedAgainWhole()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, printed);
    QTemporaryDir folder;
    const QString archive = folder.filePath("seen.txt");
    Write(archive, content);
    SetSeries({{"连载 第1集", 9001}, {"连载 第2集", 9002}, {"连载 第3集", 9003}});
    const Outcome outcome = Run({"--site", "tudou", "--archive", archive, "--only-new", "tstseries"});
    QCOMPARE(outcome.exitCode, 0);
    QStringList urls;
    for (const QString& line : outcome.lines)
        urls << line.section('\t', 3, 3);
    QCOMPARE(urls, printed);
    QTEST(ReadAll(archive), "after");
}

void QuibCollectTest::overlappingRunsRecordALineOnce()
{
    // Cron and a hand-started run: both read the archive before either has appended.
    QTemporaryDir folder;
    const QString path = folder.filePath("seen.txt");
    Write(path, "tudou 1\n");
    CollectArchive cron(path);
    CollectArchive byHand(path);
    cron.Append({"tudou 2", "tudou 3"});
    byHand.Append({"tudou 1", "tudou 3", "tudou 4"});
    cron.Append({"tudou 4", "tudou 5"});
    QCOMPARE(ReadAll(path), QByteArray("tudou 1\ntudou 2\ntudou 3\ntudou 4\ntudou 5\n"));
    QVERIFY(byHand.Contains("tudou 2"));
}

void QuibCollectTest::episodesCheckedAndSorted_data()
{
    QTest::addColumn<QString>("album");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("ids");  // the Url column in printing order
    QTest::newRow("complete") << "1x3" << 0 << "共 3 条，第1–3集" << QStringList{"50000001", "50000002", "50000003"};
    // 第二至三集 names two episodes; the video listed twice is a repeated address, not episode 5 twice.
    QTest::newRow("a range, a gap and a repeated address")
        << "tstseries" << 3 << "共 5 条，第1–5集，缺第4集，1 条无集数；重复地址 1 条"
        << QStringList{"9001", "9002", "9005", "9005", "9900"};
}

void QuibCollectTest::episodesCheckedAndSorted()
{
    QFETCH(QString, album);
    QFETCH(QStringList, ids);
    SetSeries(
        {{"连载 EP5", 9005}, {"连载 花絮", 9900}, {"连载 第二至三集", 9002}, {"连载(1)", 9001}, {"连载 5集", 9005}});
    const Outcome outcome = Run({"--site", "tudou", "--check-episodes", "--sort-episodes", album});
    QTEST(outcome.exitCode, "exitCode");
    QTEST(outcome.errors, "status");
    QStringList printed;
    for (const QString& line : outcome.lines)
        printed << line.section('\t', 3, 3);
    QCOMPARE(printed, ids);
}

void QuibCollectTest::progressLineOnRequest_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("progress");
    QTest::addColumn<bool>("remarks");
    // Standard error is a pipe here, no terminal.
    QTest::newRow("by default") << QStringList{} << false << true;
    QTest::newRow("--progress") << QStringList{"--progress"} << true << true;
    QTest::newRow("--quiet") << QStringList{"--quiet"} << false << false;
}

void QuibCollectTest::progressLineOnRequest()
{
    QFETCH(QStringList, flags);
    QFETCH(bool, progress);
    QFETCH(bool, remarks);
    const Outcome outcome = Run(flags + QStringList{"--site", "tudou", "--no-fast", "3x2"}, false);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines.size(), 6);
    QCOMPARE(outcome.errors.contains(QStringLiteral("\r已采集 0 条 · ")), progress);
    QCOMPARE(outcome.errors.contains('\r'), progress);
    if (progress)
        QVERIFY(outcome.errors.endsWith("\r\x1b[K"));  // cleared at the end
    QCOMPARE(outcome.errors.contains("on the built-in stand-in web"), remarks);
}

QTEST_GUILESS_MAIN(QuibCollectTest)
#include "tst_quibcollect.moc"
