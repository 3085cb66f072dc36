#pragma once
// A registered site's browser tab: the host's tabbed browser on the site's administration
// address, which extends every completed CMS page and video-search result page with scripts.
#include "host/browser/browserdocument.h"
#include "admin/pagescripts.h"
#include "host/browser/tabwebform.h"
#include "collect/resourcesearch.h"

#include <vector>

namespace quib::admin {

struct TSiteData;

class TWebPage : public TTabWebForm {
    Q_OBJECT
public:
    TWebPage(QWidget* owner, IApp* app, const QString& url);

    bool ScriptEnabled = false;
    // The CMS document that last received an injected menu, add or edit script.
    BrowserDocument AdminDocument;
    bool AutoFinish = false;
    const TSiteData* Site = nullptr;  // not owned

    // BrowserBeforeNaviage2 and BrwoserWebExternal keep their misspelt names (see TTabWebForm).
    void BrowserBeforeNaviage2(TBrowserTab* sender, const std::string& url, bool mainFrame, bool& cancel) override;
    void BrowserNavigateComplete2(TBrowserTab* sender, const std::string& url) override;
    void BrowserDocumentComplete(TBrowserTab* sender, const BrowserDocument& document, const std::string& url) override;
    void OnFormClose() override;
    // The page scripts' calls: "search", "webparse" and "parse" (webexternal.cpp).
    void BrwoserWebExternal(TBrowserTab* sender, const BrowserDocument& caller,
                            const std::vector<std::string>& args) override;
    // Sends browser to source site's search for keyword: type 0 videos, any other albums.
    void DoSearch(const std::string& site, const std::string& keyword, int type, TBrowserTab* browser);

private:
    bool InjectVideoSearch(const BrowserDocument& document);
    void InjectCms(const BrowserDocument& document, const std::string& url);
    // Runs the scripts one after the other; throws, naming the page and the site, when the
    // browser fails to run one (the browser form logs it).
    void RunScripts(const BrowserDocument& document, const std::vector<PageScript>& scripts);
    void Search(const std::vector<std::string>& args);
    // The video search's resource-site source: the series found, one picked and collected.
    void SearchResources(const std::vector<collect::ResourceSite>& sites, const QString& word);
    // Runs the collection dialog and writes its result back; playerWord is the site word of a
    // search-result link ("webparse"), null for the CMS's own buttons ("parse").
    void Collect(const std::string& target, const std::string& siteWord, const std::string* playerWord);
};

}  // namespace quib::admin
