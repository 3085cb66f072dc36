#include "partner/mainform.h"

#include "host/core/app.h"
#include "host/browser/browsertab.h"
#include "host/core/gbk.h"

#include <QTabWidget>
#include <QUrl>
#include <QWebEngineView>

namespace quib::partner {

bool IsPartnerAddress(const std::string& address)
{
    const QString host = QUrl(gbk::ToUnicode(address)).host().toLower();
    const QString domain = QString::fromLatin1(kDomain);
    return host == domain || host.endsWith(QLatin1Char('.') + domain);
}

namespace {

// Replaces the contents of the page's element "help" by the link to the site's help page; a page
// without that element is left as it is, without a script error.
const std::string& HelpLinkScript()
{
    static const std::string script = gbk::FromUtf8(
        "try{document.getElementById(\"help\").innerHTML=\"<a style='color:red' href='/help/' "
        "target='_blank'>使用帮助</a>\";}catch(e){}");
    return script;
}

}  // namespace

TMainForm::TMainForm(QWidget* owner, IApp* app)
    : TTabWebForm(owner, app, QString::fromLatin1(kHomeAddress), QStringLiteral("沛融通"), false)
{
}

void TMainForm::AfterShow(IModule* module) { TTabWebForm::AfterShow(module); }

std::string TMainForm::About() { return "res://" + gbk::FromUnicode(App->GetModuleName()) + ".bpl/About"; }

void TMainForm::BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url)
{
    TTabWebForm::BrowserDocumentComplete(sender, document, url);
    // Every completed document counts, frames included: a partner frame inside another site's
    // page gets the link, another site's frame inside a partner page does not.
    if (IsPartnerAddress(url) && document)
        document.ExecScript(HelpLinkScript());
}

void TMainForm::BrowserTabCanClose(TBrowserTab* sender, bool& canClose)
{
    TTabWebForm::BrowserTabCanClose(sender, canClose);
    if (BrowserTabs->indexOf(sender) == 0) {
        canClose = false;
        // The host's own mark for a tab that stays: from now on it keeps it open by itself.
        sender->Fixed = true;
    }
}

TBrowserTab* TMainForm::CreateNewTabBrowser(const QString& url)
{
    TBrowserTab* tab = TTabWebForm::CreateNewTabBrowser(url);
    // The browser's own menu would offer reload, save and view source past the disabled toolbar
    // items; the page keeps to its toolbar and links.
    tab->View().setContextMenuPolicy(Qt::NoContextMenu);
    return tab;
}

}  // namespace quib::partner
