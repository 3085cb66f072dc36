// The CMS round trip in the real browser (offscreen) on the stand-in web, driven as the operator
// drives it: the injected buttons and links are clicked, the dialogs answered, and the film form
// read back.
#include "results/addresslist.h"
#include "host/browser/browserstartup.h"
#include "host/browser/browsertab.h"
#include "results/dataview.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "collect/parse.h"
#include "admin/presentrows.h"
#include "admin/processform.h"
#include "results/resultgrid.h"
#include "tests/support/controls.h"
#include "tests/support/scriptedmessages.h"
#include "admin/searchform.h"
#include "collect/apipage.h"
#include "collect/apiresultform.h"
#include "collect/choose.h"
#include "collect/resourcesitelist.h"
#include "admin/sitedata.h"
#include "tests/support/standinmain.h"
#include "standin/standinweb.h"
#include "admin/webpage.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

using namespace quib;
using namespace quib::results;
using namespace quib::collect;
using namespace quib::admin;
using namespace quib::test;
using namespace quib::standin;

using Kind = ScriptedMessages::Kind;

namespace {

StandinWeb* g_web = nullptr;

std::string G(std::string_view utf8) { return gbk::FromUtf8(utf8); }

// Counts the calls the tab has finished, so a test can wait for the one it started.
class SiteTab : public TWebPage {
public:
    using TWebPage::TWebPage;
    int calls = 0;
    void BrwoserWebExternal(TBrowserTab* sender, const BrowserDocument& caller,
                            const std::vector<std::string>& args) override
    {
        struct Count {
            int& calls;
            ~Count() { ++calls; }
        } count{calls};
        TWebPage::BrwoserWebExternal(sender, caller, args);
    }
};

// The copy text of the checked rows, built from the rows themselves; a text area's value holds
// its line breaks as "\n".
std::string FormText(const MemData& data, bool titles, int merge)
{
    std::string text;
    int k = 0;
    for (int i = 0; i < data.Count(); ++i) {
        const ResultRow& row = data.Row(i);
        if (!row.Status)
            continue;
        if (k > 0)
            text += k % merge == 0 ? "\n" : "|";
        text += titles ? row.Caption + "$" + row.Url : row.Url;
        ++k;
    }
    return text;
}

// Moves the stand-in's running series on to this many episodes.
bool SetEpisodes(int episodes)
{
    httplib::Client client("127.0.0.1", g_web->Port());
    const auto reply = client.Get("/standin/running?episodes=" + std::to_string(episodes), {{"Host", "www.tudou.com"}});
    return reply && reply->status == 200;
}

// What a collection through the dialog gave, seen from inside it.
struct Collected {
    std::string text;  // as the film form must hold it
    std::string albumId;
    bool fill2Enabled = true;
    bool allEnabled = true;
    bool autoAtOpen = false;
};

// The dialog's options as the operator sets them before OK.
struct Choice {
    int fill = 1;
    bool titles = true;
    int merge = 1;
    bool autoFinish = false;
    bool newOnly = false;
};

}  // namespace

class CmsRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void parseFillsTheFilmForm_data();
    void parseFillsTheFilmForm();
    void webparseFromEachVideoSite_data();
    void webparseFromEachVideoSite();
    void cancelCloseAutoFinishAndOddCalls();
    void searchDialogAndTheAddressesOpened();
    void updateAddsOnlyTheNewEpisodes();
    void failedCollectionLeavesTheListAlone();
    void albumFieldOfAnotherKindIsNotMerged_data();
    void albumFieldOfAnotherKindIsNotMerged();
    void savedFilmReopensForEditing();
    void resourceSeriesFoundCollectedAndUpdated();

private:
    std::unique_ptr<SiteTab> OpenForm(const std::string& version, const std::string& page, TSiteData& site);
    // Clicks an element of the page after the script that clicks has returned, and waits until
    // the tab has finished the call it makes.
    void Click(SiteTab& tab, const BrowserDocument& document, const std::string& element);
    void Invoke(SiteTab& tab, const std::vector<std::string>& args);
    // Answers the next collection dialog: the choice, OK, the result sheet, 完成.
    // Other dialogs shown before or meanwhile (a search, a resource record's sources) are answered by other.
    void AnswerCollection(const Choice& choice, Collected& seen, const std::function<void(TProcessForm&)>& before = {},
                          const std::function<int(QDialog&)>& other = {});
    void AnswerSearch(const std::function<int(TSearchForm&)>& answer);
    std::string Value(const BrowserDocument& document, const char* name)
    {
        return document.GetValue(name).value_or("<none>");
    }

    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    std::unique_ptr<WorkerRegistry> m_workers;
    std::unique_ptr<HostApp> m_app;
};

void CmsRoundTripTest::initTestCase()
{
    m_workers = std::make_unique<WorkerRegistry>();
    NetworkSettings network;
    network.connectTo = g_web->ConnectToRules();
    m_app = std::make_unique<HostApp>("Quib", m_dir.path(), m_messages, *m_workers, network);
}

void CmsRoundTripTest::cleanupTestCase()
{
    m_workers->StopAll();
    m_workers->WaitAll();
}

std::unique_ptr<SiteTab> CmsRoundTripTest::OpenForm(const std::string& version, const std::string& page,
                                                    TSiteData& site)
{
    const std::string address = "http://cms.standin.test/" + version + "/admin/" + page;
    site = TSiteData{"site " + version, address, "0", version};
    auto tab = std::make_unique<SiteTab>(nullptr, m_app.get(), QString::fromStdString(address));
    tab->Site = &site;
    tab->AfterShow(nullptr);
    if (!QTest::qWaitFor([&] { return !tab->AdminDocument.Empty(); }, 20000))
        throw std::runtime_error("the CMS page did not load: " + address);
    return tab;
}

void CmsRoundTripTest::Invoke(SiteTab& tab, const std::vector<std::string>& args)
{
    const int before = tab.calls;
    tab.BrwoserWebExternal(tab.GetActiveBrowser(), tab.AdminDocument, args);
    QCOMPARE(tab.calls, before + 1);
}

void CmsRoundTripTest::Click(SiteTab& tab, const BrowserDocument& document, const std::string& element)
{
    const int before = tab.calls;
    QVERIFY(document.ExecScript("setTimeout(function(){" + element + ".click();},0)"));
    QVERIFY2(QTest::qWaitFor([&] { return tab.calls > before; }, 60000), element.c_str());
}

void CmsRoundTripTest::AnswerCollection(const Choice& choice, Collected& seen,
                                        const std::function<void(TProcessForm&)>& before,
                                        const std::function<int(QDialog&)>& other)
{
    m_messages.OnModal([this, choice, &seen, before, other](QDialog& modal) {
        if (!dynamic_cast<TProcessForm*>(&modal) && other)
            return other(modal);
        auto& dialog = dynamic_cast<TProcessForm&>(modal);
        dialog.show();
        seen.fill2Enabled = Control<QRadioButton>(dialog, "Fill2Radio")->isEnabled();
        seen.allEnabled = Control<QCheckBox>(dialog, "AllCheckBox")->isEnabled();
        seen.autoAtOpen = Control<QCheckBox>(dialog, "AutoCheckBox")->isChecked();
        if (seen.fill2Enabled)
            Control<QRadioButton>(dialog, choice.fill == 1 ? "Fill1Radio" : "Fill2Radio")->setChecked(true);
        if (seen.allEnabled)
            Control<QCheckBox>(dialog, "AllCheckBox")->setChecked(choice.titles);
        Control<QSpinBox>(dialog, "SpinEdit")->setValue(choice.merge);
        Control<QCheckBox>(dialog, "AutoCheckBox")->setChecked(choice.autoFinish);
        Control<QCheckBox>(dialog, "NewOnlyCheckBox")->setChecked(choice.newOnly);
        Control<QPushButton>(dialog, "OkButton")->click();
        if (!QTest::qWaitFor(
                [&] { return ShownPage(dialog, "PageControl") == QLatin1String("ResultSheet") || !dialog.isVisible(); },
                30000))
            return int(QDialog::Rejected);
        if (!dialog.ParseForm || dialog.ParseForm->Data().Count() == 0)
            return int(QDialog::Rejected);
        seen.text =
            FormText(dialog.ParseForm->Data(), Control<QCheckBox>(dialog, "AllCheckBox")->isChecked(), choice.merge);
        if (before)
            before(dialog);
        if (dialog.isVisible())
            Control<QPushButton>(dialog, "FinishButton")->click();
        seen.albumId = dialog.AlbumId;
        return dialog.result();
    });
}

void CmsRoundTripTest::AnswerSearch(const std::function<int(TSearchForm&)>& answer)
{
    m_messages.OnModal([answer](QDialog& modal) { return answer(dynamic_cast<TSearchForm&>(modal)); });
}

void CmsRoundTripTest::parseFillsTheFilmForm_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("page");
    for (const char* version : {"3.1", "4.x", "5.0", "6.0"}) {
        QTest::addRow("%s add", version) << version << "admin_add.asp";
        QTest::addRow("%s edit", version) << version << "admin_p.asp?action=edit&id=1";
    }
}

void CmsRoundTripTest::parseFillsTheFilmForm()
{
    QFETCH(QString, version);
    QFETCH(QString, page);
    TSiteData site;
    auto tab = OpenForm(version.toStdString(), page.toStdString(), site);
    const BrowserDocument form = tab->AdminDocument;
    const bool v31 = version == "3.1";
    const std::string tudou = "http://www.tudou.com/playlist/id/2x3/";
    const std::string youku = "http://www.youku.com/playlist_show/id_1x4.html";
    const std::string playerTypes = Value(form, "zt_dy") + "," + Value(form, "zt_dy1");
    QCOMPARE(playerTypes, std::string("tudou,youku"));

    // 采集1 on a field of two parts: the left one is collected and replaced by its identifier.
    QVERIFY(form.SetValue("zt_dq", tudou + "|" + youku));
    Collected first;
    AnswerCollection({1, true, 2, false}, first);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(first.fill2Enabled, !v31);
    QCOMPARE(first.allEnabled, !v31);
    QVERIFY(!first.text.empty());
    // "3.1" takes addresses only, without titles.
    QCOMPARE(first.text.find('$') != std::string::npos, !v31);
    QCOMPARE(Value(form, "zt_url"), first.text);
    QCOMPARE(first.albumId, std::string("2x3"));
    QCOMPARE(Value(form, "zt_dq"), "2x3|" + youku);
    QCOMPARE(Value(form, "zt_url1"), std::string());

    if (!v31) {
        // 采集2: the right part, into address 2, addresses only, three to a line.
        Collected second;
        AnswerCollection({2, false, 3, false}, second);
        Click(*tab, form, "document.form2.zt_cj2");
        QVERIFY(second.text.find('$') == std::string::npos);
        QVERIFY(second.text.find('|') != std::string::npos);
        QCOMPARE(Value(form, "zt_url1"), second.text);
        QCOMPARE(Value(form, "zt_dq"), std::string("2x3|1x4"));
        QCOMPARE(Value(form, "zt_url"), first.text);
    }

    // A field without "|": address 1 takes the whole field; address 2 appends; the operator may
    // empty the field while the dialog is open.
    QVERIFY(form.SetValue("zt_dq", "http://www.tudou.com/playlist/id/1x2/"));
    Collected third;
    AnswerCollection({2, true, 1, false}, third);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(Value(form, "zt_dq"), std::string(v31 ? "1x2" : "http://www.tudou.com/playlist/id/1x2/|1x2"));
    QCOMPARE(Value(form, v31 ? "zt_url" : "zt_url1"), third.text);

    QVERIFY(form.SetValue("zt_dq", "http://www.tudou.com/playlist/id/1x3/"));
    Collected fourth;
    AnswerCollection({2, true, 1, false}, fourth, [&](TProcessForm&) { QVERIFY(form.SetValue("zt_dq", "")); });
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(Value(form, "zt_dq"), std::string(v31 ? "1x3" : "|1x3"));

    // "parse" never touches the player types.
    QCOMPARE(Value(form, "zt_dy") + "," + Value(form, "zt_dy1"), playerTypes);
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
    m_messages.Clear();
}

void CmsRoundTripTest::webparseFromEachVideoSite_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("3.1") << "3.1";
    QTest::newRow("4.x") << "4.x";
    QTest::newRow("6.0") << "6.0";
}

void CmsRoundTripTest::webparseFromEachVideoSite()
{
    QFETCH(QString, version);
    TSiteData site;
    auto tab = OpenForm(version.toStdString(), "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    const bool v31 = version == "3.1";
    struct Source {
        const char* radio;  // the search dialog's source
        const char* host;   // where its results page is
        const char* word;   // the site word of its links
        const char* v31;    // the player type a "3.1" site gets ("": none)
        const char* other;  // and "4.x", "6.0"
    };
    const Source sources[] = {
        {"WoleRadio", "so.56.com", "56", "56", "56"},
        {"YoukuRadio", "so.youku.com", "youku", "youku2", "youku"},
        {"TudouRadio", "so.tudou.com", "tudou", "tudou2", "tudou"},
        {"LjfRadio", "6.cn", "6", "6rooms", "6rooms"},
        {"OuouRadio", "so.ouou.com", "ouou", "ouou", "ouou"},
        {"SinaRadio", "so.video.sina.com.cn", "sina", "", "iask"},
    };
    int fill = 1;
    for (const Source& source : sources) {
        QVERIFY(form.SetValue("zt_name", G("射雕")));
        AnswerSearch([&](TSearchForm& dialog) {
            dialog.findChild<QRadioButton*>(source.radio)->click();
            Control<QPushButton>(dialog, "OkButton")->click();
            return dialog.result();
        });
        const int tabs = tab->BrowserCount();
        Click(*tab, form, "document.form2.zt_ss");
        QCOMPARE(tab->BrowserCount(), tabs + 1);
        TBrowserTab* results = tab->BrowserAt(tabs);
        const std::string count = G(
            "Array.from(document.getElementsByTagName('a')).filter(function(a){return a.textContent=='采集';}).length");
        auto links = [&] {
            const BrowserDocument doc = results->GetDoc2();
            if (doc.Hostname() != source.host)
                return 0;
            doc.ExecScript(
                "var __p=document.getElementsByName('__n')[0];if(!__p){__p=document.createElement('input');"
                "__p.name='__n';document.body.appendChild(__p);}__p.value=String(" +
                count + ");");
            return std::atoi(doc.GetValue("__n").value_or("0").c_str());
        };
        QVERIFY2(QTest::qWaitFor([&] { return links() > 0; }, 20000), source.host);

        // Address 2 from "4.x" on, for every other site.
        fill = v31 ? 1 : 3 - fill;
        const char* field = fill == 1 ? "zt_dy" : "zt_dy1";
        QVERIFY(form.SetValue(field, "flash"));
        Collected seen;
        AnswerCollection({fill, true, 1, false}, seen);
        Click(
            *tab, results->GetDoc2(),
            G("Array.from(document.getElementsByTagName('a')).filter(function(a){return a.textContent=='采集';})[0]"));
        QVERIFY2(!seen.text.empty(), source.host);
        QCOMPARE(Value(form, fill == 1 ? "zt_url" : "zt_url1"), seen.text);
        const std::string expected = v31 ? source.v31 : source.other;
        // No entry for the site: the player type stays as it was.
        QCOMPARE(Value(form, field), expected.empty() ? std::string("flash") : expected);
        QVERIFY(tab->CloseBrowser(results));
    }
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
    m_messages.Clear();
}

void CmsRoundTripTest::cancelCloseAutoFinishAndOddCalls()
{
    TSiteData site;
    auto tab = OpenForm("4.x", "admin_add.asp", site);
    BrowserDocument form = tab->AdminDocument;
    const std::string album = "http://www.tudou.com/playlist/id/1x3/";
    QVERIFY(form.SetValue("zt_dq", album));
    m_messages.Clear();

    // No player type: a message, no dialog.
    QVERIFY(form.SetValue("zt_dy", ""));
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(m_messages.Texts(Kind::Info), std::vector<QString>{"请选择播放器类型！"});
    QVERIFY(m_messages.Texts(Kind::Modal).empty());
    QVERIFY(form.SetValue("zt_dy", "tudou"));

    // Cancel on the options, and the close box while collecting: nothing is written.
    m_messages.OnModal([](QDialog& dialog) {
        dialog.show();
        Control<QPushButton>(dialog, "CancelButton")->click();
        return dialog.result();
    });
    Click(*tab, form, "document.form2.zt_cj");
    m_messages.OnModal([](QDialog& modal) {
        auto& dialog = dynamic_cast<TProcessForm&>(modal);
        dialog.show();
        Control<QCheckBox>(dialog, "FastCheckBox")->setChecked(false);
        dialog.TargetAddress = "http://www.tudou.com/playlist/id/300x20/";
        Control<QPushButton>(dialog, "OkButton")->click();
        if (!QTest::qWaitFor([&] { return dialog.ParseForm->Data().Count() > 0; }, 20000))
            qWarning("no row came");
        dialog.close();
        return dialog.result();
    });
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(Value(form, "zt_url"), std::string());
    QCOMPARE(Value(form, "zt_dq"), album);
    QVERIFY(QTest::qWaitFor([&] { return m_workers->RunningCount() == 0; }, 20000));

    // A single page is collected inside OK and ends there: the result sheet is what shows.
    QVERIFY(form.SetValue("zt_dq", "http://www.tudou.com/programs/view/Ab12345678/"));
    bool resultShown = false;
    std::string single;
    m_messages.OnModal([&](QDialog& modal) {
        auto& dialog = dynamic_cast<TProcessForm&>(modal);
        dialog.show();
        Control<QPushButton>(dialog, "OkButton")->click();
        resultShown = ShownPage(dialog, "PageControl") == QLatin1String("ResultSheet") && dialog.isVisible() &&
                      dialog.ParseForm->Data().Count() == 1;
        single = FormText(dialog.ParseForm->Data(), true, 1);
        Control<QPushButton>(dialog, "FinishButton")->click();
        return dialog.result();
    });
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(resultShown);
    QVERIFY(!single.empty());
    QCOMPARE(Value(form, "zt_url"), single);

    // 自动完成: the dialog closes by itself with the rows copied, and the tab remembers it.
    QVERIFY(form.SetValue("zt_dq", album));
    Collected automatic;
    AnswerCollection({1, true, 1, true}, automatic);
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(!automatic.autoAtOpen);
    QVERIFY(!automatic.text.empty());
    QCOMPARE(Value(form, "zt_url"), automatic.text);
    QVERIFY(tab->AutoFinish);
    QVERIFY(form.SetValue("zt_url", ""));
    QVERIFY(form.SetValue("zt_dq", album));
    Collected again;
    AnswerCollection({1, true, 1, true}, again);
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(again.autoAtOpen);
    QCOMPARE(Value(form, "zt_url"), again.text);
    // Another site's tab keeps its own.
    TSiteData other;
    auto second = OpenForm("5.0", "admin_add.asp", other);
    QVERIFY(second->AdminDocument.SetValue("zt_dq", album));
    Collected separate;
    AnswerCollection({1, true, 1, false}, separate);
    Click(*second, second->AdminDocument, "document.form2.zt_cj");
    QVERIFY(!separate.autoAtOpen);
    QVERIFY(tab->AutoFinish);
    second.reset();

    // The tab goes to another film page while the dialog is open: nothing is written anywhere.
    tab->AutoFinish = false;
    QVERIFY(form.SetValue("zt_url", ""));
    QVERIFY(form.SetValue("zt_dq", album));
    Collected moved;
    AnswerCollection({1, true, 1, false}, moved, [&](TProcessForm&) {
        QVERIFY(form.ExecScript("location.href='admin_p.asp?action=edit&id=2'"));
        QVERIFY(QTest::qWaitFor([&] { return tab->AdminDocument.Empty(); }, 10000));
    });
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(!moved.text.empty());
    QVERIFY(QTest::qWaitFor([&] { return !tab->AdminDocument.Empty(); }, 20000));
    QCOMPARE(Value(tab->AdminDocument, "zt_url"), std::string());
    QCOMPARE(Value(tab->AdminDocument, "zt_dq"), std::string("http://www.youku.com/playlist_show/id_1x4.html"));

    // A player-type field of another kind than the version's is left alone: a "6.0" site writes
    // a list, and this page has a text input.
    site.Version = "6.0";
    QVERIFY(QTest::qWaitFor([&] { return !tab->AdminDocument.Empty(); }, 20000));
    const BrowserDocument edit = tab->AdminDocument;
    QVERIFY(edit.SetValue("zt_dy", "flash"));
    Collected other6;
    AnswerCollection({1, true, 1, false}, other6);
    Invoke(*tab, {"webparse", "tudou", "http://www.tudou.com/playlist/id/1x2/"});
    QCOMPARE(Value(edit, "zt_url"), other6.text);
    QCOMPARE(Value(edit, "zt_dq"), std::string("1x2"));
    QCOMPARE(Value(edit, "zt_dy"), std::string("flash"));
    site.Version = "4.x";
    QVERIFY(edit.SetValue("zt_url", ""));
    QVERIFY(edit.SetValue("zt_dq", "http://www.tudou.com/playlist/id/3x20/"));

    // Calls with fewer arguments than their command uses, and unknown commands.
    m_messages.Clear();
    m_messages.OnModal([](QDialog& dialog) { return dialog.result(); });
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"webparse"},
                                                 {"webparse", "56"},
                                                 {"parse"},
                                                 {"parse", "1", "x"},
                                                 {"Search"},
                                                 {"other", "1"}}) {
        Invoke(*tab, args);
    }
    QCOMPARE(m_messages.Texts(Kind::Info), (std::vector<QString>{"请选择播放器类型！", "请选择播放器类型！"}));
    QCOMPARE(m_messages.Texts(Kind::Modal), (std::vector<QString>{"数据采集", "数据采集"}));
    QCOMPARE(Value(tab->AdminDocument, "zt_url"), std::string());
}

void CmsRoundTripTest::searchDialogAndTheAddressesOpened()
{
    TSiteData site;
    auto tab = OpenForm("6.0", "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    const std::string keyword = G("射雕 英雄\"传/1");
    QVERIFY(form.SetValue("zt_name", keyword));
    const int tabs = tab->BrowserCount();

    // The menu's call carries no keyword; the dialog's checks; a dialog closed opens nothing.
    m_messages.Clear();
    QString initialKey;
    QString initialType;
    AnswerSearch([&](TSearchForm& dialog) {
        initialKey = Control<QLineEdit>(dialog, "KeyEdit")->text();
        initialType = Control<QComboBox>(dialog, "TypeComboBox")->currentText();
        Control<QLineEdit>(dialog, "KeyEdit")->setText("  ");
        Control<QPushButton>(dialog, "OkButton")->click();
        Control<QLineEdit>(dialog, "KeyEdit")->setText("a");
        Control<QPushButton>(dialog, "OkButton")->click();
        return dialog.result();
    });
    Invoke(*tab, {"search"});
    QCOMPARE(initialKey, QString());
    QCOMPARE(initialType, QStringLiteral("专辑"));
    QCOMPARE(m_messages.Texts(Kind::Info), (std::vector<QString>{"请输入关键字！", "请选择搜索源！"}));
    QCOMPARE(tab->BrowserCount(), tabs);

    const QByteArray raw = "%C9%E4%B5%F1%20%D3%A2%D0%DB%22%B4%AB/1";
    const QByteArray encoded = "%C9%E4%B5%F1%20%D3%A2%D0%DB%22%B4%AB%2F1";
    const QByteArray script = "%E5%B0%84%E9%9B%95%20%E8%8B%B1%E9%9B%84%22%E4%BC%A0%2F1";  // UTF-8, by the page
    struct Case {
        const char* radio;
        int type;
        const char* host;
        QByteArray target;    // as the server received it
        const char* landing;  // where the browser ends up, when it is sent on
    };
    const std::vector<Case> cases = {
        {"MTimeRadio", 0, "www.mtime.com", "/search/movie?" + script, nullptr},
        {"MTimeRadio", 1, "www.mtime.com", "/search/movie?" + script, nullptr},
        {"MDBRadio", 0, "www.mdbchina.com", "/query/" + raw, nullptr},
        {"MDBRadio", 1, "www.mdbchina.com", "/query/" + raw, nullptr},
        {"GGRadio", 0, "www.gougou.com", "/search?id=quib&search=" + raw, nullptr},
        {"GGRadio", 1, "www.gougou.com", "/search?id=quib&search=" + raw, nullptr},
        {"KCRadio", 0, "www.kuaiche.com", "/s/search?sid=quib&r=2&q=" + raw, nullptr},
        {"KCRadio", 1, "www.kuaiche.com", "/s/search?sid=quib&r=2&q=" + raw, nullptr},
        {"BaiduRadio", 0, "image.baidu.com", "/i?ct=201326592&lm=-1&word=" + encoded, nullptr},
        {"BaiduRadio", 1, "image.baidu.com", "/i?ct=201326592&lm=-1&word=" + encoded, nullptr},
        {"YoukuRadio", 0, "so.youku.com", "/search_video/q_" + raw, nullptr},
        {"YoukuRadio", 1, "so.youku.com", "/search_playlist/q_" + raw, nullptr},
        {"TudouRadio", 0, "www.tudou.com",
         "/search/programs/?posto=%2Fsearch%2Fprograms%2F&kw=" + raw + "&nav_search_target=0&comefrom=1", "/isearch/"},
        {"TudouRadio", 1, "www.tudou.com",
         "/search/playlist/?posto=%2Fsearch%2Fplaylist%2F&kw=" + raw + "&nav_search_target=0&comefrom=1", "/psearch/"},
        {"WoleRadio", 0, "so.56.com", "/index?type=video&key=" + raw, nullptr},
        {"WoleRadio", 1, "so.56.com", "/index?type=album&key=" + raw, nullptr},
        {"OuouRadio", 0, "so.ouou.com", "/search/video/" + raw + "/1", nullptr},
        {"OuouRadio", 1, "so.ouou.com", "/search/special/" + raw + "/1", nullptr},
        {"SinaRadio", 0, "so.video.sina.com.cn", "/s?key=" + raw + "&type=video&sort=click", nullptr},
        {"SinaRadio", 1, "so.video.sina.com.cn", "/s?key=" + raw + "&type=topic&sort=click", nullptr},
        {"LjfRadio", 0, "6.cn", "/search.php?t=v&k=" + script, nullptr},
        {"LjfRadio", 1, "6.cn", "/search.php?t=p&k=" + script, nullptr},
    };
    for (const Case& c : cases) {
        const QString name = QStringLiteral("%1 %2").arg(c.radio).arg(c.type);
        g_web->ClearRequests();
        AnswerSearch([&](TSearchForm& dialog) {
            dialog.findChild<QRadioButton*>(c.radio)->click();
            Control<QComboBox>(dialog, "TypeComboBox")->setCurrentIndex(c.type);
            Control<QPushButton>(dialog, "OkButton")->click();
            return dialog.result();
        });
        Click(*tab, form, "document.form2.zt_ss");
        QVERIFY2(tab->BrowserCount() == tabs + 1, qPrintable(name));
        TBrowserTab* opened = tab->BrowserAt(tabs);
        auto received = [&](const char* host) -> QByteArray {
            for (const auto& request : g_web->Requests())
                if (request.host == host)
                    return QByteArray::fromStdString(request.target);
            return {};
        };
        QVERIFY2(QTest::qWaitFor([&] { return !received(c.host).isEmpty(); }, 20000), qPrintable(name));
        QCOMPARE(received(c.host), c.target);
        if (c.landing) {
            QVERIFY(QTest::qWaitFor([&] { return !received("so.tudou.com").isEmpty(); }, 20000));
            QCOMPARE(received("so.tudou.com"), c.landing + raw);
            QVERIFY(QTest::qWaitFor([&] { return opened->GetDoc2().Hostname() == "so.tudou.com"; }, 20000));
        }
        QVERIFY(tab->CloseBrowser(opened));
    }
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
}

void CmsRoundTripTest::updateAddsOnlyTheNewEpisodes()
{
    TSiteData site;
    auto tab = OpenForm("5.0", "admin_p.asp?action=edit&id=1", site);
    const BrowserDocument form = tab->AdminDocument;
    const std::string album = "http://www.tudou.com/playlist/id/running/";
    const auto address = [](int n) { return QString::number(70000000 + n); };

    // The film holds episodes 1-20 (13 never came out) under the operator's own titles, in both
    // layouts, some merged, with a blank line and stray spaces, the last line without a break.
    QVERIFY(SetEpisodes(20));
    QString typed;
    for (int n = 1; n <= 20; ++n) {
        if (n == 13)
            continue;
        if (!typed.isEmpty())
            typed += n % 5 == 0 ? QStringLiteral("|") : n == 9 ? QStringLiteral("\r\n\r\n  ") : QStringLiteral("\r\n");
        typed += n % 3 == 0 ? address(n) : QStringLiteral("第%1集 $%2").arg(n, 2, 10, QLatin1Char('0')).arg(address(n));
    }
    QVERIFY(form.SetValue("zt_url", gbk::FromUnicode(typed)));
    const QString before = form.GetText("zt_url").value_or("<none>");
    QSet<QString> episodes;
    for (int n = 1; n <= 24; ++n)
        if (n != 13)
            episodes.insert(address(n));

    // The series has grown to 24: the four new episodes are checked and go below the list in
    // order, two to a line; the rows already there are unchecked and marked.
    QVERIFY(SetEpisodes(24));
    QVERIFY(form.SetValue("zt_dq", album));
    Collected update;
    int rows = 0;
    std::vector<int> checked;
    int marked = 0;
    const auto review = [&](TProcessForm& dialog) {
        const MemData& data = dialog.ParseForm->Data();
        const auto* marks = dynamic_cast<const PresentRowDelegate*>(dialog.ParseForm->Grid().View().itemDelegate());
        QVERIFY(marks);
        QVERIFY(Control<QLabel>(dialog, "UpdateLabel")->isVisible());
        rows = data.Count();
        checked.clear();
        marked = 0;
        for (int i = 0; i < data.Count(); ++i) {
            if (data.Row(i).Status)
                checked.push_back(std::stoi(data.Row(i).Url) - 70000000);
            marked += marks->IsPresent(i) ? 1 : 0;
            QVERIFY(data.Row(i).Status != marks->IsPresent(i));
        }
        if (const QString dir = qEnvironmentVariable("QUIB_SHOT_DIR"); !dir.isEmpty() && !checked.empty()) {
            dialog.ParseForm->Grid().View().scrollToBottom();  // the new rows
            dialog.grab().save(QDir(dir).filePath("dialog-update.png"));
        }
    };
    AnswerCollection({1, true, 2, false, true}, update, review);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(rows, 24);  // 23 episodes, one of them published twice
    QCOMPARE(checked, (std::vector<int>{21, 22, 23, 24}));
    QCOMPARE(marked, 20);
    const QString updated = form.GetText("zt_url").value_or("<none>");
    QCOMPARE(updated,
             before + QStringLiteral(
                          "\n长河 第21集$70000021|长河 第二十二集$70000022\n长河 EP23$70000023|长河 E24$70000024"));
    QCOMPARE(ListedAddresses(updated), episodes);
    QCOMPARE(Value(form, "zt_dq"), std::string("running"));

    // Nothing new: nothing checked, the list stays as it is.
    QVERIFY(form.SetValue("zt_dq", album));
    Collected again;
    AnswerCollection({1, true, 2, false, true}, again, review);
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(checked.empty());
    QCOMPARE(marked, 24);
    QCOMPARE(form.GetText("zt_url").value_or("<none>"), updated);

    // The list is edited while the dialog is open: what it holds now is kept, not overwritten
    // with the list read before.
    QVERIFY(SetEpisodes(25));
    QVERIFY(form.SetValue("zt_dq", album));
    Collected edited;
    AnswerCollection({1, true, 1, false, true}, edited,
                     [&](TProcessForm&) { QVERIFY(form.SetValue("zt_url", "x$1")); });
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(!edited.text.empty());
    QCOMPARE(Value(form, "zt_url"), std::string("x$1"));

    // Without the box: the list is replaced by every row collected, as always.
    QVERIFY(form.SetValue("zt_url", gbk::FromUnicode(updated)));
    QVERIFY(form.SetValue("zt_dq", album));
    Collected whole;
    AnswerCollection({1, true, 1, false}, whole);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(Value(form, "zt_url"), whole.text);
    QCOMPARE(std::count(whole.text.begin(), whole.text.end(), '\n'), 24L);  // 25 rows
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
}

void CmsRoundTripTest::failedCollectionLeavesTheListAlone()
{
    TSiteData site;
    auto tab = OpenForm("4.x", "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    const std::string list = G("第1集$1\n第2集$2");
    const std::string album = "http://www.tudou.com/playlist/id/3x5-fail1/";  // the site fails at once
    QVERIFY(form.SetValue("zt_url", list));
    QVERIFY(form.SetValue("zt_dq", album));
    m_messages.Clear();
    // 完成 on the empty result asks first; the answer is no, and the operator closes the dialog.
    bool asked = false;
    m_messages.OnModal([&](QDialog& modal) {
        auto& dialog = dynamic_cast<TProcessForm&>(modal);
        dialog.show();
        Control<QCheckBox>(dialog, "FastCheckBox")->setChecked(false);
        Control<QPushButton>(dialog, "OkButton")->click();
        if (QTest::qWaitFor([&] { return ShownPage(dialog, "PageControl") == QLatin1String("ResultSheet"); }, 30000)) {
            Control<QPushButton>(dialog, "FinishButton")->click();
            asked = dialog.isVisible() && m_messages.Texts(Kind::Question).size() == 1;
        }
        dialog.close();
        return dialog.result();
    });
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(asked);
    QCOMPARE(m_messages.Texts(Kind::Alert).size(), std::size_t(1));
    QCOMPARE(Value(form, "zt_url"), list);
    QCOMPARE(Value(form, "zt_dq"), album);
    m_messages.Clear();
}

void CmsRoundTripTest::albumFieldOfAnotherKindIsNotMerged_data()
{
    QTest::addColumn<QString>("tag");
    QTest::newRow("text area") << "textarea";
    QTest::newRow("list") << "select";
}

void CmsRoundTripTest::albumFieldOfAnotherKindIsNotMerged()
{
    QFETCH(QString, tag);
    TSiteData site;
    auto tab = OpenForm("4.x", "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    const std::string album = "http://www.tudou.com/playlist/id/1x3/";
    // A template whose album field is of another kind, holding the album's address.
    QVERIFY(form.ExecScript("var o=document.form2.zt_dq,e=document.createElement('" + tag.toStdString() +
                            "');e.name='zt_dq';if(e.tagName=='SELECT')e.add(new Option('a','" + album +
                            "'));o.parentNode.replaceChild(e,o);e.value='" + album + "';"));
    Collected seen;
    AnswerCollection({1, true, 1, false}, seen);
    Invoke(*tab, {"parse", "1", album, "tudou"});
    // The paste comes first and stays; the album field is not the kind the merge is for.
    QVERIFY(!seen.text.empty());
    QCOMPARE(Value(form, "zt_url"), seen.text);
    QCOMPARE(Value(form, "zt_dq"), album);
    QCOMPARE(seen.albumId, std::string("1x3"));
}

void CmsRoundTripTest::savedFilmReopensForEditing()
{
    TSiteData site;
    auto tab = OpenForm("5.0", "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    const std::string name = G("笑傲江湖");
    QVERIFY(form.SetValue("zt_name", name));
    QVERIFY(form.SetValue("zt_dq", "http://www.tudou.com/playlist/id/2x3/"));
    Collected seen;
    AnswerCollection({1, true, 1, false}, seen);
    Click(*tab, form, "document.form2.zt_cj");
    QVERIFY(!seen.text.empty());

    // 保存, then the film list, then 修改 on the film's row: the film comes back as it was saved.
    TBrowserTab& browser = *tab->GetActiveBrowser();
    const auto follow = [&](const std::string& link, const std::string& landing) {
        QVERIFY(browser.GetDoc2().ExecScript("setTimeout(function(){" + link + ".click();},0)"));
        QVERIFY2(QTest::qWaitFor([&] { return browser.GetDoc2().Href().find(landing) != std::string::npos; }, 20000),
                 landing.c_str());
    };
    follow("document.querySelector('input[type=submit]')", "admin_save.asp");
    follow("document.querySelector('a[href=\"admin_p.asp\"]')", "admin_p.asp");
    follow("Array.from(document.querySelectorAll('#films a')).pop()", "action=edit");
    QVERIFY(QTest::qWaitFor([&] { return !tab->AdminDocument.Empty(); }, 20000));
    const BrowserDocument edit = tab->AdminDocument;
    QCOMPARE(Value(edit, "zt_name"), name);
    QCOMPARE(Value(edit, "zt_url"), seen.text);
    QCOMPARE(Value(edit, "zt_dq"), std::string("2x3"));
    QCOMPARE(Value(edit, "zt_dy"), std::string("tudou"));
    // Each version keeps its own films.
    httplib::Client client("127.0.0.1", g_web->Port());
    for (const char* version : {"5.0", "3.1"}) {
        const auto list = client.Get(std::string("/") + version + "/admin/admin_p.asp", {{"Host", "cms.standin.test"}});
        QVERIFY(list && list->status == 200);
        QCOMPARE(list->body.find(name) != std::string::npos, std::string(version) == "5.0");
    }
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
}

void CmsRoundTripTest::resourceSeriesFoundCollectedAndUpdated()
{
    // The operator's resource sites: the stand-in's JSON, XML and quirky ones, and one that is down.
    const QString json = QStringLiteral("http://zyjson.standin.test/api.php/provide/vod/");
    ResourceSiteList list;
    list.sites = {{QStringLiteral("甲"), json},
                  {QStringLiteral("乙"), QStringLiteral("http://zyxml.standin.test/api.php/provide/vod/at/xml/")},
                  {QStringLiteral("丙"), QStringLiteral("http://zyodd.standin.test/api.php/provide/vod/")},
                  {QStringLiteral("坏"), QStringLiteral("http://zydown.standin.test/api.php/provide/vod/")}};
    QVERIFY(QDir().mkpath(m_app->GetAppPath() + "data"));
    resourcesites::Save(resourcesites::FilePath(m_app->GetAppPath()), list);

    // One search over all four: the site that is down is marked, the others' series show.
    TApiPage page(nullptr, m_app.get());
    page.LoadSites();
    page.KeyEdit->setText(QStringLiteral("山海长歌"));
    page.SearchButton->click();
    QVERIFY(QTest::qWaitFor([&] { return !page.Searching(); }, 60000));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(page.SiteList->topLevelItem(i)->text(2).startsWith(QStringLiteral("失败")), i == 3);
    int row = -1;
    std::set<int> sitesFound;
    for (std::size_t i = 0; i < page.LastSearch().hits.size(); ++i) {
        const ResourceHit& hit = page.LastSearch().hits[i];
        QCOMPARE(hit.record.name, QStringLiteral("山海长歌"));
        sitesFound.insert(hit.site);
        if (hit.site == 0)
            row = static_cast<int>(i);
    }
    QCOMPARE(sitesFound, (std::set<int>{0, 1, 2}));
    QCOMPARE(page.ResultList->topLevelItem(row)->text(2), QStringLiteral("甲"));
    const QString address = page.LastSearch().hits[static_cast<std::size_t>(row)].address;

    // A double-click collects it into the page's grid; of its two sources the operator takes the second.
    QSignalSpy pageEnded(&page.ParseForm().Engine(), &CollectionEngine::Ended);
    std::vector<QString> lines;
    m_messages.OnModal([&](QDialog& modal) {
        auto& chooser = dynamic_cast<TChooseForm&>(modal);
        lines = chooser.Lines();
        chooser.Choose(1);
        return int(QDialog::Accepted);
    });
    page.ResultListDblClick(row);
    QVERIFY(pageEnded.wait(30000));
    QCOMPARE(lines, (std::vector<QString>{QStringLiteral("ffm3u8（20 集）"), QStringLiteral("ffyun（20 集）")}));
    const MemData& rows = page.ParseForm().Data();
    QCOMPARE(rows.Count(), 20);
    QCOMPARE(rows.Row(0).Caption + "$" + rows.Row(0).Url, G("第01集$https://share.standin.test/play/1001001"));
    if (const QString dir = qEnvironmentVariable("QUIB_SHOT_DIR"); !dir.isEmpty()) {
        page.resize(900, 640);
        page.grab().save(QDir(dir).filePath("resource-page.png"));
    }

    // The record address typed into a CMS 6.0 film form and collected by 采集1: the chooser offers
    // the source taken last for this site first.
    TSiteData site;
    auto tab = OpenForm("6.0", "admin_add.asp", site);
    const BrowserDocument form = tab->AdminDocument;
    QVERIFY(form.SetValue("zt_dq", gbk::FromUnicode(address)));
    int preselected = -1;
    const auto takeOffered = [&](QDialog& modal) {
        preselected = dynamic_cast<TChooseForm&>(modal).Chosen();
        return int(QDialog::Accepted);
    };
    Collected first;
    AnswerCollection({1, true, 1, false}, first, {}, takeOffered);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(preselected, 1);
    QCOMPARE(Value(form, "zt_url"), first.text);
    QVERIFY(first.text.find(G("第20集$https://share.standin.test/play/1001020")) != std::string::npos);
    // The album field keeps the record address, which the next update collects again.
    QCOMPARE(Value(form, "zt_dq"), gbk::FromUnicode(address));

    // Two new episodes came out: 只添加新剧集 adds just those below the list.
    httplib::Client client("127.0.0.1", g_web->Port());
    const auto grown = client.Get("/standin/grow?by=2", {{"Host", "zyjson.standin.test"}});
    QVERIFY(grown && grown->status == 200);
    const QString before = form.GetText("zt_url").value_or("<none>");
    Collected update;
    std::vector<std::string> checked;
    const auto review = [&](TProcessForm& dialog) {
        const MemData& data = dialog.ParseForm->Data();
        for (int i = 0; i < data.Count(); ++i)
            if (data.Row(i).Status)
                checked.push_back(data.Row(i).Caption);
    };
    AnswerCollection({1, true, 1, false, true}, update, review, takeOffered);
    Click(*tab, form, "document.form2.zt_cj");
    QCOMPARE(checked, (std::vector<std::string>{G("第21集"), G("第22集")}));
    QCOMPARE(form.GetText("zt_url").value_or("<none>"),
             before + QStringLiteral("\n第21集$https://share.standin.test/play/1001021"
                                     "\n第22集$https://share.standin.test/play/1001022"));

    // The video search's 资源站 source, limited to one site: the series picked there is collected and
    // written into another film form.
    auto other = OpenForm("6.0", "admin_add.asp", site);
    const BrowserDocument second = other->AdminDocument;
    QVERIFY(second.SetValue("zt_name", G("山海长歌")));
    std::vector<int> hitSites;
    Collected searched;
    AnswerCollection({1, true, 1, false}, searched, {}, [&](QDialog& modal) {
        if (auto* search = dynamic_cast<TSearchForm*>(&modal)) {
            Control<QComboBox>(*search, "ApiComboBox")->setCurrentIndex(1);
            Control<QRadioButton>(*search, "ApiRadio")->click();
            Control<QPushButton>(*search, "OkButton")->click();
            return search->result();
        }
        if (auto* results = dynamic_cast<TApiResultForm*>(&modal)) {
            if (!QTest::qWaitFor([&] { return !results->Searching(); }, 30000))
                return int(QDialog::Rejected);
            for (const ResourceHit& hit : results->Result().hits)
                hitSites.push_back(hit.site);
            results->OkButton->click();
            return results->result();
        }
        return takeOffered(modal);
    });
    Click(*other, second, "document.form2.zt_ss");
    QCOMPARE(hitSites, std::vector<int>{0});
    QCOMPARE(Value(second, "zt_url"), searched.text);
    QCOMPARE(std::count(searched.text.begin(), searched.text.end(), '\n'), 21);
    QCOMPARE(Value(second, "zt_dq"), gbk::FromUnicode(address));
    QVERIFY(m_messages.Texts(Kind::Alert).empty());
    m_messages.Clear();
}

int main(int argc, char** argv)
{
    return RunEmbeddedBrowserTest<CmsRoundTripTest>(argc, argv, [](StandinWeb& web) { g_web = &web; });
}

#include "tst_cmsroundtrip.moc"
