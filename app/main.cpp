// The GUI program: publishes Manager to the QML window and runs the event loop.
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>

#include "emulator/emulatorsession.h"
#include "manager/manager.h"
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

#ifdef Q_OS_WIN
    // Cyrillic debug output in the console.
    SetConsoleOutputCP(1251);
    SetConsoleCP(1251);
#endif

    static QIcon icon(QStringLiteral(":/img/ConfLogo.png"));
    QGuiApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane: programming tool for DMR radios"));
    parser.addHelpOption();
    QCommandLineOption quitAfterFirstFrame(QStringLiteral("quit-after-first-frame"),
        QStringLiteral("Quit as soon as the window has drawn its first frame (for measurements)."));
    parser.addOption(quitAfterFirstFrame);
    QCommandLineOption tileServer(QStringLiteral("tile-server"),
        QStringLiteral("Map tiles from this server: tiles are URL/z/x/y.png (a URL ending in "
                       "{z}/{x}/{y}.png is taken too); remembered for later runs. Default %1.")
            .arg(Manager::defaultTileServer()),
        QStringLiteral("URL"));
    parser.addOption(tileServer);
    addEmulatorOptions(&parser);
    parser.process(normaliseEmulatorArguments(QCoreApplication::arguments()));

    QQmlApplicationEngine engine;
    Manager *manager = Manager::instance();
    if (parser.isSet(tileServer))
        manager->setTileServer(parser.value(tileServer));

    // With --emulator the program talks to the emulated radio.
    std::unique_ptr<EmulatorSession> emulator;
    const EmulatorOptions emulatorSetup = emulatorOptions(parser);
    if (emulatorSetup.enabled) {
        QString error;
        emulator = EmulatorSession::attach(*manager, emulatorSetup, &error);
        if (!emulator) {
            std::fprintf(stderr, "orvane: %s\n", qPrintable(error));
            return 1;
        }
    }
    engine.rootContext()->setContextProperty(QStringLiteral("Manager"), manager);
    if (parser.isSet(quitAfterFirstFrame)) {
        QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &app,
            [&app](QObject *object, const QUrl &) {
                auto *window = qobject_cast<QQuickWindow *>(object);
                if (!window) {
                    app.exit(1);
                    return;
                }
                QObject::connect(
                    window, &QQuickWindow::frameSwapped, &app, [&app] { app.exit(0); },
                    Qt::QueuedConnection);
            });
    }
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));

    return app.exec();
}
