#include "simpleparser.h"

#include "htmlwalk.h"
#include "httpconnection.h"
#include "pagecharset.h"

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
        case QWebEngineUrlRequestInfo::ResourceTypeXhr:
            return;
        default:
            info.block(true);
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

SimpleParser::SimpleParser(NetworkSettings network, QObject* parent) : QObject(parent), network_(std::move(network)) {}

SimpleParser::~SimpleParser()
{
    Stop();  // a load in progress returns at once and touches nothing of this
    // The page must go before its profile.
    delete page_;
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
    stopped_ = true;
    if (transfer_)
        transfer_->abandon = true;
    if (loop_)
        loop_->quit();
}

bool SimpleParser::Navigate(const std::string& url)
{
    if (busy_) {
        lastError_ = "the loader is busy";
        return false;
    }
    busy_ = true;
    stopped_ = false;
    lastError_.clear();
    // The local loop runs whatever the user does meanwhile, the loader's owner going included.
    const QPointer<SimpleParser> alive(this);
    const std::optional<std::string> html = options_.runScripts ? Render(url) : Fetch(url);
    if (!alive)
        return false;
    if (html && !stopped_)
        Walk(*html);
    busy_ = false;
    return html.has_value();
}

void SimpleParser::Walk(const std::string& html)
{
    HtmlWalkReport report;
    WalkHtml(
        html,
        [this](const HtmlElement& element) {
            if (onElement_)
                onElement_(element);
        },
        [this] { return stopped_; }, &report);
    // The elements read are delivered all the same; what the rules did not find there the
    // caller reports as it reports any page without them.
    if (report.cutShort && !stopped_)
        lastError_ = "the page was read only in part: its markup nests beyond what is parsed";
}

std::optional<std::string> SimpleParser::Fetch(const std::string& url)
{
    auto transfer = std::make_shared<Transfer>();
    transfer_ = transfer;
    QEventLoop loop;
    loop_ = &loop;
    std::thread worker([transfer, url, network = network_, &loop] {
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
        lastError_ = "the page did not arrive in time";
        transfer_->abandon = true;
        loop.quit();
    });
    deadline.start(timeout_);
    const QPointer<SimpleParser> alive(this);
    loop.exec();
    // The transfer sees the flag at its next progress call and ends; the queued quit it may
    // still post goes with the loop.
    transfer->abandon = true;
    worker.join();
    if (!alive)
        return std::nullopt;
    loop_ = nullptr;
    transfer_.reset();
    if (!transfer->ok || stopped_) {
        if (lastError_.empty())
            lastError_ = stopped_ ? "stopped" : transfer->error;
        return std::nullopt;
    }
    return PageTextToUtf8(transfer->body, transfer->contentType);
}

QWebEnginePage& SimpleParser::Page()
{
    if (!page_) {
        SetBrowserSwitches(HostResolverRules(network_));
        profile_ = new QWebEngineProfile(this);  // off the record: nothing stays behind
        profile_->setHttpUserAgent(QString::fromStdString(network_.userAgent));
        profile_->setUrlRequestInterceptor(new PageOnlyInterceptor(profile_));
        profile_->setHttpCacheType(QWebEngineProfile::NoCache);
        page_ = new SilentPage(profile_, nullptr);
        QWebEngineSettings* settings = page_->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    }
    return *page_;
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
    loop_ = &loop;
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
    deadline.start(timeout_);
    page.load(QUrl(QString::fromStdString(url)));
    loop.exec();
    if (!alive)
        return std::nullopt;
    disconnect(finished);

    if (outcome->loaded && !timedOut && !stopped_) {
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
    loop_ = &blank;
    connect(&page, &QWebEnginePage::loadFinished, &blank, &QEventLoop::quit);
    QTimer::singleShot(kBlankMilliseconds, &blank, &QEventLoop::quit);
    page.setHtml(QString());
    blank.exec();
    if (!alive)
        return std::nullopt;
    loop_ = nullptr;

    if (!outcome->html) {
        lastError_ = stopped_ ? "stopped" : timedOut ? "the page did not load in time" : "the page could not be loaded";
        return std::nullopt;
    }
    return outcome->html->toStdString();
}
