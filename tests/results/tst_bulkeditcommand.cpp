#include "results/gridfooter.h"
#include "tests/support/formfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

using namespace quib;
using namespace quib::results;
using namespace quib::test;
using namespace quib::collect;
using namespace quib::standin;

namespace {

// Fills the edit dialog's controls; the texts left empty stay empty.
struct EditAnswers {
    QString oldText, newText, marker, format;
    int cutSide = 0, cutCount = 0, markerSide = 0;
    bool trim = false;
};

std::function<int(QDialog&)> Answer(const EditAnswers& a, int result = QDialog::Accepted)
{
    return [a, result](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("OldTextEdit")->setText(a.oldText);
        dialog.findChild<QLineEdit*>("NewTextEdit")->setText(a.newText);
        dialog.findChild<QComboBox*>("DelComboBox")->setCurrentIndex(a.cutSide);
        dialog.findChild<QSpinBox*>("SpinEdit")->setValue(a.cutCount);
        dialog.findChild<QCheckBox*>("TrimCheckBox")->setChecked(a.trim);
        dialog.findChild<QLineEdit*>("TextEdit")->setText(a.marker);
        dialog.findChild<QComboBox*>("TextComboBox")->setCurrentIndex(a.markerSide);
        dialog.findChild<QLineEdit*>("FormatEdit")->setText(a.format);
        return result;
    };
}

}  // namespace

class BulkEditTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fromTheFooterEditsEveryCheckedRow_data();
    void fromTheFooterEditsEveryCheckedRow();
    void fromATitleCellEditsTheCheckedSelectedRows();
    void onlyTheTitleChanges();
    void cancelChangesNothing();
    void dialogStartsAtItsDefaultsEachTime();
    void closedTableOpensNoDialog();

private:
    void OpenMenuOnTitleFooter();
    void OpenMenuOnTitleCell(int viewRow);
    FormFixture m_f;
};

void BulkEditTest::init()
{
    m_f.Create();
    m_f.Show();
}

void BulkEditTest::cleanup() { m_f.Destroy(); }

void BulkEditTest::OpenMenuOnTitleFooter()
{
    GridFooter& footer = m_f.form->Grid().Footer();
    QTest::mouseClick(&footer, Qt::RightButton, {}, footer.CellRect(ColCaption).center());
    QVERIFY(m_f.form->PopupMenu().EditButton->isVisible());
}

void BulkEditTest::OpenMenuOnTitleCell(int viewRow)
{
    DataView& view = m_f.form->View();
    QTest::mouseClick(view.viewport(), Qt::RightButton, {},
                      view.visualRect(view.model()->index(viewRow, ColCaption)).center());
    QVERIFY(m_f.form->PopupMenu().EditButton->isVisible());
}

void BulkEditTest::fromTheFooterEditsEveryCheckedRow_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("cutSide");
    QTest::addColumn<int>("cutCount");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<int>("markerSide");
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("edited");
    QTest::newRow("trim, then 后 2") << u"  第1集 优酷  "_qs << 1 << 2 << true << "" << 0 << ""
                                     << "" << u"第1集 "_qs;
    QTest::newRow("marker - 前") << "abc-def" << 0 << 0 << false << "-" << 0 << ""
                                 << ""
                                 << "-def";
    QTest::newRow("marker - 后") << "abc-def" << 0 << 0 << false << "-" << 1 << ""
                                 << ""
                                 << "abc-";
    QTest::newRow("marker -- 后") << "ab--cd" << 0 << 0 << false << "--" << 1 << ""
                                  << ""
                                  << "ab-";
    QTest::newRow("TV by nothing") << "tv show TV" << 0 << 0 << false << "" << 0 << "TV"
                                   << ""
                                   << " show TV";
    QTest::newRow("N = 0 with 后") << "abc" << 1 << 0 << false << "" << 0 << ""
                                   << ""
                                   << "abc";
    QTest::newRow("pattern on row 7") << "X" << 0 << 0 << false << "" << 0 << "" << u"第<id>集 <title>"_qs
                                      << u"第7集 X"_qs;
    QTest::newRow("pattern of spaces") << "X" << 0 << 0 << false << "" << 0 << ""
                                       << "   "
                                       << "X";
}

void BulkEditTest::fromTheFooterEditsEveryCheckedRow()
{
    QFETCH(QString, title);
    QFETCH(QString, edited);
    // Rows 1 to 7; the title under test on row 7, the same title unchecked on row 3.
    std::vector<TestRow> rows;
    for (int i = 1; i <= 6; ++i)
        rows.emplace_back(i == 3 ? title : QString("r%1").arg(i), "u", "", "", i != 3);
    rows.emplace_back(title, "u");
    m_f.Fill(rows);
    m_f.form->View().SelectRows({0});  // scope 0 ignores the selection

    EditAnswers answers;
    QFETCH(int, cutSide);
    QFETCH(int, cutCount);
    QFETCH(bool, trim);
    QFETCH(QString, marker);
    QFETCH(int, markerSide);
    QFETCH(QString, oldText);
    QFETCH(QString, format);
    answers.cutSide = cutSide;
    answers.cutCount = cutCount;
    answers.trim = trim;
    answers.marker = marker;
    answers.markerSide = markerSide;
    answers.oldText = oldText;
    answers.format = format;
    m_f.messages.OnModal(Answer(answers));
    OpenMenuOnTitleFooter();
    m_f.form->PopupMenu().EditButton->trigger();

    QCOMPARE(m_f.messages.Texts(ScriptedMessages::Kind::Modal), std::vector<QString>{"编辑数据"});
    QCOMPARE(m_f.Caption(6), edited);
    QCOMPARE(m_f.Caption(2), title);  // unchecked
    QVERIFY(m_f.messages.Texts(ScriptedMessages::Kind::Info).empty());
}

void BulkEditTest::fromATitleCellEditsTheCheckedSelectedRows()
{
    m_f.Fill({{"a"}, {"b", "", "", "", false}, {"c"}, {"d"}, {"e"}});
    m_f.form->View().SelectRows({0, 1, 2});
    EditAnswers answers;
    answers.format = "<title>!";
    m_f.messages.OnModal(Answer(answers));
    OpenMenuOnTitleCell(1);
    m_f.form->PopupMenu().EditButton->trigger();
    QCOMPARE(m_f.Caption(0), QString("a!"));
    QCOMPARE(m_f.Caption(1), QString("b"));  // selected but unchecked
    QCOMPARE(m_f.Caption(2), QString("c!"));
    QCOMPARE(m_f.Caption(3), QString("d"));  // checked but not selected
    QCOMPARE(m_f.Caption(4), QString("e"));
}

void BulkEditTest::onlyTheTitleChanges()
{
    m_f.Fill({{"Title", "url", "2009-01-01", "http://link/"}});
    EditAnswers answers;
    answers.oldText = "TITLE";
    answers.newText = "Name";
    m_f.messages.OnModal(Answer(answers));
    m_f.form->PopupMenu().Scope = EditScope::AllChecked;
    m_f.form->EditButtonClick();
    const ResultRow& row = m_f.form->Data().Row(0);
    QCOMPARE(row.Caption, std::string("Name"));
    QCOMPARE(row.Url, std::string("url"));
    QCOMPARE(row.Date, std::string("2009-01-01"));
    QCOMPARE(row.Link, std::string("http://link/"));
    QVERIFY(row.Status);
    QCOMPARE(row.RecId, 1);
}

void BulkEditTest::cancelChangesNothing()
{
    m_f.Fill({{"a"}, {"b"}});
    EditAnswers answers;
    answers.format = "x";
    m_f.messages.OnModal(Answer(answers, QDialog::Rejected));
    m_f.form->EditButtonClick();
    QCOMPARE(m_f.Caption(0), QString("a"));
    QCOMPARE(m_f.Caption(1), QString("b"));
}

void BulkEditTest::dialogStartsAtItsDefaultsEachTime()
{
    m_f.Fill({{"  a  "}});
    EditAnswers answers;
    answers.trim = true;
    answers.cutSide = 1;
    m_f.messages.OnModal(Answer(answers));
    m_f.form->EditButtonClick();
    QCOMPARE(m_f.Caption(0), QString("a"));
    bool defaults = false;
    m_f.messages.OnModal([&](QDialog& dialog) {
        defaults = !dialog.findChild<QCheckBox*>("TrimCheckBox")->isChecked() &&
                   dialog.findChild<QComboBox*>("DelComboBox")->currentIndex() == 0;
        return int(QDialog::Rejected);
    });
    m_f.form->EditButtonClick();
    QVERIFY(defaults);
}

void BulkEditTest::closedTableOpensNoDialog()
{
    m_f.form->EditButtonClick();
    QVERIFY(m_f.messages.Messages().empty());
}

QTEST_MAIN(BulkEditTest)
#include "tst_bulkeditcommand.moc"
