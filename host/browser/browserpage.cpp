#include "browserpage.h"

#include <QDebug>

BrowserPage::BrowserPage(QWebEngineProfile* profile, Hooks hooks, QObject* parent)
    : QWebEnginePage(profile, parent), hooks_(std::move(hooks))
{
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    return !hooks_.beforeNavigate || hooks_.beforeNavigate(url, isMainFrame);
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    return hooks_.newWindow ? hooks_.newWindow() : nullptr;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                           const QString& source)
{
    if (level == ErrorMessageLevel && hooks_.showScriptErrors && hooks_.showScriptErrors())
        qInfo().noquote() << "script error:" << source << line << message;
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString& message)
{
    if (hooks_.alert)
        hooks_.alert(message);
}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    return hooks_.confirm && hooks_.confirm(message);
}

bool BrowserPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*)
{
    return false;
}
