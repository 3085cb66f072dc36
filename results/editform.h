#pragma once
// The bulk-edit dialog (编辑数据): the title rewrites, read as sentences top to bottom. Every
// control starts at its default each time the dialog is built.
#include "results/bulkedit.h"
#include "ui_editform.h"

#include <QDialog>

namespace quib {
class IApp;
}

namespace quib::results {

class TEditForm : public QDialog, private Ui::TEditForm {
    Q_OBJECT
public:
    TEditForm(QWidget* owner, IApp* app);

    // The rewrites as the controls show them (texts as GBK bytes).
    BulkEditSettings Settings() const;
};

}  // namespace quib::results
