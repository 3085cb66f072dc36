#include "host/core/hostlog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quib {

namespace {

QString Field(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

}  // namespace

HostLog::HostLog(QString path, std::int64_t maxBytes, int generations)
    : m_path(std::move(path)), m_maxBytes(maxBytes), m_generations(generations < 1 ? 1 : generations)
{
}

void HostLog::Write(const QString& module, const QString& summary, const QString& detail, const QString& source)
{
    const QString line = QStringList{QDateTime::currentDateTime().toString(Qt::ISODate), Field(module), Field(summary),
                                     Field(detail), Field(source)}
                             .join(QLatin1Char('\t')) +
                         QLatin1Char('\n');
    std::lock_guard lock(m_mutex);
    if (QFileInfo(m_path).size() >= m_maxBytes)
        Rotate();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    // Unbuffered: a write that fails says so at once and leaves nothing behind to flush later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered)) {
        // Nowhere to write: the message still reaches a person running from a terminal.
        qWarning("%s", qUtf8Printable(line.trimmed()));
        return;
    }
    const qint64 before = file.size();
    const QByteArray bytes = line.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        // A full disk: likewise, and no half line is left to run into the next one.
        qWarning("%s", qUtf8Printable(line.trimmed()));
        file.resize(before);
    }
}

void HostLog::Rotate()
{
    const auto generation = [this](int n) { return n == 0 ? m_path : m_path + QLatin1Char('.') + QString::number(n); };
    QFile::remove(generation(m_generations));
    for (int n = m_generations - 1; n >= 0; --n)
        QFile::rename(generation(n), generation(n + 1));
}

QString HostLog::ReadAll() const
{
    std::lock_guard lock(m_mutex);
    QString text;
    for (int n = m_generations; n >= 0; --n) {
        QFile file(n == 0 ? m_path : m_path + QLatin1Char('.') + QString::number(n));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

}  // namespace quib
