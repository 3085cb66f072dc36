// The rules between a collection and the CMS film form, and the script literal of the video
// search: tables of cases, no browser. (The search addresses are checked where they are opened.)
#include "collect/addressrules.h"
#include "admin/cmsfill.h"
#include "host/core/gbk.h"
#include "admin/searchaddress.h"

#include <QTest>

using namespace quib;
using namespace quib::collect;
using namespace quib::admin;

namespace {
std::string G(std::string_view utf8) { return gbk::FromUtf8(utf8); }
QString U(const std::string& text) { return QString::fromStdString(gbk::ToUtf8(text)); }
}  // namespace

class CmsRulesTest : public QObject {
    Q_OBJECT
private slots:
    void targetAddress_data();
    void targetAddress();
    void mergeAlbumId_data();
    void mergeAlbumId();
    void playerTypes_data();
    void playerTypes();
    void siteWords_data();
    void siteWords();
    void scriptLiteralHoldsAnyKeyword_data();
    void scriptLiteralHoldsAnyKeyword();
};

void CmsRulesTest::targetAddress_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("target");
    QTest::newRow("1, two parts") << "1"
                                  << "a1|b2"
                                  << "a1";
    QTest::newRow("2, two parts") << "2"
                                  << "a1|b2"
                                  << "b2";
    QTest::newRow("3 counts as 2") << "3"
                                   << "a1|b2"
                                   << "b2";
    QTest::newRow("1, no bar") << "1"
                               << "a1"
                               << "a1";
    QTest::newRow("2, no bar") << "2"
                               << "a1"
                               << "a1";
    QTest::newRow("2, ends in its bar") << "2"
                                        << "a1|"
                                        << "";
    QTest::newRow("split at the first bar") << "2"
                                            << "a|b|c"
                                            << "b|c";
    QTest::newRow("missing number") << ""
                                    << "a|b"
                                    << "b";
    // 0x7C is a possible second byte of a GBK character: it is no separator there.
    QTest::newRow("bar inside a character") << "1"
                                            << U("\x81\x7C"
                                                 "x|y")
                                            << U("\x81\x7C"
                                                 "x");
}

void CmsRulesTest::targetAddress()
{
    QFETCH(QString, number);
    QFETCH(QString, field);
    QFETCH(QString, target);
    QCOMPARE(U(ParseTargetAddress(G(number.toStdString()), G(field.toStdString()))), target);
}

void CmsRulesTest::mergeAlbumId_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("merged");
    QTest::newRow("1, with bar") << 1 << "old1|old2"
                                 << "ID|old2";
    QTest::newRow("1, without bar") << 1 << "old1"
                                    << "ID";
    QTest::newRow("1, empty") << 1 << ""
                              << "ID";
    QTest::newRow("1, leading bar") << 1 << "|old2"
                                    << "ID|old2";
    QTest::newRow("2, with bar") << 2 << "old1|old2"
                                 << "old1|ID";
    QTest::newRow("2, without bar") << 2 << "old1"
                                    << "old1|ID";
    QTest::newRow("2, empty") << 2 << ""
                              << "|ID";
    QTest::newRow("2, two bars") << 2 << "a|b|c"
                                 << "a|ID";
}

void CmsRulesTest::mergeAlbumId()
{
    QFETCH(int, target);
    QFETCH(QString, field);
    QFETCH(QString, merged);
    const FillTarget fill = target == 1 ? FillTarget::Address1 : FillTarget::Address2;
    QCOMPARE(QString::fromStdString(MergeAlbumId(field.toStdString(), "ID", fill)), merged);
}

void CmsRulesTest::playerTypes_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("v31");
    QTest::addColumn<QString>("v4x");
    QTest::addColumn<QString>("v50");
    QTest::addColumn<QString>("v60");
    // "-": no entry.
    QTest::newRow("tudou") << "tudou"
                           << "tudou2"
                           << "tudou"
                           << "tudou"
                           << "tudou";
    QTest::newRow("youku") << "youku"
                           << "youku2"
                           << "youku"
                           << "youku"
                           << "youku";
    QTest::newRow("56") << "56"
                        << "56"
                        << "56"
                        << "56"
                        << "56";
    QTest::newRow("6") << "6"
                       << "6rooms"
                       << "6rooms"
                       << "6rooms"
                       << "6rooms";
    QTest::newRow("ouou") << "ouou"
                          << "ouou"
                          << "ouou"
                          << "ouou"
                          << "ouou";
    QTest::newRow("sina") << "sina"
                          << "-"
                          << "iask"
                          << "iask"
                          << "iask";
    QTest::newRow("iask") << "iask"
                          << "iask"
                          << "-"
                          << "-"
                          << "-";
    QTest::newRow("exact words only") << "Tudou"
                                      << "-"
                                      << "-"
                                      << "-"
                                      << "-";
    QTest::newRow("player type") << "tudou2"
                                 << "-"
                                 << "-"
                                 << "-"
                                 << "-";
    QTest::newRow("empty") << ""
                           << "-"
                           << "-"
                           << "-"
                           << "-";
}

void CmsRulesTest::playerTypes()
{
    QFETCH(QString, word);
    QFETCH(QString, v31);
    QFETCH(QString, v4x);
    QFETCH(QString, v50);
    QFETCH(QString, v60);
    const std::pair<const char*, QString> columns[] = {{"3.1", v31}, {"4.x", v4x}, {"5.0", v50}, {"6.0", v60}};
    for (int i = 0; i < 4; ++i) {
        const auto type = PlayerTypeFor(columns[i].first, word.toStdString());
        QCOMPARE(type ? QString::fromStdString(type->value) : QStringLiteral("-"), columns[i].second);
        if (type)  // a text field up to 4.x, a list from 5.0 on
            QCOMPARE(type->field, i < 2 ? PlayerType::Field::Input : PlayerType::Field::Select);
    }
    QVERIFY(!PlayerTypeFor("7.0", word.toStdString()));
}

void CmsRulesTest::siteWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("site");  // empty: the engine keeps its own choice
    QTest::newRow("56 before 6") << "56" << QString::fromStdString(std::string(sitekey::Wole));
    QTest::newRow("6") << "6" << QString::fromStdString(std::string(sitekey::SixRooms));
    QTest::newRow("6rooms") << "6rooms" << QString::fromStdString(std::string(sitekey::SixRooms));
    QTest::newRow("tudou2") << "tudou2" << QString::fromStdString(std::string(sitekey::Tudou));
    QTest::newRow("youku2") << "youku2" << QString::fromStdString(std::string(sitekey::Youku));
    QTest::newRow("ouou") << "ouou" << QString::fromStdString(std::string(sitekey::Ouou));
    QTest::newRow("sina") << "sina" << QString::fromStdString(std::string(sitekey::Sina));
    QTest::newRow("iask") << "iask" << QString::fromStdString(std::string(sitekey::Sina));
    QTest::newRow("xunlei2") << "xunlei2" << QString::fromStdString(std::string(sitekey::Xunlei));
    QTest::newRow("tudou wins over 6") << "6tudou" << QString::fromStdString(std::string(sitekey::Tudou));
    QTest::newRow("qq") << "qq"
                        << "";
    QTest::newRow("case matters") << "OUOU"
                                  << "";
    QTest::newRow("560 has a 6") << "560" << QString::fromStdString(std::string(sitekey::SixRooms));
}

void CmsRulesTest::siteWords()
{
    QFETCH(QString, word);
    QFETCH(QString, site);
    const auto key = EngineSiteForWord(word.toStdString());
    QCOMPARE(key ? QString::fromStdString(std::string(*key)) : QString(), site);
}

void CmsRulesTest::scriptLiteralHoldsAnyKeyword_data()
{
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QByteArray>("literal");
    QTest::newRow("quote") << QByteArray("a\"b") << QByteArray("\"a\\\"b\"");
    QTest::newRow("backslash before quote")
        << QByteArray("a\\\"+alert(1)+\"") << QByteArray("\"a\\\\\\\"+alert(1)+\\\"\"");
    QTest::newRow("line breaks") << QByteArray("a\r\nb") << QByteArray("\"a\\r\\nb\"");
    QTest::newRow("control") << QByteArray("a\tb") << QByteArray("\"a\\x09b\"");
    // 0x5C is the second byte of this character: it is no escape and stays as it is.
    QTest::newRow("backslash as second byte") << QByteArray("\x95\x5C\"") << QByteArray("\"\x95\x5C\\\"\"");
    // A lead byte without its second byte cannot swallow the quote after it.
    QTest::newRow("stray lead byte") << QByteArray("\x81\"") << QByteArray("\"\\x81\\\"\"");
}

void CmsRulesTest::scriptLiteralHoldsAnyKeyword()
{
    QFETCH(QByteArray, keyword);
    QFETCH(QByteArray, literal);
    QCOMPARE(QByteArray::fromStdString(JsStringLiteral(keyword.toStdString())), literal);
}

QTEST_GUILESS_MAIN(CmsRulesTest)
#include "tst_cmsrules.moc"
