#include "collect/textcursor.h"

#include <QTest>

#include <string>
#include <vector>

using namespace quib;
using namespace quib::collect;

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
    void findMarkerAgreesWithAPlainSearch()
    {
        // Matches on both sides of every sixteen-byte block edge, overlapping candidates, a
        // marker that ends the text and ones that are not there, searched from every place.
        std::string text;
        for (int i = 0; i < 7; ++i)
            text += "<a href=\"x" + std::to_string(i) + "\">aa<</a>" + std::string(std::size_t(i), ' ');
        text += "<<a hrefs";
        const std::vector<std::string> markers{
            "<", "<a", "</a>", "aaa", "<<a", "\">aa<</a>", "<a href=\"x6\">", "hrefs", "href=\"x9", "s ", ""};
        for (const std::string& marker : markers)
            for (std::size_t from = 0; from <= text.size() + 1; ++from)
                QCOMPARE(FindMarker(text, marker, from), std::string_view(text).find(marker, from));
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
