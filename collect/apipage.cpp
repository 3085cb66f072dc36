#include "collect/apipage.h"

#include "collect/apisiteform.h"
#include "collect/parse.h"
#include "collect/resourcehitlist.h"
#include "collect/resourcesearchrun.h"
#include "host/core/app.h"
#include "host/core/gbk.h"
#include "host/core/messageservice.h"

#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>

#include <exception>

namespace quib::collect {

using namespace quib::results;

namespace {

QString What(const std::exception& e) { return QString::fromUtf8(e.what()); }

}  // namespace

TApiPage::TApiPage(QWidget* owner, IApp* app) : QWidget(owner), m_app(app)
{
    setupUi(this);
    auto* layout = new QVBoxLayout(GridPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_parseForm = new TParseForm(GridPanel, app);
    layout->addWidget(m_parseForm);
    Splitter->setStretchFactor(0, 2);
    Splitter->setStretchFactor(1, 3);
    SiteList->header()->setSectionResizeMode(QHeaderView::Interactive);
    SiteList->setColumnWidth(0, 90);
    SiteList->setColumnWidth(1, 200);
    ResultList->setColumnWidth(0, 180);
    ResultList->setColumnWidth(2, 90);
    ResultList->setColumnWidth(3, 130);

    connect(AddButton, &QPushButton::clicked, this, [this] { AddButtonClick(); });
    connect(EditButton, &QPushButton::clicked, this, [this] { EditButtonClick(); });
    connect(DelButton, &QPushButton::clicked, this, [this] { DelButtonClick(); });
    connect(SiteList, &QTreeWidget::itemDoubleClicked, this, [this] { EditButtonClick(); });
    connect(SearchButton, &QPushButton::clicked, this, [this] { SearchButtonClick(); });
    connect(KeyEdit, &QLineEdit::returnPressed, this, [this] { SearchButtonClick(); });
    connect(ResultList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { ResultListDblClick(ResultList->indexOfTopLevelItem(item)); });
}

TApiPage::~TApiPage()
{
    // A search still running is abandoned; its answer no longer reaches the page.
    m_stop.Set();
}

QString TApiPage::ListPath() const { return resourcesites::FilePath(m_app->GetAppPath()); }

void TApiPage::LoadSites()
{
    try {
        ShowSites(resourcesites::Load(ListPath()).sites);
    } catch (const std::exception& e) {
        m_app->WriteLog(QStringLiteral("无法加载资源站列表！"), What(e), windowTitle());
        ShowSites({});
        m_app->GetMessages().Alert(QStringLiteral("无法加载资源站列表！"));
    }
}

ResourceSiteList TApiPage::ReadList()
{
    try {
        return resourcesites::Load(ListPath());
    } catch (const std::exception& e) {
        m_app->WriteLog(QStringLiteral("无法加载资源站列表！"), What(e), windowTitle());
        return {};
    }
}

bool TApiPage::WriteList(const ResourceSiteList& list, const QString& failure)
{
    try {
        resourcesites::Save(ListPath(), list);
    } catch (const std::exception& e) {
        m_app->WriteLog(failure, What(e), windowTitle());
        m_app->GetMessages().Alert(failure);
        return false;
    }
    ShowSites(list.sites);
    return true;
}

void TApiPage::ShowSites(const std::vector<ResourceSite>& sites)
{
    m_sites = sites;
    SiteList->clear();
    for (const ResourceSite& site : sites)
        SiteList->addTopLevelItem(new QTreeWidgetItem(QStringList{site.DisplayName(), site.base}));
    if (!sites.empty())
        SiteList->setCurrentItem(SiteList->topLevelItem(0));
}

std::optional<ResourceSite> TApiPage::SelectedSite() const
{
    const int row = SiteList->indexOfTopLevelItem(SiteList->currentItem());
    if (row < 0 || row >= static_cast<int>(m_sites.size()))
        return std::nullopt;
    return m_sites[static_cast<std::size_t>(row)];
}

void TApiPage::AddButtonClick()
{
    TApiSiteForm dialog(this, m_app);
    dialog.setWindowTitle(QStringLiteral("添加资源站"));
    if (m_app->GetMessages().ShowModal(dialog) != QDialog::Accepted)
        return;
    ResourceSiteList list = ReadList();
    const ResourceSite site = dialog.Site();
    if (list.Find(site.base) >= 0) {
        m_app->GetMessages().Info(QStringLiteral("该地址已经存在！"));
        return;
    }
    list.sites.push_back(site);
    if (WriteList(list, QStringLiteral("添加资源站失败！")))
        SiteList->setCurrentItem(SiteList->topLevelItem(SiteList->topLevelItemCount() - 1));
}

void TApiPage::EditButtonClick()
{
    const std::optional<ResourceSite> old = SelectedSite();
    if (!old) {
        m_app->GetMessages().Info(QStringLiteral("请先选择一个资源站！"));
        return;
    }
    TApiSiteForm dialog(this, m_app);
    dialog.setWindowTitle(QStringLiteral("修改资源站"));
    dialog.SetSite(*old);
    if (m_app->GetMessages().ShowModal(dialog) != QDialog::Accepted)
        return;
    ResourceSiteList list = ReadList();
    const int at = list.Find(old->base);
    if (at < 0) {
        m_app->GetMessages().Alert(QStringLiteral("该资源站已经被删除！"));
        ShowSites(list.sites);
        return;
    }
    const ResourceSite site = dialog.Site();
    if (const int other = list.Find(site.base); other >= 0 && other != at) {
        m_app->GetMessages().Info(QStringLiteral("该地址已经存在！"));
        return;
    }
    list.sites[static_cast<std::size_t>(at)] = site;
    if (WriteList(list, QStringLiteral("修改资源站失败！")))
        SiteList->setCurrentItem(SiteList->topLevelItem(at));
}

void TApiPage::DelButtonClick()
{
    const std::optional<ResourceSite> old = SelectedSite();
    if (!old) {
        m_app->GetMessages().Info(QStringLiteral("请先选择一个资源站！"));
        return;
    }
    if (!m_app->GetMessages().Question(QStringLiteral("确定要删除资源站【") + old->DisplayName() +
                                       QStringLiteral("】吗？")))
        return;
    ResourceSiteList list = ReadList();
    if (const int at = list.Find(old->base); at >= 0)
        list.sites.erase(list.sites.begin() + at);
    WriteList(list, QStringLiteral("删除资源站失败！"));
}

void TApiPage::SearchButtonClick()
{
    if (m_searching)
        return;
    const QString word = KeyEdit->text().trimmed();
    if (word.isEmpty()) {
        m_app->GetMessages().Info(QStringLiteral("请输入关键字！"));
        KeyEdit->setFocus();
        return;
    }
    if (m_sites.empty()) {
        m_app->GetMessages().Info(QStringLiteral("请先添加资源站！"));
        return;
    }
    m_searching = true;
    m_searched = m_sites;
    m_stop = StopFlag();
    SearchButton->setEnabled(false);
    ResultList->clear();
    SearchLabel->setText(QStringLiteral("正在搜索 %1 个资源站……").arg(m_searched.size()));
    for (int i = 0; i < SiteList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = SiteList->topLevelItem(i);
        item->setText(2, QStringLiteral("搜索中"));
        item->setForeground(2, palette().text());
        item->setToolTip(2, {});
    }
    const QPointer<TApiPage> page(this);
    StartResourceSearch(*m_app, m_searched, word, m_stop, [page](ResourceSearch search) {
        if (page)
            page->ShowSearch(std::move(search));
    });
}

void TApiPage::ShowSearch(ResourceSearch search)
{
    m_search = std::move(search);
    m_searching = false;
    SearchButton->setEnabled(true);
    ShowResourceHits(*ResultList, m_search, m_searched);
    // Each site's answer beside it: a site that failed is marked, the others' series still show.
    int failed = 0;
    for (std::size_t i = 0; i < m_search.outcomes.size() && i < m_searched.size(); ++i) {
        const ResourceSiteOutcome& outcome = m_search.outcomes[i];
        const int row = [&] {
            for (std::size_t k = 0; k < m_sites.size(); ++k)
                if (m_sites[k].base == m_searched[i].base)
                    return static_cast<int>(k);
            return -1;
        }();
        QTreeWidgetItem* item = row >= 0 ? SiteList->topLevelItem(row) : nullptr;
        if (!outcome.error.isEmpty())
            ++failed;
        if (!item)
            continue;
        if (outcome.error.isEmpty()) {
            item->setText(2, QStringLiteral("找到 %1 部").arg(outcome.hits));
            item->setToolTip(2, outcome.warnings.join(QLatin1Char('\n')));
        } else {
            item->setText(2, QStringLiteral("失败：") + outcome.error);
            item->setForeground(2, QBrush(Qt::red));
            item->setToolTip(2, outcome.error);
        }
    }
    QString line = QStringLiteral("找到 %1 部").arg(m_search.hits.size());
    if (failed > 0)
        line += QStringLiteral("；%1 个资源站搜索失败（见左侧列表）").arg(failed);
    SearchLabel->setText(line + QStringLiteral("。双击一部采集它的剧集。"));
    emit SearchEnded();
}

void TApiPage::ResultListDblClick(int row)
{
    if (row < 0 || row >= static_cast<int>(m_search.hits.size()))
        return;
    if (m_parseForm->Running()) {
        m_app->GetMessages().Info(QStringLiteral("请先停止当前的采集工作！"));
        return;
    }
    CollectRequest request;
    request.address = gbk::FromUnicode(m_search.hits[static_cast<std::size_t>(row)].address);
    request.site = std::string(sitekey::Resource);
    m_parseForm->Collect(request);
}

}  // namespace quib::collect
