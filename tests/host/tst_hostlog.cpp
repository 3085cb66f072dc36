// The host's log file: fields in order, text that cannot break a line, rotation by size.
#include "host/core/hostlog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quib;

class HostLogTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsAndRotation()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("logs/quib.log"));
        HostLog log(path, 300, 2);
        log.Write(QStringLiteral("Quib"), QStringLiteral("添加站点失败！"), QStringLiteral("line one\nline\ttwo\\"),
                  QStringLiteral("奎布宝"));
        const QStringList first = log.ReadAll().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(first.size(), 1);
        const QStringList fields = first[0].split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 5);
        QVERIFY(QDateTime::fromString(fields[0], Qt::ISODate).isValid());
        QCOMPARE(fields.mid(1), (QStringList{QStringLiteral("Quib"), QStringLiteral("添加站点失败！"),
                                             QStringLiteral("line one\\nline\\ttwo\\\\"), QStringLiteral("奎布宝")}));

        for (int i = 0; i < 40; ++i)
            log.Write(QStringLiteral("Quib"), QStringLiteral("entry %1").arg(i), QString(), QString());
        QVERIFY(QFile::exists(path + QStringLiteral(".1")));
        QVERIFY(QFile::exists(path + QStringLiteral(".2")));
        QVERIFY(!QFile::exists(path + QStringLiteral(".3")));
        for (const QString& file : {path, path + QStringLiteral(".1"), path + QStringLiteral(".2")})
            QVERIFY(QFileInfo(file).size() < 300 + 100);
        const QString all = log.ReadAll();
        QVERIFY(all.endsWith(QStringLiteral("\tentry 39\t\t\n")));
        QVERIFY(!all.contains(QStringLiteral("添加站点失败！")));  // the oldest generation is gone
    }
};

QTEST_MAIN(HostLogTest)
#include "tst_hostlog.moc"
