#pragma once
// The album chooser of a Xunlei collection: one line per album of the movie, the first selected.
#include "host/core/app.h"
#include "ui_choose.h"

#include <QDialog>
#include <QString>

#include <vector>

class TChooseForm : public QDialog, private Ui::TChooseForm {
    Q_OBJECT
public:
    TChooseForm(QWidget* owner, IApp* app);

    // Fills the list and selects its first line.
    void SetLines(const std::vector<QString>& lines);
    std::vector<QString> Lines() const;
    // Position of the selected line, -1 when there is none.
    int Chosen() const;
    // Selects the line at a position; false when there is no such line.
    bool Choose(int position);
};
