// The commands over a long table freeze the grid: one model signal and one repaint at the end,
// none per row.
#include "results/eventhook.h"
#include "tests/support/formfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>

using namespace quib;
using namespace quib::results;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::standin;

namespace {

constexpr int kRows = 100000;

}  // namespace

class LargeTableTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void commandsRepaintOnce_data();
    void commandsRepaintOnce();

private:
    // Lets pending repaints arrive: returns once none has come for a while.
    void Settle();
    FormFixture m_f;
    int m_paints = 0;
};

void LargeTableTest::initTestCase()
{
    m_f.Create();
    m_f.Show();
    m_f.form->View().BeginUpdate();
    const std::string title = gbk::FromUnicode(u"土豆网精选视频第集");
    RowFields fields;
    m_f.form->Data().Open();
    for (int i = 0; i < kRows; ++i) {
        fields.Caption = title + std::to_string(i);
        fields.Url = "http://www.tudou.com/v/" + std::to_string(i);
        m_f.form->Data().Append(fields);
    }
    m_f.form->View().EndUpdate();
    EventHook::Install(*m_f.form->View().viewport(), QEvent::Paint, [this](QEvent&) {
        ++m_paints;
        return false;
    });
}

void LargeTableTest::cleanupTestCase() { m_f.Destroy(); }

void LargeTableTest::Settle()
{
    int before = 0;
    do {
        before = m_paints;
        QTest::qWait(100);
    } while (m_paints != before);
}

void LargeTableTest::commandsRepaintOnce_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signals");  // dataChanged emitted by the table
    QTest::addColumn<int>("repaints");
    // In this order the rows end up checked before the edit and the copy.
    QTest::newRow("cancel all") << "UnSelAllButton" << 1 << 1;
    QTest::newRow("invert") << "DeSelButton" << 1 << 1;
    QTest::newRow("select all") << "SelAllButton" << 1 << 1;
    QTest::newRow("bulk edit") << "EditButton" << 1 << 1;
    // Its note ("已复制 N 条") appears under the grid, which lays the grid out once.
    QTest::newRow("copy") << "CopyAllButton" << 0 << 1;
}

void LargeTableTest::commandsRepaintOnce()
{
    QFETCH(QString, command);
    Settle();
    m_paints = 0;
    QSignalSpy changed(&m_f.form->Data(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&m_f.form->Data(), &QAbstractItemModel::modelReset);
    m_f.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("FormatEdit")->setText("<id>");
        return int(QDialog::Accepted);
    });

    if (command == "CopyAllButton")
        m_f.form->CopyAllButtonClick();
    else
        m_f.form->findChild<QAction*>(command)->trigger();
    QCOMPARE(m_paints, 0);  // nothing painted while the rows changed
    QFETCH(int, repaints);
    if (repaints > 0)
        QTRY_VERIFY_WITH_TIMEOUT(m_paints > 0, 10000);
    Settle();

    QTEST(int(changed.count()), "signals");
    QCOMPARE(reset.count(), 0);
    QCOMPARE(m_paints, repaints);
    if (command == "CopyAllButton")
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), kRows - 1);
    if (command == "EditButton")
        QCOMPARE(m_f.form->Data().Row(kRows - 1).Caption, std::to_string(kRows));
}

QTEST_MAIN(LargeTableTest)
#include "tst_largetable.moc"
