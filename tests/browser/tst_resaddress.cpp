// res:// addresses to the resources compiled into a module, without a browser.
#include "host/core/resaddress.h"

#include <QTest>

using namespace quib;

class ResAddressTest : public QObject {
    Q_OBJECT
private slots:
    void addresses_data();
    void addresses();
};

void ResAddressTest::addresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mime");
    QTest::newRow("html by default") << "res://Quib.bpl/About"
                                     << ":/modules/Quib.bpl/HTML/ABOUT"
                                     << "text/html";
    QTest::newRow("any case") << "res://quib.BPL/about"
                              << ":/modules/Quib.bpl/HTML/ABOUT"
                              << "text/html";
    QTest::newRow("typed") << "res://Quib.bpl/XML/SITES"
                           << ":/modules/Quib.bpl/XML/SITES"
                           << "application/octet-stream";
    QTest::newRow("no such name") << "res://Quib.bpl/Help"
                                  << ""
                                  << "";
    QTest::newRow("no such module") << "res://Other.bpl/About"
                                    << ""
                                    << "";
    QTest::newRow("a folder is no resource") << "res://Quib.bpl/HTML"
                                             << ""
                                             << "";
    QTest::newRow("no climbing out") << "res://Quib.bpl/../../Quib.bpl/HTML/About"
                                     << ""
                                     << "";
    QTest::newRow("too deep") << "res://Quib.bpl/HTML/ABOUT/x"
                              << ""
                              << "";
    QTest::newRow("other scheme") << "file://Quib.bpl/About"
                                  << ""
                                  << "";
}

void ResAddressTest::addresses()
{
    QFETCH(QString, address);
    QFETCH(QString, path);
    QFETCH(QString, mime);
    const auto resource = ResolveResAddress(QUrl(address));
    QCOMPARE(resource ? resource->path : QString(), path);
    QCOMPARE(resource ? resource->mimeType : QString(), mime);
}

QTEST_APPLESS_MAIN(ResAddressTest)
#include "tst_resaddress.moc"
