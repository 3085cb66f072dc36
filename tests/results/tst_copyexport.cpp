#include "results/formatowner.h"
#include "tests/support/formfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

using namespace quib;
using namespace quib::results;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::standin;

namespace {

// A main window stand-in: holds the template and owns the form.
class FormatWindow : public QWidget, public IFormatOwner {
public:
    std::string format;
    std::string GetFormat() override { return format; }
    void SetFormat(const std::string& value) override { format = value; }
};

QString Clipboard() { return QGuiApplication::clipboard()->text(); }

std::vector<TestRow> Abc() { return {{"A", "a1", "d1", "l1"}, {"B", "b1", "d2", "l2"}, {"C", "c1", "d3", "l3"}}; }

}  // namespace

class CopyExportTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buttonsUnderTheGrid();
    void buttonsCopyTheirLayouts_data();
    void buttonsCopyTheirLayouts();
    void uncheckedRowsDoNotCount();
    void emptyItemsStillCount();
    void rowsWithoutAddressAreLeftOutAndCounted_data();
    void rowsWithoutAddressAreLeftOutAndCounted();
    void longCopyComesWhole();
    void rowsGoInDisplayOrder();
    void clipboardIsEmptiedWithNothingChecked();
    void closedTableGivesAnEmptyClipboard();
    void exportAsksForTheTemplateAndCopies();
    void exportCancelledKeepsTemplateAndClipboard();
    void exportAcceptsAnEmptyTemplate();
    void templateLivesWithTheOwner();
    void ownerSetExplicitlyWins();
    void formCopiesThatRecordedWhenItsTableEmptiesMidway();

private:
    void Click(const char* button);
    // Recreates the form as a child of a window that holds the template.
    FormatWindow& OwnedByWindow(const std::string& format);
    FormFixture m_f;
    std::unique_ptr<FormatWindow> m_window;  // outlives the form it owns (see cleanup)
};

void CopyExportTest::init()
{
    m_f.Create();
    QGuiApplication::clipboard()->setText("old");
}

void CopyExportTest::cleanup()
{
    m_f.Destroy();
    m_window.reset();
}

FormatWindow& CopyExportTest::OwnedByWindow(const std::string& format)
{
    m_f.Destroy();
    m_window = std::make_unique<FormatWindow>();
    m_window->format = format;
    m_f.Create(m_window.get());
    return *m_window;
}

void CopyExportTest::Click(const char* button)
{
    auto* widget = m_f.form->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY2(widget, button);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void CopyExportTest::buttonsUnderTheGrid()
{
    const std::pair<const char*, const char*> buttons[] = {
        {"CopyAllButton", "复制标题和地址到剪切板"},
        {"CopyButton", "复制地址到剪切板"},
        {"CopyLinkButton", "复制链接到剪切板"},
        {"ExportButton", "自定义复制"},
    };
    m_f.Show();
    for (const auto& [name, caption] : buttons) {
        auto* button = m_f.form->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        QCOMPARE(button->text(), QString::fromUtf8(caption));
        QVERIFY(button->mapTo(m_f.form.get(), QPoint(0, 0)).y() > m_f.form->Grid().geometry().bottom());
    }
    QSpinBox& merge = m_f.form->MergeCount();
    QCOMPARE(merge.value(), 1);
    QCOMPARE(merge.minimum(), 1);
    QCOMPARE(merge.maximum(), 255);
}

void CopyExportTest::buttonsCopyTheirLayouts_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("merge");
    QTest::addColumn<QString>("text");
    QTest::newRow("titles, N=1") << "CopyAllButton" << 1 << "A$a1\r\nB$b1\r\nC$c1";
    QTest::newRow("titles, N=2") << "CopyAllButton" << 2 << "A$a1|B$b1\r\nC$c1";
    QTest::newRow("titles, N=3") << "CopyAllButton" << 3 << "A$a1|B$b1|C$c1";
    QTest::newRow("addresses, N=2") << "CopyButton" << 2 << "a1|b1\r\nc1";
    QTest::newRow("links, N=1") << "CopyLinkButton" << 1 << "l1\r\nl2\r\nl3";
}

void CopyExportTest::buttonsCopyTheirLayouts()
{
    QFETCH(QString, button);
    QFETCH(int, merge);
    m_f.Fill(Abc());
    m_f.form->MergeCount().setValue(merge);
    Click(button.toLatin1().constData());
    QTEST(Clipboard(), "text");
}

void CopyExportTest::uncheckedRowsDoNotCount()
{
    // Seven checked addresses with unchecked ones among them; N = 3 gives lines of 3, 3 and 1.
    std::vector<TestRow> rows;
    for (int i = 1; i <= 7; ++i) {
        rows.push_back({"t", QString("u%1").arg(i)});
        if (i % 2 == 0)
            rows.push_back({"t", "skip", "", "", false});
    }
    m_f.Fill(rows);
    m_f.form->MergeCount().setValue(3);
    m_f.form->CopyButtonClick();
    QCOMPARE(Clipboard(), QString("u1|u2|u3\r\nu4|u5|u6\r\nu7"));
}

void CopyExportTest::emptyItemsStillCount()
{
    // Links: a row without an address is never copied where the address goes (below).
    m_f.Fill({{"t", "u", "", ""}, {"t", "u", "", "b"}, {"t", "u", "", "c"}, {"t", "u", "", ""}, {"t", "u", "", "e"}});
    m_f.form->MergeCount().setValue(2);
    m_f.form->CopyLinkButtonClick();
    // The leading empty item adds nothing; "b" is item 1 (no new line); "" then adds its "|".
    QCOMPARE(Clipboard(), QString("b\r\nc|\r\ne"));
}

void CopyExportTest::rowsWithoutAddressAreLeftOutAndCounted_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("note");
    QTest::newRow("title and address") << 0 << ""
                                       << "A$a1\r\nC$c1"
                                       << "已复制 2 条，1 条无地址未复制";
    QTest::newRow("address") << 1 << ""
                             << "a1\r\nc1"
                             << "已复制 2 条，1 条无地址未复制";
    QTest::newRow("link") << 2 << ""
                          << "l1\r\nl2\r\nl3"
                          << "已复制 3 条";
    QTest::newRow("template with the address") << 3 << "<title>-<URL>"
                                               << "A-a1\r\nC-c1"
                                               << "已复制 2 条，1 条无地址未复制";
    QTest::newRow("template without it") << 3 << "<title>"
                                         << "A\r\nB\r\nC"
                                         << "已复制 3 条";
}

void CopyExportTest::rowsWithoutAddressAreLeftOutAndCounted()
{
    QFETCH(int, layout);
    QFETCH(QString, format);
    OwnedByWindow(format.toStdString());
    m_f.Fill({{"A", "a1", "d1", "l1"}, {"B", "", "d2", "l2"}, {"C", "c1", "d3", "l3"}, {"D", "", "d4", "l4", false}});
    // The copy holds the busy cursor while it works, and gives it back.
    std::optional<Qt::CursorShape> cursorDuringCopy;
    const auto connection = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [&] {
        if (const QCursor* cursor = QGuiApplication::overrideCursor())
            cursorDuringCopy = cursor->shape();
    });
    m_f.form->CopyData(layout);
    disconnect(connection);
    QTEST(Clipboard(), "copy");
    QTEST(m_f.form->Grid().Note(), "note");
    QCOMPARE(cursorDuringCopy, std::optional(Qt::WaitCursor));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void CopyExportTest::longCopyComesWhole()
{
    // Far more than one piece of the text the copy converts at a time, in two-byte characters.
    std::vector<TestRow> rows;
    QStringList items;
    for (int i = 1; i <= 12000; ++i) {
        rows.push_back({QString("第%1集 视频").arg(i), QString("地址%1").arg(i)});
        items << rows.back().caption + "$" + rows.back().url;
    }
    m_f.Fill(rows);
    m_f.form->MergeCount().setValue(3);
    m_f.form->CopyAllButtonClick();
    QString expected;
    for (int i = 0; i < items.size(); ++i)
        expected += (i == 0 ? "" : i % 3 == 0 ? "\r\n" : "|") + items[i];
    QCOMPARE(Clipboard(), expected);
}

void CopyExportTest::rowsGoInDisplayOrder()
{
    m_f.Fill(Abc());
    m_f.form->View().sortByColumn(ColCaption, Qt::DescendingOrder);
    m_f.form->View().SelectRows({0});  // the selection plays no part
    m_f.form->CopyAllButtonClick();
    QCOMPARE(Clipboard(), QString("C$c1\r\nB$b1\r\nA$a1"));
}

void CopyExportTest::clipboardIsEmptiedWithNothingChecked()
{
    m_f.Fill({{"A", "a1", "", "", false}});
    m_f.form->CopyAllButtonClick();
    QCOMPARE(Clipboard(), QString());
}

void CopyExportTest::closedTableGivesAnEmptyClipboard()
{
    QVERIFY(!m_f.form->Data().Active());
    m_f.form->CopyData(0);
    QCOMPARE(Clipboard(), QString());
}

void CopyExportTest::exportAsksForTheTemplateAndCopies()
{
    m_f.Fill({{u"第一集"_qs, "a1", "2009-01-01"}, {"B", "b1", "", "", false}, {"C", "c1"}});
    m_f.form->MergeCount().setValue(1);
    QString shownTemplate;
    m_f.messages.OnModal([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("Edit");
        shownTemplate = edit->text();
        edit->setText("<ID>.<Title>=<url>@<date>");
        return int(QDialog::Accepted);
    });
    Click("ExportButton");
    QCOMPARE(m_f.messages.Texts(ScriptedMessages::Kind::Modal), std::vector<QString>{"自定义导出"});
    QCOMPARE(shownTemplate, QString());  // none yet
    QCOMPARE(Clipboard(), u"1.第一集=a1@2009-01-01\r\n3.C=c1@"_qs);

    // The next export starts from the template just entered.
    m_f.messages.OnModal([&](QDialog& dialog) {
        shownTemplate = dialog.findChild<QLineEdit*>("Edit")->text();
        return int(QDialog::Accepted);
    });
    m_f.form->ExportButtonClick();
    QCOMPARE(shownTemplate, QString("<ID>.<Title>=<url>@<date>"));
}

void CopyExportTest::exportCancelledKeepsTemplateAndClipboard()
{
    FormatWindow& window = OwnedByWindow("<url>");
    m_f.Fill(Abc());
    QGuiApplication::clipboard()->setText("old");
    m_f.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("Edit")->setText("changed");
        return int(QDialog::Rejected);
    });
    m_f.form->ExportButtonClick();
    QCOMPARE(window.format, std::string("<url>"));
    QCOMPARE(Clipboard(), QString("old"));
}

void CopyExportTest::exportAcceptsAnEmptyTemplate()
{
    FormatWindow& window = OwnedByWindow("<url>");
    m_f.Fill(Abc());
    m_f.form->MergeCount().setValue(3);
    m_f.messages.OnModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("Edit")->clear();
        return int(QDialog::Accepted);
    });
    m_f.form->ExportButtonClick();
    QCOMPARE(window.format, std::string());
    // Every item is empty, so the output never stops being empty: no separators either.
    QCOMPARE(Clipboard(), QString());
}

void CopyExportTest::templateLivesWithTheOwner()
{
    FormatWindow& window = OwnedByWindow(gbk::FromUnicode(u"《<title>》"));
    m_f.Fill(Abc());
    QString shown;
    m_f.messages.OnModal([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("Edit");
        shown = edit->text();
        edit->setText(u"<title>：<url>"_qs);
        return int(QDialog::Accepted);
    });
    m_f.form->ExportButtonClick();
    QCOMPARE(shown, u"《<title>》"_qs);
    QCOMPARE(window.format, gbk::FromUnicode(u"<title>：<url>"));
    QCOMPARE(Clipboard(), u"A：a1\r\nB：b1\r\nC：c1"_qs);

    // A second form of the same owner shares the template.
    TParseForm second(m_window.get(), m_f.app.get());
    second.Data().Open();
    RowFields row;
    row.Caption = "Z";
    row.Url = "z1";
    second.Data().Append(row);
    second.CopyData(3);
    QCOMPARE(Clipboard(), u"Z：z1"_qs);
}

void CopyExportTest::ownerSetExplicitlyWins()
{
    OwnedByWindow("parent");
    SessionFormat session;
    session.SetFormat("<id>");
    m_f.form->SetFormatOwner(&session);
    m_f.Fill(Abc());
    m_f.form->CopyData(3);
    QCOMPARE(Clipboard(), QString("1\r\n2\r\n3"));
}

void CopyExportTest::formCopiesThatRecordedWhenItsTableEmptiesMidway()
{
    // A command run from the message processing between rows empties the table: the copy stops
    // there instead of reading rows that are gone.
    m_f.Fill(Abc());
    QSignalSpy copied(QGuiApplication::clipboard(), &QClipboard::dataChanged);
    QTimer::singleShot(0, m_f.form.get(), [this] { m_f.form->Data().Close(); });
    m_f.form->CopyAllButtonClick();
    QCOMPARE(copied.count(), 1);
    QCOMPARE(Clipboard(), QString("A$a1"));
}

QTEST_MAIN(CopyExportTest)
#include "tst_copyexport.moc"
