#include "collect/apisiteform.h"

#include "host/core/app.h"
#include "host/core/messageservice.h"
#include "results/dialogsetup.h"

namespace quib::collect {

using namespace quib::results;

TApiSiteForm::TApiSiteForm(QWidget* owner, IApp* app) : QDialog(owner), m_app(app)
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    connect(OkButton, &QPushButton::clicked, this, &TApiSiteForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    CenterOver(*this, owner);
    NameEdit->setFocus();
}

void TApiSiteForm::OkButtonClick()
{
    if (NameEdit->text().trimmed().isEmpty()) {
        m_app->GetMessages().Info(QStringLiteral("请输入资源站名称！"));
        NameEdit->setFocus();
        return;
    }
    if (const QString problem = resourcesites::AddressProblem(UrlEdit->text()); !problem.isEmpty()) {
        m_app->GetMessages().Info(problem);
        UrlEdit->setFocus();
        return;
    }
    accept();
}

ResourceSite TApiSiteForm::Site() const { return {NameEdit->text().trimmed(), UrlEdit->text().trimmed()}; }

void TApiSiteForm::SetSite(const ResourceSite& site)
{
    NameEdit->setText(site.name);
    UrlEdit->setText(site.base);
}

}  // namespace quib::collect
