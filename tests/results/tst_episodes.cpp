#include "host/core/gbk.h"
#include "results/episodecheck.h"
#include "results/episodenumber.h"
#include "results/memdata.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

using Numbers = std::vector<std::optional<int>>;
using Ranges = std::vector<std::pair<int, int>>;

namespace {

std::vector<EpisodeEntry> Entries(const Numbers& numbers, const std::vector<std::string>& addresses = {})
{
    std::vector<EpisodeEntry> entries;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        entries.push_back({numbers[i], i < addresses.size() ? addresses[i] : "a" + std::to_string(i)});
    return entries;
}

}  // namespace

class TestEpisodes : public QObject {
    Q_OBJECT
private slots:
    void readsTheEpisodeNumber_data();
    void readsTheEpisodeNumber();
    void statusLine_data();
    void statusLine();
    void rangesCountEveryEpisode_data();
    void rangesCountEveryEpisode();
    void ordersByEpisodeKeepingTheRest();
    void tableCheckAgreesWithItsEntries();
};

void TestEpisodes::readsTheEpisodeNumber_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("episode");  // -1: none
    QTest::addColumn<int>("last");     // the range's end
    const struct {
        const char* name;
        const char16_t* title;
        int episode;
        int last = 0;  // 0: the episode alone
    } rows[] = {
        {"ordinal", u"土豆视频 第12集", 12},
        {"ordinal with spaces", u"天龙八部 第 3 集", 3},
        {"chinese numerals", u"天龙八部 第十二集", 12},
        {"chinese tens", u"天龙八部第二十集", 20},
        {"chinese hundreds", u"名侦探柯南 第一百零五话", 105},
        {"full-width digits", u"士兵突击 第１２集", 12},
        {"range", u"家有儿女 第1-2集", 1, 2},
        {"range in words", u"家有儿女 第三至五集", 3, 5},
        {"two that follow each other", u"家有儿女 第7、8集", 7, 8},
        {"two apart: the first", u"家有儿女 第1、3集", 1},
        {"backward range: the first", u"家有儿女 第5-3集", 5},
        {"five digits", u"新闻联播 第10000集", 10000},
        {"six digits", u"新闻联播 EP123456", 123456},
        {"trap: hostile range", u"视频 第1-999999999集", -1},
        {"EP", u"Friends EP12", 12},
        {"ep with a dot, lower case", u"Friends ep.07", 7},
        {"E after a season", u"Friends S02E05 720p", 5},
        {"E alone", u"老友记 E3", 3},
        {"counted", u"武林外传 12集", 12},
        {"bracketed", u"武林外传(12)", 12},
        {"full-width brackets", u"武林外传（8）", 8},
        {"trailing", u"土豆视频 12", 12},
        {"trailing, joined to the name", u"天龙八部12", 12},
        {"trailing after a dash", u"天龙八部-12", 12},
        {"season word is not an episode", u"名侦探柯南 第3季 第12集", 12},
        {"year before the episode", u"天龙八部 2009 第12集", 12},
        {"year and episode, two numbers", u"天龙八部2 第5集", 5},
        {"trap: year at the end", u"天龙八部 2009", -1},
        {"trap: year in brackets", u"天龙八部 (2003)", -1},
        {"trap: resolution", u"天龙八部 720", -1},
        {"trap: resolution in brackets", u"天龙八部 [1080]", -1},
        {"trap: date", u"新闻联播 2009-05-12", -1},
        {"trap: dotted date", u"新闻联播 09.05.12", -1},
        {"trap: time", u"新闻联播 19:30", -1},
        {"trap: date in words", u"新闻联播 2009年5月12日", -1},
        {"trap: total of the series", u"天龙八部 全40集", -1},
        {"trap: season alone", u"名侦探柯南 第3季", -1},
        {"trap: a word ending in E", u"THE 12 MONKEYS", -1},
        {"trap: codec", u"天龙八部 x264", -1},
        {"trap: file type", u"天龙八部.mp4", -1},
        {"trap: long number", u"视频 1234567", -1},
        {"no number", u"天龙八部 高清", -1},
        {"empty", u"", -1},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << QString::fromUtf16(row.title) << row.episode << (row.last ? row.last : row.episode);
    // Would overflow an int long before its end.
    QTest::newRow("trap: hostile numerals") << u"第"_qs + u"九千"_qs.repeated(100000) + u"集"_qs << -1 << -1;
}

void TestEpisodes::readsTheEpisodeNumber()
{
    QFETCH(QString, title);
    QFETCH(int, episode);
    QFETCH(int, last);
    QCOMPARE(EpisodeNumber(title).value_or(-1), episode);
    const std::optional<EpisodeSpan> span = EpisodeRange(title);
    QCOMPARE(span ? span->last : -1, last);
}

void TestEpisodes::statusLine_data()
{
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<std::vector<std::string>>("addresses");
    QTest::addColumn<QString>("line");
    Numbers gapped;
    for (int n = 1; n <= 46; ++n)
        if (n != 23)
            gapped.push_back(n);
    std::vector<std::string> addresses;
    addresses.reserve(45);
    for (int n = 0; n < 45; ++n)
        addresses.push_back(n == 10 || n == 20 ? "same" : "a" + std::to_string(n));
    QTest::newRow("gap and repeated addresses") << gapped << addresses << "共 45 条，第1–46集，缺第23集；重复地址 1 条";
    QTest::newRow("complete") << Numbers{1, 2, 3} << std::vector<std::string>{} << "共 3 条，第1–3集";
    QTest::newRow("runs, a duplicate, unnumbered") << Numbers{1, 4, 5, 5, 8, std::nullopt} << std::vector<std::string>{}
                                                   << "共 6 条，第1–8集，缺第2–3、6–7集，重复第5集，1 条无集数";
    Numbers sparse;
    for (int n = 1; n <= 40; n += 2)
        sparse.push_back(n);
    QTest::newRow("many gaps are shortened")
        << sparse << std::vector<std::string>{} << "共 20 条，第1–39集，缺第2、4、6、8、10、12、14、16…集（共 19 集）";
    QTest::newRow("no numbers") << Numbers{std::nullopt, std::nullopt} << std::vector<std::string>{"x", "x"}
                                << "共 2 条，未识别集数；重复地址 1 条";
    QTest::newRow("empty") << Numbers{} << std::vector<std::string>{} << "共 0 条";
    QTest::newRow("an address listed twice is no repeated episode")
        << Numbers{1, 2, 2, 3} << std::vector<std::string>{"a", "b", "b", "c"} << "共 4 条，第1–3集；重复地址 1 条";
    QTest::newRow("one address, two episodes: both count")
        << Numbers{1, 2, 2} << std::vector<std::string>{"a", "b", "a"} << "共 3 条，第1–2集，重复第2集；重复地址 1 条";
    QTest::newRow("rows without an address")
        << Numbers{1, 2, 3} << std::vector<std::string>{"a", "", ""} << "共 3 条，第1–3集；无地址 2 条";
    QTest::newRow("beyond 9999") << Numbers{9999, 10001} << std::vector<std::string>{}
                                 << "共 2 条，第9999–10001集，缺第10000集";
}

void TestEpisodes::statusLine()
{
    QFETCH(Numbers, numbers);
    QFETCH(std::vector<std::string>, addresses);
    const std::vector<EpisodeEntry> entries = Entries(numbers, addresses);
    QTEST(EpisodeStatusLine(CheckEpisodes(entries)), "line");

    // The same rows in a table, read in its own pass: titles of every length through one buffer.
    MemData table;
    table.Open();
    for (const EpisodeEntry& entry : entries) {
        RowFields row;
        row.Caption = gbk::FromUtf8(entry.number ? "土豆视频 第" + std::to_string(*entry.number) + "集" : "预告");
        row.Url = entry.address;
        table.Append(std::move(row));
    }
    QTEST(EpisodeStatusLine(CheckEpisodes(table)), "line");
}

void TestEpisodes::rangesCountEveryEpisode_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QString>("line");
    QTest::newRow("第1-2集, 第3集, 第4集") << Ranges{{1, 2}, {3, 3}, {4, 4}} << "共 3 条，第1–4集";
    QTest::newRow("overlapping ranges") << Ranges{{1, 3}, {3, 5}, {8, 8}} << "共 3 条，第1–8集，缺第6–7集，重复第3集";
    QTest::newRow("the widest range there is") << Ranges{{0, kLargestEpisode}, {kLargestEpisode, kLargestEpisode}}
                                               << QStringLiteral("共 2 条，第0–%1集，重复第%1集").arg(kLargestEpisode);
}

void TestEpisodes::rangesCountEveryEpisode()
{
    QFETCH(Ranges, ranges);
    std::vector<EpisodeEntry> entries;
    for (const auto& [first, last] : ranges)
        entries.push_back({first, "a" + std::to_string(entries.size()), last});
    QTEST(EpisodeStatusLine(CheckEpisodes(entries)), "line");
}

void TestEpisodes::ordersByEpisodeKeepingTheRest()
{
    const auto entries = Entries({3, std::nullopt, 1, 3, std::nullopt, 2});
    QCOMPARE(EpisodeOrder(entries), (std::vector<int>{2, 5, 0, 3, 1, 4}));
    const auto repeated = RepeatedAddresses(Entries({1, 2, 3, 4}, {"x", "", "x", ""}));
    QCOMPARE(repeated, (std::vector<bool>{false, false, true, false}));
}

// Thousands of rows, addresses repeated at several distances and titles of every form: the table's
// own pass finds the same first row of each address as the entries do.
void TestEpisodes::tableCheckAgreesWithItsEntries()
{
    const char* const forms[] = {"土豆视频 第%1集", "EP%1", "%1集", "预告片", "[%1]", "第%1-%2集", "片花 %1"};
    MemData table;
    table.Open();
    for (int n = 0; n < 5000; ++n) {
        RowFields row;
        const QString title = QString::fromUtf8(forms[n % 7]).arg(n / 3).arg(n / 3 + 1);
        row.Caption = gbk::FromUnicode(title);
        row.Url = n % 11 == 0 ? std::string() : "http://v/" + std::to_string(n % 5 == 0 ? n / 5 : n % 1700);
        table.Append(std::move(row));
    }
    const EpisodeCheck check = CheckEpisodes(table);
    QCOMPARE(check, CheckEpisodes(EpisodeEntries(table)));
    QVERIFY(check.repeatedAddresses > 1000);
    QVERIFY(check.withoutAddress > 400);
}

QTEST_APPLESS_MAIN(TestEpisodes)
#include "tst_episodes.moc"
