#include "results/exportform.h"

#include "results/dialogsetup.h"
#include "host/core/gbk.h"

namespace quib::results {

TExportForm::TExportForm(QWidget* owner, IApp* app) : QDialog(owner)
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Edit->setFocus();
    CenterOver(*this, nullptr);
}

void TExportForm::SetFormat(const std::string& format) { Edit->setText(gbk::ToUnicode(format)); }

std::string TExportForm::Format() const { return gbk::FromUnicode(Edit->text()); }

}  // namespace quib::results
