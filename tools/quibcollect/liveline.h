#pragma once
// One line on a terminal that is redrawn in place (a collection's progress), and cleared before
// anything else is written below it, so that messages never land in the middle of it.
#include <QString>

#include <cstdio>

namespace quib::cli {

class LiveLine {
public:
    explicit LiveLine(std::FILE* out) : m_out(out) {}
    ~LiveLine() { Clear(); }
    LiveLine(const LiveLine&) = delete;
    LiveLine& operator=(const LiveLine&) = delete;

    void Show(const QString& text);
    // Nothing when no line is shown.
    void Clear();

private:
    std::FILE* m_out;
    bool m_shown = false;
};

}  // namespace quib::cli
