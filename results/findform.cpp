#include "results/findform.h"

#include "host/core/app.h"
#include "results/dialogsetup.h"
#include "host/core/gbk.h"

namespace quib::results {

TFindForm::TFindForm(QWidget* owner, IApp* app) : QDialog(owner)
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    TextEdit->setFocus();
    CenterOver(*this, app ? app->GetMainForm() : nullptr);
}

std::string TFindForm::Text() const { return gbk::FromUnicode(TextEdit->text()); }

}  // namespace quib::results
