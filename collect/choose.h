#pragma once
// The chooser of one item among several: a Xunlei movie's albums, a resource record's play
// sources. One line per item, the first selected unless another is chosen.
#include "host/core/app.h"
#include "ui_choose.h"

#include <QDialog>
#include <QString>

#include <vector>

namespace quib::collect {

class TChooseForm : public QDialog, private Ui::TChooseForm {
    Q_OBJECT
public:
    TChooseForm(QWidget* owner, IApp* app);

    // Asks for something else than an album: the caption and the label over the list.
    void SetPrompt(const QString& caption, const QString& label);
    // Fills the list and selects its first line.
    void SetLines(const std::vector<QString>& lines);
    std::vector<QString> Lines() const;
    // Position of the selected line, -1 when there is none.
    int Chosen() const;
    // Selects the line at a position; false when there is no such line.
    bool Choose(int position);
};

}  // namespace quib::collect
