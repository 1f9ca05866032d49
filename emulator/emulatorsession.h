#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>

class Manager;

// What the front ends' --emulator[=FILE] and --emulator-gps-log=FILE ask for.
struct EmulatorOptions {
    bool enabled = false;
    QString memoryFile; // the emulated radio's memory, kept between runs
    QString gpsLogFile; // raw GPS log answers instead of the generated track
};

// A bare "--emulator" becomes "--emulator=<default memory file>", so that the
// option can be declared with a value.
QStringList normaliseEmulatorArguments(QStringList arguments);
void addEmulatorOptions(QCommandLineParser *parser);
EmulatorOptions emulatorOptions(const QCommandLineParser &parser);
QString defaultEmulatorMemoryFile();

// An emulated radio attached to a Manager for as long as the session lives.
class EmulatorSession {
public:
    static std::unique_ptr<EmulatorSession> attach(
        Manager &manager, const EmulatorOptions &options, QString *error);
    ~EmulatorSession();

private:
    EmulatorSession() = default;
    struct Radio;
    std::unique_ptr<Radio> radio;
};
