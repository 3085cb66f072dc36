#include "collect/apiresultform.h"

#include "collect/resourcehitlist.h"
#include "collect/resourcesearchrun.h"
#include "results/dialogsetup.h"

#include <QPointer>

namespace quib::collect {

using namespace quib::results;

TApiResultForm::TApiResultForm(QWidget* owner, IApp* app, std::vector<ResourceSite> sites, const QString& word)
    : QDialog(owner), m_sites(std::move(sites))
{
    setupUi(this);
    PrepareToolDialog(*this, app);
    HitList->setColumnWidth(0, 180);
    HitList->setColumnWidth(2, 90);
    HitList->setColumnWidth(3, 130);
    connect(OkButton, &QPushButton::clicked, this, &TApiResultForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HitList, &QTreeWidget::itemDoubleClicked, this, &TApiResultForm::OkButtonClick);
    StatusLabel->setText(QStringLiteral("正在 %1 个资源站中搜索“%2”……").arg(m_sites.size()).arg(word));
    CenterOver(*this, owner);
    const QPointer<TApiResultForm> form(this);
    if (app)
        StartResourceSearch(*app, m_sites, word, m_stop, [form](ResourceSearch search) {
            if (form)
                form->ShowSearch(std::move(search));
        });
}

TApiResultForm::~TApiResultForm() { m_stop.Set(); }

void TApiResultForm::ShowSearch(ResourceSearch search)
{
    m_search = std::move(search);
    m_searching = false;
    ShowResourceHits(*HitList, m_search, m_sites);
    QStringList failed;
    for (std::size_t i = 0; i < m_search.outcomes.size() && i < m_sites.size(); ++i)
        if (!m_search.outcomes[i].error.isEmpty())
            failed << m_sites[i].DisplayName() + QStringLiteral("（") + m_search.outcomes[i].error +
                          QStringLiteral("）");
    QString line = QStringLiteral("找到 %1 部").arg(m_search.hits.size());
    if (!failed.isEmpty())
        line += QStringLiteral("；搜索失败：") + failed.join(QStringLiteral("，"));
    StatusLabel->setText(line + QStringLiteral("。"));
    if (!m_search.hits.empty()) {
        HitList->setCurrentItem(HitList->topLevelItem(0));
        OkButton->setEnabled(true);
    }
    emit SearchEnded();
}

void TApiResultForm::OkButtonClick()
{
    const int row = HitList->indexOfTopLevelItem(HitList->currentItem());
    if (m_searching || row < 0 || row >= static_cast<int>(m_search.hits.size()))
        return;
    m_chosen = m_search.hits[static_cast<std::size_t>(row)].address;
    accept();
}

}  // namespace quib::collect
