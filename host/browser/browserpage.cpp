#include "host/browser/browserpage.h"

#include <QDebug>

namespace quib {

BrowserPage::BrowserPage(QWebEngineProfile* profile, Hooks hooks, QObject* parent)
    : QWebEnginePage(profile, parent), m_hooks(std::move(hooks))
{
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    return !m_hooks.beforeNavigate || m_hooks.beforeNavigate(url, isMainFrame);
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType) { return m_hooks.newWindow ? m_hooks.newWindow() : nullptr; }

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                           const QString& source)
{
    if (level == ErrorMessageLevel && m_hooks.showScriptErrors && m_hooks.showScriptErrors())
        qInfo().noquote() << "script error:" << source << line << message;
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString& message)
{
    if (m_hooks.alert)
        m_hooks.alert(message);
}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    return m_hooks.confirm && m_hooks.confirm(message);
}

bool BrowserPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

}  // namespace quib
