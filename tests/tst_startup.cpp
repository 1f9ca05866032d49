// The program starts from a folder holding none of its files, loads the
// window from its compiled-in resources without a QML error or warning, draws
// a frame and ends cleanly.
#include <QProcess>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void programRunsAndExits();
};

void TestStartup::programRunsAndExits()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvane");
    QVERIFY2(QFile::exists(program), qPrintable(program));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
        QDir::tempPath() + QStringLiteral("/orvane-startup-test"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    process.start(program, { QStringLiteral("--quit-after-first-frame") });
    QVERIFY(process.waitForFinished(60000));
    const QByteArray err = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, err.constData());
    QVERIFY2(!err.contains("qrc:/"), err.constData()); // no QML error or warning
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
