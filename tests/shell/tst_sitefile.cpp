// The site file without a window: the version rule, what loads and what is refused (without
// hanging on pipes or devices), text that survives a save, atomic saves and the copy kept of a
// file that could not be loaded. The old file name is tested through the module.
#include "host/core/gbk.h"
#include "shell/sitefile.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quib;
using namespace quib::collector;
using namespace quib::admin;
using namespace quib::test;

namespace {

std::string G(const char* utf8) { return gbk::FromUtf8(utf8); }

// Lets writes beyond limit bytes fail the way a full disk does, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit tight = m_old;
        tight.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

}  // namespace

class SiteFileTest : public QObject {
    Q_OBJECT
private slots:
    void versions_data();
    void versions();
    void loadsSitesInOrder();
    void chineseTitlesSurviveSaveAndReload();
    void keepsWhatTheOperatorWrote_data();
    void keepsWhatTheOperatorWrote();
    void findsDepthFirstAndCaseSensitive();
    void refusesWhatIsNotASiteList_data();
    void refusesWhatIsNotASiteList();
    void aFailedSaveChangesNothing();

private:
    QTemporaryDir m_dir;
};

void SiteFileTest::versions_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("4.0") << "4.0"
                         << "4.x";
    QTest::newRow("4.1") << "4.1"
                         << "4.x";
    QTest::newRow("V4.x") << "V4.x"
                          << "4.x";
    QTest::newRow("3.1") << "3.1"
                         << "3.1";
    QTest::newRow("5.0") << "5.0"
                         << "5.0";
    QTest::newRow("6.0") << "6.0"
                         << "6.0";
    QTest::newRow("5.1") << "5.1"
                         << "3.1";
    QTest::newRow("7.0") << "7.0"
                         << "3.1";
    QTest::newRow("6.0 with a space") << "6.0 "
                                      << "3.1";
    QTest::newRow("empty") << ""
                           << "3.1";
}

void SiteFileTest::versions()
{
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    QCOMPARE(QString::fromStdString(sitefile::NormaliseVersion(stored.toStdString())), loaded);
}

void SiteFileTest::loadsSitesInOrder()
{
    const QString path = m_dir.filePath("order.xml");
    // Any child element is a site, whatever its name; the root's name is not looked at.
    Write(path,
          "<list>\r\n<site title=\"A\" url=\"http://a/\" default=\"0\" version=\"4.0\"/>\r\n<!-- x -->"
          "<item url=\"http://b/\"/>\r\n<site title=\"C\" url=\"http://c/\" version=\"6.0\"/></list>");
    SiteDocument document;
    document.LoadFromFile(path);
    const std::vector<TSiteData> sites = document.Sites();
    QCOMPARE(sites.size(), std::size_t(3));
    QCOMPARE(sites[0].Title + "|" + sites[0].Url + "|" + sites[0].Version + "|" + sites[0].Default,
             std::string("A|http://a/|4.x|"));
    QCOMPARE(sites[1].Title + "|" + sites[1].Url + "|" + sites[1].Version, std::string("|http://b/|3.1"));
    QCOMPARE(sites[2].Title + "|" + sites[2].Version, std::string("C|6.0"));

    // The module's template: 19 bytes, no declaration, no sites.
    Write(path, "<sites>\r\n</sites>\r\n");
    document.LoadFromFile(path);
    QVERIFY(document.Sites().empty());
}

void SiteFileTest::chineseTitlesSurviveSaveAndReload()
{
    const QString path = m_dir.filePath("chinese.xml");
    SiteDocument document;
    document.AppendSite({G("我的电影站 <&\">"), "http://x/admin/login.asp", "0", "5.0"});
    document.AppendSite({" a ", "http://y/", "0", "4.x"});
    document.SaveToFile(path);
    QVERIFY(Read(path).contains("我的电影站"));  // written as UTF-8

    SiteDocument again;
    again.LoadFromFile(path);
    const auto sites = again.Sites();
    QCOMPARE(sites.size(), std::size_t(2));
    QCOMPARE(sites[0].Title, G("我的电影站 <&\">"));
    QCOMPARE(sites[1].Title, std::string(" a "));
    QCOMPARE(again.Root().first_child().attribute("default").value(), "0");

    // A list written by an earlier version in the system's code page reads the same.
    Write(path, QByteArray::fromStdString("<?xml version=\"1.0\" encoding=\"GB2312\"?><sites><site title=\"" +
                                          G("旧站") + "\" url=\"http://z/\" version=\"3.1\"/></sites>"));
    again.LoadFromFile(path);
    QCOMPARE(again.Sites().at(0).Title, G("旧站"));
    again.SaveToFile(path);
    QVERIFY(Read(path).contains("encoding=\"UTF-8\""));
    QVERIFY(Read(path).contains("旧站"));
}

void SiteFileTest::keepsWhatTheOperatorWrote_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("blank");  // refused by the site dialog
    QTest::addColumn<QByteArrayList>("kept");
    const auto site = [](const std::string& title) {
        return "<sites>\r\n  <site title=\"" + title +
               "\" url=\"http://w/\" default=\"0\" version=\"5.0\"/>\r\n</sites>\r\n";
    };
    // GBK bytes that happen to be valid UTF-8 too.
    const std::string weiye = G("伟业影院");
    QTest::newRow("GB2312 declared") << QByteArray::fromStdString("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n" +
                                                                  site(weiye))
                                     << "伟业影院" << false << QByteArrayList{};
    QTest::newRow("gbk declared, single quotes")
        << QByteArray::fromStdString("<?xml version='1.0' encoding='gbk' ?>" + site(weiye)) << "伟业影院" << false
        << QByteArrayList{};
    QTest::newRow("UTF-8 declared") << QByteArray::fromStdString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
                                                                 site("伟业影院"))
                                    << "伟业影院" << false << QByteArrayList{};
    QTest::newRow("comments and processing instructions")
        << QByteArray::fromStdString(
               "<?xml version=\"1.0\"?>\n<?xml-stylesheet href=\"sites.xsl\"?>\n"
               "<!-- 我的站点 -->\n<sites><!-- 主站 --><?backup weekly?>"
               "<site title=\"A\" url=\"http://w/\" version=\"5.0\"/></sites>")
        << "A" << false
        << QByteArrayList{"<?xml-stylesheet href=\"sites.xsl\"?>", "<!-- 我的站点 -->", "<!-- 主站 -->",
                          "<?backup weekly?>"};
    QTest::newRow("ideographic spaces") << QByteArray::fromStdString(site("　　")) << "　　" << false
                                        << QByteArrayList{};
    QTest::newRow("spaces") << QByteArray::fromStdString(site("   ")) << "   " << true << QByteArrayList{};
}

void SiteFileTest::keepsWhatTheOperatorWrote()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, title);
    QFETCH(bool, blank);
    QFETCH(QByteArrayList, kept);
    const QString path = m_dir.filePath("operator.xml");
    Write(path, file);
    SiteDocument document;
    document.LoadFromFile(path);
    QCOMPARE(gbk::ToUnicode(document.Sites().at(0).Title), title);
    QCOMPARE(sitefile::IsBlank(title), blank);

    document.AppendSite({"B", "http://b/", "0", "6.0"});
    document.SaveToFile(path);
    const QByteArray saved = Read(path);
    for (const QByteArray& fragment : kept)
        QVERIFY2(saved.contains(fragment), fragment.constData());
    SiteDocument again;
    again.LoadFromFile(path);
    QCOMPARE(again.Sites().size(), std::size_t(2));
    QCOMPARE(gbk::ToUnicode(again.Sites().at(0).Title), title);
}

void SiteFileTest::findsDepthFirstAndCaseSensitive()
{
    const QString path = m_dir.filePath("nested.xml");
    Write(path,
          "<sites><site url=\"http://a/\"><site url=\"http://b/\" title=\"inner\"/></site>"
          "<site url=\"http://b/\" title=\"outer\"/></sites>");
    SiteDocument document;
    document.LoadFromFile(path);
    QCOMPARE(SiteDocument::FindSiteNode(document.Root(), "http://b/").attribute("title").value(), "inner");
    QVERIFY(!SiteDocument::FindSiteNode(document.Root(), "HTTP://B/"));
    QVERIFY(!SiteDocument::FindSiteNode(document.Root(), "http://c/"));
}

void SiteFileTest::refusesWhatIsNotASiteList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("not XML") << "garbage";
    QTest::newRow("empty") << "empty";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("folder") << "folder";
    QTest::newRow("too large") << "large";
}

void SiteFileTest::refusesWhatIsNotASiteList()
{
    QFETCH(QString, kind);
    QTemporaryDir here;
    const QString path = here.filePath("tool.quib.sites.xml");
    const QByteArray file = QFile::encodeName(path);
    if (kind == "garbage")
        Write(path, "<sites><site title=\"A\"");
    else if (kind == "empty")
        Write(path, "");
    else if (kind == "fifo")
        QCOMPARE(mkfifo(file.constData(), 0600), 0);
    else if (kind == "zero")
        QCOMPARE(symlink("/dev/zero", file.constData()), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (kind == "large") {
        Write(path, "<sites>");
        QCOMPARE(truncate(file.constData(), off_t(sitefile::kMaxFileBytes) + 1), 0);
    }

    SiteDocument document;
    document.AppendSite({"kept", "http://kept/", "0", "3.1"});
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, document.LoadFromFile(path));
    QCOMPARE(document.Sites().size(), std::size_t(1));  // unchanged by the failure

    struct stat before {};
    QCOMPARE(lstat(file.constData(), &before), 0);
    document.SaveToFile(path);
    SiteDocument reread;
    reread.LoadFromFile(path);
    QCOMPARE(reread.Sites().at(0).Url, std::string("http://kept/"));
    // What was there is kept beside it, as it was: same inode, never read.
    struct stat kept {};
    QCOMPARE(lstat(QFile::encodeName(path + ".unreadable").constData(), &kept), 0);
    QCOMPARE(kept.st_ino, before.st_ino);
    // Once a save has succeeded, later saves replace the file as usual.
    document.SaveToFile(path);
    QVERIFY(!QFile::exists(path + ".unreadable.1"));
}

void SiteFileTest::aFailedSaveChangesNothing()
{
    const QString path = m_dir.filePath("full.xml");
    SiteDocument document;
    document.AppendSite({"A", "http://a/", "0", "3.1"});
    document.SaveToFile(path);
    const QByteArray saved = Read(path);

    for (int i = 0; i < 200; ++i)
        document.AppendSite({"B", "http://b/" + std::to_string(i), "0", "3.1"});
    {
        const FileSizeLimit full(512);  // the disk fills up during the write
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, document.SaveToFile(path));
        const pugi::xml_node first = document.Root().first_child();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, document.RemoveSiteAndSave(first, path));
    }
    QCOMPARE(Read(path), saved);
    QCOMPARE(QDir(m_dir.path()).entryList({"full.xml*"}, QDir::Files), QStringList{"full.xml"});
    // The failed removal put the site back.
    QCOMPARE(document.Sites().size(), std::size_t(201));
    QCOMPARE(document.Sites().front().Url, std::string("http://a/"));
}

QTEST_GUILESS_MAIN(SiteFileTest)
#include "tst_sitefile.moc"
