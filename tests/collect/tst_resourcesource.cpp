// The engine's choice of a resource record's play source: named by the request, picked by the
// chooser, or cancelled.
#include "collect/collectionengine.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "standin/standinweb.h"
#include "tests/support/scriptedmessages.h"

#include <QTemporaryDir>
#include <QTest>

using namespace quib;
using namespace quib::collect;
using namespace quib::results;
using namespace quib::standin;
using namespace quib::test;

class ResourceSourceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_web.Start(); }
    void choosesTheSource_data();
    void choosesTheSource();

private:
    StandinWeb m_web;
};

void ResourceSourceTest::choosesTheSource_data()
{
    QTest::addColumn<QString>("source");    // the request's
    QTest::addColumn<int>("chosen");        // the chooser's answer
    QTest::addColumn<bool>("asked");        // whether the chooser was asked
    QTest::addColumn<QString>("firstUrl");  // empty: no rows

    QTest::newRow("chooser picks the second") << QString() << 1 << true << "https://share.standin.test/play/1002001";
    QTest::newRow("chooser cancelled") << QString() << -1 << true << QString();
    QTest::newRow("named by the request") << "ffyun" << 0 << false << "https://share.standin.test/play/1002001";
}

void ResourceSourceTest::choosesTheSource()
{
    QFETCH(QString, source);
    QFETCH(int, chosen);
    QFETCH(bool, asked);
    QFETCH(QString, firstUrl);

    QTemporaryDir dir;
    ScriptedMessages messages;
    WorkerRegistry workers;
    NetworkSettings network;
    network.connectTo = m_web.ConnectToRules();
    HostApp app("Quib", dir.path(), messages, workers, network);
    MemData data;
    CollectionEngine engine(app, data);
    QString base;
    QStringList offered;
    engine.SetSourceChooser([&](const QString& site, const ResourceRecord& record) {
        base = site;
        offered = record.SourceNames();
        return chosen;
    });

    CollectRequest request;
    request.site = "api";
    request.address = "http://zyjson.standin.test/api.php/provide/vod/?ac=detail&ids=1002";
    request.source = source;
    const CollectionEngine::Result result = engine.CollectAndWait(request);
    QVERIFY(result.started);
    QCOMPARE(result.end, CollectionEngine::EndKind::Finished);
    QCOMPARE(!offered.isEmpty(), asked);
    if (asked) {
        QCOMPARE(base, QStringLiteral("http://zyjson.standin.test/api.php/provide/vod/"));
        QCOMPARE(offered, (QStringList{"ffm3u8", "ffyun"}));
    }
    QCOMPARE(result.rows, firstUrl.isEmpty() ? 0 : 32);
    if (!firstUrl.isEmpty())
        QCOMPARE(gbk::ToUnicode(data.Row(0).Url), firstUrl);
}

QTEST_GUILESS_MAIN(ResourceSourceTest)
#include "tst_resourcesource.moc"
