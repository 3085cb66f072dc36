#include "admin/webpage.h"

#include "host/core/gbk.h"
#include "admin/injection.h"
#include "admin/sitedata.h"

#include <stdexcept>

namespace quib::admin {

using namespace quib::collect;

TWebPage::TWebPage(QWidget* owner, IApp* app, const QString& url) : TTabWebForm(owner, app, url, QString(), true)
{
    // The injected scripts fail quietly by design; their errors are not worth a log line.
    Options.ShowScriptErrors = false;
    ScriptEnabled = true;
}

void TWebPage::BrowserBeforeNaviage2(TBrowserTab* sender, const std::string& url, bool mainFrame, bool& cancel)
{
    TTabWebForm::BrowserBeforeNaviage2(sender, url, mainFrame, cancel);
    if (IsCmsInjectedPage(url))
        AdminDocument = {};
}

void TWebPage::BrowserNavigateComplete2(TBrowserTab* sender, const std::string& url)
{
    TTabWebForm::BrowserNavigateComplete2(sender, url);
}

void TWebPage::BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url)
{
    TTabWebForm::BrowserDocumentComplete(sender, document, url);
    if (ScriptEnabled && document && InjectVideoSearch(document))
        return;
    InjectCms(document, url);
}

bool TWebPage::InjectVideoSearch(const BrowserDocument& document)
{
    const auto scripts = VideoSearchScripts(document.Hostname(), document.Href());
    if (!scripts)
        return false;
    RunScripts(document, *scripts);
    return true;
}

void TWebPage::InjectCms(const BrowserDocument& document, const std::string& url)
{
    const auto group = Site ? CmsVersionGroup(Site->Version) : std::nullopt;
    if (!group)
        return;
    const auto page = ClassifyCmsAddress(url);
    if (!page || !document || !ScriptEnabled)
        return;
    AdminDocument = document;
    RunScripts(document, CmsScripts(*group, *page));
}

void TWebPage::RunScripts(const BrowserDocument& document, const std::vector<PageScript>& scripts)
{
    for (const PageScript script : scripts)
        if (!document.ExecScript(WrapScript(ScriptText(script))))
            throw std::runtime_error("the browser did not run a page script in " + gbk::ToUtf8(document.Href()) +
                                     " (site " + (Site ? gbk::ToUtf8(Site->Title) : std::string()) + ")");
}

void TWebPage::OnFormClose()
{
    TTabWebForm::OnFormClose();
    AdminDocument = {};
}

}  // namespace quib::admin
