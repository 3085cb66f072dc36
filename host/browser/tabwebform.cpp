#include "host/browser/tabwebform.h"

#include "host/core/app.h"
#include "host/browser/browserpage.h"
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "host/browser/resscheme.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace quib {

TTabWebForm::TTabWebForm(QWidget* owner, IApp* app, QString homeAddress, QString caption, bool withExternal)
    : QWidget(owner, Qt::Window), App(app), HomeAddress(std::move(homeAddress)), m_profile(new QWebEngineProfile(this)),
      m_withExternal(withExternal)
{
    setWindowTitle(caption);
    InstallResScheme(*m_profile);
    if (!BrowserUserAgent().isEmpty())
        m_profile->setHttpUserAgent(BrowserUserAgent());
    ContentPanel = new QWidget(this);
    auto* layout = new QVBoxLayout(ContentPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    BuildToolBar();
    layout->addWidget(ToolBar);
    BrowserTabs = new QTabWidget(ContentPanel);
    BrowserTabs->setTabsClosable(true);
    BrowserTabs->setDocumentMode(true);
    layout->addWidget(BrowserTabs);
    auto* own = new QVBoxLayout(this);
    own->setContentsMargins(0, 0, 0, 0);
    own->addWidget(ContentPanel);
    connect(BrowserTabs, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseBrowser(BrowserAt(index)); });
    connect(BrowserTabs, &QTabWidget::currentChanged, this, &TTabWebForm::UpdateToolBar);
}

TTabWebForm::~TTabWebForm()
{
    // Tabs (and their pages) go before the profile, also when a host has re-parented the panel.
    while (BrowserCount() > 0)
        delete BrowserAt(0);
    delete ContentPanel.data();
}

void TTabWebForm::BuildToolBar()
{
    ToolBar = new QToolBar(ContentPanel);
    BackItem = ToolBar->addAction(QStringLiteral("后退"));
    ForwardItem = ToolBar->addAction(QStringLiteral("前进"));
    StopItem = ToolBar->addAction(QStringLiteral("停止"));
    RefreshItem = ToolBar->addAction(QStringLiteral("刷新"));
    HomeItem = ToolBar->addAction(QStringLiteral("主页"));
    AddressEdit = new QLineEdit(ToolBar);
    ToolBar->addWidget(AddressEdit);
    const auto onActive = [this](auto action) {
        return [this, action] {
            if (TBrowserTab* tab = GetActiveBrowser())
                tab->View().triggerPageAction(action);
        };
    };
    connect(BackItem, &QAction::triggered, this, onActive(QWebEnginePage::Back));
    connect(ForwardItem, &QAction::triggered, this, onActive(QWebEnginePage::Forward));
    connect(StopItem, &QAction::triggered, this, onActive(QWebEnginePage::Stop));
    connect(RefreshItem, &QAction::triggered, this, onActive(QWebEnginePage::Reload));
    connect(HomeItem, &QAction::triggered, this, [this] {
        if (TBrowserTab* tab = GetActiveBrowser(true))
            tab->Go(HomeAddress);
    });
    connect(AddressEdit, &QLineEdit::returnPressed, this, &TTabWebForm::GoToAddress);
}

void TTabWebForm::GoToAddress()
{
    if (TBrowserTab* tab = GetActiveBrowser(true))
        tab->Go(AddressEdit->text());
}

void TTabWebForm::UpdateToolBar()
{
    TBrowserTab* tab = GetActiveBrowser();
    BackItem->setEnabled(tab && tab->View().history()->canGoBack());
    ForwardItem->setEnabled(tab && tab->View().history()->canGoForward());
    if (tab)
        AddressEdit->setText(tab->View().url().toString());
}

void TTabWebForm::AfterShow(IModule*)
{
    if (BrowserCount() == 0)
        CreateNewTabBrowser(HomeAddress);
}

TBrowserTab* TTabWebForm::GetActiveBrowser(bool create)
{
    if (auto* tab = qobject_cast<TBrowserTab*>(BrowserTabs->currentWidget()))
        return tab;
    return create ? CreateNewTabBrowser(QString()) : nullptr;
}

TBrowserTab* TTabWebForm::CreateNewTabBrowser(const QString& url)
{
    auto* tab = new TBrowserTab(*this, m_profile, m_withExternal, BrowserTabs);
    const int index = BrowserTabs->addTab(tab, url.isEmpty() ? QStringLiteral("about:blank") : url);
    connect(tab, &TBrowserTab::TitleChanged, this, [this, tab](const QString& title) {
        const int at = BrowserTabs->indexOf(tab);
        if (at >= 0)
            BrowserTabs->setTabText(at, title.left(24));
    });
    connect(&tab->Page(), &QWebEnginePage::urlChanged, this, &TTabWebForm::UpdateToolBar);
    BrowserTabs->setCurrentIndex(index);
    if (!url.isEmpty())
        tab->Go(url);
    return tab;
}

TBrowserTab* TTabWebForm::BrowserAt(int index) const { return qobject_cast<TBrowserTab*>(BrowserTabs->widget(index)); }

int TTabWebForm::BrowserCount() const { return BrowserTabs->count(); }

bool TTabWebForm::CloseBrowser(TBrowserTab* tab)
{
    if (!tab)
        return false;
    bool canClose = true;
    BrowserTabCanClose(tab, canClose);
    if (!canClose)
        return false;
    BrowserTabs->removeTab(BrowserTabs->indexOf(tab));
    tab->deleteLater();
    return true;
}

void TTabWebForm::CloseForm()
{
    if (m_closed)
        return;
    m_closed = true;
    OnFormClose();
    while (BrowserCount() > 0)
        delete BrowserAt(0);
}

void TTabWebForm::closeEvent(QCloseEvent* event)
{
    CloseForm();
    QWidget::closeEvent(event);
}

void TTabWebForm::BrowserBeforeNaviage2(TBrowserTab*, const std::string&, bool, bool&) {}

void TTabWebForm::BrowserNavigateComplete2(TBrowserTab*, const std::string&) {}

void TTabWebForm::BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string&)
{
    if (document.IsTop() && sender == GetActiveBrowser())
        UpdateToolBar();
}

void TTabWebForm::BrowserTabCanClose(TBrowserTab* sender, bool& canClose) { canClose = !sender->Fixed; }

void TTabWebForm::BrwoserWebExternal(TBrowserTab*, const BrowserDocument&, const std::vector<std::string>&) {}

void TTabWebForm::OnFormClose() {}

void TTabWebForm::ReportEventError(const std::string& message)
{
    if (App)
        App->WriteLog(QStringLiteral("浏览器事件处理失败"), QString::fromUtf8(message.c_str()),
                      QStringLiteral("TTabWebForm"));
}

}  // namespace quib
