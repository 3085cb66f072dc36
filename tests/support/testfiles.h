#pragma once
// A test's files read and written whole, for tests that check what a save left on disk.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace quib::test {

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace quib::test
