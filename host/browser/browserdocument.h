#pragma once
// A handle on one frame document of a browser tab: the "browser object" the document events
// name and the document the handlers keep (an administration page's form). Empty when there is
// no document. Its operations go through the page bridge and fail (false, none) once the
// document is gone. Text is GBK, as module text is; it is converted at this boundary.
#include "host/browser/pagebridge.h"

#include <QPointer>

#include <optional>
#include <string>

namespace quib {

class BrowserDocument {
public:
    BrowserDocument() = default;
    BrowserDocument(PageBridge* bridge, FrameAddress where, QString href, QString hostname);

    bool Empty() const { return !m_bridge; }
    explicit operator bool() const { return !Empty(); }
    bool IsTop() const { return m_where.frame == 0; }
    // Which frame document of its page this is.
    const FrameAddress& Address() const { return m_where; }
    friend bool operator==(const BrowserDocument& a, const BrowserDocument& b);

    // location.hostname (no port) and location.href, as the document reported them.
    std::string Hostname() const;
    std::string Href() const;
    const QString& HrefText() const { return m_href; }

    // Runs code in the document's global scope before returning (execScript). While it runs,
    // window.clipboardData.getData("text") gives it the host's clipboard text,
    // window.navigate(address) goes to an address, and the document looks as it did to the old
    // browser the injected scripts were written for (see the page bridge). False when the code
    // did not run to its end (it did not compile, it threw, or the page holds one of the names it
    // uses in a form that cannot be lent).
    bool ExecScript(const std::string& code) const;
    // all(name, 0).value: an input's, a select's or a text area's value.
    std::optional<std::string> GetValue(const std::string& name) const;
    // The same value as the page holds it, with no detour through GBK, for text that must be
    // written back exactly as it was.
    std::optional<QString> GetText(const std::string& name) const;
    // Writing a select's value selects the option with that value.
    bool SetValue(const std::string& name, const std::string& value) const;

private:
    QPointer<PageBridge> m_bridge;
    FrameAddress m_where;
    QString m_href;
    QString m_hostname;
};

}  // namespace quib
