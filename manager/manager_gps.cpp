// Manager: the GPS receiver on a serial port, its capture files, GPX export.
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <iterator>

#include "gps/gpx.h"
#include "manager/manager.h"

namespace {
const int BaudRates[] = { 4800, 9600, 19200, 38400, 57600, 115200 };

QString localFile(const QString &url)
{
    const QUrl u(url);
    return u.isLocalFile() ? u.toLocalFile() : url;
}
} // namespace

void Manager::wireGps()
{
    connect(&gps, &dataGps::signalReceiverState, this, &Manager::signalReceiverState);
    // The capture gets every byte as it came, before the reader sees it.
    connect(&serialPort, &SerialP::ReadyData, this, [this](const QByteArray &data) {
        if (capture.isOpen() && !data.isEmpty()
            && (capture.write(data) != data.size() || !capture.flush()))
            qDebug().noquote() << "Manager: capture not written:" << capture.errorString();
    });
    connect(&serialPort, &SerialP::error_, this, [this](const QString &message) {
        if (serialPort.isOpen()) {
            serialError = message; // the reason; the port closes next
            return;
        }
        if (closingSerial || !serialSession)
            return;
        endSerialSession();
        emit signalSerialPortLost(serialError);
    });
}

QVariantList Manager::serialBaudRates() const
{
    QVariantList rates;
    for (int rate : BaudRates)
        rates << rate;
    return rates;
}

QString Manager::captureFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/tracks");
}

QString Manager::captureFile() const { return capture.isOpen() ? capture.fileName() : QString(); }

int Manager::openSerialPortAt(QString name, int baudRate)
{
    if (std::find(std::begin(BaudRates), std::end(BaudRates), baudRate) == std::end(BaudRates))
        return -1;
    closeSerialPort();
    serialPort.Write_Settings_Port(name, baudRate, QSerialPort::Data8, QSerialPort::NoParity,
        QSerialPort::OneStop, QSerialPort::NoFlowControl);
    if (!serialWired) { // process_Port connects the port's signals; once is enough
        serialPort.process_Port();
        serialWired = true;
    }
    if (serialPort.ConnectPort() != 0)
        return -1;
    gps.startStream();
    serialError.clear();
    serialSession = true;
    // A capture named by the local time it starts; the port works without one.
    const QString folder = captureFolder();
    const QString stem = folder + QLatin1Char('/')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString path = stem + QStringLiteral(".nmea");
    for (int n = 2; QFile::exists(path); ++n)
        path = stem + QStringLiteral("-%1.nmea").arg(n);
    capture.setFileName(path);
    if (!QDir().mkpath(folder) || !capture.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        qDebug().noquote() << "Manager: no capture file:" << path << capture.errorString();
    return 0;
}

void Manager::endSerialSession()
{
    serialSession = false;
    gps.finishStream();
    capture.close();
}

void Manager::closeSerialPort()
{
    closingSerial = true;
    serialPort.DisconnectPort();
    closingSerial = false;
    if (serialSession)
        endSerialSession();
}

bool Manager::openCapture(QString file)
{
    QFile in(localFile(file));
    if (!in.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "Manager: cannot read" << in.fileName();
        return false;
    }
    return gps.replayCapture(in.readAll());
}

bool Manager::exportGpx(QString file, QVariant points)
{
    QString error;
    const bool ok = Gpx::save(localFile(file), plainVariant(points).toList(), true,
        QStringLiteral("Orvane GPS log"), &error);
    if (!ok)
        qDebug().noquote() << "Manager: GPX not written:" << error;
    return ok;
}

bool Manager::exportLiveGpx(QString file)
{
    QString error;
    const bool ok = Gpx::save(localFile(file), gps.liveTrack, false,
        QFileInfo(capture.fileName()).completeBaseName(), &error);
    if (!ok)
        qDebug().noquote() << "Manager: GPX not written:" << error;
    return ok;
}

namespace {
const char *const TileServerKey = "map/tileServer";
} // namespace

QString Manager::defaultTileServer() { return QStringLiteral("https://tile.openstreetmap.org/"); }

void Manager::setTileServer(const QString &url)
{
    QSettings settings(SettingsOrganisation, SettingsApplication);
    if (url.isEmpty())
        settings.remove(QLatin1String(TileServerKey));
    else
        settings.setValue(QLatin1String(TileServerKey), url);
    settings.sync();
}

QVariantMap Manager::mapSettings() const
{
    QSettings settings(SettingsOrganisation, SettingsApplication);
    QString server = settings.value(QLatin1String(TileServerKey)).toString();
    if (server.isEmpty())
        server = defaultTileServer();
    // The plugin asks for BASE/z/x/y.png; a URL written with the usual
    // placeholders names the same.
    for (const char *pattern : { "{z}/{x}/{y}.png", "%z/%x/%y.png" }) {
        if (server.endsWith(QLatin1String(pattern)))
            server.chop(int(qstrlen(pattern)));
    }
    if (!server.endsWith(QLatin1Char('/')))
        server += QLatin1Char('/');
    QVariantMap map;
    map.insert(QStringLiteral("userAgent"), Gpx::creator());
    map.insert(QStringLiteral("tileServer"), server);
    map.insert(QStringLiteral("cacheFolder"),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/tiles"));
    map.insert(QStringLiteral("attribution"), QStringLiteral("© OpenStreetMap contributors"));
    return map;
}
