#include "results/editform.h"
#include "results/exportform.h"
#include "results/findform.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "tests/support/scriptedmessages.h"
#include "host/framework/skin.h"
#include "host/core/workerthread.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace quib;
using namespace quib::results;
using namespace quib::test;

namespace {

template <class T>
T& Child(QWidget& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return *child;
}

QStringList Items(QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

}  // namespace

class TestResultDialogs : public QObject {
    Q_OBJECT
private slots:
    void init();
    void findDialog();
    void exportDialog();
    void editDialogStartsAtItsDefaults();
    void editDialogReadsItsControls();
    void buttonsCloseWithTheirResults_data();
    void buttonsCloseWithTheirResults();
    void skinNameGivesTheRibbon_data();
    void skinNameGivesTheRibbon();

private:
    QTemporaryDir m_dir;
    ScriptedMessages m_messages;
    WorkerRegistry m_workers;
    std::unique_ptr<HostApp> m_app;
};

void TestResultDialogs::init() { m_app = std::make_unique<HostApp>("Quib", m_dir.path(), m_messages, m_workers); }

void TestResultDialogs::findDialog()
{
    TFindForm dialog(nullptr, m_app.get());
    QCOMPARE(dialog.windowTitle(), QString("快速查找"));
    QVERIFY(dialog.windowFlags().testFlag(Qt::Tool));
    QCOMPARE(Child<QLabel>(dialog, "PromptLabel").text(), QString("请输入字符"));
    QCOMPARE(Child<QPushButton>(dialog, "OKButton").text(), QString("确定(&O)"));
    QVERIFY(Child<QPushButton>(dialog, "OKButton").isDefault());
    QCOMPARE(Child<QPushButton>(dialog, "CancelButton").text(), QString("取消(&C)"));
    QCOMPARE(dialog.focusWidget(), &Child<QLineEdit>(dialog, "TextEdit"));
    Child<QLineEdit>(dialog, "TextEdit").setText(u"第1集"_qs);
    QCOMPARE(dialog.Text(), gbk::FromUnicode(u"第1集"));
}

void TestResultDialogs::exportDialog()
{
    TExportForm dialog(nullptr, m_app.get());
    QCOMPARE(dialog.windowTitle(), QString("自定义导出"));
    QCOMPARE(Child<QLabel>(dialog, "FormatLabel").text(), QString("自定义格式："));
    QLabel& help = Child<QLabel>(dialog, "HelpLabel");
    QCOMPARE(help.text(),
             QString("自定义标签说明：<id>代表序号<title>代表标题                  <url>表示地址<date>代表时间"));
    QVERIFY(help.wordWrap());
    QCOMPARE(Child<QPushButton>(dialog, "OkButton").text(), QString("确定(&O)"));
    QVERIFY(Child<QPushButton>(dialog, "OkButton").isDefault());
    QCOMPARE(Child<QPushButton>(dialog, "cancelButton").text(), QString("取消(&C)"));
    QCOMPARE(dialog.focusWidget(), &Child<QLineEdit>(dialog, "Edit"));
    dialog.SetFormat(gbk::FromUnicode(u"《<title>》$<url>"));
    QCOMPARE(Child<QLineEdit>(dialog, "Edit").text(), u"《<title>》$<url>"_qs);
    QCOMPARE(dialog.Format(), gbk::FromUnicode(u"《<title>》$<url>"));
}

void TestResultDialogs::editDialogStartsAtItsDefaults()
{
    TEditForm dialog(nullptr, m_app.get());
    QCOMPARE(dialog.windowTitle(), QString("编辑数据"));
    for (const char* edit : {"OldTextEdit", "NewTextEdit", "TextEdit", "FormatEdit"})
        QVERIFY2(Child<QLineEdit>(dialog, edit).text().isEmpty(), edit);
    QCOMPARE(Items(Child<QComboBox>(dialog, "DelComboBox")), (QStringList{"前", "后"}));
    QCOMPARE(Items(Child<QComboBox>(dialog, "TextComboBox")), (QStringList{"前", "后"}));
    QCOMPARE(Child<QComboBox>(dialog, "DelComboBox").currentText(), QString("前"));
    QCOMPARE(Child<QComboBox>(dialog, "TextComboBox").currentText(), QString("前"));
    QSpinBox& count = Child<QSpinBox>(dialog, "SpinEdit");
    QCOMPARE(count.value(), 0);
    QCOMPARE(count.minimum(), 0);
    QCOMPARE(count.maximum(), 255);
    QCOMPARE(Child<QCheckBox>(dialog, "TrimCheckBox").text(), QString("删除空格"));
    QVERIFY(!Child<QCheckBox>(dialog, "TrimCheckBox").isChecked());
    QCOMPARE(Child<QLabel>(dialog, "FormatHintLabel").text(), QString("<title>代表标题<id>代表编号"));
    QCOMPARE(dialog.focusWidget(), &Child<QLineEdit>(dialog, "OldTextEdit"));
    QVERIFY(Child<QPushButton>(dialog, "OKButton").isDefault());

    const BulkEditSettings settings = dialog.Settings();
    QVERIFY(!settings.trim && settings.cutCount == 0 && settings.marker.empty() && settings.format.empty());
    QCOMPARE(settings.cutSide, EditSide::Front);
    QCOMPARE(settings.markerSide, EditSide::Front);
}

void TestResultDialogs::editDialogReadsItsControls()
{
    TEditForm dialog(nullptr, m_app.get());
    Child<QLineEdit>(dialog, "OldTextEdit").setText("TV");
    Child<QLineEdit>(dialog, "NewTextEdit").setText(u"电视"_qs);
    Child<QComboBox>(dialog, "DelComboBox").setCurrentIndex(1);
    Child<QSpinBox>(dialog, "SpinEdit").setValue(300);  // beyond the range: 255
    Child<QCheckBox>(dialog, "TrimCheckBox").setChecked(true);
    Child<QLineEdit>(dialog, "TextEdit").setText("-");
    Child<QComboBox>(dialog, "TextComboBox").setCurrentIndex(1);
    Child<QLineEdit>(dialog, "FormatEdit").setText("<id> <title>");
    const BulkEditSettings s = dialog.Settings();
    QCOMPARE(s.oldText, std::string("TV"));
    QCOMPARE(s.newText, gbk::FromUnicode(u"电视"));
    QCOMPARE(s.cutSide, EditSide::Back);
    QCOMPARE(s.cutCount, 255);
    QVERIFY(s.trim);
    QCOMPARE(s.marker, std::string("-"));
    QCOMPARE(s.markerSide, EditSide::Back);
    QCOMPARE(s.format, std::string("<id> <title>"));
}

void TestResultDialogs::buttonsCloseWithTheirResults_data()
{
    QTest::addColumn<int>("dialog");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("find ok") << 0 << "OKButton" << int(QDialog::Accepted);
    QTest::newRow("find cancel") << 0 << "CancelButton" << int(QDialog::Rejected);
    QTest::newRow("export ok") << 1 << "OkButton" << int(QDialog::Accepted);
    QTest::newRow("export cancel") << 1 << "cancelButton" << int(QDialog::Rejected);
    QTest::newRow("edit ok") << 2 << "OKButton" << int(QDialog::Accepted);
    QTest::newRow("edit cancel") << 2 << "CancelButton" << int(QDialog::Rejected);
}

void TestResultDialogs::buttonsCloseWithTheirResults()
{
    QFETCH(int, dialog);
    QFETCH(QString, button);
    std::unique_ptr<QDialog> shown;
    if (dialog == 0)
        shown = std::make_unique<TFindForm>(nullptr, m_app.get());
    else if (dialog == 1)
        shown = std::make_unique<TExportForm>(nullptr, m_app.get());
    else
        shown = std::make_unique<TEditForm>(nullptr, m_app.get());
    shown->show();
    QTest::mouseClick(&Child<QPushButton>(*shown, button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(!shown->isVisible());
    QTEST(shown->result(), "result");
}

void TestResultDialogs::skinNameGivesTheRibbon_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<bool>("ribbon");
    QTest::newRow("Sys keeps the plain frame") << "Sys" << false;
    QTest::newRow("Black") << "Black" << true;
}

void TestResultDialogs::skinNameGivesTheRibbon()
{
    QFETCH(QString, skin);
    QFETCH(bool, ribbon);
    m_app->SetSkinName(skin);
    TFindForm find(nullptr, m_app.get());
    TExportForm exporter(nullptr, m_app.get());
    TEditForm edit(nullptr, m_app.get());
    for (QDialog* dialog : std::initializer_list<QDialog*>{&find, &exporter, &edit}) {
        auto* strip = dialog->findChild<RibbonStrip*>();
        QCOMPARE(strip != nullptr, ribbon);
        if (strip)
            QCOMPARE(strip->SchemeName(), skin);
    }
}

QTEST_MAIN(TestResultDialogs)
#include "tst_resultdialogs.moc"
