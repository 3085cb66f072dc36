#include "collect/resourceapi.h"
#include "collect/resourcerows.h"
#include "host/core/gbk.h"
#include "standin/hostileshapes.h"

#include <QTest>

using namespace quib;
using namespace quib::collect;
using namespace quib::standin;
using namespace quib::results;

namespace {

// A JSON answer holding one record with these play lists.
std::string JsonOne(const std::string& from, const std::string& url, const std::string& extra = {})
{
    return R"({"code":1,"msg":"数据列表","page":1,"pagecount":1,"limit":"20","total":1,"list":[{"vod_id":7,)"
           R"("vod_name":"长河","vod_time":"2024-11-03 08:00:00","vod_play_from":")" +
           from + R"(","vod_play_url":")" + url + "\"" + extra + "}]}";
}

}  // namespace

class ResourceApiTest : public QObject {
    Q_OBJECT
private slots:
    void readsAnswers_data();
    void readsAnswers();
    void recordAddresses_data();
    void recordAddresses();
    void episodeTitles();
};

void ResourceApiTest::readsAnswers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");  // a part of the error; empty: read
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QString>("sources");  // source names joined by "|", of the first record
    QTest::addColumn<int>("episodes");     // of the first source
    QTest::addColumn<QString>("first");    // "name$address" of the first episode
    QTest::addColumn<QString>("warning");  // a part of a warning; empty: none

    const auto row = [](const char* name, const std::string& body, const char* error, int pageCount,
                        const char* sources, int episodes, const char* first, const char* warning) {
        QTest::newRow(name) << QByteArray::fromStdString(body) << QString::fromUtf8(error) << pageCount
                            << QString::fromUtf8(sources) << episodes << QString::fromUtf8(first)
                            << QString::fromUtf8(warning);
    };
    row("json",
        JsonOne("ffm3u8$$$ffyun", R"(第01集$https:\/\/a\/1.m3u8#第02集$https:\/\/a\/2.m3u8$$$HD$https:\/\/b\/1)"), "",
        1, "ffm3u8|ffyun", 2, "第01集$https://a/1.m3u8", "");
    // "\/" is a slash; "\\/" a backslash and a slash.
    row("escaped slashes", JsonOne("ffm3u8", R"(A\\\/B$https:\/\/a\/1)"), "", 1, "ffm3u8", 1, "A\\/B$https://a/1", "");
    row("xml with CDATA and entities",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"5.1\"><list page=\"2\" pagecount=\"9\" "
        "pagesize=\"20\" recordcount=\"170\"><video><last>2024-11-03 08:00:00</last><id>7</id><name><![CDATA[ 长河 "
        "]]></name><dl><dd flag=\"ffm3u8\"><![CDATA[第01集$https://a/1.m3u8#第02集$https://a/2.m3u8]]></dd>"
        "<dd flag=\"ffyun\">HD$https://b/1?x=1&amp;y=2</dd></dl></video></list><class><ty id=\"1\">电影</ty>"
        "</class></rss>",
        "", 9, "ffm3u8|ffyun", 2, "第01集$https://a/1.m3u8", "");
    row("numbers as strings, null fields",
        R"({"code":"1","page":"3","pagecount":"12","list":[{"vod_id":"7","vod_name":" 长河&amp;续 ","vod_pic":null,)"
        R"("vod_play_from":"ffm3u8","vod_play_url":"第01集$https://a/1"}]})",
        "", 12, "ffm3u8", 1, "第01集$https://a/1", "");
    row("an episode without $ and an empty one", JsonOne("ffm3u8", "第01集$https://a/1##https://a/2#第03集$"), "", 1,
        "ffm3u8", 2, "第01集$https://a/1", "2 个空的");
    row("more names than lists", JsonOne("ffm3u8$$$ffyun$$$bf", "01$https://a/1$$$01$https://b/1"), "", 1,
        "ffm3u8|ffyun", 1, "01$https://a/1", "播放源 3 个，播放列表 2 个");
    row("more lists than names", JsonOne("ffm3u8", "01$https://a/1$$$01$https://b/1"), "", 1, "ffm3u8|播放源2", 1,
        "01$https://a/1", "播放源 1 个，播放列表 2 个");
    row("a record without id", R"({"list":[{"vod_name":"无号"},{"vod_id":8,"vod_name":"有号"}]})", "", 0, "", 0, "",
        "没有 vod_id");
    row("not an answer", "<html><body>502 Bad Gateway</body></html>", "rss", 0, "", 0, "", "");
    row("cut short", R"({"code":1,"list":[{"vod_id":7,)", "JSON", 0, "", 0, "", "");
    row("deep nesting", HostilePage(HostileShape::ApiDeepNesting, 64 << 10), "JSON", 0, "", 0, "", "");
    row("a million #", HostilePage(HostileShape::ApiHashes, 1 << 20), "", 1, "ffm3u8", 1,
        "第01集$https://vod.standin.test/1.m3u8", "个空的或没有地址的剧集");
    row("invalid UTF-8", HostilePage(HostileShape::ApiBadUtf8, 4 << 10), "", 1, "ffm3u8", 1,
        "\uFFFD$https://vod.standin.test/0.m3u8", "UTF-8");
    row("page count 10^9", HostileApiPage(3), "", 1000000000, "ffm3u8", 1, "第01集$https://vod.standin.test/60.m3u8",
        "");
    row("over 50 MB", HostilePage(HostileShape::ApiLargeBody, kResourceMaxBody + 1000), "上限", 0, "", 0, "", "");
}

void ResourceApiTest::readsAnswers()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    QFETCH(int, pageCount);
    QFETCH(QString, sources);
    QFETCH(int, episodes);
    QFETCH(QString, first);
    QFETCH(QString, warning);

    const ResourcePage page = ParseResourceAnswer(std::string_view(body.constData(), std::size_t(body.size())));
    if (!error.isEmpty()) {
        QVERIFY2(page.error.contains(error), qPrintable(page.error));
        QVERIFY(page.records.empty());
        return;
    }
    QVERIFY2(page.Ok(), qPrintable(page.error));
    QCOMPARE(page.pageCount, pageCount);
    const QString warnings = page.warnings.join('\n');
    if (warning.isEmpty())
        QVERIFY2(page.warnings.isEmpty(), qPrintable(warnings));
    else
        QVERIFY2(warnings.contains(warning), qPrintable(warnings));
    QVERIFY(!page.records.empty());
    const ResourceRecord& record = page.records.front();
    QVERIFY(!record.id.isEmpty());
    QCOMPARE(record.SourceNames().join('|'), sources);
    if (sources.isEmpty())
        return;
    QCOMPARE(int(record.sources.front().episodes.size()), episodes);
    const ResourceEpisode& episode = record.sources.front().episodes.front();
    QCOMPARE(episode.name + '$' + episode.address, first);
    // Names are cleaned of entities and blanks around them.
    QVERIFY(!record.name.startsWith(' ') && !record.name.contains(QStringLiteral("&amp;")));
}

void ResourceApiTest::recordAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("base");  // empty: not a record address
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("rebuilt");

    const QString vod = "http://zy.example/api.php/provide/vod/";
    QTest::newRow("detail") << vod + "?ac=detail&ids=42" << vod << "42" << vod + "?ac=detail&ids=42";
    QTest::newRow("hash") << vod + "at/xml/#42" << vod + "at/xml/"
                          << "42" << vod + "at/xml/?ac=detail&ids=42";
    QTest::newRow("own parameter kept") << vod + "?key=k1&ac=videolist&ids=42&pg=3" << vod + "?key=k1"
                                        << "42" << vod + "?key=k1&ac=detail&ids=42";
    QTest::newRow("several ids") << vod + "?ac=detail&ids=1,2"
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("no ids") << vod + "?ac=list"
                            << ""
                            << ""
                            << "";
    QTest::newRow("not a web address") << "file:///etc/passwd#1"
                                       << ""
                                       << ""
                                       << "";
    QTest::newRow("hostile id") << vod + "?ids=1%26h%3D1"
                                << ""
                                << ""
                                << "";
}

void ResourceApiTest::recordAddresses()
{
    QFETCH(QString, address);
    QFETCH(QString, base);
    QFETCH(QString, id);
    QFETCH(QString, rebuilt);
    const std::optional<ResourceAddress> parsed = ParseResourceAddress(address);
    QCOMPARE(parsed.has_value(), !base.isEmpty());
    if (!parsed)
        return;
    QCOMPARE(parsed->base, base);
    QCOMPARE(parsed->id, id);
    QCOMPARE(ResourceRecordAddress(*parsed), rebuilt);
    QCOMPARE(ParseResourceAddress(rebuilt)->id, id);
}

void ResourceApiTest::episodeTitles()
{
    // A bare number gets the series in front; a name of its own stays; a date gets the series only.
    QCOMPARE(ResourceEpisodeTitle("长河", "01"), QStringLiteral("长河 第01集"));
    QCOMPARE(ResourceEpisodeTitle("长河", "第01集"), QStringLiteral("第01集"));
    QCOMPARE(ResourceEpisodeTitle("夜话", "20241103"), QStringLiteral("夜话 20241103"));
    QCOMPARE(ResourceEpisodeTitle("长河", ""), QStringLiteral("长河"));
}

QTEST_GUILESS_MAIN(ResourceApiTest)
#include "tst_resourceapi.moc"
