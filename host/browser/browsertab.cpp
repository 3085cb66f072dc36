#include "host/browser/browsertab.h"

#include "host/core/app.h"
#include "host/browser/browserpage.h"
#include "host/core/messageservice.h"
#include "host/core/gbk.h"
#include "host/browser/pagebridge.h"
#include "host/browser/tabwebform.h"

#include <QDebug>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <exception>

namespace quib {

TBrowserTab::TBrowserTab(TTabWebForm& form, QWebEngineProfile* profile, bool withExternal, QWidget* parent)
    : QWidget(parent), m_form(form)
{
    BrowserPage::Hooks hooks;
    hooks.beforeNavigate = [this](const QUrl& url, bool mainFrame) {
        bool cancel = false;
        m_form.BrowserBeforeNaviage2(this, gbk::FromUnicode(url.toString()), mainFrame, cancel);
        return !cancel;
    };
    hooks.newWindow = [this]() -> QWebEnginePage* { return &m_form.CreateNewTabBrowser(QString())->Page(); };
    hooks.showScriptErrors = [this] { return m_form.Options.ShowScriptErrors; };
    hooks.alert = [this](const QString& text) {
        if (m_form.App)
            m_form.App->GetMessages().Info(text);
    };
    hooks.confirm = [this](const QString& text) { return m_form.App && m_form.App->GetMessages().Question(text); };
    m_page = new BrowserPage(profile, std::move(hooks), this);
    m_bridge = new PageBridge(*m_page, withExternal);
    m_view = new QWebEngineView(this);
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    connect(m_bridge, &PageBridge::DocumentCompleted, this, &TBrowserTab::OnComplete);
    connect(m_bridge, &PageBridge::WebInvoked, this, &TBrowserTab::OnInvoke);
    connect(m_bridge, &PageBridge::Flooded, this, [this](const QString& origin, const QString& detail) {
        if (m_form.App)
            m_form.App->WriteLog(QStringLiteral("网页桥接请求过多，已切断 ") + origin, detail,
                                 QStringLiteral("PageBridge"));
        else
            qWarning().noquote() << "page bridge:" << detail;
    });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] { m_loading = false; });
    connect(m_page, &QWebEnginePage::urlChanged, this,
            [this](const QUrl& url) { m_form.BrowserNavigateComplete2(this, gbk::FromUnicode(url.toString())); });
    connect(m_page, &QWebEnginePage::titleChanged, this, &TBrowserTab::TitleChanged);
}

TBrowserTab::~TBrowserTab()
{
    // The view must let go of the page before the page goes, and the page before its profile.
    m_view->setPage(nullptr);
    delete m_page;
}

void TBrowserTab::Go(const QString& address)
{
    m_loading = true;
    m_page->load(QUrl::fromUserInput(address));
}

bool TBrowserTab::Wait(int timeoutMs)
{
    if (!m_loading)
        return true;
    QEventLoop loop;
    connect(m_page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !m_loading;
}

void TBrowserTab::OnComplete(const FrameAddress& where, const QString& href, const QString& hostname)
{
    BrowserDocument document(m_bridge, where, href, hostname);
    if (document.IsTop())
        m_topDocument = document;
    Enqueue([this, document] { m_form.BrowserDocumentComplete(this, document, document.Href()); });
}

void TBrowserTab::OnInvoke(const FrameAddress& where, const QStringList& args)
{
    std::vector<std::string> texts;
    for (const QString& arg : args)
        texts.push_back(gbk::FromUnicode(arg));
    const auto [href, hostname] = m_bridge->Location(where);
    BrowserDocument caller(m_bridge, where, href, hostname);
    Enqueue([this, caller, texts] { m_form.BrwoserWebExternal(this, caller, texts); });
}

void TBrowserTab::Enqueue(std::function<void()> event)
{
    m_events.push_back(std::move(event));
    // A timer, not a posted call: a posted call may run while Chromium is still inside the task
    // that delivered the report, and a handler's local event loop there never hears the page.
    if (!m_draining)
        QTimer::singleShot(1, this, &TBrowserTab::Drain);
}

void TBrowserTab::Drain()
{
    if (m_draining)
        return;
    m_draining = true;
    QPointer<TBrowserTab> alive(this);
    while (alive && !m_events.empty()) {
        auto event = std::move(m_events.front());
        m_events.pop_front();
        try {
            event();
        } catch (const std::exception& error) {
            if (alive)
                m_form.ReportEventError(error.what());
        }
    }
    if (alive)
        m_draining = false;
}

}  // namespace quib
