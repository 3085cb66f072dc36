#pragma once
// The host's tabbed browser form: a toolbar (back, forward, stop, refresh, home, address box),
// a tab control of browser tabs, windows a page opens shown as new tabs, and the virtual events
// a module's page overrides. ContentPanel holds all of it; a host window re-parents the panel
// into one of its own tabs, the form stays its owner.
#include "host/browser/browserdocument.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QTabWidget;
class QToolBar;
class QWebEngineProfile;

namespace quib {

class IApp;
class IModule;
class TBrowserTab;

// Settings of the form that a module may switch.
struct BrowserOptions {
    // Page script errors are logged; a module whose pages get injected scripts switches this off.
    bool ShowScriptErrors = true;
};

class TTabWebForm : public QWidget {
    Q_OBJECT
public:
    // withExternal: page scripts get window.external.WebInvoke, delivered to BrwoserWebExternal.
    // A form on pages that never call the host (a help page) passes false.
    TTabWebForm(QWidget* owner, IApp* app, QString homeAddress, QString caption, bool withExternal);
    ~TTabWebForm() override;

    IApp* App;
    QString HomeAddress;
    BrowserOptions Options;

    // The panel a host re-parents, and what it holds.
    QPointer<QWidget> ContentPanel;
    QToolBar* ToolBar;
    QAction* BackItem;
    QAction* ForwardItem;
    QAction* StopItem;
    QAction* RefreshItem;
    QAction* HomeItem;
    QLineEdit* AddressEdit;
    QTabWidget* BrowserTabs;

    // Opens the first browser tab on the home address (once).
    virtual void AfterShow(IModule* module);
    // The active tab; none before AfterShow unless create is set.
    virtual TBrowserTab* GetActiveBrowser(bool create = false);
    // Opens a tab (on url when not empty), makes it active and returns it.
    virtual TBrowserTab* CreateNewTabBrowser(const QString& url);
    TBrowserTab* BrowserAt(int index) const;
    int BrowserCount() const;
    // Closes a tab when BrowserTabCanClose allows it.
    bool CloseBrowser(TBrowserTab* tab);
    // Runs OnFormClose and closes every tab.
    void CloseForm();

    // The browser events. Overrides call the inherited handler first.
    // Naviage2 (Navigate2): the name is kept, as the modules spell it.
    virtual void BrowserBeforeNaviage2(TBrowserTab* sender, const std::string& url, bool mainFrame, bool& cancel);
    virtual void BrowserNavigateComplete2(TBrowserTab* sender, const std::string& url);
    // One event per completed document, frames included; url is that document's own address.
    virtual void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url);
    virtual void BrowserTabCanClose(TBrowserTab* sender, bool& canClose);
    // A page's window.external.WebInvoke: its arguments in call order, as text (null and
    // undefined as empty); the call returns null to the page. caller is the calling frame's
    // document; its address is empty when the call came before the document completed.
    // Brwoser, not Browser: the handler's name is kept, as the modules spell it.
    virtual void BrwoserWebExternal(TBrowserTab* sender, const BrowserDocument& caller,
                                    const std::vector<std::string>& args);
    virtual void OnFormClose();

    // An event handler failed: logged through the host.
    void ReportEventError(const std::string& message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();
    void UpdateToolBar();
    void GoToAddress();

    QWebEngineProfile* m_profile;  // child; outlives every tab (see the destructor)
    bool m_withExternal;
    bool m_closed = false;
};

}  // namespace quib
