#include "results/copyjoiner.h"
#include "results/copylayout.h"
#include "host/core/gbk.h"
#include "results/textsearch.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

namespace {

QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }

std::string Gbk(const char16_t* text) { return gbk::FromUnicode(QStringView(text)); }

ResultRow Row(int recId, std::string caption, std::string url, std::string date = {}, std::string link = {})
{
    ResultRow row;
    row.RecId = recId;
    row.Caption = std::move(caption);
    row.Url = std::move(url);
    row.Date = std::move(date);
    row.Link = std::move(link);
    return row;
}

}  // namespace

class TestCopyLayout : public QObject {
    Q_OBJECT
private slots:
    void joinsByMergeCount_data();
    void joinsByMergeCount();
    void mergeCountIsClamped();
    void layouts_data();
    void layouts();
    void layoutOutsideTheRangeIsRefused();
    void templateTags_data();
    void templateTags();
    void searchStaysOnCharacterBoundaries_data();
    void searchStaysOnCharacterBoundaries();
};

void TestCopyLayout::joinsByMergeCount_data()
{
    QTest::addColumn<int>("merge");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QByteArray>("text");

    const QStringList abc{"A$a1", "B$b1", "C$c1"};
    QTest::newRow("N=1 one per line") << 1 << abc << QByteArray("A$a1\r\nB$b1\r\nC$c1");
    QTest::newRow("N=2") << 2 << abc << QByteArray("A$a1|B$b1\r\nC$c1");
    QTest::newRow("N=3 one line") << 3 << abc << QByteArray("A$a1|B$b1|C$c1");
    QTest::newRow("seven with N=3") << 3 << QStringList{"1", "2", "3", "4", "5", "6", "7"}
                                    << QByteArray("1|2|3\r\n4|5|6\r\n7");
    QTest::newRow("leading empty item counts") << 2 << QStringList{"", "b", "c"} << QByteArray("b\r\nc");
    QTest::newRow("leading empties vanish") << 1 << QStringList{"", "", "c"} << QByteArray("c");
    QTest::newRow("later empty keeps its separator") << 1 << QStringList{"a", "", "b"} << QByteArray("a\r\n\r\nb");
    QTest::newRow("empty within a line") << 3 << QStringList{"a", "", "b"} << QByteArray("a||b");
    QTest::newRow("nothing") << 1 << QStringList{} << QByteArray("");
}

void TestCopyLayout::joinsByMergeCount()
{
    QFETCH(int, merge);
    QFETCH(QStringList, items);
    CopyJoiner joiner(merge);
    for (const QString& item : items)
        joiner.Add(item.toStdString());
    QTEST(Bytes(joiner.Text()), "text");
    // Taken away after every item, as a long copy is: the same text.
    CopyJoiner pieces(merge);
    std::string taken;
    for (const QString& item : items) {
        pieces.Add(item.toStdString());
        taken += pieces.Text();
        pieces.DropFront(pieces.Text().size());
    }
    QTEST(Bytes(taken), "text");
}

void TestCopyLayout::mergeCountIsClamped()
{
    CopyJoiner zero(0);
    zero.Add("a");
    zero.Add("b");
    QCOMPARE(Bytes(zero.Text()), QByteArray("a\r\nb"));  // no division by zero: treated as 1
    CopyJoiner huge(100000);
    for (int i = 0; i < 256; ++i)
        huge.Add("x");
    QCOMPARE(Bytes(huge.Text()).count("\r\n"), 1);  // 255 to a line at most
}

void TestCopyLayout::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QByteArray>("item");
    QTest::newRow("title and address") << 0 << QByteArray("T$u");
    QTest::newRow("address") << 1 << QByteArray("u");
    QTest::newRow("link") << 2 << QByteArray("l");
    QTest::newRow("template") << 3 << QByteArray("7:T:u:d");
}

void TestCopyLayout::layouts()
{
    QFETCH(int, layout);
    CopyLayout kind;
    QVERIFY(CopyLayoutFromInt(layout, kind));
    QTEST(Bytes(CopyItem(kind, Row(7, "T", "u", "d", "l"), "<id>:<title>:<url>:<date>")), "item");
}

void TestCopyLayout::layoutOutsideTheRangeIsRefused()
{
    CopyLayout kind;
    QVERIFY(!CopyLayoutFromInt(4, kind));
    QVERIFY(!CopyLayoutFromInt(-1, kind));
}

void TestCopyLayout::templateTags_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("every occurrence") << QByteArray("<url>,<url>") << QByteArray("T") << QByteArray("u,u");
    QTest::newRow("upper case") << QByteArray("<ID>|<Title>|<URL>|<DATE>") << QByteArray("T") << QByteArray("12|T|u|d");
    QTest::newRow("title holding <url>") << QByteArray("<title>") << QByteArray("see <url>") << QByteArray("see u");
    QTest::newRow("title holding <id> stays") << QByteArray("<title>") << QByteArray("<id>") << QByteArray("<id>");
    QTest::newRow("other text unchanged") << QByteArray("<a href=\"<url>\"><title></a> <tit>") << QByteArray("T")
                                          << QByteArray("<a href=\"u\">T</a> <tit>");
    QTest::newRow("empty template") << QByteArray("") << QByteArray("T") << QByteArray("");
    QTest::newRow("Chinese around tags") << QByteArray::fromStdString(Gbk(u"第<id>集《<title>》"))
                                         << QByteArray::fromStdString(Gbk(u"土豆"))
                                         << QByteArray::fromStdString(Gbk(u"第12集《土豆》"));
}

void TestCopyLayout::templateTags()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, caption);
    QTEST(Bytes(ApplyCopyTemplate(format.toStdString(), Row(12, caption.toStdString(), "u", "d"))), "text");
}

void TestCopyLayout::searchStaysOnCharacterBoundaries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("at");

    // "癮" is 0xB0 0x61 in GBK: its trail byte is the letter 'a'.
    const QByteArray trailA = QByteArray::fromStdString(Gbk(u"癮"));
    QVERIFY(trailA.size() == 2 && trailA[1] == 'a');
    QTest::newRow("plain") << QByteArray("xxab") << QByteArray("ab") << false << 2;
    QTest::newRow("case counts") << QByteArray("AB") << QByteArray("ab") << false << -1;
    QTest::newRow("case ignored") << QByteArray("xAB") << QByteArray("ab") << true << 1;
    QTest::newRow("not in a trail byte") << trailA + "b" << QByteArray("ab") << false << -1;
    QTest::newRow("not in a trail byte, no case") << trailA << QByteArray("A") << true << -1;
    QTest::newRow("after a two-byte char") << trailA + "ab" << QByteArray("ab") << false << 2;
    QTest::newRow("empty needle") << QByteArray("abc") << QByteArray("") << false << -1;
    QTest::newRow("Chinese needle") << QByteArray::fromStdString(Gbk(u"第1集 优酷"))
                                    << QByteArray::fromStdString(Gbk(u"优酷")) << false << 6;
}

void TestCopyLayout::searchStaysOnCharacterBoundaries()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, needle);
    QFETCH(bool, ignoreCase);
    const std::size_t at = ignoreCase ? textsearch::FindNoCase(text.toStdString(), needle.toStdString())
                                      : textsearch::Find(text.toStdString(), needle.toStdString());
    QTEST(at == textsearch::npos ? -1 : int(at), "at");
}

QTEST_APPLESS_MAIN(TestCopyLayout)
#include "tst_copylayout.moc"
