#include "host/core/gbk.h"

#include <QTest>

#include <string>
#include <thread>
#include <vector>

using namespace quib;

using namespace Qt::StringLiterals;

class GbkTest : public QObject {
    Q_OBJECT
private slots:
    void threadsReadTheFirstTextsAtOnce();  // first: before any other case has read a pair
    void roundTrip_data();
    void roundTrip();
    void replacesWhatGbkLacks_data();
    void replacesWhatGbkLacks();
    void badBytesBecomeReplacementCharacters_data();
    void badBytesBecomeReplacementCharacters();
    void utf8Boundary();
    void everyPairReadsAsTheUtf8PathReadsIt();
    void cutToBytes_data();
    void cutToBytes();
    void charCount_data();
    void charCount();
};

void GbkTest::threadsReadTheFirstTextsAtOnce()
{
    // Every pair, each thread starting at another lead byte, so they read the same rows at once.
    constexpr int kThreads = 4;
    std::vector<std::string> texts(kThreads);
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < 0x7F; ++i)
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                texts[t] += static_cast<char>(0x80 + (i + t * 0x1F) % 0x7F);
                texts[t] += static_cast<char>(trail);
                texts[t] += 'x';
            }
    std::vector<QString> read(kThreads);
    {
        std::vector<std::jthread> threads;
        threads.reserve(kThreads);
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] { read[t] = gbk::ToUnicode(texts[t]); });
    }
    for (int t = 0; t < kThreads; ++t)
        QCOMPARE(read[t], QString::fromStdString(gbk::ToUtf8(texts[t])));
}

void GbkTest::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");  // the GBK form, from the code page's table
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << u"Quib 1.0"_s << QByteArray("Quib 1.0");
    QTest::newRow("chinese") << u"中"_s << QByteArray("\xD6\xD0");
    QTest::newRow("episode") << u"第12集"_s
                             << QByteArray(
                                    "\xB5\xDA"
                                    "12"
                                    "\xBC\xAF");
    QTest::newRow("next page") << u"下一页"_s << QByteArray("\xCF\xC2\xD2\xBB\xD2\xB3");
    QTest::newRow("euro sign") << u"€"_s << QByteArray("\x80");
}

void GbkTest::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::string gbkBytes = gbk::FromUnicode(text);
    QCOMPARE(QByteArray::fromStdString(gbkBytes), bytes);
    QCOMPARE(gbk::ToUnicode(gbkBytes), text);
}

void GbkTest::replacesWhatGbkLacks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("emoji") << u"😀"_s << QByteArray("?");
    QTest::newRow("thai between chinese") << u"中ก文"_s << QByteArray("\xD6\xD0?\xCE\xC4");
    QTest::newRow("two in a row") << u"a😀😀b"_s << QByteArray("a??b");
}

void GbkTest::replacesWhatGbkLacks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(QByteArray::fromStdString(gbk::FromUnicode(text)), bytes);
}

void GbkTest::badBytesBecomeReplacementCharacters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0xFF") << QByteArray("\xFF") << u"\uFFFD"_s;
    QTest::newRow("lead byte cut off at the end") << QByteArray("a\xD6") << u"a\uFFFD"_s;
    QTest::newRow("lead byte before a space") << QByteArray("\x81 b") << u"\uFFFD b"_s;
    QTest::newRow("bad byte between characters") << QByteArray("\xD6\xD0\xFF\xCE\xC4") << u"中\uFFFD文"_s;
    QTest::newRow("characters only") << QByteArray("\xD6\xD0\xCE\xC4") << u"中文"_s;
}

void GbkTest::badBytesBecomeReplacementCharacters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(gbk::ToUnicode(bytes.toStdString()), text);
    // In two pieces cut anywhere, as a long copy is converted: a character cut in two waits for
    // its second byte, and the text comes out the same.
    const std::string whole = bytes.toStdString();
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        QString pieces;
        const std::size_t taken = gbk::AppendUnicode(pieces, std::string_view(whole).substr(0, cut), false);
        QVERIFY(taken <= cut && cut - taken <= 1);
        QCOMPARE(gbk::AppendUnicode(pieces, std::string_view(whole).substr(taken), true), whole.size() - taken);
        QCOMPARE(pieces, text);
    }
}

void GbkTest::utf8Boundary()
{
    const std::string utf8 = "第1集 下一页";
    const std::string bytes = gbk::FromUtf8(utf8);
    QCOMPARE(QByteArray::fromStdString(bytes), QByteArray("\xB5\xDA"
                                                          "1"
                                                          "\xBC\xAF \xCF\xC2\xD2\xBB\xD2\xB3"));
    QCOMPARE(gbk::ToUtf8(bytes), utf8);
}

void GbkTest::everyPairReadsAsTheUtf8PathReadsIt()
{
    // The Unicode path reads pairs from a table of its own; the UTF-8 path asks iconv each time.
    int characters = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0x30; trail <= 0xFF; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail), 'x'};
            const QString text = gbk::ToUnicode(pair);
            QCOMPARE(text, QString::fromStdString(gbk::ToUtf8(pair)));
            characters += text.size() == 2 ? 1 : 0;
        }
    QVERIFY2(characters > 21000, qPrintable(QString::number(characters)));
}

void GbkTest::cutToBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QByteArray>("cut");
    const QByteArray zhongWen("\xD6\xD0\xCE\xC4");  // 中文
    QTest::newRow("fits") << zhongWen << 4 << zhongWen;
    QTest::newRow("more room than text") << zhongWen << 100 << zhongWen;
    QTest::newRow("odd limit drops the split character") << zhongWen << 3 << QByteArray("\xD6\xD0");
    QTest::newRow("limit 1 before a two-byte character") << zhongWen << 1 << QByteArray();
    QTest::newRow("zero") << zhongWen << 0 << QByteArray();
    QTest::newRow("ascii then chinese, even limit") << QByteArray("a\xD6\xD0") << 2 << QByteArray("a");
    QTest::newRow("ascii then chinese, odd limit") << QByteArray(
                                                          "a\xD6\xD0"
                                                          "b")
                                                   << 3 << QByteArray("a\xD6\xD0");
    QTest::newRow("ascii only") << QByteArray("abcdef") << 3 << QByteArray("abc");
    QTest::newRow("stray lead byte at the end, cut before it")
        << QByteArray("\xD6\xD0\xB5") << 2 << QByteArray("\xD6\xD0");
    QTest::newRow("stray lead byte at the end, odd limit")
        << QByteArray("a\xD6\xD0\xB5") << 3 << QByteArray("a\xD6\xD0");
}

void GbkTest::cutToBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxBytes);
    QFETCH(QByteArray, cut);
    const std::string text = bytes.toStdString();
    const std::string_view result = gbk::CutToBytes(text, static_cast<std::size_t>(maxBytes));
    QCOMPARE(QByteArray(result.data(), static_cast<qsizetype>(result.size())), cut);
}

void GbkTest::charCount_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("ascii") << QByteArray("abc") << 3;
    QTest::newRow("chinese") << QByteArray("\xD6\xD0\xCE\xC4") << 2;
    QTest::newRow("mixed") << QByteArray(
                                  "a\xD6\xD0"
                                  "b")
                           << 3;
    QTest::newRow("stray lead byte at the end") << QByteArray("\xD6\xD0\xB5") << 2;
}

void GbkTest::charCount()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QCOMPARE(gbk::CharCount(bytes.toStdString()), static_cast<std::size_t>(count));
}

QTEST_GUILESS_MAIN(GbkTest)
#include "tst_gbk.moc"
