// orvane-cli: the back end without a window, for scripts and headless use.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "cli/jsonvariant.h"
#include "emulator/emulatorsession.h"
#include "manager/manager.h"

namespace {
bool verbose = false;

// The back end's log is noise for a script (the outcome is one line of our
// own); --verbose shows it.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if ((type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) && !verbose)
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int fail(const QString &message)
{
    std::fprintf(stderr, "orvane-cli: %s\n", message.toLocal8Bit().constData());
    return 1;
}

void printJson(const QVariant &value)
{
    const QJsonValue json = jsonFromVariant(value);
    const QJsonDocument doc
        = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    QTextStream(stdout) << doc.toJson(QJsonDocument::Indented);
}

void showProgress(const char *what, int percent)
{
    std::fprintf(stderr, "\r%s: %3d%%", what, percent);
    if (percent >= 100)
        std::fprintf(stderr, "\n");
}

// Loads an image file; true and the decoded map when it is one.
bool loadImage(Manager &manager, const QString &file, QVariant *decoded)
{
    bool ok = false;
    auto c1 = QObject::connect(
        &manager, &Manager::dataReadyReadFromDevice, [&](bool success, const QVariant &data) {
            ok = success;
            *decoded = data;
        });
    manager.readDataFromFile(file);
    QObject::disconnect(c1);
    return ok;
}

int readCommand(Manager &manager, const QString &output)
{
    bool ok = false;
    QObject::connect(&manager, &Manager::signalRetryConnect, [](int left) {
        std::fprintf(stderr, "radio not found; trying again (%d attempts left)\n", left - 1);
    });
    QObject::connect(
        &manager, &Manager::readProgressChanged, [](int p) { showProgress("reading", p); });
    QObject::connect(&manager, &Manager::dataReadyReadFromDevice,
        [&ok](bool success, const QVariant &) { ok = success; });
    manager.readDataFromDevice();
    std::fprintf(stderr, "\n");
    if (!ok)
        return fail(QStringLiteral("could not read the radio"));
    if (!manager.writeDataToFile(output))
        return fail(QStringLiteral("could not save %1").arg(output));
    return 0;
}

int writeCommand(Manager &manager, const QString &input)
{
    QVariant decoded;
    if (!loadImage(manager, input, &decoded))
        return fail(QStringLiteral("%1: %2").arg(input, manager.lastFileError()));
    bool ok = false;
    QObject::connect(
        &manager, &Manager::writeProgressChanged, [](int p) { showProgress("writing", p); });
    QObject::connect(&manager, &Manager::dataWroteToDevice, [&ok](bool success) { ok = success; });
    manager.writeImageToDevice();
    if (!ok)
        return fail(QStringLiteral("writing to the radio failed"));
    return 0;
}

int decodeCommand(Manager &manager, const QString &input)
{
    QVariant decoded;
    if (!loadImage(manager, input, &decoded))
        return fail(QStringLiteral("%1: %2").arg(input, manager.lastFileError()));
    printJson(decoded);
    return 0;
}

int defaultCommand(Manager &manager, const QString &output)
{
    if (manager.slotDefaultSettings() != 0) {
        const QString why = manager.lastFileError();
        return fail(why.isEmpty() ? QStringLiteral("the radio could not be reached") : why);
    }
    if (!manager.writeDataToFile(output))
        return fail(QStringLiteral("could not save %1").arg(output));
    return 0;
}

int gpsReadCommand(Manager &manager, const QString &output)
{
    enum { Failed, Empty, Ready } outcome = Failed;
    QObject::connect(
        &manager, &Manager::readProgressChanged, [](int p) { showProgress("reading GPS log", p); });
    QObject::connect(&manager, &Manager::signalGPSEmpty, [&outcome] { outcome = Empty; });
    QObject::connect(
        &manager, &Manager::signalGPSReadyRead, [&outcome](const QVariant &) { outcome = Ready; });
    manager.setPause([](int) {}); // the pause after delivery is for the window only
    manager.readGPSData();
    if (outcome == Failed)
        return fail(QStringLiteral("could not read the GPS log from the radio"));
    if (outcome == Empty)
        return fail(QStringLiteral("the radio's GPS log holds no points"));
    if (!manager.writeGPSDataToFile(output))
        return fail(QStringLiteral("could not save %1").arg(output));
    return 0;
}

int gpsDecodeCommand(Manager &manager, const QString &input)
{
    if (!QFileInfo(input).isReadable())
        return fail(QStringLiteral("cannot read %1").arg(input));
    QVariant points;
    QObject::connect(
        &manager, &Manager::signalGPSReadyRead, [&points](const QVariant &data) { points = data; });
    manager.readGPSDataFromFile(input);
    if (!manager.lastFileError().isEmpty())
        return fail(QStringLiteral("%1: %2").arg(input, manager.lastFileError()));
    printJson(points.toList());
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    qInstallMessageHandler(messageHandler);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Orvane command-line radio programming tool.\n\n"
        "Commands:\n"
        "  read -o IMAGE.ovc       read the radio and save its image\n"
        "  write IMAGE.ovc         write an image file to the radio as it stands\n"
        "  decode IMAGE.ovc        print the decoded image as JSON\n"
        "  default -o IMAGE.ovc    identify the radio and save its factory default image\n"
        "  gps-read -o POINTS.cdc  read the radio's GPS log and save its points\n"
        "  gps-decode POINTS.cdc   print a GPS point file as JSON\n\n"
        "--emulator[=FILE] talks to the emulated radio instead, keeping its memory in FILE\n"
        "(created from a factory default image when absent).\n"
        "--emulator-gps-log=FILE gives the emulated radio the raw GPS log in FILE."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("what to do"));
    parser.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("input file"), QStringLiteral("[file]"));
    const QCommandLineOption outputOption({ QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("Output file."), QStringLiteral("FILE"));
    const QCommandLineOption verboseOption({ QStringLiteral("v"), QStringLiteral("verbose") },
        QStringLiteral("Show the back end's log."));
    parser.addOption(outputOption);
    parser.addOption(verboseOption);
    addEmulatorOptions(&parser);
    parser.process(normaliseEmulatorArguments(QCoreApplication::arguments()));
    verbose = parser.isSet(verboseOption);
    const EmulatorOptions emulator = emulatorOptions(parser);

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return fail(QStringLiteral("no command given (see --help)"));
    const QString command = positional.first();
    const QString file = positional.value(1);
    const QString output = parser.value(outputOption);

    Manager manager;
    std::unique_ptr<EmulatorSession> session;
    if (emulator.enabled) {
        QString error;
        session = EmulatorSession::attach(manager, emulator, &error);
        if (!session)
            return fail(error);
    }

    const bool needsOutput = command == QLatin1String("read") || command == QLatin1String("default")
        || command == QLatin1String("gps-read");
    const bool needsInput = command == QLatin1String("write") || command == QLatin1String("decode")
        || command == QLatin1String("gps-decode");
    if (needsOutput && output.isEmpty())
        return fail(QStringLiteral("%1 needs -o FILE").arg(command));
    if (needsInput && file.isEmpty())
        return fail(QStringLiteral("%1 needs a file").arg(command));

    if (command == QLatin1String("read"))
        return readCommand(manager, output);
    if (command == QLatin1String("write"))
        return writeCommand(manager, file);
    if (command == QLatin1String("decode"))
        return decodeCommand(manager, file);
    if (command == QLatin1String("default"))
        return defaultCommand(manager, output);
    if (command == QLatin1String("gps-read"))
        return gpsReadCommand(manager, output);
    if (command == QLatin1String("gps-decode"))
        return gpsDecodeCommand(manager, file);
    return fail(QStringLiteral("unknown command \"%1\" (see --help)").arg(command));
}
