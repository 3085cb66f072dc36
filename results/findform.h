#pragma once
// The quick-find dialog (快速查找): one line of text to look for in the titles.
#include "ui_findform.h"

#include <QDialog>

#include <string>

namespace quib {
class IApp;
}

namespace quib::results {

class TFindForm : public QDialog, private Ui::TFindForm {
    Q_OBJECT
public:
    TFindForm(QWidget* owner, IApp* app);

    // The entered text as GBK bytes.
    std::string Text() const;
};

}  // namespace quib::results
