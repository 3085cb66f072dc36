#pragma once
// One tab of the tabbed browser form: an embedded browser with its bridge. It turns the page's
// reports into the form's events, one at a time and in the order they came, outside the channel's
// own dispatch (the handlers run scripts and wait for them, and may show modal dialogs).
#include "host/browser/browserdocument.h"

#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWebEngineProfile;
class QWebEngineView;

namespace quib {

class BrowserPage;
class PageBridge;
class TTabWebForm;

class TBrowserTab : public QWidget {
    Q_OBJECT
public:
    TBrowserTab(TTabWebForm& form, QWebEngineProfile* profile, bool withExternal, QWidget* parent);
    ~TBrowserTab() override;

    // Set by the host window on a site's first tab: such a tab cannot be closed by the user.
    bool Fixed = false;

    TTabWebForm& Form() const { return m_form; }
    QWebEngineView& View() const { return *m_view; }
    BrowserPage& Page() const { return *m_page; }
    PageBridge& Bridge() const { return *m_bridge; }

    void Go(const QString& address);
    // Returns once the current load has finished (or after timeoutMs).
    bool Wait(int timeoutMs = 30000);
    // The top frame's document as last reported; empty before the first report.
    BrowserDocument GetDoc2() const { return m_topDocument; }

signals:
    void TitleChanged(const QString& title);

private:
    void Enqueue(std::function<void()> event);
    void Drain();
    void OnComplete(const FrameAddress& where, const QString& href, const QString& hostname);
    void OnInvoke(const FrameAddress& where, const QStringList& args);

    TTabWebForm& m_form;
    BrowserPage* m_page;     // owned below
    QWebEngineView* m_view;  // child
    PageBridge* m_bridge;    // child of the page
    BrowserDocument m_topDocument;
    std::deque<std::function<void()>> m_events;
    bool m_draining = false;
    bool m_loading = false;
};

}  // namespace quib
