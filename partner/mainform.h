#pragma once
// The partner's branded page: the host's tabbed browser opened on the partner's home page. The
// first tab stays, every tab's browser keeps its own menu to itself, and the partner's pages get a
// red help link written into their element "help".
#include "host/framework/module.h"
#include "host/browser/tabwebform.h"

#include <string>

namespace quib::partner {

// The partner's home page and the domain whose pages get the help link.
inline constexpr const char* kHomeAddress = "http://www.fenmor.com/";
inline constexpr const char* kDomain = "fenmor.com";

// Whether a document address lies on the partner's domain: its host is the domain or a host under
// it. Only the host counts, so another site's address that merely mentions the domain (in a query,
// a path or a longer host name) is not the partner's.
bool IsPartnerAddress(const std::string& address);

// The form definition's name, the same as the collector's window: each module keeps its own TMainForm.
class TMainForm : public TTabWebForm, public IModule {
    Q_OBJECT
public:
    TMainForm(QWidget* owner, IApp* app);

    // IModule
    QWidget* GetForm() override { return this; }
    void AfterShow(IModule* module) override;
    std::string About() override;

    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override;
    void BrowserTabCanClose(TBrowserTab* sender, bool& canClose) override;
    TBrowserTab* CreateNewTabBrowser(const QString& url) override;
};

}  // namespace quib::partner
