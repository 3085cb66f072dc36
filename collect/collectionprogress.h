#pragma once
// A running collection as a person watching it sees it: the page being fetched, the rows so far
// and the time spent, as one line ("第 25 页 · 已采集 743 条 · 12 秒"), refreshed a few times a
// second by a ticker that any front end (a tab, the dialog, the command line) can show.
#include <QObject>
#include <QString>
#include <QTimer>

namespace quib::collect {

class CollectionEngine;

struct CollectionProgress {
    int page = 0;  // 0 while no page is known (a single page, or before the first)
    int rows = 0;
    qint64 elapsedMs = 0;
};

QString ProgressLine(const CollectionProgress& progress);

// Emits the line while the engine collects: at its start, every interval, and once more at its
// end with the final figures. Owned by whoever shows the line.
class ProgressTicker : public QObject {
    Q_OBJECT
public:
    explicit ProgressTicker(CollectionEngine& engine, int intervalMs = 250, QObject* parent = nullptr);

signals:
    void Changed(const QString& line);
    void Finished(const QString& line);

private:
    void Tick();

    CollectionEngine& m_engine;
    QTimer m_timer;
    QString m_shown;
};

}  // namespace quib::collect
