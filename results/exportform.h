#pragma once
// The custom export dialog (自定义导出): edits the one-line copy template.
#include "ui_exportform.h"

#include <QDialog>

#include <string>

namespace quib {
class IApp;
}

namespace quib::results {

class TExportForm : public QDialog, private Ui::TExportForm {
    Q_OBJECT
public:
    TExportForm(QWidget* owner, IApp* app);

    // The template as GBK bytes.
    void SetFormat(const std::string& format);
    std::string Format() const;
};

}  // namespace quib::results
