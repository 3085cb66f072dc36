#include "browsertab.h"

#include "app.h"
#include "browserpage.h"
#include "messageservice.h"
#include "gbk.h"
#include "pagebridge.h"
#include "tabwebform.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <exception>

TBrowserTab::TBrowserTab(TTabWebForm& form, QWebEngineProfile* profile, bool withExternal, QWidget* parent)
    : QWidget(parent), form_(form)
{
    BrowserPage::Hooks hooks;
    hooks.beforeNavigate = [this](const QUrl& url, bool mainFrame) {
        bool cancel = false;
        form_.BrowserBeforeNaviage2(this, gbk::FromUnicode(url.toString()), mainFrame, cancel);
        return !cancel;
    };
    hooks.newWindow = [this]() -> QWebEnginePage* { return &form_.CreateNewTabBrowser(QString())->Page(); };
    hooks.showScriptErrors = [this] { return form_.Options.ShowScriptErrors; };
    hooks.alert = [this](const QString& text) {
        if (form_.App)
            form_.App->GetMessages().Info(text);
    };
    hooks.confirm = [this](const QString& text) {
        return form_.App && form_.App->GetMessages().Question(text) == IDYES;
    };
    page_ = new BrowserPage(profile, std::move(hooks), this);
    bridge_ = new PageBridge(*page_, withExternal);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(bridge_, &PageBridge::DocumentCompleted, this, &TBrowserTab::OnComplete);
    connect(bridge_, &PageBridge::WebInvoked, this, &TBrowserTab::OnInvoke);
    connect(page_, &QWebEnginePage::loadStarted, this, [this] { loading_ = true; });
    connect(page_, &QWebEnginePage::loadFinished, this, [this] { loading_ = false; });
    connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        form_.BrowserNavigateComplete2(this, gbk::FromUnicode(url.toString()));
    });
    connect(page_, &QWebEnginePage::titleChanged, this, &TBrowserTab::TitleChanged);
}

TBrowserTab::~TBrowserTab()
{
    // The view must let go of the page before the page goes, and the page before its profile.
    view_->setPage(nullptr);
    delete page_;
}

void TBrowserTab::Go(const QString& address)
{
    loading_ = true;
    page_->load(QUrl::fromUserInput(address));
}

bool TBrowserTab::Wait(int timeoutMs)
{
    if (!loading_)
        return true;
    QEventLoop loop;
    connect(page_, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !loading_;
}

void TBrowserTab::OnComplete(const FrameAddress& where, const QString& href, const QString& hostname)
{
    BrowserDocument document(bridge_, where, href, hostname);
    if (document.IsTop())
        topDocument_ = document;
    Enqueue([this, document] { form_.BrowserDocumentComplete(this, document, document.Href()); });
}

void TBrowserTab::OnInvoke(const FrameAddress& where, const QStringList& args)
{
    std::vector<std::string> texts;
    for (const QString& arg : args)
        texts.push_back(gbk::FromUnicode(arg));
    const auto [href, hostname] = bridge_->Location(where);
    BrowserDocument caller(bridge_, where, href, hostname);
    Enqueue([this, caller, texts] { form_.BrwoserWebExternal(this, caller, texts); });
}

void TBrowserTab::Enqueue(std::function<void()> event)
{
    events_.push_back(std::move(event));
    // A timer, not a posted call: a posted call may run while Chromium is still inside the task
    // that delivered the report, and a handler's local event loop there never hears the page.
    if (!draining_)
        QTimer::singleShot(1, this, &TBrowserTab::Drain);
}

void TBrowserTab::Drain()
{
    if (draining_)
        return;
    draining_ = true;
    QPointer<TBrowserTab> alive(this);
    while (alive && !events_.empty()) {
        auto event = std::move(events_.front());
        events_.pop_front();
        try {
            event();
        } catch (const std::exception& error) {
            if (alive)
                form_.ReportEventError(error.what());
        }
    }
    if (alive)
        draining_ = false;
}
