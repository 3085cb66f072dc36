#pragma once
// The page-element loader: loads a page without showing it and hands each of its elements, in
// document order, to a handler. A plain load fetches the page with the host's HTTP client (so
// the host's redirections apply) and parses its text; a load with scripts on has the loader's
// renderer run the page's scripts and walks the document they leave. Either way
// the load runs to completion on the calling (user-interface) thread in a local event loop and
// is bounded by a timeout.
#include "host/core/htmlelement.h"
#include "host/core/networksettings.h"
#include "host/core/pagerenderer.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QEventLoop;

namespace quib {

// What a load may do: it is never displayed and shows no dialogs; only its scripts can be
// switched on.
struct SimpleParserOptions {
    bool runScripts = false;
};

// A loader, not a parser: the name is kept. The rules applied to its elements are in collect/simplerules.h.
class SimpleParser : public QObject {
public:
    using ElementHandler = std::function<void(const HtmlElement&)>;

    explicit SimpleParser(NetworkSettings network, QObject* parent = nullptr);
    ~SimpleParser() override;

    SimpleParserOptions& Options() { return m_options; }
    void SetRunScripts(bool on) { m_options.runScripts = on; }
    void SetOnElement(ElementHandler handler) { m_onElement = std::move(handler); }
    void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // What runs a page's scripts; without one a load with scripts on fails.
    void SetRenderer(std::unique_ptr<PageRenderer> renderer) { m_renderer = std::move(renderer); }

    // Loads url and walks its elements; returns when the walk has ended or was stopped. Returns
    // false when the page could not be loaded (LastError says why; no element was delivered).
    bool Navigate(const std::string& url);

    bool Busy() const { return m_busy; }
    // No element is delivered after this; a load in progress is abandoned. The next Navigate
    // clears it.
    void Stop();
    bool Stopped() const { return m_stopped; }
    const std::string& LastError() const { return m_lastError; }

private:
    struct Transfer;
    std::optional<std::string> Fetch(const std::string& url);
    std::optional<std::string> Render(const std::string& url);
    void Walk(const std::string& html);

    NetworkSettings m_network;
    SimpleParserOptions m_options;
    ElementHandler m_onElement;
    std::chrono::milliseconds m_timeout{30000};
    bool m_busy = false;
    bool m_stopped = false;
    std::string m_lastError;
    QEventLoop* m_loop = nullptr;  // the local loop of the load in progress
    std::shared_ptr<Transfer> m_transfer;
    std::unique_ptr<PageRenderer> m_renderer;
};

}  // namespace quib
