#include "host/core/stringhashtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quib;

namespace {

std::vector<std::string> Keys(const TStringHashTable& table)
{
    std::vector<std::string> keys;
    for (int i = 0; i < table.GetCount(); ++i)
        keys.push_back(table.GetKey(i));
    return keys;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class StringHashTableTest : public QObject {
    Q_OBJECT
private slots:
    void addReplacesInPlaceKeepingOrder();
    void getValueFallsBackOnlyForMissingKeys();
    void getKeyOutOfRangeIsEmpty();
    void saveAndLoadRoundTrip_data();
    void saveAndLoadRoundTrip();
    void loadingAMissingFileGivesAnEmptyTable();
    void failedSaveThrowsAndKeepsTheOldFile();
    void saveIntoAFileInsteadOfAFolderThrows();
    void saveOnAFullDiskThrowsAndKeepsTheOldFile_data();
    void saveOnAFullDiskThrowsAndKeepsTheOldFile();
    void saveThroughALinkReplacesItsTarget();
    void loadReadsRegularFilesOnly_data();
    void loadReadsRegularFilesOnly();
};

void StringHashTableTest::addReplacesInPlaceKeepingOrder()
{
    TStringHashTable table;
    table.Add("zeta", "1");
    table.Add("alpha", "2");
    table.Add("mid", "3");
    table.Add("alpha", "20");

    QCOMPARE(table.GetCount(), 3);
    QCOMPARE(Keys(table), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    QCOMPARE(table.Strings(), (std::vector<std::string>{"zeta=1", "alpha=20", "mid=3"}));
    QCOMPARE(table.GetValue("alpha", "none"), std::string("20"));

    table.Clear();
    QCOMPARE(table.GetCount(), 0);
    QVERIFY(table.Strings().empty());
    table.Add("mid", "4");
    table.Add("zeta", "5");
    table.Add("mid", "6");
    QCOMPARE(table.Strings(), (std::vector<std::string>{"mid=6", "zeta=5"}));
}

void StringHashTableTest::getValueFallsBackOnlyForMissingKeys()
{
    TStringHashTable table;
    table.Add("empty", "");
    QCOMPARE(table.GetValue("empty", "fallback"), std::string());
    QCOMPARE(table.GetValue("missing", "fallback"), std::string("fallback"));
    QCOMPARE(table.GetValue("EMPTY", "fallback"), std::string("fallback"));  // keys are case-sensitive
}

void StringHashTableTest::getKeyOutOfRangeIsEmpty()
{
    TStringHashTable table;
    table.Add("only", "1");
    QCOMPARE(table.GetKey(0), std::string("only"));
    QCOMPARE(table.GetKey(1), std::string());
    QCOMPARE(table.GetKey(-1), std::string());
}

void StringHashTableTest::saveAndLoadRoundTrip_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("plain") << QByteArray("Skin") << QByteArray("Blue");
    QTest::newRow("equals in the value") << QByteArray("Url") << QByteArray("http://a/?x=1&y==2");
    QTest::newRow("equals in the key") << QByteArray("a=b") << QByteArray("c");
    QTest::newRow("backslashes") << QByteArray("Path") << QByteArray("C:\\dir\\");
    QTest::newRow("backslash n is not a line break") << QByteArray("Text") << QByteArray("\\n\\\\n\\e");
    QTest::newRow("line breaks") << QByteArray("Template") << QByteArray("line1\nline2\r\nline3\n");
    QTest::newRow("gbk bytes") << QByteArray("\xB1\xEA\xCC\xE2")
                               << QByteArray(
                                      "\xB5\xDA"
                                      "1"
                                      "\xBC\xAF");
    QTest::newRow("empty value") << QByteArray("Nothing") << QByteArray();
    QTest::newRow("trailing backslash") << QByteArray("Tail") << QByteArray("end\\");
}

void StringHashTableTest::saveAndLoadRoundTrip()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Quib.properties");

    TStringHashTable table;
    table.Add("before", "1");
    table.Add(key.toStdString(), value.toStdString());
    table.Add("after", "2");
    table.SaveToFile(path);

    const auto loaded = TStringHashTable::LoadFromFile(path);
    QCOMPARE(loaded->GetCount(), 3);
    QCOMPARE(Keys(*loaded), Keys(table));
    QCOMPARE(loaded->GetValue(key.toStdString(), "missing"), value.toStdString());
    QCOMPARE(loaded->GetValue("after", "missing"), std::string("2"));
    QCOMPARE(loaded->Strings(), table.Strings());
}

void StringHashTableTest::loadingAMissingFileGivesAnEmptyTable()
{
    QTemporaryDir dir;
    const auto loaded = TStringHashTable::LoadFromFile(dir.filePath("none.properties"));
    QVERIFY(loaded);
    QCOMPARE(loaded->GetCount(), 0);
}

void StringHashTableTest::failedSaveThrowsAndKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Quib.properties");
    TStringHashTable old;
    old.Add("Skin", "Blue");
    old.SaveToFile(path);
    const QByteArray before = ReadAll(path);

    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(dir.filePath("probe"));
    const bool writable = probe.open(QIODevice::WriteOnly);
    if (writable) {
        probe.remove();
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("permissions do not bind this user (root); the folder stays writable");
    }

    TStringHashTable changed;
    changed.Add("Skin", "Black");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, changed.SaveToFile(path));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(ReadAll(path), before);
}

void StringHashTableTest::saveIntoAFileInsteadOfAFolderThrows()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("plain-file");
    {
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    TStringHashTable table;
    table.Add("Skin", "Blue");
    try {
        table.SaveToFile(notAFolder + "/Quib.properties");
        QFAIL("saving under a plain file succeeded");
    } catch (const std::runtime_error& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("Quib.properties"), error.what());
    }
    QCOMPARE(ReadAll(notAFolder), QByteArray("keep me"));
}

void StringHashTableTest::saveOnAFullDiskThrowsAndKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("a full 64 KB tmpfs") << true;
    QTest::newRow("writes refused past a file size limit") << false;
}

void StringHashTableTest::saveOnAFullDiskThrowsAndKeepsTheOldFile()
{
    QFETCH(bool, tmpfs);
    QTemporaryDir dir;
    const QString folder = dir.filePath("disk");
    QVERIFY(QDir().mkpath(folder));
    const QByteArray mountPoint = QFile::encodeName(folder);
    if (tmpfs && ::mount("quibtest", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("no tmpfs can be mounted here; the file size limit case covers the same");
    struct Unmount {
        const QByteArray& point;
        bool mounted;
        ~Unmount()
        {
            if (mounted)
                ::umount(point.constData());
        }
    } unmount{mountPoint, tmpfs};

    const QString path = folder + "/Quib.properties";
    TStringHashTable old;
    old.Add("Skin", "Blue");
    old.SaveToFile(path);
    const QByteArray before = ReadAll(path);

    TStringHashTable big;
    for (int i = 0; i < 20000; ++i)
        big.Add("key" + std::to_string(i), std::string(20, 'v'));
    struct rlimit saved {};
    if (!tmpfs) {
        // Past the limit write() fails with EFBIG instead of raising SIGXFSZ.
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        struct rlimit limit = saved;
        limit.rlim_cur = 64 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    QString message;
    try {
        big.SaveToFile(path);
    } catch (const std::runtime_error& error) {
        message = QString::fromUtf8(error.what());
    }
    if (!tmpfs)
        ::setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(message.contains(path), qPrintable(message));
    if (tmpfs)
        QVERIFY2(message.contains(QStringLiteral("磁盘空间不足")), qPrintable(message));
    QCOMPARE(ReadAll(path), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"Quib.properties"});
}

void StringHashTableTest::saveThroughALinkReplacesItsTarget()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("real.properties"), link = dir.filePath("Quib.properties");
    TStringHashTable table;
    table.Add("Skin", "Blue");
    table.SaveToFile(target);
    QVERIFY(QFile::link(target, link));
    table.Add("Skin", "Black");
    table.SaveToFile(link);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadAll(target), QByteArray("Skin=Black\n"));
}

void StringHashTableTest::loadReadsRegularFilesOnly_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a FIFO") << "fifo" << QStringLiteral("不是普通文件");
    QTest::newRow("a link to /dev/zero") << "zero" << QStringLiteral("不是普通文件");
    QTest::newRow("a folder") << "folder" << QStringLiteral("不是普通文件");
    QTest::newRow("a file over the cap") << "huge" << QStringLiteral("上限");
}

void StringHashTableTest::loadReadsRegularFilesOnly()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("Quib.properties");
    const QByteArray name = QFile::encodeName(path);
    if (kind == "fifo")
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else if (kind == "zero")
        QVERIFY(QFile::link("/dev/zero", path));
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(TStringHashTable::kMaxFileBytes) + 1));  // sparse: costs no disk
    }
    QString message;
    try {
        TStringHashTable::LoadFromFile(path);
    } catch (const std::runtime_error& error) {
        message = QString::fromUtf8(error.what());
    }
    QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
}

QTEST_GUILESS_MAIN(StringHashTableTest)
#include "tst_stringhashtable.moc"
