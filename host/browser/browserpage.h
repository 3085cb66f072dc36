#pragma once
// The web page of one browser tab: reports navigations before they happen (every frame),
// opens the windows a page asks for through the tab's form, and drops or logs script errors.
#include <QWebEnginePage>

#include <functional>

class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    struct Hooks {
        // url, whether it is the top frame; return false to cancel.
        std::function<bool(const QUrl&, bool)> beforeNavigate;
        std::function<QWebEnginePage*()> newWindow;
        std::function<bool()> showScriptErrors;
    };

    BrowserPage(QWebEngineProfile* profile, Hooks hooks, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;

private:
    Hooks hooks_;
};
