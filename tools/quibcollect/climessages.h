#pragma once
// quib-collect's message service: what the form would show in a box goes to standard error, and
// the Xunlei album chooser is answered from the command line.
#include "tools/quibcollect/liveline.h"
#include "host/core/messageservice.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace quib::cli {

class CliMessages final : public MessageService {
public:
    // album: the chooser line to take (1 = first, 0 = the chooser's default); listOnly: record
    // the chooser's lines and cancel it.
    CliMessages(int album, bool listOnly) : m_album(album), m_listOnly(listOnly) {}

    void Alert(const QString& text) override;
    void Info(const QString& text) override;
    bool Question(const QString& text) override;
    int ShowModal(QDialog& dialog) override;
    // The album chooser's answer: the position of the line asked for (the first without --album),
    // -1 when listing only or when there is no such line (then said, and failed).
    int ChooseAlbum(const std::vector<QString>& lines);

    // True once an error was shown, or the chooser could not be answered as asked.
    bool Failed() const { return m_failed; }
    // Failed(), and forgets it for the next collection of a batch.
    bool TakeFailed() { return std::exchange(m_failed, false); }
    // A progress line to clear before a message is written; may be null.
    void SetLiveLine(LiveLine* line) { m_liveLine = line; }
    // The chooser's lines, when it was shown.
    const std::optional<std::vector<QString>>& ChooserLines() const { return m_chooserLines; }

private:
    void Print(const QString& text);

    int m_album;
    bool m_listOnly;
    bool m_failed = false;
    std::optional<std::vector<QString>> m_chooserLines;
    LiveLine* m_liveLine = nullptr;
};

}  // namespace quib::cli
