#pragma once
// The web page of one browser tab: reports navigations before they happen (every frame),
// opens the windows a page asks for through the tab's form, drops or logs script errors, and
// shows a page's message boxes through the host.
#include <QWebEnginePage>

#include <functional>

namespace quib {

class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    struct Hooks {
        // url, whether it is the top frame; return false to cancel.
        std::function<bool(const QUrl&, bool)> beforeNavigate;
        std::function<QWebEnginePage*()> newWindow;
        std::function<bool()> showScriptErrors;
        // A page's alert and confirm boxes, shown by the host; none: the page gets no box.
        std::function<void(const QString&)> alert;
        std::function<bool(const QString&)> confirm;
    };

    BrowserPage(QWebEngineProfile* profile, Hooks hooks, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;

private:
    Hooks m_hooks;
};

}  // namespace quib
