// The commands over a long table freeze the grid: one model signal and one repaint at the end,
// none per row.
#include "eventhook.h"
#include "formfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>

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
    FormFixture f_;
    int paints_ = 0;
};

void LargeTableTest::initTestCase()
{
    f_.Create();
    f_.Show();
    f_.form->View().BeginUpdate();
    const std::string title = gbk::FromUnicode(u"土豆网精选视频第集");
    RowFields fields;
    f_.form->Data().Open();
    for (int i = 0; i < kRows; ++i) {
        fields.Caption = title + std::to_string(i);
        fields.Url = "http://www.tudou.com/v/" + std::to_string(i);
        f_.form->Data().Append(fields);
    }
    f_.form->View().EndUpdate();
    EventHook::Install(*f_.form->View().viewport(), QEvent::Paint, [this](QEvent&) {
        ++paints_;
        return false;
    });
}

void LargeTableTest::cleanupTestCase()
{
    f_.Destroy();
}

void LargeTableTest::Settle()
{
    int before = 0;
    do {
        before = paints_;
        QTest::qWait(100);
    } while (paints_ != before);
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
    QTest::newRow("copy") << "CopyAllButton" << 0 << 0;
}

void LargeTableTest::commandsRepaintOnce()
{
    QFETCH(QString, command);
    Settle();
    paints_ = 0;
    QSignalSpy changed(&f_.form->Data(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&f_.form->Data(), &QAbstractItemModel::modelReset);
    f_.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("FormatEdit")->setText("<id>");
        return int(QDialog::Accepted);
    });

    if (command == "CopyAllButton")
        f_.form->CopyAllButtonClick();
    else
        f_.form->findChild<QAction*>(command)->trigger();
    QCOMPARE(paints_, 0);  // nothing painted while the rows changed
    QFETCH(int, repaints);
    if (repaints > 0)
        QTRY_VERIFY_WITH_TIMEOUT(paints_ > 0, 10000);
    Settle();

    QTEST(int(changed.count()), "signals");
    QCOMPARE(reset.count(), 0);
    QCOMPARE(paints_, repaints);
    if (command == "CopyAllButton")
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), kRows - 1);
    if (command == "EditButton")
        QCOMPARE(f_.form->Data().Row(kRows - 1).Caption, std::to_string(kRows));
}

QTEST_MAIN(LargeTableTest)
#include "tst_largetable.moc"
