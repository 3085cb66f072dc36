#include "collect/gbktextcursor.h"

#include <QTest>

using namespace quib;
using namespace quib::collect;

namespace {

// "上传时间：" in GBK.
const std::string kUploaded = "\xC9\xCF\xB4\xAB\xCA\xB1\xBC\xE4\xA3\xBA";

}  // namespace

class GbkTextCursorTest : public QObject {
    Q_OBJECT
private slots:
    void matchesOnlyWholeCharacters_data();
    void matchesOnlyWholeCharacters();
    void rememberedPlacesFollowTheCursor();
    void nearMatchAfterAFarSearch();
    void missingMarkerEmptiesTheRest();
};

void GbkTextCursorTest::matchesOnlyWholeCharacters_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<int>("offset");  // -1: no match

    // 0x81 0x6E is one character; its second byte is the letter n.
    QTest::newRow("ascii marker inside a character")
        << QByteArray("\x81name=\"playlist\"") << QByteArray("name=\"playlist\"") << -1;
    QTest::newRow("true match behind a false one")
        << QByteArray("\x81name=\"playlist\" name=\"playlist\"") << QByteArray("name=\"playlist\"") << 17;
    // 0xB0 0xC9 is one character, so the marker's bytes from offset 1 straddle characters.
    QTest::newRow("chinese marker across characters")
        << QByteArray(("\xB0" + kUploaded).c_str()) << QByteArray(kUploaded.c_str()) << -1;
    QTest::newRow("chinese marker aligned")
        << QByteArray(("\xB0\xC9" + kUploaded).c_str()) << QByteArray(kUploaded.c_str()) << 2;
    // 0x81 0x81 is one character: the letter after it begins one; after three, it is a second byte.
    QTest::newRow("letter after a character ending in a lead-range byte")
        << QByteArray("\x81\x81name=\"playlist\"") << QByteArray("name=\"playlist\"") << 2;
    QTest::newRow("letter after an odd run of lead-range bytes")
        << QByteArray("\x81\x81\x81name=\"playlist\"") << QByteArray("name=\"playlist\"") << -1;
    QTest::newRow("letter after a byte no character begins with")
        << QByteArray("\xFFname=\"playlist\"") << QByteArray("name=\"playlist\"") << 1;
    QTest::newRow("chinese marker after a second byte in the letter range")
        << QByteArray(("\xB0\x40" + kUploaded).c_str()) << QByteArray(kUploaded.c_str()) << 2;
    QTest::newRow("chinese marker after a lead byte and a letter")
        << QByteArray(("\x81\x40\x81" + kUploaded).c_str()) << QByteArray(kUploaded.c_str()) << -1;
    QTest::newRow("plain ascii") << QByteArray("ab title=\"x\"") << QByteArray("title=\"") << 3;
    // A lead byte without a trail byte stands alone, as a decoder reads it.
    QTest::newRow("stray lead byte before a quote") << QByteArray("\x81\"x") << QByteArray("\"") << 1;
    QTest::newRow("stray lead byte before a letter") << QByteArray("\x81\x7Ftitle") << QByteArray("title") << 2;
}

void GbkTextCursorTest::matchesOnlyWholeCharacters()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marker);
    QFETCH(int, offset);
    const GbkTextCursor cursor(text.toStdString());
    const std::size_t found = cursor.Find(marker.toStdString());
    QCOMPARE(found == std::string_view::npos ? -1 : int(found), offset);
    QCOMPARE(cursor.Contains(marker.toStdString()), offset >= 0);
}

void GbkTextCursorTest::rememberedPlacesFollowTheCursor()
{
    GbkTextCursor cursor("<S>1<P>2<P>3<S>");
    QCOMPARE(cursor.Find("<S>"), std::size_t(0));
    QCOMPARE(cursor.Find("<P>"), std::size_t(4));
    QVERIFY(cursor.SkipPast("<S>"));
    QCOMPARE(cursor.Find("<S>"), std::size_t(9));  // the first one is behind the cursor now
    QVERIFY(cursor.SkipPast("<P>"));
    QCOMPARE(cursor.TextBefore("<P>"), std::string("2"));
    QCOMPARE(cursor.Find("<S>"), std::size_t(5));
    QVERIFY(cursor.SkipPast("<P>"));
    QCOMPARE(cursor.Find("<P>"), std::string_view::npos);
    QCOMPARE(cursor.Rest(), std::string_view("3<S>"));
}

void GbkTextCursorTest::nearMatchAfterAFarSearch()
{
    // The far search learns the characters up to its match; the near one must still see that
    // its candidate is the second byte of 0x81 0x6E.
    const GbkTextCursor cursor("\x81name=1 \xB0\xC9title=2");
    QCOMPARE(cursor.Find("title="), std::size_t(10));
    QCOMPARE(cursor.Find("name="), std::string_view::npos);
}

void GbkTextCursorTest::missingMarkerEmptiesTheRest()
{
    GbkTextCursor cursor("href=\"a\" rest");
    QVERIFY(!cursor.SkipPast("title=\""));
    QVERIFY(cursor.Rest().empty());
    QCOMPARE(cursor.TextBefore("\""), std::string());
    QVERIFY(!cursor.Contains("rest"));
}

QTEST_APPLESS_MAIN(GbkTextCursorTest)
#include "tst_gbktextcursor.moc"
