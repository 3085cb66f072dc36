#include "results/editform.h"

#include "host/core/app.h"
#include "results/dialogsetup.h"
#include "host/core/gbk.h"

namespace quib::results {

namespace {

EditSide SideOf(const QComboBox& box) { return box.currentIndex() == 1 ? EditSide::Back : EditSide::Front; }

}  // namespace

TEditForm::TEditForm(QWidget* owner, IApp* app) : QDialog(owner)
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    OldTextEdit->setFocus();
    CenterOver(*this, app ? app->GetMainForm() : nullptr);
}

BulkEditSettings TEditForm::Settings() const
{
    BulkEditSettings settings;
    settings.oldText = gbk::FromUnicode(OldTextEdit->text());
    settings.newText = gbk::FromUnicode(NewTextEdit->text());
    settings.cutSide = SideOf(*DelComboBox);
    settings.cutCount = SpinEdit->value();
    settings.trim = TrimCheckBox->isChecked();
    settings.marker = gbk::FromUnicode(TextEdit->text());
    settings.markerSide = SideOf(*TextComboBox);
    settings.format = gbk::FromUnicode(FormatEdit->text());
    return settings;
}

}  // namespace quib::results
