#include "emulator/emulatorsession.h"

#include <QDir>
#include <QStandardPaths>

#include <QFile>
#include <QFileInfo>

#include "emulator/radioemulator.h"
#include "manager/manager.h"
#include "manager/variantfile.h"

namespace {
const char *const EmulatorOption = "emulator";
const char *const GpsLogOption = "emulator-gps-log";
} // namespace

QString defaultEmulatorMemoryFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/orvane/emulated-radio.ovc");
}

QStringList normaliseEmulatorArguments(QStringList arguments)
{
    for (QString &argument : arguments) {
        if (argument == QLatin1String("--emulator") || argument == QLatin1String("-emulator"))
            argument = QStringLiteral("--emulator=") + defaultEmulatorMemoryFile();
    }
    return arguments;
}

void addEmulatorOptions(QCommandLineParser *parser)
{
    parser->addOption(QCommandLineOption(QString::fromLatin1(EmulatorOption),
        QStringLiteral("Talk to the emulated radio, keeping its memory in FILE (default: %1).")
            .arg(defaultEmulatorMemoryFile()),
        QStringLiteral("FILE")));
    parser->addOption(QCommandLineOption(QString::fromLatin1(GpsLogOption),
        QStringLiteral("With --emulator: the radio's GPS log is read from FILE (247 raw answers)."),
        QStringLiteral("FILE")));
}

EmulatorOptions emulatorOptions(const QCommandLineParser &parser)
{
    EmulatorOptions options;
    options.enabled = parser.isSet(QString::fromLatin1(EmulatorOption));
    options.memoryFile = parser.value(QString::fromLatin1(EmulatorOption));
    options.gpsLogFile = parser.value(QString::fromLatin1(GpsLogOption));
    return options;
}

struct EmulatorSession::Radio {
    RadioEmulator emulator;
    Manager *manager = nullptr;
};

EmulatorSession::~EmulatorSession()
{
    if (radio && radio->manager)
        radio->manager->setUsbApi(&realLibusb(), false);
}

std::unique_ptr<EmulatorSession> EmulatorSession::attach(
    Manager &manager, const EmulatorOptions &options, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return std::unique_ptr<EmulatorSession>();
    };
    std::unique_ptr<EmulatorSession> session(new EmulatorSession);
    session->radio = std::make_unique<Radio>();
    RadioEmulator &radio = session->radio->emulator;

    const QString memory = options.memoryFile;
    if (memory.isEmpty())
        return fail(QStringLiteral("--emulator needs a memory file"));
    if (!QFileInfo::exists(memory)) {
        // A new emulated radio starts from the factory default image.
        QVariantList image;
        const QString defaults = manager.dataFilePath(QStringLiteral("default400-470.dcc"));
        if (VariantFile::read(defaults, VariantFile::Kind::Image, &image))
            radio.setImage(image);
        QDir().mkpath(QFileInfo(memory).absolutePath());
    }
    if (!radio.setMemoryFile(memory))
        return fail(QStringLiteral("cannot use %1 as the emulated radio's memory").arg(memory));

    if (!options.gpsLogFile.isEmpty()) {
        QVariantList log;
        QString why;
        if (!VariantFile::read(options.gpsLogFile, VariantFile::Kind::GpsLog, &log, &why))
            return fail(options.gpsLogFile + QStringLiteral(": ") + why);
        if (!radio.setGpsLog(log))
            return fail(QStringLiteral("%1 is not a GPS log file").arg(options.gpsLogFile));
    }
    const LibusbApi *api = radio.libusbApi();
    if (!api)
        return fail(QStringLiteral("no room for another emulated radio"));
    manager.setUsbApi(api, true);
    session->radio->manager = &manager;
    return session;
}
