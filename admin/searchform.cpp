#include "admin/searchform.h"

#include "host/core/app.h"
#include "collect/resourcesitelist.h"
#include "host/core/app.h"
#include "results/dialogsetup.h"
#include "host/core/gbk.h"
#include "host/core/messageservice.h"

#include <algorithm>

namespace quib::admin {

using namespace quib::collect;
using namespace quib::results;

TSearchForm::TSearchForm(QWidget* owner, IApp* app) : QDialog(owner), m_app(app)
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    TypeComboBox->setCurrentIndex(1);  // 专辑
    const std::pair<QRadioButton*, const char*> sources[] = {
        {TudouRadio, "tudou"}, {WoleRadio, "wole"}, {YoukuRadio, "youku"}, {SinaRadio, "sina"},
        {OuouRadio, "ouou"},   {LjfRadio, "ljf"},   {MTimeRadio, "mtime"}, {MDBRadio, "mdb"},
        {GGRadio, "gg"},       {KCRadio, "kc"},     {BaiduRadio, "baidu"}, {ApiRadio, "api"},
    };
    for (const auto& [radio, key] : sources)
        connect(radio, &QRadioButton::clicked, this, [this, radio = radio, key = key] {
            if (radio->isChecked())
                SearchSite = key;
        });
    connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    // The resource sites are those of the 资源站 page; a list that cannot be read offers none.
    if (app)
        try {
            ApiSites = resourcesites::Load(resourcesites::FilePath(app->GetAppPath())).sites;
        } catch (const std::exception&) {
        }
    ApiComboBox->addItem(QStringLiteral("全部资源站"));
    for (const ResourceSite& site : ApiSites)
        ApiComboBox->addItem(site.DisplayName());
    ApiRadio->setEnabled(!ApiSites.empty());
    ApiComboBox->setEnabled(!ApiSites.empty());
    if (ApiSites.empty())
        ApiRadio->setToolTip(QStringLiteral("请先在“资源站”页添加资源站"));
    connect(ApiComboBox, &QComboBox::activated, this, [this] { ApiRadio->click(); });
    FormCreate();
    CenterOver(*this, app ? app->GetMainForm() : nullptr);
    KeyEdit->setFocus();
}

void TSearchForm::FormCreate() { SearchSite.clear(); }

void TSearchForm::OkButtonClick()
{
    // Trimmed as 8-bit text: only the bytes up to the space count as blank.
    const std::string key = gbk::FromUnicode(KeyEdit->text());
    if (std::all_of(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; })) {
        m_app->GetMessages().Info(QStringLiteral("请输入关键字！"));
        KeyEdit->setFocus();
        return;
    }
    if (SearchSite.empty()) {
        m_app->GetMessages().Info(QStringLiteral("请选择搜索源！"));
        return;
    }
    accept();
}

std::vector<ResourceSite> TSearchForm::ChosenApiSites() const
{
    const int index = ApiComboBox->currentIndex();
    if (index >= 1 && index <= static_cast<int>(ApiSites.size()))
        return {ApiSites[static_cast<std::size_t>(index - 1)]};
    return ApiSites;
}

}  // namespace quib::admin
