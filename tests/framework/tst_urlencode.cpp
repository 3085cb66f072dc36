#include "host/core/urlencode.h"

#include <QTest>

using namespace quib;

class UrlEncodeTest : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
};

void UrlEncodeTest::encode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("forQueryValue");
    QTest::addColumn<QByteArray>("encoded");

    for (const bool query : {false, true}) {
        const char* flag = query ? "value" : "address";
        QTest::addRow("unreserved, %s", flag) << QByteArray("Az09-_.~") << query << QByteArray("Az09-_.~");
        QTest::addRow("space, %s", flag) << QByteArray("a b") << query << QByteArray("a%20b");
        QTest::addRow("gbk bytes, %s", flag) << QByteArray("\xD6\xD0\xCE\xC4") << query << QByteArray("%D6%D0%CE%C4");
        QTest::addRow("quotes and brackets, %s", flag)
            << QByteArray("\"<>{}|^`") << query << QByteArray("%22%3C%3E%7B%7D%7C%5E%60");
        QTest::addRow("control bytes, %s", flag) << QByteArray("\t\n\x7F") << query << QByteArray("%09%0A%7F");
        QTest::addRow("empty, %s", flag) << QByteArray() << query << QByteArray();
    }
    QTest::newRow("address keeps its syntax")
        << QByteArray("http://v.a.com/s?q=1&p=2#top") << false << QByteArray("http://v.a.com/s?q=1&p=2#top");
    QTest::newRow("value encodes the syntax") << QByteArray("http://v.a.com/s?q=1&p=2#top") << true
                                              << QByteArray("http%3A%2F%2Fv.a.com%2Fs%3Fq%3D1%26p%3D2%23top");
    QTest::newRow("address keeps an existing escape") << QByteArray("a%20b") << false << QByteArray("a%20b");
    QTest::newRow("value encodes the percent sign") << QByteArray("100%") << true << QByteArray("100%25");
    QTest::newRow("value encodes sub-delimiters")
        << QByteArray("!$'()*+,;@[]") << true << QByteArray("%21%24%27%28%29%2A%2B%2C%3B%40%5B%5D");
    QTest::newRow("address with chinese query")
        << QByteArray("/search?k=\xD6\xD0") << false << QByteArray("/search?k=%D6%D0");
}

void UrlEncodeTest::encode()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, forQueryValue);
    QFETCH(QByteArray, encoded);
    QCOMPARE(QByteArray::fromStdString(EncodeURL(text.toStdString(), forQueryValue)), encoded);
}

QTEST_GUILESS_MAIN(UrlEncodeTest)
#include "tst_urlencode.moc"
