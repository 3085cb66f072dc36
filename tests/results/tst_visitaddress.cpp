#include "host/core/gbk.h"
#include "results/visitaddress.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

class TestVisitAddress : public QObject {
    Q_OBJECT
private slots:
    void onlyWebPagesAreOpened_data();
    void onlyWebPagesAreOpened();
};

void TestVisitAddress::onlyWebPagesAreOpened_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");  // empty: nothing opened
    QTest::newRow("http") << "http://www.tudou.com/programs/view/abc/"
                          << "http://www.tudou.com/programs/view/abc/";
    QTest::newRow("https, spaces around") << " https://v.youku.com/v_show/id_X.html "
                                          << "https://v.youku.com/v_show/id_X.html";
    QTest::newRow("typed address without scheme") << "www.ouou.com/play/v_321.html"
                                                  << "http://www.ouou.com/play/v_321.html";
    QTest::newRow("host only") << "6.cn"
                               << "http://6.cn";
    QTest::newRow("host with port and query") << "v.youku.com:8080?id=1"
                                              << "http://v.youku.com:8080?id=1";
    QTest::newRow("IPv4 address") << "10.0.0.7/list/1.html"
                                  << "http://10.0.0.7/list/1.html";
    QTest::newRow("Chinese path") << QStringLiteral("www.tudou.com/搜索")
                                  << QStringLiteral("http://www.tudou.com/搜索");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("local file") << "file:///etc/passwd"
                                << "";
    QTest::newRow("program") << "/usr/bin/xterm"
                             << "";
    QTest::newRow("relative path") << "play/v_321.html"
                                   << "";
    QTest::newRow("other scheme") << "javascript:alert(1)"
                                  << "";
    QTest::newRow("mail address") << "mailto:someone@www.ouou.com"
                                  << "";
    QTest::newRow("user before the host") << "someone@www.ouou.com/x"
                                          << "";
    QTest::newRow("dotted name ending in a number") << "a.b.1/x"
                                                    << "";
    QTest::newRow("drive letter") << "c:\\windows\\notepad.exe"
                                  << "";
    QTest::newRow("no host") << "http://"
                             << "";
}

void TestVisitAddress::onlyWebPagesAreOpened()
{
    QFETCH(QString, link);
    const std::optional<QUrl> url = VisitAddress(gbk::FromUnicode(link));
    QTEST(url ? url->toString() : QString(), "opened");
}

QTEST_APPLESS_MAIN(TestVisitAddress)
#include "tst_visitaddress.moc"
