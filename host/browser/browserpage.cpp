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
    // A page's alert must not block the host in a dialog nobody answers; it goes to the log.
    qInfo().noquote() << "page alert:" << message;
}
