#pragma once
// The result grid: the table view over its own MemData, with the row-count footer below it and,
// under that, a status line its form may set and a note its commands may set (hidden while both
// are empty). A dialog that borrows the
// grid shows the line with it.
#include <QString>
#include <QWidget>

class QLabel;

namespace quib::results {

class DataView;
class GridFooter;
class MemData;

class ResultGrid : public QWidget {
    Q_OBJECT
public:
    explicit ResultGrid(QWidget* parent = nullptr);
    ~ResultGrid() override;

    DataView& View() { return *m_view; }
    MemData& Data() { return *m_data; }
    GridFooter& Footer() { return *m_footer; }
    // The row count as the footer shows it.
    QString FooterText() const;
    void SetStatusLine(const QString& line);
    QString StatusLine() const;
    // A remark after the status line, on the same line: what the last command did ("已复制 N 条").
    void SetNote(const QString& note);
    QString Note() const;

private:
    void ShowStatus();

    MemData* m_data;   // children of the grid; the view and footer are created after the
    DataView* m_view;  // data and deleted before it (see the destructor)
    GridFooter* m_footer;
    QLabel* m_statusLine;  // the line and the note, hidden while both are empty
    QString m_line;
    QString m_note;
};

}  // namespace quib::results
