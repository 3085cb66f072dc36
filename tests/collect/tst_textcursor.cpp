#include "textcursor.h"

#include <QTest>

class TextCursorTest : public QObject {
    Q_OBJECT
private slots:
    void skipPastConsumesThroughTheMarker()
    {
        TextCursor cursor("a<b>c<b>d");
        QVERIFY(cursor.SkipPast("<b>"));
        QCOMPARE(cursor.Rest(), std::string_view("c<b>d"));
        QVERIFY(cursor.SkipPast("<b>"));
        QCOMPARE(cursor.Rest(), std::string_view("d"));
    }
    void missingMarkerEmptiesTheRest()
    {
        TextCursor cursor("title=\"x\" rest");
        QVERIFY(!cursor.SkipPast("alt=\""));
        QVERIFY(cursor.AtEnd());
        QCOMPARE(cursor.TextBefore("\""), std::string());
    }
    void textBeforeReadsWithoutConsuming()
    {
        TextCursor cursor("abc\"def\"");
        QCOMPARE(cursor.TextBefore("\""), std::string("abc"));
        QCOMPARE(cursor.TextBefore("\""), std::string("abc"));
        QCOMPARE(cursor.TextBefore("zz"), std::string());  // absent end: empty, not the rest
        QVERIFY(cursor.Contains("def"));
    }
    void markerAtTheVeryEnd()
    {
        TextCursor cursor("xx</a>");
        QVERIFY(cursor.SkipPast("</a>"));
        QVERIFY(cursor.AtEnd());
        QCOMPARE(cursor.Take(10), std::string());
    }
    void takeStopsAtTheEnd()
    {
        TextCursor cursor("iid=12345");
        cursor.SkipPast("iid=");
        QCOMPARE(cursor.Take(10), std::string("12345"));
    }
    void trimDropsBlanksAndControls()
    {
        QCOMPARE(Trim(" \t\r\n 1.My video \x01"), std::string("1.My video"));
        QCOMPARE(Trim("   "), std::string());
        QCOMPARE(Trim("\xB5\xDA "), std::string("\xB5\xDA"));  // GBK bytes are above 32
    }
};

QTEST_GUILESS_MAIN(TextCursorTest)
#include "tst_textcursor.moc"
