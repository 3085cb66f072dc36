#include "collect/addressrules.h"
#include "host/core/gbk.h"
#include "collect/textcursor.h"

#include <QTest>

using namespace quib;
using namespace quib::collect;

Q_DECLARE_METATYPE(std::string)

namespace {
using Action = AddressClass::Action;
QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }
}  // namespace

class AddressRulesTest : public QObject {
    Q_OBJECT
private slots:
    void classify_data();
    void classify();
    void cutTakesAtMostFiftyCharacters();
    void cutCountsTwoByteCharactersOnce();
    void trimDropsControlCharacters();
    void firstAddress_data();
    void firstAddress();
    void starterFollowsTheFastSwitch_data();
    void starterFollowsTheFastSwitch();
    void typedAddressPicksTheSite_data();
    void typedAddressPicksTheSite();
};

void AddressRulesTest::classify_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("parser");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("id");
    const int single = int(Action::SinglePage), id = int(Action::Id), keep = int(Action::KeepId);
    using P = SinglePageParser;
    auto row = [](const char* name, const char* site, const char* address, int action, P parser, int kind,
                  const char* cut) {
        QTest::newRow(name) << QByteArray(site) << QByteArray(address) << action << int(parser) << kind
                            << QByteArray(cut);
    };
    row("tudou view", "tudou", "http://www.tudou.com/programs/view/abc/", single, P::Tudou, 0, "");
    row("tudou playindex", "tudou", "http://www.tudou.com/playlist/playindex.do?lid=5", single, P::Tudou, 1, "");
    row("tudou view before playindex", "tudou", "http://x/view/playindex.do", single, P::Tudou, 0, "");
    row("tudou id", "tudou", "http://www.tudou.com/playlist/id/987/", id, P::None, 0, "987");
    row("tudou id without slash", "tudou", "http://www.tudou.com/playlist/id/987", id, P::None, 0, "987");
    row("tudou bare", "tudou", "987", id, P::None, 0, "987");
    row("youku show", "youku", "http://v.youku.com/v_show/id_XMTI=.html", single, P::Youku, 0, "");
    row("youku playlist page", "youku", "http://v.youku.com/v_playlist/f1.html", single, P::Youku, 1, "");
    row("youku id orderby", "youku", "http://www.youku.com/playlist_show/id_abc_orderby_9_page_1.html", id, P::None, 0,
        "abc");
    row("youku id dot", "youku", "http://www.youku.com/playlist_show/id_abc.html", id, P::None, 0, "abc");
    row("youku underscore before dot", "youku", "http://x/id_a.b_c", id, P::None, 0, "a.b");
    row("youku bare", "youku", "4711", id, P::None, 0, "4711");
    row("56 album page", "56", "http://www.56.com/w11/play_album-aid-123_vid-x.html", single, P::Wole, 1, "");
    row("56 video page", "56", "http://www.56.com/u12/v_ODk.html", single, P::Wole, 0, "");
    row("56 aid", "56", "http://www.56.com/w11/album-aid-4567.html", id, P::None, 0, "4567");
    row("56 aid underscore", "56", "http://www.56.com/w11/album-p-1_aid-4567_x.html", id, P::None, 0, "4567");
    row("56 bare", "56", "4567", id, P::None, 0, "4567");
    row("6jf watch", "6jf", "http://6.cn/watch/123.html", single, P::SixRooms, 0, "");
    row("6jf plist page", "6jf", "http://6.cn/plist/55/0.html", single, P::SixRooms, 1, "");
    row("6jf other html", "6jf", "http://6.cn/about.html", keep, P::None, 0, "");
    row("6jf p query", "6jf", "http://6.cn/p.php?p=778&x=1", id, P::None, 0, "778");
    row("6jf plist no html", "6jf", "http://6.cn/plist/432/9", id, P::None, 0, "432/9");
    row("6jf p before plist", "6jf", "http://6.cn/plist/1?p=2", id, P::None, 0, "2");
    row("6jf bare", "6jf", "432", id, P::None, 0, "432");
    row("ouou play", "ouou", "http://www.ouou.com/play/v_1.html", single, P::Ouou, 0, "");
    row("ouou v slash", "ouou", "http://www.ouou.com/playlistinfo/v_321/1.html", id, P::None, 0, "321");
    row("ouou v dot", "ouou", "http://www.ouou.com/v_321.html", id, P::None, 0, "321");
    row("ouou bare", "ouou", "321", id, P::None, 0, "321");
    row("sina b", "sina", "http://you.video.sina.com.cn/b/1234-5678.html", single, P::Sina, 0, "");
    row("sina topic", "sina", "http://you.video.sina.com.cn/topicPlay.php?id=3", single, P::Sina, 1, "");
    row("sina a dash", "sina", "http://you.video.sina.com.cn/a/678-1.html", id, P::None, 0, "678");
    row("sina a slash", "sina", "http://you.video.sina.com.cn/a/678/2.html", id, P::None, 0, "678");
    row("sina a dot", "sina", "http://you.video.sina.com.cn/a/678.html", id, P::None, 0, "678");
    row("sina bare", "sina", "678", id, P::None, 0, "678");
    row("xunlei always whole", "xunlei", "http://movie.xunlei.com/movie/12/", id, P::None, 0,
        "http://movie.xunlei.com/movie/12/");
    row("case-sensitive markers", "tudou", "http://x/VIEW/1", id, P::None, 0, "http://x/VIEW/1");
}

void AddressRulesTest::classify()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, address);
    const AddressClass result = ClassifyAddress(site.toStdString(), address.toStdString());
    QTEST(int(result.action), "action");
    QTEST(int(result.parser), "parser");
    QTEST(result.pageKind, "kind");
    QTEST(Bytes(result.id), "id");
}

void AddressRulesTest::cutTakesAtMostFiftyCharacters()
{
    const std::string longId(60, '7');
    QCOMPARE(ClassifyAddress("tudou", "http://x/id/" + longId).id, std::string(50, '7'));
    // The end marker beyond the 50 characters is never seen.
    QCOMPARE(CutAfter(std::string("aid-") + std::string(50, 'a') + "_", "aid-", {"_"}), std::string(50, 'a'));
    QCOMPARE(CutAfter("no marker here", "aid-", {"_"}), std::string());
}

void AddressRulesTest::cutCountsTwoByteCharactersOnce()
{
    std::string chinese;
    for (int i = 0; i < 60; ++i)
        chinese += gbk::FromUnicode(u"集");
    const std::string cut = CutAfter("/a/" + chinese, "/a/", {});
    QCOMPARE(gbk::CharCount(cut), std::size_t(50));
    QCOMPARE(cut.size(), std::size_t(100));
}

void AddressRulesTest::trimDropsControlCharacters()
{
    QCOMPARE(Trim(" \t\r\n 987 \x01"), std::string("987"));
    QCOMPARE(Trim("   "), std::string());
}

void AddressRulesTest::firstAddress_data()
{
    QTest::addColumn<int>("starter");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("draw");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("index");
    auto row = [](const char* name, Starter s, int page, int draw, const char* address, int index) {
        QTest::newRow(name) << int(s) << page << draw << QByteArray(address) << index;
    };
    row("tudou web", Starter::TudouByWeb, 3, 0, "http://www.tudou.com/playlist/showItems.do?lid=ID&pn=3", 2);
    row("youku web", Starter::YoukuByWeb, 1, 0, "http://www.youku.com/playlist_show/id_ID_orderby_9_page_1.html", 0);
    row("56 draw 10", Starter::WoleByWeb, 2, 10, "http://www.56.com/w10/album-p-2_aid-ID.html", 1);
    row("56 draw 99", Starter::WoleByWeb, 1, 99, "http://www.56.com/w99/album-p-1_aid-ID.html", 0);
    row("56 draw 9", Starter::WoleByWeb, 1, 9, "http://www.56.com/w/album-p-1_aid-ID.html", 0);
    row("56 draw 0", Starter::WoleByWeb, 1, 0, "http://www.56.com/w/album-p-1_aid-ID.html", 0);
    row("6rooms from zero", Starter::SixRoomsByWeb, 3, 0, "http://6.cn/plist/ID/2.html", 2);
    row("ouou web", Starter::OuouByWeb, 3, 0, "http://www.ouou.com/playlistinfo/v_ID/3.html", 2);
    row("sina web", Starter::SinaByWeb, 3, 0, "http://you.video.sina.com.cn/a/ID/3/2.html", 2);
    row("tudou feed", Starter::TudouByRss, 3, 0, "http://www.tudou.com/playlist/rss.do?lid=ID", 0);
    row("youku feed", Starter::YoukuByRss, 3, 0, "http://www.youku.com/playlist/rss/id/ID", 0);
    row("xunlei", Starter::XunleiByMovie, 3, 0, "http://data.movie.xunlei.com/voddata/xml/movieinfo/movie/ID.xml", 0);
}

void AddressRulesTest::firstAddress()
{
    QFETCH(int, starter);
    QFETCH(int, page);
    QFETCH(int, draw);
    QTEST(Bytes(FirstAddress(Starter(starter), "ID", page, draw)), "address");
    QTEST(FirstIndex(Starter(starter), page), "index");
}

void AddressRulesTest::starterFollowsTheFastSwitch_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<int>("fast");
    QTest::addColumn<int>("slow");
    QTest::newRow("tudou") << QByteArray("tudou") << int(Starter::TudouByRss) << int(Starter::TudouByWeb);
    QTest::newRow("youku") << QByteArray("youku") << int(Starter::YoukuByRss) << int(Starter::YoukuByWeb);
    QTest::newRow("56") << QByteArray("56") << int(Starter::WoleByWeb) << int(Starter::WoleByWeb);
    QTest::newRow("6jf") << QByteArray("6jf") << int(Starter::SixRoomsByWeb) << int(Starter::SixRoomsByWeb);
    QTest::newRow("ouou") << QByteArray("ouou") << int(Starter::OuouByWeb) << int(Starter::OuouByWeb);
    QTest::newRow("sina") << QByteArray("sina") << int(Starter::SinaByWeb) << int(Starter::SinaByWeb);
    QTest::newRow("xunlei") << QByteArray("xunlei") << int(Starter::XunleiByMovie) << int(Starter::XunleiByMovie);
}

void AddressRulesTest::starterFollowsTheFastSwitch()
{
    QFETCH(QByteArray, site);
    QTEST(int(StarterFor(site.toStdString(), true)), "fast");
    QTEST(int(StarterFor(site.toStdString(), false)), "slow");
}

void AddressRulesTest::typedAddressPicksTheSite_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("site");
    QTest::newRow("tudou") << QByteArray("http://www.tudou.com/x") << QByteArray("tudou");
    QTest::newRow("youku") << QByteArray("http://v.youku.com/x") << QByteArray("youku");
    QTest::newRow("56") << QByteArray("http://www.56.com/x") << QByteArray("56");
    QTest::newRow("6rooms") << QByteArray("http://6.cn/watch/1.html") << QByteArray("6jf");
    QTest::newRow("ouou") << QByteArray("http://www.ouou.com/x") << QByteArray("ouou");
    QTest::newRow("sina") << QByteArray("http://you.video.sina.com.cn/x") << QByteArray("sina");
    QTest::newRow("tudou wins over youku") << QByteArray("youku.com tudou.com") << QByteArray("tudou");
    QTest::newRow("xunlei picks nothing") << QByteArray("http://movie.xunlei.com/1") << QByteArray();
    QTest::newRow("bare id picks nothing") << QByteArray("987") << QByteArray();
}

void AddressRulesTest::typedAddressPicksTheSite()
{
    QFETCH(QByteArray, text);
    const auto site = SiteOfTypedAddress(text.toStdString());
    QTEST(site ? QByteArray(site->data(), qsizetype(site->size())) : QByteArray(), "site");
}

QTEST_GUILESS_MAIN(AddressRulesTest)
#include "tst_addressrules.moc"
