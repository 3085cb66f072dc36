#include "host/browser/simpleparser.h"

#include "host/browser/htmlwalk.h"
#include "host/framework/httpconnection.h"
#include "host/browser/pagecharset.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <atomic>
#include <thread>

#include <unistd.h>

namespace {

// A stall of this many seconds abandons a plain fetch.
constexpr int kStallSeconds = 10;
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

// A plain fetch runs on a thread of its own so the local loop keeps the interface alive and
// a stop request or the deadline can abandon it. Shared, because it may end after the loop.
struct SimpleParser::Transfer {
    std::atomic<bool> abandon{false};
    std::string body;
    std::string contentType;
    std::string error;
    bool ok = false;
};

SimpleParser::SimpleParser(NetworkSettings network, QObject* parent) : QObject(parent), m_network(std::move(network)) {}

SimpleParser::~SimpleParser()
{
    Stop();  // a load in progress returns at once and touches nothing of this
    // The page must go before its profile.
    delete m_page;
}

void SimpleParser::PrepareApplication() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

void SimpleParser::SetBrowserSwitches(const std::string& hostResolverRules)
{
    static std::atomic<bool> set{false};
    if (set.exchange(true))
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const QByteArray& flag) {
        if (!flags.isEmpty())
            flags += ' ';
        flags += flag;
    };
    if (geteuid() == 0 && !flags.contains("--no-sandbox"))
        add("--no-sandbox");
    // The rules hold blanks, so they are quoted; Qt WebEngine splits the switches like a shell.
    if (!hostResolverRules.empty())
        add("--host-resolver-rules=\"" + QByteArray::fromStdString(hostResolverRules) + "\"");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void SimpleParser::PrepareBrowser(const std::string& hostResolverRules)
{
    PrepareApplication();
    SetBrowserSwitches(hostResolverRules);
}

std::string SimpleParser::HostResolverRules(const NetworkSettings& settings)
{
    // HOST:PORT:ADDR:PORT → "MAP HOST ADDR:PORT"; an empty host matches every host.
    std::string rules;
    for (const std::string& rule : settings.connectTo) {
        const auto first = rule.find(':');
        const auto second = first == std::string::npos ? first : rule.find(':', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string host = rule.substr(0, first);
        const std::string target = rule.substr(second + 1);
        if (target.empty() || target.find(':') == std::string::npos)
            continue;
        if (!rules.empty())
            rules += ",";
        rules += "MAP " + (host.empty() ? std::string("*") : host) + " " + target;
    }
    return rules;
}

void SimpleParser::Stop()
{
    m_stopped = true;
    if (m_transfer)
        m_transfer->abandon = true;
    if (m_loop)
        m_loop->quit();
}

bool SimpleParser::Navigate(const std::string& url)
{
    if (m_busy) {
        m_lastError = "the loader is busy";
        return false;
    }
    m_busy = true;
    m_stopped = false;
    m_lastError.clear();
    // The local loop runs whatever the user does meanwhile, the loader's owner going included.
    const QPointer<SimpleParser> alive(this);
    const std::optional<std::string> html = m_options.runScripts ? Render(url) : Fetch(url);
    if (!alive)
        return false;
    if (html && !m_stopped)
        Walk(*html);
    m_busy = false;
    return html.has_value();
}

void SimpleParser::Walk(const std::string& html)
{
    HtmlWalkReport report;
    WalkHtml(
        html,
        [this](const HtmlElement& element) {
            if (m_onElement)
                m_onElement(element);
        },
        [this] { return m_stopped; }, &report);
    // The elements read are delivered all the same; what the rules did not find there the
    // caller reports as it reports any page without them.
    if (report.cutShort && !m_stopped)
        m_lastError = "the page was read only in part: its markup nests beyond what is parsed";
}

std::optional<std::string> SimpleParser::Fetch(const std::string& url)
{
    auto transfer = std::make_shared<Transfer>();
    m_transfer = transfer;
    QEventLoop loop;
    m_loop = &loop;
    std::thread worker([transfer, url, network = m_network, &loop] {
        try {
            THttpConnection connection(network, [transfer](bool& terminated) {
                if (transfer->abandon)
                    terminated = true;
            });
            transfer->body = connection.Get(url, kStallSeconds);
            transfer->contentType = connection.ContentType();
            transfer->ok = true;
        } catch (const std::exception& e) {
            transfer->error = e.what();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this, &loop] {
        m_lastError = "the page did not arrive in time";
        m_transfer->abandon = true;
        loop.quit();
    });
    deadline.start(m_timeout);
    const QPointer<SimpleParser> alive(this);
    loop.exec();
    // The transfer sees the flag at its next progress call and ends; the queued quit it may
    // still post goes with the loop.
    transfer->abandon = true;
    worker.join();
    if (!alive)
        return std::nullopt;
    m_loop = nullptr;
    m_transfer.reset();
    if (!transfer->ok || m_stopped) {
        if (m_lastError.empty())
            m_lastError = m_stopped ? "stopped" : transfer->error;
        return std::nullopt;
    }
    return PageTextToUtf8(transfer->body, transfer->contentType);
}

QWebEnginePage& SimpleParser::Page()
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

std::optional<std::string> SimpleParser::Render(const std::string& url)
{
    QWebEnginePage& page = Page();
    page.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    const QPointer<SimpleParser> alive(this);

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
    deadline.start(m_timeout);
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
        m_lastError = m_stopped  ? "stopped"
                      : timedOut ? "the page did not load in time"
                                 : "the page could not be loaded";
        return std::nullopt;
    }
    return outcome->html->toStdString();
}
