// Reading a CMS address list back and appending to it: both line layouts, merged lines, either
// line break, hand-edited spaces and blank lines; what is there never moves.
#include "results/addresslist.h"

#include <QTest>

using namespace quib;
using namespace quib::results;

class TestAddressList : public QObject {
    Q_OBJECT
private slots:
    void recognisesTheAddresses_data();
    void recognisesTheAddresses();
    void newAddresses();
    void appendsBelowTheList_data();
    void appendsBelowTheList();
};

void TestAddressList::recognisesTheAddresses_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("blank lines and spaces") << QStringLiteral(" \r\n\n \u3000\n") << QStringList();
    QTest::newRow("titles, CRLF") << QStringLiteral("第1集$a1\r\n第2集$a2") << QStringList{"a1", "a2"};
    QTest::newRow("addresses only, LF, final break") << QStringLiteral("a1\na2\n") << QStringList{"a1", "a2"};
    QTest::newRow("merged, three to a line")
        << QStringLiteral("A$a1|B$a2|C$a3\r\nD$a4") << QStringList{"a1", "a2", "a3", "a4"};
    QTest::newRow("merged addresses only") << QStringLiteral("a1|a2\na3") << QStringList{"a1", "a2", "a3"};
    QTest::newRow("mixed layouts") << QStringLiteral("A$a1\na2|B$a3") << QStringList{"a1", "a2", "a3"};
    QTest::newRow("stray spaces") << QStringLiteral("  A $ a1 | a2 \t\r\n\r\n\r\n  B$a3  ")
                                  << QStringList{"a1", "a2", "a3"};
    QTest::newRow("empty items and titles") << QStringLiteral("||$a1||A$\n$") << QStringList{"a1"};
    QTest::newRow("a title holding $") << QStringLiteral("US$100 第3集$a3") << QStringList{"a3"};
    QTest::newRow("the same address twice, other titles") << QStringLiteral("旧$a1\n新$a1\na1") << QStringList{"a1"};
    QTest::newRow("a lone CR") << QStringLiteral("A$a1\rB$a2") << QStringList{"a1", "a2"};
    QTest::newRow("urls") << QStringLiteral("第1集$http://v.example.com/p?id=1&x=2\nhttp://v.example.com/p?id=2")
                          << QStringList{"http://v.example.com/p?id=1&x=2", "http://v.example.com/p?id=2"};
}

void TestAddressList::recognisesTheAddresses()
{
    QFETCH(QString, list);
    QFETCH(QStringList, addresses);
    QCOMPARE(ListedAddresses(list), QSet<QString>(addresses.begin(), addresses.end()));
}

void TestAddressList::newAddresses()
{
    const QSet<QString> listed = ListedAddresses(u"A$a1\na2|B$a3");
    const std::vector<QString> collected = {"a1", " a4 ", "a2", "", "a5", "a4", "a3 ", "a5"};
    // Listed ones, empty ones and repeats of an earlier new one add nothing.
    QCOMPARE(NewAddresses(listed, collected),
             (std::vector<bool>{false, true, false, false, true, false, false, false}));
    QCOMPARE(NewAddresses({}, collected), (std::vector<bool>{true, true, true, false, true, false, true, false}));
}

void TestAddressList::appendsBelowTheList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("result");
    QTest::newRow("nothing new") << QStringLiteral("A$a1|B$a2\n \n") << QString() << QStringLiteral("A$a1|B$a2\n \n");
    QTest::newRow("empty list") << QString() << QStringLiteral("C$c|D$d") << QStringLiteral("C$c|D$d");
    QTest::newRow("blank list") << QStringLiteral(" \n\n") << QStringLiteral("C$c") << QStringLiteral("C$c");
    // A merged last line is not continued: the new items start a line of their own.
    QTest::newRow("merged last line") << QStringLiteral("A$a1|B$a2") << QStringLiteral("C$c|D$d\r\nE$e")
                                      << QStringLiteral("A$a1|B$a2\r\nC$c|D$d\r\nE$e");
    QTest::newRow("final line break kept, none added")
        << QStringLiteral("a1\na2\n") << QStringLiteral("c") << QStringLiteral("a1\na2\nc");
    QTest::newRow("final CR") << QStringLiteral("a1\r") << QStringLiteral("c") << QStringLiteral("a1\rc");
    QTest::newRow("trailing spaces stay")
        << QStringLiteral("a1  ") << QStringLiteral("c") << QStringLiteral("a1  \r\nc");
    QTest::newRow("last item empty") << QStringLiteral("a1|") << QStringLiteral("c") << QStringLiteral("a1|\r\nc");
}

void TestAddressList::appendsBelowTheList()
{
    QFETCH(QString, list);
    QFETCH(QString, added);
    QFETCH(QString, result);
    QCOMPARE(AppendToList(list, added), result);
    // What was there is a prefix of what is written, and every address of both is in it.
    if (!list.trimmed().isEmpty())
        QVERIFY(result.startsWith(list));
    QSet<QString> both = ListedAddresses(list);
    both.unite(ListedAddresses(added));
    QCOMPARE(ListedAddresses(result), both);
}

QTEST_GUILESS_MAIN(TestAddressList)
#include "tst_addresslist.moc"
