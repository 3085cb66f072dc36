#include "collect/collectionprogress.h"

#include "collect/collectionengine.h"

namespace quib::collect {

using namespace quib::results;

namespace {

QString Elapsed(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString ProgressLine(const CollectionProgress& progress)
{
    QString line;
    if (progress.page > 0)
        line = QStringLiteral("第 %1 页 · ").arg(progress.page);
    return line + QStringLiteral("已采集 %1 条 · ").arg(progress.rows) + Elapsed(progress.elapsedMs);
}

ProgressTicker::ProgressTicker(CollectionEngine& engine, int intervalMs, QObject* parent)
    : QObject(parent), m_engine(engine)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ProgressTicker::Tick);
    connect(&engine, &CollectionEngine::Started, this, [this] {
        m_shown.clear();
        Tick();
        m_timer.start();
    });
    connect(&engine, &CollectionEngine::Ended, this, [this] {
        m_timer.stop();
        emit Finished(ProgressLine(m_engine.Progress()));
    });
}

void ProgressTicker::Tick()
{
    // A line that reads the same is not sent again: a stalled page costs the screen nothing.
    const QString line = ProgressLine(m_engine.Progress());
    if (line == m_shown)
        return;
    m_shown = line;
    emit Changed(line);
}

}  // namespace quib::collect
