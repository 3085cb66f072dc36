#include "tools/quibcollect/climessages.h"

#include <cstdio>

namespace quib::cli {

void CliMessages::Print(const QString& text)
{
    if (m_liveLine)
        m_liveLine->Clear();
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void CliMessages::Alert(const QString& text)
{
    m_failed = true;
    Print(text);
}

void CliMessages::Info(const QString& text) { Print(text); }

bool CliMessages::Question(const QString& text)
{
    // Nobody can answer: the careful answer.
    Print(text);
    return false;
}

int CliMessages::ShowModal(QDialog&)
{
    // The tool shows no dialog; one asked for is a fault of whoever asked.
    Print(QStringLiteral("quib-collect: cannot answer a dialog"));
    m_failed = true;
    return 0;  // rejected
}

int CliMessages::ChooseAlbum(const std::vector<QString>& lines)
{
    m_chooserLines = lines;
    if (m_listOnly)
        return -1;
    if (m_album <= 0)
        return lines.empty() ? -1 : 0;  // the chooser's own default: its first line
    if (static_cast<std::size_t>(m_album) > lines.size()) {
        Print(QStringLiteral("quib-collect: there is no album %1; the movie has %2").arg(m_album).arg(lines.size()));
        m_failed = true;
        return -1;
    }
    return m_album - 1;
}

}  // namespace quib::cli
