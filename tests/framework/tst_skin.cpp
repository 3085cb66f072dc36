#include "host/framework/skin.h"

#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

using namespace quib;

namespace {

// A dialog laid out the way the module forms are: a vertical box with some content.
struct BoxDialog {
    QDialog dialog;
    QVBoxLayout* box = new QVBoxLayout(&dialog);  // owned by the dialog
    QLabel* content = new QLabel("content", &dialog);
    BoxDialog()
    {
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(content);
        dialog.resize(300, 200);
    }
};

}  // namespace

class SkinTest : public QObject {
    Q_OBJECT
private slots:
    void sysAddsNothing();
    void otherSkinsAddAStripOnTop_data();
    void otherSkinsAddAStripOnTop();
    void stripWithoutABoxLayoutLiesOverTheTop();
    void schemeNamesIgnoreCase();
};

void SkinTest::sysAddsNothing()
{
    BoxDialog form;
    QCOMPARE(ApplySkin(form.dialog, "Sys"), nullptr);
    QVERIFY(form.dialog.findChildren<RibbonStrip*>().isEmpty());
    QCOMPARE(form.box->count(), 1);
}

void SkinTest::otherSkinsAddAStripOnTop_data()
{
    QTest::addColumn<QString>("skin");
    QTest::newRow("blue") << "Blue";
    QTest::newRow("black") << "Black";
    QTest::newRow("silver") << "Silver";
    QTest::newRow("unknown name") << "Office2007";
}

void SkinTest::otherSkinsAddAStripOnTop()
{
    QFETCH(QString, skin);
    BoxDialog form;
    RibbonStrip* strip = ApplySkin(form.dialog, skin);
    QVERIFY(strip);
    QCOMPARE(strip->parentWidget(), &form.dialog);
    QCOMPARE(strip->SchemeName(), skin);
    QCOMPARE(form.dialog.findChildren<RibbonStrip*>().size(), 1);
    QCOMPARE(form.box->count(), 2);
    QCOMPARE(form.box->itemAt(0)->widget(), strip);

    form.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.dialog));
    QCOMPARE(strip->height(), 24);
    QCOMPARE(strip->y(), 0);
    QCOMPARE(strip->width(), form.dialog.width());
    QVERIFY(form.content->y() >= 24);
}

void SkinTest::stripWithoutABoxLayoutLiesOverTheTop()
{
    QDialog dialog;
    dialog.resize(320, 240);
    RibbonStrip* strip = ApplySkin(dialog, "Blue");
    QVERIFY(strip);
    QCOMPARE(strip->geometry(), QRect(0, 0, 320, 24));
}

void SkinTest::schemeNamesIgnoreCase()
{
    QCOMPARE(RibbonSchemeColor("BLACK"), RibbonSchemeColor("black"));
    QVERIFY(RibbonSchemeColor("Black") != RibbonSchemeColor("Blue"));
    QCOMPARE(RibbonSchemeColor("no such scheme"), RibbonSchemeColor("Blue"));
}

QTEST_MAIN(SkinTest)
#include "tst_skin.moc"
