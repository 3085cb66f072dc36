// Qt's own texts, as every dialog and message box of the host shows them, in Chinese.
#include "host/app/qttranslations.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

using namespace quib;
using namespace quib::host;

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(LoadQtTranslations(*QCoreApplication::instance())); }

    void standardButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("取消");
        QTest::newRow("Close") << int(QDialogButtonBox::Close) << QStringLiteral("关闭");
        QTest::newRow("Yes") << int(QDialogButtonBox::Yes) << QStringLiteral("是(&Y)");
    }
    void standardButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        const auto standard = QDialogButtonBox::StandardButton(button);
        QDialogButtonBox box(standard);
        QCOMPARE(box.button(standard)->text(), text);
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "tst_qttranslations.moc"
