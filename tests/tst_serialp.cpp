// SerialP and the position stream on a real serial line: a pseudo-terminal
// pair made by socat. One end is opened by the program, NMEA sentences are
// written into the other end.
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "gps/datagps.h"
#include "manager/manager.h"
#include "serial/serialp.h"

namespace {

const QByteArray Rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const QByteArray Gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const QByteArray Gll = "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D\r\n";

// Runs the event loop until the condition holds, for at most five seconds.
template <typename Condition> bool waitFor(Condition condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(1);
    }
    return true;
}

QString pointText(const QVariant &v)
{
    const QVariantMap p = v.toMap();
    return QStringLiteral("%1;%2;%3;%4;%5;%6;%7;%8")
        .arg(double(p.value("lat").toFloat()), 0, 'f', 5)
        .arg(double(p.value("lng").toFloat()), 0, 'f', 5)
        .arg(p.value("sn").toInt())
        .arg(p.value("ew").toInt())
        .arg(p.value("date").toString(), p.value("time").toString(), p.value("time_unx").toString())
        .arg(p.value("num_id").toInt());
}

QStringList pointTexts(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy) {
        for (const QVariant &p : args.at(0).toList())
            out << pointText(p);
    }
    return out;
}

// Local time here is UTC-3:30 (see main).
const QString RmcPoint = "48.11730;11.51667;78;69;23.03.94;09:05:19;4515833735;1";

} // namespace

class TestSerialP : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void streamInOddChunks_data();
    void streamInOddChunks();
    void noFixNoSignal();
    void writeToPort();
    void readInPortTakesAllBuffered();
    void closedPort();
    void connectFailures();
    void deviceGone();
    void errorHandling_data();
    void errorHandling();
    void throughManager();

private:
    bool writeFeed(const QByteArray &bytes);
    QByteArray readFeed();
    void openPort(SerialP &serial);

    QTemporaryDir dir;
    QProcess socat;
    QString portPath; // opened by the program
    QString feedPath; // written by the test
    int feed = -1;
    int pairs = 0;
};

void TestSerialP::init()
{
    QVERIFY(dir.isValid());
    portPath = dir.filePath(QStringLiteral("gps%1").arg(++pairs));
    feedPath = portPath + QStringLiteral("-feed");
    QFile::remove(portPath);
    QFile::remove(feedPath);
    socat.setProgram(QStringLiteral("socat"));
    socat.setArguments({ QStringLiteral("pty,raw,echo=0,link=") + portPath,
        QStringLiteral("pty,raw,echo=0,link=") + feedPath });
    socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    socat.start();
    QVERIFY2(socat.waitForStarted(5000), "socat does not start");
    QTRY_VERIFY(QFileInfo::exists(portPath) && QFileInfo::exists(feedPath));
    feed = ::open(QFile::encodeName(feedPath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY2(feed >= 0, strerror(errno));
}

void TestSerialP::cleanup()
{
    if (feed >= 0)
        ::close(feed);
    feed = -1;
    if (socat.state() != QProcess::NotRunning) {
        socat.terminate();
        if (!socat.waitForFinished(3000)) {
            socat.kill();
            socat.waitForFinished(3000);
        }
    }
}

bool TestSerialP::writeFeed(const QByteArray &bytes)
{
    int done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(feed, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EAGAIN)
            return false;
        if (n > 0)
            done += int(n);
        else
            QTest::qWait(5);
    }
    return true;
}

QByteArray TestSerialP::readFeed()
{
    QByteArray got;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(feed, buffer, sizeof buffer)) > 0)
        got.append(buffer, int(n));
    return got;
}

void TestSerialP::openPort(SerialP &serial)
{
    serial.Write_Settings_Port(portPath, QSerialPort::Baud9600, QSerialPort::Data8,
        QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
    QTest::ignoreMessage(QtDebugMsg, "Hello World in Thread!");
    serial.process_Port();
    QCOMPARE(serial.ConnectPort(), 0);
    QVERIFY(serial.isOpen());
}

void TestSerialP::streamInOddChunks_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<QStringList>("points");

    const QString south = "33.87500;151.20416;83;87;31.12.99;20:29:59;4698092415;1";
    const QByteArray southRmc
        = "$GNRMC,235959.00,A,3352.500,S,15112.250,W,0.0,0.0,311299,,,A*4C\r\n";
    QTest::newRow("3-byte") << Rmc + Gll + Gga << 3 << QStringList({ RmcPoint, RmcPoint });
    QTest::newRow("7-byte") << Rmc + southRmc << 7 << QStringList({ RmcPoint, south });
    // A GGA takes the date of the RMC before it.
    const QString ggaAfterSouth = "48.11730;11.51667;78;69;31.12.99;09:05:19;4698051335;1";
    QTest::newRow("13-byte") << southRmc + Gga + Rmc << 13
                             << QStringList({ south, ggaAfterSouth, RmcPoint });
    QTest::newRow("one go") << Gga + southRmc + Gga << 4096
                            << QStringList({ south, ggaAfterSouth });
}

void TestSerialP::streamInOddChunks()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, chunk);
    QFETCH(QStringList, points);

    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    dataGps gps;
    connect(&serial, &SerialP::ReadyData, &gps, &dataGps::slotReadDataFromSerial);
    QByteArray received;
    connect(
        &serial, &SerialP::ReadyData, this, [&received](const QByteArray &d) { received += d; });
    QSignalSpy fixes(&gps, &dataGps::signalSerialData);
    openPort(serial);

    // One chunk at a time: each is read before the next is written, so the
    // sentences really arrive split.
    for (int i = 0; i < stream.size(); i += chunk) {
        QVERIFY(writeFeed(stream.mid(i, chunk)));
        const int expected = qMin(i + chunk, int(stream.size()));
        QVERIFY(waitFor([&] { return received.size() >= expected; }));
    }
    QCOMPARE(received, stream);
    QCOMPARE(pointTexts(fixes), points);
    for (const QList<QVariant> &args : fixes)
        QVERIFY(!args.at(0).toList().isEmpty());
}

void TestSerialP::noFixNoSignal()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    dataGps gps;
    connect(&serial, &SerialP::ReadyData, &gps, &dataGps::slotReadDataFromSerial);
    QByteArray received;
    connect(
        &serial, &SerialP::ReadyData, this, [&received](const QByteArray &d) { received += d; });
    QSignalSpy fixes(&gps, &dataGps::signalSerialData);
    openPort(serial);

    QByteArray bad = Rmc;
    bad.replace("*6A", "*6B");
    const QByteArray stream = bad + QByteArray("\x00\xB5\x62\x01\x07\xFF\xFE", 7) + "\r\n$GP" + Gll
        + QByteArray(700, 'n') + "\r\n"
        + "$GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,*52\r\n";
    for (int i = 0; i < stream.size(); i += 11) {
        QVERIFY(writeFeed(stream.mid(i, 11)));
        const int expected = qMin(i + 11, int(stream.size()));
        QVERIFY(waitFor([&] { return received.size() >= expected; }));
    }
    QCOMPARE(fixes.count(), 0);
    // The stream is still read correctly afterwards.
    QVERIFY(writeFeed(Rmc));
    QTRY_COMPARE(fixes.count(), 1);
    QCOMPARE(pointTexts(fixes), QStringList(RmcPoint));
}

void TestSerialP::writeToPort()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    openPort(serial);
    const QByteArray command = "$PMTK220,1000*1F\r\n";
    serial.WriteToPort(command);
    QByteArray got;
    QTRY_COMPARE((got += readFeed()), command);
}

void TestSerialP::readInPortTakesAllBuffered()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    // Opened without process_Port: nothing reads the port on its own.
    serial.Write_Settings_Port(portPath, QSerialPort::Baud9600, QSerialPort::Data8,
        QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
    QCOMPARE(serial.ConnectPort(), 0);
    QSignalSpy data(&serial, &SerialP::ReadyData);
    QVERIFY(writeFeed(Rmc.left(30)));
    QTest::qWait(100);
    QVERIFY(writeFeed(Rmc.mid(30)));
    QTest::qWait(300);
    QCOMPARE(data.count(), 0);
    serial.ReadInPort();
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.at(0).at(0).toByteArray(), Rmc);
    serial.ReadInPort();
    QCOMPARE(data.count(), 2);
    QCOMPARE(data.at(1).at(0).toByteArray(), QByteArray());
}

void TestSerialP::closedPort()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    QSignalSpy errors(&serial, &SerialP::error_);
    QSignalSpy data(&serial, &SerialP::ReadyData);

    // Never opened.
    serial.ReadInPort();
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.at(0).at(0).toByteArray(), QByteArray());
    serial.DisconnectPort();
    QCOMPARE(errors.count(), 0);

    openPort(serial);
    serial.DisconnectPort();
    QVERIFY(!serial.isOpen());
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), portPath + QString::fromUtf8(" >> Закрыт!\r"));
    serial.DisconnectPort();
    QCOMPARE(errors.count(), 1);

    // Closed again: bytes on the line are not read, nothing is written.
    QVERIFY(writeFeed(Rmc));
    QTest::qWait(100);
    QCOMPARE(data.count(), 1);
    serial.ReadInPort();
    QCOMPARE(data.count(), 2);
    QCOMPARE(data.at(1).at(0).toByteArray(), QByteArray());
    serial.WriteToPort("written while closed\r\n");
    QTest::qWait(100);
    QCOMPARE(readFeed(), QByteArray());
    QCOMPARE(errors.count(), 1);
}

void TestSerialP::connectFailures()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    QSignalSpy errors(&serial, &SerialP::error_);
    serial.Write_Settings_Port(dir.filePath("absent"), QSerialPort::Baud9600, QSerialPort::Data8,
        QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
    QTest::ignoreMessage(QtDebugMsg, "Hello World in Thread!");
    serial.process_Port();
    QCOMPARE(serial.ConnectPort(), -1);
    QVERIFY(!serial.isOpen());

    // A line setting the driver refuses.
    serial.Write_Settings_Port(portPath, -1, QSerialPort::Data8, QSerialPort::NoParity,
        QSerialPort::OneStop, QSerialPort::NoFlowControl);
    QCOMPARE(serial.ConnectPort(), -1);
    QVERIFY(!serial.isOpen());

    // Opening an open port fails and leaves it closed.
    serial.Write_Settings_Port(portPath, QSerialPort::Baud9600, QSerialPort::Data8,
        QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl);
    QCOMPARE(serial.ConnectPort(), 0);
    QCOMPARE(serial.ConnectPort(), -1);
    QVERIFY(!serial.isOpen());
    QCOMPARE(errors.count(), 0);
}

void TestSerialP::deviceGone()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    openPort(serial);
    QSignalSpy errors(&serial, &SerialP::error_);
    socat.terminate();
    QVERIFY(socat.waitForFinished(5000));
    QTRY_VERIFY(!serial.isOpen());
    QCOMPARE(errors.count(), 2);
    QVERIFY(!errors.at(0).at(0).toString().isEmpty());
    QVERIFY(!errors.at(0).at(0).toString().contains(QString::fromUtf8("Закрыт")));
    QCOMPARE(errors.at(1).at(0).toString(), portPath + QString::fromUtf8(" >> Закрыт!\r"));
}

void TestSerialP::errorHandling_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("closes");

    QTest::newRow("resource error, open") << int(QSerialPort::ResourceError) << true << true;
    QTest::newRow("read error, open") << int(QSerialPort::ReadError) << true << true;
    QTest::newRow("resource error, closed") << int(QSerialPort::ResourceError) << false << false;
    QTest::newRow("write error") << int(QSerialPort::WriteError) << true << false;
    QTest::newRow("timeout") << int(QSerialPort::TimeoutError) << true << false;
    QTest::newRow("unsupported") << int(QSerialPort::UnsupportedOperationError) << true << false;
    QTest::newRow("unknown") << int(QSerialPort::UnknownError) << true << false;
}

void TestSerialP::errorHandling()
{
    QFETCH(int, error);
    QFETCH(bool, open);
    QFETCH(bool, closes);

    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    SerialP serial;
    if (open)
        openPort(serial);
    QSignalSpy errors(&serial, &SerialP::error_);
    QVERIFY(QMetaObject::invokeMethod(&serial, "handleError",
        Q_ARG(QSerialPort::SerialPortError, QSerialPort::SerialPortError(error))));
    QCOMPARE(serial.isOpen(), open && !closes);
    if (!closes) {
        QCOMPARE(errors.count(), 0);
        return;
    }
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(1).at(0).toString(), portPath + QString::fromUtf8(" >> Закрыт!\r"));
}

void TestSerialP::throughManager()
{
    QTest::ignoreMessage(QtDebugMsg, "By in Thread!");
    Manager manager;
    QSignalSpy fixes(&manager, &Manager::signalSerialData);
    QTest::ignoreMessage(QtDebugMsg, "Hello World in Thread!");
    QCOMPARE(manager.openSerialPort(dir.filePath("absent")), -1);
    QCOMPARE(manager.openSerialPort(portPath), 0);
    const QByteArray stream = Gga + Rmc + Gll + Gga;
    for (int i = 0; i < stream.size(); i += 9) {
        QVERIFY(writeFeed(stream.mid(i, 9)));
        QTest::qWait(10);
    }
    QTRY_COMPARE(pointTexts(fixes).size(), 2);
    QCOMPARE(pointTexts(fixes), QStringList({ RmcPoint, RmcPoint }));
    // Reopened, the port still gives one fix per sentence.
    QCOMPARE(manager.openSerialPort(portPath), 0);
    fixes.clear();
    QVERIFY(writeFeed(Rmc));
    QTRY_COMPARE(fixes.count(), 1);
    QTest::qWait(100);
    QCOMPARE(fixes.count(), 1);
    QCOMPARE(pointTexts(fixes), QStringList(RmcPoint));
    manager.closeSerialPort();
    QVERIFY(writeFeed(Rmc));
    QTest::qWait(100);
    QCOMPARE(fixes.count(), 1);
}

int main(int argc, char **argv)
{
    qputenv("TZ", "America/St_Johns");
    tzset();
    QCoreApplication app(argc, argv);
    TestSerialP test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serialp.moc"
