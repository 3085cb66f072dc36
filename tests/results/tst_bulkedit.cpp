#include "results/bulkedit.h"
#include "host/core/gbk.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

namespace {

QByteArray Gbk(const QString& text) { return QByteArray::fromStdString(gbk::FromUnicode(text)); }

QString Text(const std::string& bytes) { return gbk::ToUnicode(bytes); }

}  // namespace

class TestBulkEdit : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void stepsRunInTheirFixedOrder();
    void eachStepIsCutToTheField();
};

// One setting at a time (or the combination the row names), on one title.
void TestBulkEdit::steps_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<int>("cutSide");
    QTest::addColumn<int>("cutCount");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<int>("markerSide");
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("recId");
    QTest::addColumn<QString>("result");

    const int F = int(EditSide::Front), B = int(EditSide::Back);
    QTest::newRow("trim then cut 2 at the back") << u"  第1集 优酷  "_qs << true << B << 2 << "" << F << ""
                                                 << ""
                                                 << "" << 1 << u"第1集 "_qs;
    QTest::newRow("trim keeps inner and ideographic spaces") << u"\t a b　\r\n"_qs << true << F << 0 << "" << F << ""
                                                             << ""
                                                             << "" << 1 << u"a b　"_qs;
    QTest::newRow("cut counts characters at the front") << u"优酷ab"_qs << false << F << 1 << "" << F << ""
                                                        << ""
                                                        << "" << 1 << u"酷ab"_qs;
    QTest::newRow("cut more than the title") << "abc" << false << B << 5 << "" << F << ""
                                             << ""
                                             << "" << 1 << "";
    QTest::newRow("cut exactly the title") << "abc" << false << F << 3 << "" << F << ""
                                           << ""
                                           << "" << 1 << "";
    QTest::newRow("N=0 disables the cut") << "abc" << false << B << 0 << "" << F << ""
                                          << ""
                                          << "" << 1 << "abc";
    QTest::newRow("marker - with front") << "abc-def" << false << F << 0 << "-" << F << ""
                                         << ""
                                         << "" << 1 << "-def";
    QTest::newRow("marker - with back") << "abc-def" << false << F << 0 << "-" << B << ""
                                        << ""
                                        << "" << 1 << "abc-";
    QTest::newRow("marker -- with back") << "ab--cd" << false << F << 0 << "--" << B << ""
                                         << ""
                                         << "" << 1 << "ab-";
    QTest::newRow("absent marker, front") << "abc" << false << F << 0 << "x" << F << ""
                                          << ""
                                          << "" << 1 << "abc";
    QTest::newRow("absent marker, back") << "abc" << false << F << 0 << "x" << B << ""
                                         << ""
                                         << "" << 1 << "abc";
    QTest::newRow("Chinese marker, back keeps one character")
        << u"第1集：优酷"_qs << false << F << 0 << u"：优"_qs << B << ""
        << ""
        << "" << 1 << u"第1集："_qs;
    QTest::newRow("replace first, ignoring case") << "tv show TV" << false << F << 0 << "" << F << "TV"
                                                  << ""
                                                  << "" << 1 << " show TV";
    QTest::newRow("replace absent") << "show" << false << F << 0 << "" << F << "x"
                                    << "y"
                                    << "" << 1 << "show";
    QTest::newRow("replace with longer text") << u"第1集"_qs << false << F << 0 << "" << F << "1"
                                              << "01"
                                              << "" << 1 << u"第01集"_qs;
    QTest::newRow("pattern") << "X" << false << F << 0 << "" << F << ""
                             << "" << u"第<id>集 <title>"_qs << 7 << u"第7集 X"_qs;
    QTest::newRow("pattern of spaces is ignored") << "X" << false << F << 0 << "" << F << ""
                                                  << ""
                                                  << "   " << 7 << "X";
    QTest::newRow("pattern keeps its spaces") << "X" << false << F << 0 << "" << F << ""
                                              << ""
                                              << " <title> " << 7 << " X ";
    QTest::newRow("pattern tags are lower case only") << "X" << false << F << 0 << "" << F << ""
                                                      << ""
                                                      << "<TITLE><title><Id><id>" << 3 << "<TITLE>X<Id>3";
    QTest::newRow("title holding <id>") << "a<id>" << false << F << 0 << "" << F << ""
                                        << ""
                                        << "<title>" << 4 << "a4";
}

void TestBulkEdit::steps()
{
    QFETCH(QString, title);
    QFETCH(int, recId);
    BulkEditSettings settings;
    QFETCH(bool, trim);
    QFETCH(int, cutSide);
    QFETCH(int, markerSide);
    settings.trim = trim;
    settings.cutSide = EditSide(cutSide);
    settings.markerSide = EditSide(markerSide);
    QFETCH(int, cutCount);
    settings.cutCount = cutCount;
    QFETCH(QString, marker);
    QFETCH(QString, oldText);
    QFETCH(QString, newText);
    QFETCH(QString, format);
    settings.marker = gbk::FromUnicode(marker);
    settings.oldText = gbk::FromUnicode(oldText);
    settings.newText = gbk::FromUnicode(newText);
    settings.format = gbk::FromUnicode(format);
    QTEST(Text(bulkedit::EditTitle(gbk::FromUnicode(title), recId, settings, 100)), "result");
}

void TestBulkEdit::stepsRunInTheirFixedOrder()
{
    // Each step sees the previous one's result: trim, cut, marker, replace, pattern.
    BulkEditSettings settings;
    settings.trim = true;
    settings.cutSide = EditSide::Front;
    settings.cutCount = 1;  // " [a]-b-c " -> "a]-b-c" after trim and cut
    settings.marker = "-";
    settings.markerSide = EditSide::Front;  // -> "-b-c"
    settings.oldText = "-B";
    settings.newText = "x";            // -> "x-c"
    settings.format = "<title>/<id>";  // -> "x-c/9"
    QCOMPARE(Text(bulkedit::EditTitle(" [a]-b-c ", 9, settings, 100)), QString("x-c/9"));
}

void TestBulkEdit::eachStepIsCutToTheField()
{
    // A pattern that outgrows the field is cut without splitting a two-byte character.
    BulkEditSettings settings;
    settings.format = "a<title>";
    QCOMPARE(Text(bulkedit::EditTitle(Gbk(u"优酷"_qs).toStdString(), 1, settings, 4)), u"a优"_qs);
    settings.format = {};
    settings.oldText = "a";
    settings.newText = std::string(10, 'b');
    QCOMPARE(Text(bulkedit::EditTitle("ac", 1, settings, 8)), QString("bbbbbbbb"));
}

QTEST_APPLESS_MAIN(TestBulkEdit)
#include "tst_bulkedit.moc"
