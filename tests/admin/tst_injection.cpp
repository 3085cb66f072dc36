// The injection rules without a browser: which scripts a document gets by host, address and
// CMS version, and the script texts as they are run.
#include "admin/injection.h"

#include <QCryptographicHash>
#include <QTest>

using namespace quib;
using namespace quib::admin;

namespace {

QString Names(const std::optional<std::vector<PageScript>>& scripts)
{
    if (!scripts)
        return QStringLiteral("none");
    static const char* const kNames[] = {"V1", "V2",  "V3", "V4", "V5", "V6", "V7", "V8",
                                         "V9", "V10", "M1", "M2", "A1", "A2", "S1", "S2"};
    QStringList names;
    for (const PageScript script : *scripts)
        names << QString::fromLatin1(kNames[static_cast<int>(script)]);
    return names.join(QLatin1Char(','));
}

}  // namespace

class InjectionTest : public QObject {
    Q_OBJECT
private slots:
    void videoSearchHosts_data();
    void videoSearchHosts();
    void cmsScripts_data();
    void cmsScripts();
    void injectedPagesClearTheDocument_data();
    void injectedPagesClearTheDocument();
    void scriptsAreWrappedWhole();
    void scriptsRunAsWritten();
    void scriptsAreGbkAndOneLine();
};

void InjectionTest::videoSearchHosts_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("scripts");
    QTest::newRow("56") << "so.56.com"
                        << "http://so.56.com/index?type=album&key=a"
                        << "V1";
    QTest::newRow("youku playlist") << "so.youku.com"
                                    << "http://so.youku.com/search_playlist/q_a"
                                    << "V2";
    QTest::newRow("youku video") << "so.youku.com"
                                 << "http://so.youku.com/search_video/q_a"
                                 << "V3,V4";
    QTest::newRow("youku both: playlist first") << "so.youku.com"
                                                << "http://so.youku.com/search_video/search_playlist"
                                                << "V2";
    QTest::newRow("youku neither ends here") << "so.youku.com"
                                             << "http://so.youku.com/admin_add.asp"
                                             << "";
    QTest::newRow("tudou psearch") << "so.tudou.com"
                                   << "http://so.tudou.com/psearch/a"
                                   << "V5";
    QTest::newRow("tudou isearch") << "so.tudou.com"
                                   << "http://so.tudou.com/isearch/a"
                                   << "V6";
    QTest::newRow("6rooms both: t=p only") << "6.cn"
                                           << "http://6.cn/search.php?t=v&t=p"
                                           << "V7";
    QTest::newRow("6rooms video") << "6.cn"
                                  << "http://6.cn/search.php?t=v&k=a"
                                  << "V8";
    QTest::newRow("6rooms other page") << "6.cn"
                                       << "http://6.cn/plist/1.html"
                                       << "";
    QTest::newRow("ouou") << "so.ouou.com"
                          << "http://so.ouou.com/search/special/a/1"
                          << "V9";
    QTest::newRow("sina") << "so.video.sina.com.cn"
                          << "http://so.video.sina.com.cn/s?key=a"
                          << "V10";
    QTest::newRow("sub-domain") << "m.so.56.com"
                                << "http://m.so.56.com/"
                                << "none";
    QTest::newRow("port in the name") << "so.56.com:8080"
                                      << "http://so.56.com:8080/"
                                      << "none";
    QTest::newRow("case differs") << "SO.56.com"
                                  << "http://SO.56.com/"
                                  << "none";
    QTest::newRow("address test is case-sensitive") << "so.tudou.com"
                                                    << "http://so.tudou.com/PSEARCH/a"
                                                    << "";
    QTest::newRow("cms host") << "cms.standin.test"
                              << "http://cms.standin.test/admin_add.asp"
                              << "none";
}

void InjectionTest::videoSearchHosts()
{
    QFETCH(QString, host);
    QFETCH(QString, href);
    QFETCH(QString, scripts);
    QCOMPARE(Names(VideoSearchScripts(host.toStdString(), href.toStdString())), scripts);
}

void InjectionTest::cmsScripts_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("scripts");
    const QString menu = QStringLiteral("http://c/admin/admin_index.asp?action=admin_left");
    const QString add = QStringLiteral("http://c/admin/admin_add.asp");
    const QString edit = QStringLiteral("http://c/admin/admin_p.asp?action=edit&id=3");
    QTest::newRow("3.1 menu") << "3.1" << menu << "M1";
    QTest::newRow("3.1 add") << "3.1" << add << "A1,S1";
    QTest::newRow("3.1 edit") << "3.1" << edit << "A1,S1";
    QTest::newRow("4.x menu") << "4.x" << menu << "M1";
    QTest::newRow("4.x add") << "4.x" << add << "A2,S2";
    QTest::newRow("5.0 like 4.x") << "5.0" << edit << "A2,S2";
    QTest::newRow("5.0 menu") << "5.0" << menu << "M1";
    QTest::newRow("6.0 menu") << "6.0" << menu << "M2";
    QTest::newRow("6.0 add") << "6.0" << add << "A2,S2";
    QTest::newRow("menu with more parameters") << "4.x" << menu + "&x=1"
                                               << "M1";
    QTest::newRow("menu and add: menu only") << "4.x" << menu + "&next=admin_add.asp"
                                             << "M1";
    QTest::newRow("other page") << "4.x"
                                << "http://c/admin/admin_main.asp"
                                << "none";
    QTest::newRow("edit needs its action") << "4.x"
                                           << "http://c/admin/admin_p.asp?action=list"
                                           << "none";
    QTest::newRow("case-sensitive") << "4.x"
                                    << "http://c/admin/ADMIN_ADD.asp"
                                    << "none";
    QTest::newRow("unknown version") << "7.0" << add << "none";
    QTest::newRow("version spelled otherwise") << "4.X" << add << "none";
    QTest::newRow("no version") << "" << menu << "none";
}

void InjectionTest::cmsScripts()
{
    QFETCH(QString, version);
    QFETCH(QString, address);
    QFETCH(QString, scripts);
    const auto group = CmsVersionGroup(version.toStdString());
    const auto page = ClassifyCmsAddress(address.toStdString());
    const auto selected = group && page ? std::optional(CmsScripts(*group, *page)) : std::nullopt;
    QCOMPARE(Names(selected), scripts);
}

void InjectionTest::injectedPagesClearTheDocument_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("clears");
    QTest::newRow("menu") << "http://c/admin_index.asp?action=admin_left" << true;
    QTest::newRow("add") << "http://c/admin_add.asp" << true;
    QTest::newRow("edit") << "http://c/admin_p.asp?action=edit" << true;
    QTest::newRow("frameset") << "http://c/admin_index.asp" << false;
    QTest::newRow("main") << "http://c/admin_main.asp" << false;
}

void InjectionTest::injectedPagesClearTheDocument()
{
    QFETCH(QString, address);
    QFETCH(bool, clears);
    QCOMPARE(IsCmsInjectedPage(address.toStdString()), clears);
}

void InjectionTest::scriptsAreWrappedWhole()
{
    QCOMPARE(WrapScript("a();b()"), std::string("try{a();b()}catch(e){}"));
    QCOMPARE(ScriptText(PageScript::S2), ScriptText(PageScript::S1) + ";");
}

void InjectionTest::scriptsRunAsWritten()
{
    // The sixteen texts, byte for byte as the program holds and runs them (the page bridge, not
    // the text, makes up for what this browser engine does differently).
    QByteArray all;
    for (int i = 0; i < static_cast<int>(kScriptCount); ++i)
        all += QByteArray::fromStdString(ScriptText(static_cast<PageScript>(i))) +
               (i + 1 < static_cast<int>(kScriptCount) ? "\n" : "");
    QCOMPARE(QCryptographicHash::hash(all, QCryptographicHash::Sha1).toHex(),
             QByteArray("fa2fa53ed2541959ed70bb63ffa5a58a15c603ee"));
    QVERIFY(ScriptText(PageScript::M1).find("indexOf(\"<TR>\")") != std::string::npos);
}

void InjectionTest::scriptsAreGbkAndOneLine()
{
    // "采集" in GBK; the menu entry "视频搜索" likewise.
    const std::string collect = "\xB2\xC9\xBC\xAF";
    const std::string search = "\xCA\xD3\xC6\xB5\xCB\xD1\xCB\xF7";
    for (int i = 0; i < static_cast<int>(PageScript::M1); ++i)
        QVERIFY(ScriptText(static_cast<PageScript>(i)).find(collect) != std::string::npos);
    QVERIFY(ScriptText(PageScript::M1).find(search) != std::string::npos);
    QVERIFY(ScriptText(PageScript::M2).find(search) != std::string::npos);
    for (int i = 0; i < static_cast<int>(kScriptCount); ++i)
        QVERIFY(ScriptText(static_cast<PageScript>(i)).find('\n') == std::string::npos);
}

QTEST_APPLESS_MAIN(InjectionTest)
#include "tst_injection.moc"
