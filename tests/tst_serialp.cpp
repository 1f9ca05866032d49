// SerialP and the position stream on a real serial line: a pseudo-terminal
// pair made by socat. One end is opened by the program, NMEA sentences are
// written into the other end (how sentences are read is tst_datagps's part).
#include <QtTest>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "gps/datagps.h"
#include "manager/manager.h"
#include "serial/serialp.h"

namespace {

const QByteArray Rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const QByteArray Gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const QByteArray Gll = "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D\r\n";

// A fix as UTC time, signed position and local "date time" texts.
QString pointText(const QVariant &v)
{
    const QVariantMap p = v.toMap();
    const qint64 secs = p.value("time_unx").toString().toLongLong() - 63709551616LL;
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(QDateTime::fromMSecsSinceEpoch(secs * 1000 + p.value("msec").toInt(), Qt::UTC)
                 .toString(Qt::ISODateWithMs))
        .arg(p.value("lat").toDouble() * (p.value("sn").toInt() == 'S' ? -1 : 1), 0, 'f', 6)
        .arg(p.value("lng").toDouble() * (p.value("ew").toInt() == 'W' ? -1 : 1), 0, 'f', 6)
        .arg(p.value("date").toString(), p.value("time").toString())
        .arg(p.value("num_id").toInt());
}

QStringList pointTexts(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy)
        for (const QVariant &p : args.at(0).toList())
            out << pointText(p);
    return out;
}

// Local time here is UTC-3:30 (see main).
const QString RmcPoint = "1994-03-23T12:35:19.000Z 48.117300 11.516667 23.03.94 09:05:19 1";
const QString GllPoint = "1994-03-23T22:54:44.000Z 49.274167 -123.185333 23.03.94 19:24:44 1";

} // namespace

class TestSerialP : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QProcess socat;
    QString portPath; // opened by the program
    QString feedPath; // written by the test
    int feed = -1;
    int pairs = 0;

    bool writeFeed(const QByteArray &bytes)
    {
        return ::write(feed, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        // A pair of its own for each test.
        portPath = dir.filePath(QStringLiteral("gps%1").arg(++pairs));
        feedPath = portPath + "-feed";
        socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        socat.start("socat", { "pty,raw,echo=0,link=" + portPath, "pty,raw,echo=0,link=" + feedPath });
        QVERIFY2(socat.waitForStarted(5000), "socat does not start");
        QTRY_VERIFY(QFileInfo::exists(portPath) && QFileInfo::exists(feedPath));
        feed = ::open(QFile::encodeName(feedPath).constData(), O_RDWR | O_NOCTTY);
        QVERIFY2(feed >= 0, strerror(errno));
    }

    void cleanup()
    {
        if (feed >= 0)
            ::close(feed);
        feed = -1;
        socat.terminate(); // QProcess kills it if it does not end
        socat.waitForFinished(3000);
    }

    // Opening, writing, closing; the errors that close the port.
    void openAndClose()
    {
        QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
        SerialP serial;
        QSignalSpy errors(&serial, &SerialP::error_);
        QSignalSpy data(&serial, &SerialP::ReadyData);
        const QString closed = portPath + QString::fromUtf8(" >> Закрыт!\r");
        const auto fail = [&serial](QSerialPort::SerialPortError error) {
            return QMetaObject::invokeMethod(
                &serial, "handleError", Q_ARG(QSerialPort::SerialPortError, error));
        };

        // Never opened: nothing read, nothing to close, a lost device ignored.
        const QList<QVariantList> nothing { { QByteArray() } };
        serial.ReadInPort();
        QCOMPARE(QList<QVariantList>(data), nothing);
        serial.DisconnectPort();
        QVERIFY(fail(QSerialPort::ResourceError));
        QCOMPARE(errors.count(), 0);

        // An absent port, or a line setting the driver refuses: not opened.
        for (const QString &name : { dir.filePath("absent"), portPath }) {
            serial.Write_Settings_Port(name, name == portPath ? -1 : 9600, QSerialPort::Data8,
                QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
            QCOMPARE(serial.ConnectPort(), -1);
            QVERIFY(!serial.isOpen());
        }
        QCOMPARE(errors.count(), 0);
        serial.Write_Settings_Port(portPath, QSerialPort::Baud9600, QSerialPort::Data8,
            QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
        QTest::ignoreMessage(QtDebugMsg, "Hello World in Thread!");
        serial.process_Port();
        QCOMPARE(serial.ConnectPort(), 0);
        // Opening an open port fails and leaves it closed.
        QCOMPARE(serial.ConnectPort(), -1);
        QVERIFY(!serial.isOpen());
        QCOMPARE(serial.ConnectPort(), 0);
        QVERIFY(serial.isOpen());
        serial.DisconnectPort();
        QVERIFY(!serial.isOpen());
        serial.DisconnectPort();
        QCOMPARE(QList<QVariantList>(errors), QList<QVariantList> { { closed } });

        // Closed again: bytes on the line are not read.
        QVERIFY(writeFeed(Rmc));
        QTest::qWait(100);
        QCOMPARE(QList<QVariantList>(data), nothing);
        serial.ReadInPort();
        QCOMPARE(QList<QVariantList>(data), nothing + nothing);

        // The device gone (a resource or read error) closes an open port with
        // the error and the closing message; other errors leave it open.
        using E = QSerialPort;
        for (E::SerialPortError error : { E::WriteError, E::TimeoutError, E::UnsupportedOperationError,
                 E::UnknownError, E::ResourceError, E::ReadError }) {
            errors.clear();
            QCOMPARE(serial.ConnectPort(), 0);
            QVERIFY(fail(error));
            const bool gone = error == E::ResourceError || error == E::ReadError;
            QCOMPARE(serial.isOpen(), !gone);
            QCOMPARE(errors.count(), gone ? 2 : 0);
            QVERIFY(!gone || errors.at(1).at(0).toString() == closed);
            serial.DisconnectPort();
        }
    }

    // The window's path: a chosen baud rate on the line, a capture file of the
    // raw bytes, the receiver's state, the receiver unplugged, the capture
    // replayed into the same track.
    void throughManager()
    {
        QStandardPaths::setTestModeEnabled(true);
        QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
        Manager manager;
        QDir(manager.captureFolder()).removeRecursively();
        QSignalSpy fixes(&manager, &Manager::signalSerialData);
        QSignalSpy states(&manager, &Manager::signalReceiverState);
        QSignalSpy lost(&manager, &Manager::signalSerialPortLost);
        QTest::ignoreMessage(QtDebugMsg, "Hello World in Thread!");
        QCOMPARE(manager.openSerialPortAt(dir.filePath("absent"), 9600), -1);
        QCOMPARE(manager.openSerialPortAt(portPath, 1234), -1);
        QStringList captures;
        for (int baud : { 115200, 4800 }) {
            QCOMPARE(manager.openSerialPortAt(portPath, baud), 0);
            captures << manager.captureFile();
            termios line;
            const int fd = ::open(QFile::encodeName(portPath).constData(), O_RDONLY | O_NOCTTY);
            QVERIFY(fd >= 0 && tcgetattr(fd, &line) == 0);
            ::close(fd);
            QCOMPARE(cfgetispeed(&line), baud == 4800 ? speed_t(B4800) : speed_t(B115200));
            if (baud == 4800)
                break;
            // Closed (by opening again) while an epoch is open: its fix is given.
            QVERIFY(writeFeed(Rmc));
            QTRY_COMPARE(QFileInfo(captures[0]).size(), qint64(Rmc.size()));
            QCOMPARE(fixes.count(), 0);
        }
        QCOMPARE(pointTexts(fixes), QStringList(RmcPoint));
        fixes.clear();
        QCOMPARE(states.last().at(0).toMap().value("state").toString(), QStringLiteral("nodata"));
        // Opened again, the port starts a capture of its own.
        const QString captured = manager.captureFile();
        QVERIFY(captured.startsWith(manager.captureFolder() + "/") && captures[0] != captures[1]);
        // Started within the same second, it is numbered from 2.
        const QString stem = captures[0].chopped(5);
        QVERIFY(captures[1] == stem + "-2.nmea" || !captures[1].startsWith(stem));

        // The last epoch is not complete when the receiver goes: it is kept.
        const QByteArray stream = Gga + Rmc + Gll + Gll;
        for (int i = 0; i < stream.size(); i += 9) {
            QVERIFY(writeFeed(stream.mid(i, 9)));
            QTest::qWait(5);
        }
        QTRY_COMPARE(QFileInfo(captured).size(), qint64(stream.size()));
        QCOMPARE(pointTexts(fixes), QStringList(RmcPoint));
        const QVariantMap state = states.last().at(0).toMap();
        QCOMPARE(state.value("state").toString(), QStringLiteral("fix"));
        QCOMPARE(state.value("satellites").toInt(), 8);
        QCOMPARE(state.value("lastFix").toString(), QStringLiteral("09:05:19"));
        socat.terminate();
        QVERIFY(socat.waitForFinished(5000));
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!lost.at(0).at(0).toString().isEmpty());
        QCOMPARE(pointTexts(fixes), QStringList({ RmcPoint, GllPoint }));
        QCOMPARE(manager.captureFile(), QString());
        QFile file(captured);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stream);

        // Replayed, the capture gives the same track again, in one go.
        fixes.clear();
        QVERIFY(manager.openCapture(QUrl::fromLocalFile(captured).toString()));
        QCOMPARE(fixes.count(), 1);
        QCOMPARE(pointTexts(fixes), QStringList({ RmcPoint, GllPoint }));
        QVERIFY(!manager.openCapture(dir.filePath("absent")));
        // The replayed capture, not what came before it, is the track saved.
        QFile one(dir.filePath("one.nmea"));
        QVERIFY(one.open(QIODevice::WriteOnly) && one.write(Gga + Rmc) > 0);
        one.close();
        QVERIFY(manager.openCapture(QUrl::fromLocalFile(one.fileName()).toString()));
        QVERIFY(manager.exportLiveGpx(dir.filePath("live.gpx")));
        QFile gpx(dir.filePath("live.gpx"));
        QVERIFY(gpx.open(QIODevice::ReadOnly));
        QCOMPARE(gpx.readAll().count("<trkpt"), 1);
        QDir(manager.captureFolder()).removeRecursively();
    }
};

int main(int argc, char **argv)
{
    qputenv("TZ", "America/St_Johns");
    tzset();
    QCoreApplication app(argc, argv);
    TestSerialP test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serialp.moc"
