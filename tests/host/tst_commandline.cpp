// The host program as it is started: a mistyped option on a machine without a display, and a
// picture taken while a module's message box waits for an answer.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void unknownOptionWithoutADisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        QProcess quib;
        quib.setProcessEnvironment(environment);
        quib.start(QStringLiteral(QUIB_EXECUTABLE), {QStringLiteral("--bogus")});
        QVERIFY(quib.waitForFinished(60000));
        QCOMPARE(quib.exitStatus(), QProcess::NormalExit);
        QVERIFY(quib.exitCode() != 0);
        const QString errors = QString::fromLocal8Bit(quib.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("Unknown option 'bogus'")), qPrintable(errors));
    }

    void screenshotWhileAMessageBoxIsOpen()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("data"))));
        QFile corrupt(dir.filePath(QStringLiteral("data/tool.quib.sites.xml")));
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write("<sites><site title=\"A\"");  // "无法加载站点列表！" waits for an answer
        corrupt.close();
        const QString picture = dir.filePath(QStringLiteral("window.png"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess quib;
        quib.setProcessEnvironment(environment);
        quib.start(QStringLiteral(QUIB_EXECUTABLE),
                   {QStringLiteral("--module"), QStringLiteral("Quib"), QStringLiteral("--app-path"), dir.path(),
                    QStringLiteral("--screenshot"), picture});
        const bool ended = quib.waitForFinished(120000);
        if (!ended)
            quib.kill(), quib.waitForFinished();
        QVERIFY(ended);
        QCOMPARE(quib.exitStatus(), QProcess::NormalExit);
        QCOMPARE(quib.exitCode(), 0);
        QVERIFY(QImage(picture).width() > 0);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
