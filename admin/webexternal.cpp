// The page scripts' calls into the site's tab: the video search, and the collections whose result
// is written back into the CMS film form.
#include "host/core/app.h"
#include "admin/cmsfill.h"
#include "host/core/gbk.h"
#include "host/core/messageservice.h"
#include "admin/processform.h"
#include "admin/searchaddress.h"
#include "admin/searchform.h"
#include "collect/addressrules.h"
#include "collect/apiresultform.h"
#include "admin/sitedata.h"
#include "admin/webpage.h"

#include "host/browser/browserpage.h"
#include "host/browser/browsertab.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>

#include <memory>
#include <stdexcept>

namespace quib::admin {

using namespace quib::collect;
using namespace quib::results;

namespace {

constexpr int kBlankPageMs = 10000;

// A missing argument reads as empty.
std::string Arg(const std::vector<std::string>& args, std::size_t index)
{
    return index < args.size() ? args[index] : std::string();
}

// Pastes the copied list into the target's address list, merges the album identifier into the
// album field and, for a search-result link, sets the player type. The first step that fails ends
// it; what was written stays.
void WriteBack(const BrowserDocument& document, const TProcessForm& dialog, const std::string& version,
               const std::string* playerWord)
{
    const FillTarget target = dialog.Target();
    // An update copied the list the dialog read with the new rows below it. A list that has
    // changed since (another film's page, an edit) would lose what it holds now: nothing is written.
    if (dialog.OldList() && document.GetText(AddressListField(target)) != dialog.OldList())
        return;
    if (!document.ExecScript(PasteScript(target)))
        throw std::runtime_error("the browser did not run the paste script");
    if (!document.ExecScript(AlbumFieldCheckScript()))
        return;
    const std::optional<std::string> album = document.GetValue("zt_dq");
    if (!album || !document.SetValue("zt_dq", MergeAlbumId(*album, dialog.AlbumId, target)))
        return;
    if (!playerWord)
        return;
    if (const std::optional<PlayerType> type = PlayerTypeFor(version, *playerWord))
        document.ExecScript(PlayerTypeScript(PlayerTypeField(target), *type));
}

// The page bridge does not reach an about:blank document on this engine, so the script runs in
// the blank page's own world, with the window.navigate the bridge gives the scripts it runs. The
// blank page has no scripts of its own that could stand in the way. Raises when it did not run.
void RunInBlankPage(TBrowserTab& browser, const std::string& script)
{
    const QString code =
        QStringLiteral(
            "(function(){if(typeof window.navigate!='function')Object.defineProperty(window,'navigate',"
            "{configurable:true,value:function(a){window.location.href=String(a);}});})();") +
        gbk::ToUnicode(script) + QStringLiteral(";true");
    struct State {
        bool ran = false;
        QPointer<QEventLoop> loop;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    browser.Page().runJavaScript(code, QWebEngineScript::MainWorld, [state](const QVariant& result) {
        state->ran = result.toBool();
        if (state->loop)
            state->loop->quit();
    });
    QTimer::singleShot(kBlankPageMs, &loop, &QEventLoop::quit);
    if (!state->ran)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!state->ran)
        throw std::runtime_error("the browser did not run the search script in the new tab");
}

}  // namespace

void TWebPage::BrwoserWebExternal(TBrowserTab*, const BrowserDocument&, const std::vector<std::string>& args)
{
    if (!App)
        return;
    const std::string command = Arg(args, 0);
    if (command == "search") {
        Search(args);
    } else if (command == "webparse") {
        const std::string word = Arg(args, 1);
        Collect(Arg(args, 2), word, &word);
    } else if (command == "parse") {
        const std::string playerType = Arg(args, 3);
        if (playerType.empty()) {
            App->GetMessages().Info(QStringLiteral("请选择播放器类型！"));
            return;
        }
        Collect(ParseTargetAddress(Arg(args, 1), Arg(args, 2)), playerType, nullptr);
    }
}

void TWebPage::Search(const std::vector<std::string>& args)
{
    const auto dialog = std::make_unique<TSearchForm>(this, App);
    if (args.size() > 1)
        dialog->SetKeyword(gbk::ToUnicode(args[1]));
    if (App->GetMessages().ShowModal(*dialog) != QDialog::Accepted)
        return;
    if (dialog->SearchSite == "api") {
        SearchResources(dialog->ChosenApiSites(), dialog->Keyword().trimmed());
        return;
    }
    const int type = dialog->ResultType();
    TBrowserTab* browser = CreateNewTabBrowser(QStringLiteral("about:blank"));
    DoSearch(dialog->SearchSite, gbk::FromUnicode(dialog->Keyword()), type, browser);
}

void TWebPage::SearchResources(const std::vector<ResourceSite>& sites, const QString& word)
{
    // The series picked is collected as a record address typed into the album field would be,
    // and its list written back into the film form the same way.
    TApiResultForm results(this, App, sites, word);
    if (App->GetMessages().ShowModal(results) != QDialog::Accepted || results.Chosen().isEmpty())
        return;
    Collect(gbk::FromUnicode(results.Chosen()), std::string(sitekey::Resource), nullptr);
}

void TWebPage::Collect(const std::string& target, const std::string& siteWord, const std::string* playerWord)
{
    const auto dialog = std::make_unique<TProcessForm>(this, App);
    dialog->TargetAddress = target;
    dialog->SiteWord = siteWord;
    dialog->SetAutoFinish(AutoFinish);
    // The list is read from the document the tab has when OK is pressed.
    dialog->ReadAddressList = [this](FillTarget list) -> std::optional<QString> {
        const BrowserDocument document = AdminDocument;
        return document ? document.GetText(AddressListField(list)) : std::nullopt;
    };
    const std::string version = Site ? Site->Version : std::string();
    if (version == "3.1")
        dialog->LimitToFirstListWithoutTitles();
    const int result = App->GetMessages().ShowModal(*dialog);
    AutoFinish = dialog->AutoFinish();
    // The tab may have moved on while the dialog was open: the document is the one it has now.
    const BrowserDocument document = AdminDocument;
    if (result != QDialog::Accepted || !document)
        return;
    try {
        WriteBack(document, *dialog, version, playerWord);
    } catch (const std::exception& e) {
        // The CMS form is the operator's to fix; the log says what was not written, and where.
        App->WriteLog(QStringLiteral("写回表单失败"),
                      QString::fromUtf8(e.what()) + QStringLiteral("，页面 ") + document.HrefText() +
                          QStringLiteral("，采集地址 ") + gbk::ToUnicode(target),
                      Site ? gbk::ToUnicode(Site->Title) : QString());
    } catch (...) {
    }
}

void TWebPage::DoSearch(const std::string& site, const std::string& keyword, int type, TBrowserTab* browser)
{
    const SearchRequest request = SearchFor(site, keyword, type);
    if (request.form == SearchRequest::Form::None || !browser)
        return;
    if (request.form == SearchRequest::Form::Navigate) {
        browser->Go(QString::fromLatin1(NavigableAddress(request.text)));
        return;
    }
    // The script runs in the blank page once it has loaded.
    browser->Wait(kBlankPageMs);
    if (const BrowserDocument blank = browser->GetDoc2(); blank && blank.ExecScript(request.text))
        return;
    RunInBlankPage(*browser, request.text);
}

}  // namespace quib::admin
