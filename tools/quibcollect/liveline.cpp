#include "tools/quibcollect/liveline.h"

namespace quib::cli {

namespace {

// Back to the start of the line, and erase to its end: a shorter line leaves nothing behind.
constexpr const char* kErase = "\r\x1b[K";

}  // namespace

void LiveLine::Show(const QString& text)
{
    std::fprintf(m_out, "\r%s\x1b[K", text.toUtf8().constData());
    std::fflush(m_out);
    m_shown = true;
}

void LiveLine::Clear()
{
    if (!m_shown)
        return;
    std::fputs(kErase, m_out);
    std::fflush(m_out);
    m_shown = false;
}

}  // namespace quib::cli
