// orvane-cli: the back end without a window, for scripts and headless use.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "cli/jsonvariant.h"
#include "emulator/emulatorsession.h"
#include "gps/gpx.h"
#include "interchange/channelcsv.h"
#include "interchange/codeplugtext.h"
#include "manager/manager.h"

namespace {
bool verbose = false;
bool accessDenied = false; // the radio is present but may not be opened

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
        std::fprintf(stderr, "%s; trying again (%d attempts left)\n",
            accessDenied ? "radio not accessible" : "radio not found", left - 1);
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
    QString problem;
    QObject::connect(
        &manager, &Manager::writeProgressChanged, [](int p) { showProgress("writing", p); });
    QObject::connect(&manager, &Manager::writeProblem, [&problem](int kind, const QString &detail) {
        switch (kind) {
        case Manager::IncompleteImage:
            problem = QStringLiteral("the image is incomplete (%1); nothing was sent").arg(detail);
            break;
        case Manager::OtherModelOrBand:
            problem = QStringLiteral("the radio is not the model or band of the image (%1); "
                                     "nothing was sent (--force writes anyway)")
                          .arg(detail);
            break;
        case Manager::VerifyFailed:
            problem = QStringLiteral("the radio does not hold what was written (blocks %1)")
                          .arg(detail);
            break;
        default:
            problem = QStringLiteral("cancelled; the radio may hold a partial image");
        }
    });
    QObject::connect(&manager, &Manager::dataWroteToDevice, [&ok](bool success) { ok = success; });
    manager.writeImageToDevice();
    if (!ok)
        return fail(problem.isEmpty() ? QStringLiteral("writing to the radio failed") : problem);
    return 0;
}

int backupsCommand(Manager &manager)
{
    QTextStream out(stdout);
    for (const QVariant &entry : manager.backupList()) {
        const QVariantMap b = entry.toMap();
        out << b.value(QStringLiteral("time")).toString() << '\t'
            << b.value(QStringLiteral("model")).toString() << '\t'
            << b.value(QStringLiteral("radioId")).toString() << '\t'
            << b.value(QStringLiteral("path")).toString() << '\n';
    }
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
// Writes text to FILE, or to standard output when FILE is "" or "-".
bool writeText(const QString &path, const QByteArray &text)
{
    if (path.isEmpty() || path == QLatin1String("-")) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return true;
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

bool readText(const QString &path, QByteArray *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = file.readAll();
    return true;
}

void printIssues(const char *kind, const QVector<CodeplugText::Issue> &issues, const QString &file)
{
    for (const CodeplugText::Issue &i : issues)
        std::fprintf(stderr, "%s: %s: %s\n", file.toLocal8Bit().constData(), kind,
            i.text().toLocal8Bit().constData());
}

int exportCommand(const QString &input, const QString &output)
{
    QString error;
    const QVariantList image = CodeplugText::loadImageFile(input, &error);
    if (image.isEmpty())
        return fail(error);
    if (!writeText(output, CodeplugText::exportYaml(image)))
        return fail(QStringLiteral("could not save %1").arg(output));
    return 0;
}

// The base image: the one given, or the factory default image the document's
// model and band call for.
QVariantList baseImage(const Manager &manager, const QString &base, const QByteArray &text,
    const QString &file, QString *error)
{
    if (!base.isEmpty())
        return CodeplugText::loadImageFile(base, error);
    CodeplugText::Issue issue;
    const QString name = CodeplugText::defaultImageName(text, &issue);
    if (name.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(file, issue.text());
        return {};
    }
    return CodeplugText::loadImageFile(manager.dataFilePath(name), error);
}

// Lists an import's warnings and errors; saves its image when it has no errors.
int saveImport(
    const CodeplugText::ImportResult &result, const QString &input, const QString &output)
{
    printIssues("warning", result.warnings, input);
    if (!result.ok) {
        printIssues("error", result.errors, input);
        return fail(QStringLiteral("%1 not imported (%2 errors); nothing written")
                        .arg(input)
                        .arg(result.errors.size()));
    }
    QString error;
    if (!CodeplugText::saveImageFile(output, result.image, &error))
        return fail(error);
    return 0;
}

int importCommand(const Manager &manager, const QString &input, const QString &base,
    const QString &output, bool strict)
{
    QByteArray text;
    if (!readText(input, &text))
        return fail(QStringLiteral("cannot read %1").arg(input));
    QString error;
    const QVariantList baseList = baseImage(manager, base, text, input, &error);
    if (baseList.isEmpty())
        return fail(error);
    return saveImport(CodeplugText::importYaml(text, baseList, strict), input, output);
}

int channelsImportCommand(
    const QString &input, const QString &base, const QString &output, bool append)
{
    QByteArray text;
    if (!readText(input, &text))
        return fail(QStringLiteral("cannot read %1").arg(input));
    QString error;
    const QVariantList baseList = CodeplugText::loadImageFile(base, &error);
    if (baseList.isEmpty())
        return fail(error);
    return saveImport(ChannelCsv::importCsv(text, baseList, append), input, output);
}

int channelsExportCommand(const QString &input, const QString &output)
{
    QString error;
    const QVariantList image = CodeplugText::loadImageFile(input, &error);
    if (image.isEmpty())
        return fail(error);
    if (!writeText(output, ChannelCsv::exportCsv(image)))
        return fail(QStringLiteral("could not save %1").arg(output));
    return 0;
}

// An image file as it is, or a document applied onto `onto` (or onto the
// factory default image of its model and band).
QVariantList imageOrDocument(
    const Manager &manager, const QString &path, const QVariantList &onto, QString *error)
{
    QString notImage;
    const QVariantList image = CodeplugText::loadImageFile(path, &notImage);
    if (!image.isEmpty())
        return image;
    QByteArray text;
    if (!readText(path, &text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    const QVariantList base
        = onto.isEmpty() ? baseImage(manager, QString(), text, path, error) : onto;
    if (base.isEmpty())
        return {};
    const CodeplugText::ImportResult result = CodeplugText::importYaml(text, base);
    if (!result.ok) {
        printIssues("error", result.errors, path);
        *error = QStringLiteral("%1 is neither an image nor a valid document").arg(path);
        return {};
    }
    return result.image;
}

int diffCommand(const Manager &manager, const QString &a, const QString &b)
{
    QString error;
    const QVariantList first = imageOrDocument(manager, a, {}, &error);
    const QVariantList second
        = first.isEmpty() ? QVariantList() : imageOrDocument(manager, b, first, &error);
    if (second.isEmpty()) {
        fail(error);
        return 2;
    }
    const QStringList lines = CodeplugText::diff(first, second);
    QTextStream out(stdout);
    for (const QString &line : lines)
        out << line << '\n';
    return lines.isEmpty() ? 0 : 1;
}
// GPX of a GPS point file (the radio's log: a segment per pause) or of an
// NMEA capture (one track), told apart by their first bytes.
int gpxCommand(Manager &manager, const QString &input, const QString &output)
{
    if (input.isEmpty() || output.isEmpty())
        return fail(QStringLiteral("gpx needs a file and -o FILE"));
    QFile in(input);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(input));
    const bool nmea = Gpx::looksLikeNmea(in.peek(4096));
    QVariantList points;
    if (nmea) {
        points = Gpx::readCapture(in.readAll());
    } else {
        QObject::connect(&manager, &Manager::signalGPSReadyRead,
            [&points](const QVariant &data) { points = data.toList(); });
        manager.readGPSDataFromFile(input);
    }
    QString error;
    if (!Gpx::save(output, points, !nmea, QFileInfo(input).completeBaseName(), &error))
        return fail(QStringLiteral("no GPX written for %1: %2").arg(input, error));
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
        "  write IMAGE.ovc         write an image file to the radio as it stands, then read it\n"
        "                          back and compare (refused for an incomplete image, or a\n"
        "                          radio of another model or band unless --force)\n"
        "  decode IMAGE.ovc        print the decoded image as JSON\n"
        "  default -o IMAGE.ovc    identify the radio and save its factory default image\n"
        "  gps-read -o POINTS.cdc  read the radio's GPS log and save its points\n"
        "  gps-decode POINTS.cdc   print a GPS point file as JSON\n"
        "  backups                 list the radio images kept before writes and after reads\n"
        "  export IMAGE.ovc [-o FILE.yaml]\n"
        "                          write the codeplug as a YAML document\n"
        "  import FILE.yaml [--base IMAGE.ovc] -o OUT.ovc\n"
        "                          apply a YAML (or JSON) document onto the base image (default:\n"
        "                          the factory default image of the document's model and band)\n"
        "  channels-export IMAGE.ovc -o LIST.csv\n"
        "  channels-import LIST.csv [--base IMAGE.ovc] [--append] -o OUT.ovc\n"
        "                          channel lists as CSV\n"
        "  diff A B                differences between two images or documents (exit status 0\n"
        "                          equal, 1 different, 2 trouble)\n"
        "  gpx INPUT -o OUT.gpx    GPX of a GPS point file or an NMEA capture\n\n"
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
    const QCommandLineOption forceOption(QStringLiteral("force"),
        QStringLiteral("write: write even to a radio of another model or band than the image."));
    const QCommandLineOption noVerifyOption(QStringLiteral("no-verify"),
        QStringLiteral("write: do not read the blocks back and compare them."));
    parser.addOption(outputOption);
    parser.addOption(verboseOption);
    parser.addOption(forceOption);
    parser.addOption(noVerifyOption);
    // --version only: -v is --verbose.
    const QCommandLineOption versionOption(
        QStringLiteral("version"), QStringLiteral("Show the program's version and exit."));
    parser.addOption(versionOption);
    const QCommandLineOption baseOption(QStringLiteral("base"),
        QStringLiteral("import, channels-import: the image the document is applied onto."),
        QStringLiteral("IMAGE"));
    const QCommandLineOption strictOption(
        QStringLiteral("strict"), QStringLiteral("import: refuse a document with warnings too."));
    const QCommandLineOption appendOption(QStringLiteral("append"),
        QStringLiteral("channels-import: add the channels after the image's own."));
    parser.addOption(baseOption);
    parser.addOption(strictOption);
    parser.addOption(appendOption);
    parser.addPositionalArgument(QStringLiteral("second"), QStringLiteral("diff: the second file"),
        QStringLiteral("[second]"));
    addEmulatorOptions(&parser);
    parser.process(normaliseEmulatorArguments(QCoreApplication::arguments()));
    if (parser.isSet(versionOption)) {
        std::printf("orvane-cli %s\n", ORVANE_VERSION);
        return 0;
    }
    verbose = parser.isSet(verboseOption);
    if (verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));
    const EmulatorOptions emulator = emulatorOptions(parser);

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return fail(QStringLiteral("no command given (see --help)"));
    const QString command = positional.first();
    const QString file = positional.value(1);
    const QString output = parser.value(outputOption);

    Manager manager;
    QObject::connect(&manager, &Manager::usbAccessDenied, [] {
        if (!accessDenied)
            std::fprintf(stderr,
                "orvane-cli: the radio is plugged in but this user may not open it: install the "
                "udev rule 60-orvane.rules into /etc/udev/rules.d (from dist/ in the sources; "
                "the orvane package installs it) and plug the radio in again\n");
        accessDenied = true;
    });
    std::unique_ptr<EmulatorSession> session;
    if (emulator.enabled) {
        QString error;
        session = EmulatorSession::attach(manager, emulator, &error);
        if (!session)
            return fail(error);
    }

    const bool needsOutput = command == QLatin1String("read") || command == QLatin1String("default")
        || command == QLatin1String("gps-read") || command == QLatin1String("import")
        || command == QLatin1String("channels-import")
        || command == QLatin1String("channels-export");
    const bool needsInput = command == QLatin1String("write") || command == QLatin1String("decode")
        || command == QLatin1String("gps-decode") || command == QLatin1String("export")
        || command == QLatin1String("import") || command == QLatin1String("channels-import")
        || command == QLatin1String("channels-export");
    if (needsOutput && output.isEmpty())
        return fail(QStringLiteral("%1 needs -o FILE").arg(command));
    if (needsInput && file.isEmpty())
        return fail(QStringLiteral("%1 needs a file").arg(command));

    if (parser.isSet(forceOption))
        manager.allowModelMismatchOnce();
    if (parser.isSet(noVerifyOption))
        manager.overrideVerifyWrites(false);
    if (command == QLatin1String("read"))
        return readCommand(manager, output);
    if (command == QLatin1String("backups"))
        return backupsCommand(manager);
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
    if (command == QLatin1String("export"))
        return exportCommand(file, output);
    if (command == QLatin1String("import"))
        return importCommand(
            manager, file, parser.value(baseOption), output, parser.isSet(strictOption));
    if (command == QLatin1String("channels-export"))
        return channelsExportCommand(file, output);
    if (command == QLatin1String("channels-import")) {
        const QString base = parser.isSet(baseOption)
            ? parser.value(baseOption)
            : manager.dataFilePath(QStringLiteral("default400-470.dcc"));
        return channelsImportCommand(file, base, output, parser.isSet(appendOption));
    }
    if (command == QLatin1String("diff")) {
        if (positional.size() != 3) {
            fail(QStringLiteral("diff needs two files"));
            return 2;
        }
        return diffCommand(manager, file, positional.at(2));
    }
    if (command == QLatin1String("gpx"))
        return gpxCommand(manager, file, output);
    return fail(QStringLiteral("unknown command \"%1\" (see --help)").arg(command));
}
