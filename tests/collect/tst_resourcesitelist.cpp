// The operator's resource-site list without a window: what a save writes loads back whole, a file
// that cannot be read is refused and kept aside by the next save, a full disk keeps the old file,
// and the source chosen last is remembered per site.
#include "collect/resourcesitelist.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace quib;
using namespace quib::collect;
using namespace quib::test;

namespace {

ResourceSiteList Sample()
{
    ResourceSiteList list;
    list.sites = {{QStringLiteral("快资源 \"甲\" & <乙>"), QStringLiteral("http://a.example/api.php/provide/vod/")},
                  {QString(), QStringLiteral("https://b.example/at/xml/?key=1&x=2")}};
    list.lastSources[QStringLiteral("http://a.example/api.php/provide/vod/")] = QStringLiteral("ffm3u8");
    return list;
}

}  // namespace

class ResourceSiteListTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void savedListLoadsBackWhole()
    {
        const QString path = m_dir.filePath("sites.xml");
        QVERIFY(resourcesites::Load(path).sites.empty());  // no file yet: no sites, no complaint
        resourcesites::Save(path, Sample());
        const ResourceSiteList loaded = resourcesites::Load(path);
        QCOMPARE(loaded.sites.size(), std::size_t(2));
        QCOMPARE(loaded.sites[0].name, Sample().sites[0].name);
        QCOMPARE(loaded.sites[1].base, Sample().sites[1].base);
        QCOMPARE(loaded.lastSources, Sample().lastSources);

        // A choice changes only its own site's entry.
        resourcesites::RememberSource(path, Sample().sites[1].base, QStringLiteral("ffyun"));
        QCOMPARE(resourcesites::LastSource(path, Sample().sites[0].base), QStringLiteral("ffm3u8"));
        QCOMPARE(resourcesites::LastSource(path, Sample().sites[1].base), QStringLiteral("ffyun"));
        QCOMPARE(resourcesites::Load(path).sites.size(), std::size_t(2));
    }

    void unreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not XML") << QByteArray("<apisites><site name='a'");
        QTest::newRow("another file") << QByteArray("<sites><site title='a' url='http://x/'/></sites>");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe<apisites/>", 14);
    }
    void unreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        Write(path, bytes);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, resourcesites::Load(path));
        QCOMPARE(resourcesites::LastSource(path, QStringLiteral("http://x/")), QString());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 resourcesites::RememberSource(path, QStringLiteral("http://x/"), QStringLiteral("s")));
        QCOMPARE(Read(path), bytes);  // a choice does not replace a list it cannot read
        resourcesites::Save(path, Sample());
        QCOMPARE(Read(path + ".unreadable"), bytes);
        QCOMPARE(resourcesites::Load(path).sites.size(), std::size_t(2));
    }

    void fullDiskKeepsTheOldFile()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath("full.xml");
        resourcesites::Save(path, Sample());
        const QByteArray before = Read(path);
        ResourceSiteList longer = Sample();
        for (int i = 0; i < 2000; ++i)
            longer.sites.push_back({QStringLiteral("站%1").arg(i), QStringLiteral("http://s%1.example/").arg(i)});
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit tight = old;
        tight.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &tight);
        bool threw = false;
        try {
            resourcesites::Save(path, longer);
        } catch (const std::runtime_error&) {
            threw = true;
        }
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(threw);
        QCOMPARE(Read(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"full.xml"});
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("taken");
        QTest::newRow("json") << "http://zy.example/api.php/provide/vod/" << true;
        QTest::newRow("xml https") << " https://zy.example/api.php/provide/vod/at/xml/ " << true;
        QTest::newRow("no scheme") << "zy.example/api.php/provide/vod/" << false;
        QTest::newRow("ftp") << "ftp://zy.example/" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("no host") << "http:///api.php" << false;
    }
    void addresses()
    {
        QFETCH(QString, base);
        QFETCH(bool, taken);
        QCOMPARE(resourcesites::AddressProblem(base).isEmpty(), taken);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ResourceSiteListTest)
#include "tst_resourcesitelist.moc"
