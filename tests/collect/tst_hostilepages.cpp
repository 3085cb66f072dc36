// Hostile pages collected end to end through quib-collect on the stand-in web: each ends, with
// what the site gives for a page it cannot read, and the rows it could read.
#include "standin/standinweb.h"

#include <QProcess>
#include <QTest>

using namespace quib;
using namespace quib::standin;

class HostilePagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_web.Start(); }
    void collectionEnds_data();
    void collectionEnds();

private:
    StandinWeb m_web;
};

void HostilePagesTest::collectionEnds_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("rows");  // -1: some
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("firstUrl");  // the first row's Url, when rows are expected

    // Every item is a row; the caption cut does not run to the page's end for each of them.
    QTest::newRow("tudou items never closed")
        << QStringList{"--site", "tudou", "--no-fast", "hostile-tudou-open-256"} << 0 << -1 << QString() << QString();
    QTest::newRow("ouou items never closed")
        << QStringList{"--site", "ouou", "hostile-ouou-open-256"} << 0 << -1 << QString() << QString();
    // The walk is cut short before the title and script at the end: the site's own message.
    for (const char* shape : {"div", "reopen", "h4div"})
        QTest::addRow("tudou single page %s", shape)
            << QStringList{"--site", "tudou", QString("http://www.tudou.com/programs/view/hostile-%1-128/").arg(shape)}
            << 1 << 0 << QStringLiteral("无法取得数据！") << QString();
    // The 6rooms fallback walk gives up on the nesting: the row stays, without its video, for the retry.
    QTest::newRow("6rooms nested headings")
        << QStringList{"--site", "6jf", "hostile-h4div-128"} << 0 << 1 << QString() << QString();
}

void HostilePagesTest::collectionEnds()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, rows);
    QFETCH(QString, message);
    QFETCH(QString, firstUrl);
    arguments.prepend(QString::fromStdString(m_web.ConnectToRules().front()));
    arguments.prepend("--connect-to");
    QProcess process;
    process.start(QStringLiteral(QUIB_COLLECT_PATH), arguments);
    QVERIFY2(process.waitForFinished(240000), "the collection did not end");
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, qPrintable(errors));
    if (rows >= 0)
        QCOMPARE(lines.size(), rows);
    else
        QVERIFY(lines.size() > 100);
    if (!message.isEmpty())
        QVERIFY2(errors.contains(message), qPrintable(errors));
    if (!lines.isEmpty())
        QCOMPARE(lines.front().split('\t').value(3), firstUrl);
}

QTEST_GUILESS_MAIN(HostilePagesTest)
#include "tst_hostilepages.moc"
