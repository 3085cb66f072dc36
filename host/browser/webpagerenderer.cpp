#include "host/browser/webpagerenderer.h"

#include "host/browser/browserstartup.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <memory>

namespace quib {

namespace {

// The empty page a rendered page is left for comes at once; this bounds the wait all the same.
constexpr int kBlankMilliseconds = 2000;

// The hidden page keeps quiet: no dialog of its scripts reaches the user.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
    bool acceptNavigationRequest(const QUrl&, NavigationType, bool isMainFrame) override { return isMainFrame; }
};

// Frames, plug-in objects and media are never fetched: only the page and its scripts matter.
class PageOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        switch (info.resourceType()) {
        case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
        case QWebEngineUrlRequestInfo::ResourceTypeScript:
        case QWebEngineUrlRequestInfo::ResourceTypeXhr: return;
        default: info.block(true);
        }
    }
};

}  // namespace

WebPageRenderer::WebPageRenderer(NetworkSettings network) : m_network(std::move(network)) {}

WebPageRenderer::~WebPageRenderer()
{
    Stop();  // a render in progress returns at once and touches nothing of this
    // The page must go before its profile.
    delete m_page;
}

void WebPageRenderer::Stop()
{
    m_stopped = true;
    if (m_loop)
        m_loop->quit();
}

QWebEnginePage& WebPageRenderer::Page()
{
    if (!m_page) {
        SetBrowserSwitches(HostResolverRules(m_network));
        m_profile = new QWebEngineProfile(this);  // off the record: nothing stays behind
        m_profile->setHttpUserAgent(QString::fromStdString(m_network.userAgent));
        m_profile->setUrlRequestInterceptor(new PageOnlyInterceptor(m_profile));
        m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
        m_page = new SilentPage(m_profile, nullptr);
        QWebEngineSettings* settings = m_page->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    }
    return *m_page;
}

std::optional<std::string> WebPageRenderer::Render(const std::string& url, std::chrono::milliseconds timeout,
                                                   std::string& error)
{
    m_stopped = false;
    QWebEnginePage& page = Page();
    page.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    const QPointer<WebPageRenderer> alive(this);

    // Shared with the callbacks, which may come after this call has given up.
    struct Outcome {
        bool loaded = false;
        bool finished = false;
        std::optional<QString> html;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    m_loop = &loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const auto finished = connect(&page, &QWebEnginePage::loadFinished, &loop, [outcome, &loop](bool ok) {
        outcome->loaded = ok;
        outcome->finished = true;
        loop.quit();
    });
    deadline.start(timeout);
    page.load(QUrl(QString::fromStdString(url)));
    loop.exec();
    if (!alive)
        return std::nullopt;
    disconnect(finished);

    if (outcome->loaded && !timedOut && !m_stopped) {
        const QPointer<QEventLoop> waiting(&loop);
        page.runJavaScript(QStringLiteral("document.documentElement ? document.documentElement.outerHTML : ''"),
                           [outcome, waiting](const QVariant& value) {
                               outcome->html = value.toString();
                               if (waiting)
                                   waiting->quit();
                           });
        if (!outcome->html)
            loop.exec();
        if (!alive)
            return std::nullopt;
    }
    // Scripts go off again, and the page is left for an empty one, so that none of its timers
    // runs on and its end cannot be taken for the next load's.
    page.triggerAction(QWebEnginePage::Stop);
    page.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    QEventLoop blank;
    m_loop = &blank;
    connect(&page, &QWebEnginePage::loadFinished, &blank, &QEventLoop::quit);
    QTimer::singleShot(kBlankMilliseconds, &blank, &QEventLoop::quit);
    page.setHtml(QString());
    blank.exec();
    if (!alive)
        return std::nullopt;
    m_loop = nullptr;

    if (!outcome->html) {
        error = m_stopped ? "stopped" : timedOut ? "the page did not load in time" : "the page could not be loaded";
        return std::nullopt;
    }
    return outcome->html->toStdString();
}

}  // namespace quib
