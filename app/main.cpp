// The GUI program: publishes Manager to the QML window and runs the event loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTranslator>

#include "emulator/emulatorsession.h"
#include "manager/manager.h"
#include <cstdio>
#include <ctime>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    // --help and --version print and quit: they need no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version"
            || arg == "-v") {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "minimal");
        }
    }
    // A QApplication, so that the QML file and message dialogs are Qt's own
    // widget dialogs (file-name field, filters, overwrite question) rather
    // than the bare QML ones; the platform's native dialogs are not used, so
    // they look and translate the same everywhere.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);

#ifdef Q_OS_WIN
    // Cyrillic debug output in the console.
    SetConsoleOutputCP(1251);
    SetConsoleCP(1251);
#endif

    static QIcon icon(QStringLiteral(":/img/ConfLogo.png"));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane: programming tool for DMR radios"));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption quitAfterFirstFrame(QStringLiteral("quit-after-first-frame"),
        QStringLiteral("Quit as soon as the window has drawn its first frame, printing \"first "
                       "frame\" and the processor time spent on stdout (for measurements)."));
    parser.addOption(quitAfterFirstFrame);
    // -v is --version here (Qt's convention); the log of every USB exchange
    // is --verbose.
    QCommandLineOption verbose(QStringLiteral("verbose"),
        QStringLiteral("Log every exchange with the radio (off by default)."));
    parser.addOption(verbose);
    QCommandLineOption tileServer(QStringLiteral("tile-server"),
        QStringLiteral("Map tiles from this server: tiles are URL/z/x/y.png (a URL ending in "
                       "{z}/{x}/{y}.png is taken too); remembered for later runs. Default %1.")
            .arg(Manager::defaultTileServer()),
        QStringLiteral("URL"));
    parser.addOption(tileServer);
    addEmulatorOptions(&parser);
    parser.process(normaliseEmulatorArguments(QCoreApplication::arguments()));
    if (parser.isSet(verbose))
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));

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

    // Qt's own texts (dialog buttons, the file dialog) follow the window's
    // language: Russian unless the English translation of the window is
    // loaded.
    QTranslator qtRussian;
    const bool haveQtRussian = qtRussian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"),
        QStringLiteral("_"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    const auto followLanguage = [&qtRussian, haveQtRussian] {
        const QString probe = QStringLiteral("Считать");
        const bool english = QCoreApplication::translate("MainScreen", "Считать") != probe;
        QCoreApplication::removeTranslator(&qtRussian);
        if (haveQtRussian && !english)
            QCoreApplication::installTranslator(&qtRussian);
    };
    followLanguage();
    QObject::connect(manager, &Manager::languageChanged, &app, followLanguage);
    if (parser.isSet(quitAfterFirstFrame)) {
        QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &app,
            [&app](QObject *object, const QUrl &) {
                auto *window = qobject_cast<QQuickWindow *>(object);
                if (!window) {
                    app.exit(1);
                    return;
                }
                QObject::connect(
                    window, &QQuickWindow::frameSwapped, &app,
                    [&app] {
                        static bool said = false;
                        if (said)
                            return;
                        said = true;
                        // With the processor time spent so far (all threads).
                        std::printf(
                            "first frame, %.1f ms CPU\n", 1000.0 * std::clock() / CLOCKS_PER_SEC);
                        std::fflush(stdout);
                        app.exit(0);
                    },
                    Qt::QueuedConnection);
            });
    }
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));

    return app.exec();
}
