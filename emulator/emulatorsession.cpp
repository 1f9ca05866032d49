#include "emulator/emulatorsession.h"

#include <QDir>
#include <QStandardPaths>

#include "manager/manager.h"

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
    parser->addOption(QCommandLineOption(
        QString::fromLatin1(EmulatorOption),
        QStringLiteral("Talk to the emulated radio, keeping its memory in FILE (default: %1).")
            .arg(defaultEmulatorMemoryFile()),
        QStringLiteral("FILE")));
    parser->addOption(QCommandLineOption(
        QString::fromLatin1(GpsLogOption),
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
};

EmulatorSession::~EmulatorSession() = default;

std::unique_ptr<EmulatorSession> EmulatorSession::attach(Manager &, const EmulatorOptions &,
                                                         QString *error)
{
    if (error)
        *error = QStringLiteral("the radio emulator is not available in this build");
    return nullptr;
}
