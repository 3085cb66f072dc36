#include "host/framework/resources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace quib;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kSites =
    "<?xml version=\"1.0\" encoding=\"gbk\"?>\n<sites>\n"
    "  <site name=\"paging\" host=\"paging.standin.test\"/>\n</sites>\n";

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void pathFollowsTheModuleLayout();
    void writesTheResource_data();
    void writesTheResource();
    void replacesAnExistingFile();
    void missingResourceThrows_data();
    void missingResourceThrows();
};

void ResourcesTest::pathFollowsTheModuleLayout()
{
    QCOMPARE(ResourcePath("Test.bpl", "xml", "sites"), QStringLiteral(":/modules/Test.bpl/XML/SITES"));
    QVERIFY(QFile::exists(ResourcePath("Test.bpl", "XML", "SITES")));
}

void ResourcesTest::writesTheResource_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("upper case") << "XML"
                                << "SITES";
    QTest::newRow("lower case") << "xml"
                                << "sites";
    QTest::newRow("mixed case") << "Xml"
                                << "Sites";
}

void ResourcesTest::writesTheResource()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString target = dir.filePath("new/folders/sites.xml");  // folders that do not exist yet
    GetResFile("Test.bpl", type, name, target);
    QCOMPARE(ReadAll(target), kSites);
}

void ResourcesTest::replacesAnExistingFile()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("sites.xml");
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(
            "an older and much longer site file than the resource holds, to be replaced entirely\n"
            "an older and much longer site file than the resource holds, to be replaced entirely\n");
    }
    GetResFile("Test.bpl", "XML", "SITES", target);
    QCOMPARE(ReadAll(target), kSites);
}

void ResourcesTest::missingResourceThrows_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("unknown name") << "Test.bpl"
                                  << "XML"
                                  << "ABOUT";
    QTest::newRow("unknown type") << "Test.bpl"
                                  << "HTML"
                                  << "SITES";
    QTest::newRow("unknown module") << "Other.bpl"
                                    << "XML"
                                    << "SITES";
}

void ResourcesTest::missingResourceThrows()
{
    QFETCH(QString, module);
    QFETCH(QString, type);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString target = dir.filePath("out.xml");
    try {
        GetResFile(module, type, name, target);
        QFAIL("a missing resource was written");
    } catch (const std::runtime_error& error) {
        const QString message = QString::fromUtf8(error.what());
        QVERIFY2(message.contains(name) && message.contains(module), error.what());
    }
    QVERIFY(!QFile::exists(target));
}

QTEST_GUILESS_MAIN(ResourcesTest)
#include "tst_resources.moc"
