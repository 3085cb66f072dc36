#pragma once
// The host's log file: one line per WriteLog call (date, module, summary, detail, source, tab
// separated; tabs, line breaks and backslashes escaped), rotated by size so it never grows
// without bound: quib.log, then quib.log.1 ... quib.log.<generations>.
#include <QString>

#include <cstdint>
#include <mutex>

namespace quib {

class HostLog {
public:
    explicit HostLog(QString path, std::int64_t maxBytes = 1 << 20, int generations = 3);

    void Write(const QString& module, const QString& summary, const QString& detail, const QString& source);
    const QString& Path() const { return m_path; }
    // The current file and its older generations, oldest first, as text.
    QString ReadAll() const;

private:
    void Rotate();  // caller holds m_mutex

    QString m_path;
    std::int64_t m_maxBytes;
    int m_generations;
    mutable std::mutex m_mutex;
};

}  // namespace quib
