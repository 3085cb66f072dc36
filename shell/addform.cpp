#include "shell/addform.h"

#include "host/core/gbk.h"
#include "host/core/messageservice.h"
#include "shell/sitefile.h"
#include "host/framework/skin.h"

namespace quib::collector {

using namespace quib::admin;

TAddForm::TAddForm(QWidget* owner, IApp* app) : QDialog(owner), m_app(app)
{
    setupUi(this);
    setWindowFlag(Qt::Tool);
    ApplySkin(*this, app->GetSkinName());
    setFixedSize(440, 193);
    connect(OkButton, &QPushButton::clicked, this, &TAddForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    if (owner)
        move(owner->mapToGlobal(owner->rect().center()) - rect().center());
    TitleEdit->setFocus();
}

void TAddForm::OkButtonClick()
{
    if (sitefile::IsBlank(TitleEdit->text())) {
        m_app->GetMessages().Info(QStringLiteral("请输入站点标题！"));
        TitleEdit->setFocus();
        return;
    }
    if (sitefile::IsBlank(UrlEdit->text())) {
        m_app->GetMessages().Info(QStringLiteral("请输入后台地址！"));
        UrlEdit->setFocus();
        return;
    }
    accept();
}

std::string TAddForm::Title() const { return gbk::FromUnicode(TitleEdit->text()); }

std::string TAddForm::Url() const { return gbk::FromUnicode(UrlEdit->text()); }

std::string TAddForm::Version() const { return VComboBox->currentText().toStdString(); }

void TAddForm::SetSite(const std::string& title, const std::string& url, const std::string& version)
{
    TitleEdit->setText(gbk::ToUnicode(title));
    UrlEdit->setText(gbk::ToUnicode(url));
    const int index = VComboBox->findText(QString::fromStdString(version));
    if (index >= 0)
        VComboBox->setCurrentIndex(index);
}

}  // namespace quib::collector
