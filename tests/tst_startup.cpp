// The window's QML loads from the compiled-in resources with "Manager"
// available to its first bindings, and the program starts and ends cleanly
// from a folder holding none of its files.
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QtTest>

#include "manager/manager.h"

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void rootDocumentLoadsWithManager();
    void programRunsAndExits();
};

void TestStartup::rootDocumentLoadsWithManager()
{
    Manager manager;
    QSignalSpy language(&manager, &Manager::signalLanguageSettings);
    QQmlApplicationEngine engine;
    QList<QQmlError> errors;
    connect(&engine, &QQmlApplicationEngine::warnings, this,
        [&errors](const QList<QQmlError> &w) { errors << w; });
    engine.rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));

    QCOMPARE(engine.rootObjects().size(), 1);
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QVERIFY(window);
    QCOMPARE(window->title(), QStringLiteral("Orvane 2.7"));
    // Component.onCompleted asked Manager for the stored language.
    QVERIFY(language.count() >= 1);
    for (const QQmlError &e : errors)
        qWarning() << e.toString();
    QVERIFY(errors.isEmpty());
}

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

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
