#include "host/core/simpleparser.h"

#include "host/core/htmlwalk.h"
#include "host/core/httpconnection.h"
#include "host/core/pagecharset.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <thread>

namespace quib {

namespace {

// A stall of this many seconds abandons a plain fetch.
constexpr int kStallSeconds = 10;

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
}

void SimpleParser::Stop()
{
    m_stopped = true;
    if (m_transfer)
        m_transfer->abandon = true;
    if (m_loop)
        m_loop->quit();
    if (m_renderer)
        m_renderer->Stop();
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

std::optional<std::string> SimpleParser::Render(const std::string& url)
{
    if (!m_renderer) {
        m_lastError = "this loader cannot run page scripts";
        return std::nullopt;
    }
    const QPointer<SimpleParser> alive(this);
    std::string error;
    std::optional<std::string> html = m_renderer->Render(url, m_timeout, error);
    if (!alive)
        return std::nullopt;
    if (!html || m_stopped) {
        m_lastError = m_stopped ? "stopped" : error;
        return std::nullopt;
    }
    return html;
}

}  // namespace quib
