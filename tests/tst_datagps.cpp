// dataGps: the GPS settings of block 4, the radio's GPS log and the NMEA
// position stream; SerialP and the stream on a real serial line, a
// pseudo-terminal pair made by socat. Runs in America/St_Johns (standard
// offset -3:30, daylight saving +1 h) so that local figures are exact and
// summer time must not show.
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "gps/datagps.h"
#include "gps/gpspoint.h"
#include "gps/nmeareader.h"
#include "manager/manager.h"
#include "serial/serialp.h"
#include "support/gpslog.h"

using namespace GpsLog;

namespace {

// 48°07.038' N 11°31.000' E at the given date and time bytes.
QByteArray fix(QVector<int> when = { 25, 11, 19, 12, 0, 0 })
{
    return record(bitsOf(4807.038f), 'N', bitsOf(1131.0f), 'E', when);
}

// An NMEA sentence with its checksum and line end.
QByteArray nmea(const QByteArray &body)
{
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    return "$" + body + "*" + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

// The points as comparable text: lat;lng;sn;ew;date;time;time_unx;num_id.
QStringList describe(const QVariantList &points)
{
    QStringList out;
    for (const QVariant &v : points) {
        const QVariantMap p = v.toMap();
        out << QStringLiteral("%1;%2;%3;%4;%5;%6;%7;%8")
                   .arg(p.value("lat").toDouble(), 0, 'f', 5)
                   .arg(p.value("lng").toDouble(), 0, 'f', 5)
                   .arg(p.value("sn").toInt())
                   .arg(p.value("ew").toInt())
                   .arg(p.value("date").toString(), p.value("time").toString(),
                       p.value("time_unx").toString())
                   .arg(p.value("num_id").toInt());
    }
    return out;
}

// A fix as comparable text: UTC time with milliseconds, signed position,
// altitude ("-" when unknown).
QString fixText(const QVariantMap &p)
{
    const qint64 secs = p.value("time_unx").toString().toLongLong() - GpsPoint::TimeKeyOffset;
    const QString when
        = QDateTime::fromMSecsSinceEpoch(secs * 1000 + p.value("msec").toInt(), Qt::UTC)
              .toString(Qt::ISODateWithMs);
    return QStringLiteral("%1 %2 %3 %4")
        .arg(when)
        .arg(p.value("lat").toDouble() * (p.value("sn").toInt() == 'S' ? -1 : 1), 0, 'f', 9)
        .arg(p.value("lng").toDouble() * (p.value("ew").toInt() == 'W' ? -1 : 1), 0, 'f', 9)
        .arg(p.contains("alt") ? QString::number(p.value("alt").toDouble(), 'g', 12) : "-");
}

// Feeds the bytes in chunks of 1 to 97 bytes and flushes at the end; the
// reader's last fix must be the instant of the last point.
QStringList readAll(const QByteArray &bytes)
{
    NmeaReader reader;
    QVariantList fixes;
    for (int at = 0, n = 1; at < bytes.size(); at += n, n = n % 97 + 1)
        fixes += reader.feed(bytes.mid(at, n), 0, 1);
    fixes += reader.flush(0, 1);
    QStringList out;
    for (const QVariant &p : fixes)
        out << fixText(p.toMap());
    qint64 secs = 0;
    int msec = 0;
    if (reader.lastFix(&secs, &msec) != !out.isEmpty()
        || (!out.isEmpty()
            && QDateTime::fromMSecsSinceEpoch(secs * 1000 + msec, Qt::UTC)
                    .toString(Qt::ISODateWithMs)
                != out.last().section(' ', 0, 0)))
        out << QStringLiteral("last fix %1.%2").arg(secs).arg(msec);
    return out;
}

const QByteArray Rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const QByteArray Gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const QByteArray Gll = "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D\r\n";

// The fixes a spy saw: UTC time, signed position, local date and time, number.
QStringList pointTexts(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy)
        for (const QVariant &v : args.at(0).toList()) {
            const QVariantMap p = v.toMap();
            out << fixText(p).section(' ', 0, 2) + ' ' + p.value("date").toString() + ' '
                    + p.value("time").toString() + ' ' + p.value("num_id").toString();
        }
    return out;
}

// Local time here is UTC-3:30 (see main).
const QString RmcFix = "1994-03-23T12:35:19.000Z 48.117300000 11.516666667 23.03.94 09:05:19 1";
const QString GllFix = "1994-03-23T22:54:44.000Z 49.274166667 -123.185333333 23.03.94 19:24:44 1";

} // namespace

class TestDataGps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(GpsPoint::localStandardOffset(), -(3 * 3600 + 30 * 60)); }
    void settings_data();
    void settings();
    void logSlot_data();
    void logSlot();
    void logWalk();
    void serialStream_data();
    void serialStream();
    void receiverLogs_data();
    void receiverLogs();
    void pointTypes();
    void serialBufferIsBounded();
};

void TestDataGps::settings_data()
{
    QTest::addColumn<QByteArray>("block"); // block 4; its neighbours are all ones
    QTest::addColumn<QString>("expected"); // activated indication interval work channel
    const auto at = [](std::initializer_list<std::pair<int, int>> bytes) {
        QByteArray b(2063, '\0');
        for (auto p : bytes)
            b[p.first] = char(p.second);
        return b;
    };
    QTest::newRow("bits clear") << at({ { 700, 0xF7 }, { 710, 0xFE } }) << "0 0 0 0";
    QTest::newRow("other bits ignored") << at({ { 700, 0x49 }, { 710, 0x81 } }) << "1 1 0 0";
    QTest::newRow("interval high byte") << at({ { 708, 0x3C }, { 709, 0x01 } }) << "0 0 316 0";
    QTest::newRow("work channel") << at({ { 701, 0xFF }, { 702, 0x34 }, { 703, 0x12 },
        { 704, 0xFF } }) << "0 0 0 4660";
    QTest::newRow("all ones") << QByteArray(2063, char(0xFF)) << "1 1 65535 65535";
    QTest::newRow("absent") << QByteArray() << "0 0 0 0";
    QTest::newRow("cut before the bytes") << QByteArray(700, char(0xFF)) << "0 0 0 0";
    QTest::newRow("cut after the work channel") << QByteArray(705, char(0xFF)) << "1 0 0 65535";
}

void TestDataGps::settings()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, expected);
    BlockMap blocks { { 3, QByteArray(2063, char(0xFF)) }, { 5, QByteArray(2063, char(0xFF)) } };
    if (!block.isNull())
        blocks.insert(4, block);
    const BlockMap before = blocks;
    const QVariantMap s = dataGps().decodeGpsSettings(blocks).toMap();
    QCOMPARE(s.keys(), QStringList({ "activated", "indication", "save_interval", "workCh" }));
    QCOMPARE(s.value("activated").userType(), int(QMetaType::Bool));
    QStringList values; // in the order of the keys
    for (const QVariant &v : s)
        values << QString::number(v.toInt());
    QCOMPARE(values.join(' '), expected);
    QCOMPARE(blocks, before);
}

void TestDataGps::logSlot_data()
{
    QTest::addColumn<QList<QByteArray>>("records"); // from slot 5 on
    QTest::addColumn<QStringList>("expected");
    const QString at = "48.11730;11.51667;78;69;", noon = "25.11.19;08:30:00;2170330816;0";
    const quint32 lat = bitsOf(4807.038f), lng = bitsOf(1131.0f), inf = 0x7F800000u;
    const auto where = [](float la, char sn, float lo, char ew) {
        return record(bitsOf(la), sn, bitsOf(lo), ew, { 25, 11, 19, 12, 0, 0 });
    };
    const auto bad
        = [&](quint32 la, quint32 lo) { return record(la, 'N', lo, 'E', {}) + fix().mid(10); };
    QTest::newRow("valid") << QList<QByteArray> { fix() } << QStringList { at + noon };
    QTest::newRow("south west") << QList<QByteArray> { where(3352.5f, 'S', 15112.25f, 'W') }
                                << QStringList { "33.87500;151.20417;83;87;" + noon };
    QTest::newRow("one degree") << QList<QByteArray> { where(1.0f, 'N', 1.0f, 'E') }
                                << QStringList { "0.01667;0.01667;78;69;" + noon };
    QTest::newRow("other hemisphere bytes")
        << QList<QByteArray> { where(4807.038f, 'x', 1131.0f, char(0x90)) }
        << QStringList { "48.11730;11.51667;120;-112;" + noon };
    QTest::newRow("local time, no daylight saving, leap day, year 127")
        << QList<QByteArray> { fix({ 25, 11, 19, 3, 29, 59 }), fix({ 1, 1, 19, 2, 0, 0 }),
               fix({ 15, 7, 19, 12, 0, 0 }), fix({ 29, 2, 20, 6, 7, 8 }),
               fix({ 31, 12, 127, 23, 59, 59 }) }
        << QStringList { at + "24.11.19;23:59:59;2170300215;0",
               at + "31.12.18;22:30:00;2141955616;0", at + "15.07.19;08:30:00;2158839616;0",
               at + "29.02.20;02:37:08;2178604044;0", at + "31.12.27;20:29:59;5581618815;0" };
    QTest::newRow("dropped") << QList<QByteArray> { QByteArray(16, char(0xFF)),
        QByteArray(16, '\0'), where(0.9999f, 'N', 1131.0f, 'E'),
        where(4807.038f, 'N', 0.9999f, 'E'), where(-4807.038f, 'N', 1131.0f, 'E'),
        bad(0xFF800000u, lng), bad(inf, lng), bad(lat, inf), bad(0x7FC00001u, lng),
        bad(lat, 0xFFC12345u), where(4807.038f, '\0', 1131.0f, 'E'),
        where(4807.038f, 'N', 1131.0f, '\0'), fix({ 29, 2, 19, 6, 0, 0 }),
        fix({ 29, 2, 100, 6, 0, 0 }), fix({ 0, 11, 19, 12, 0, 0 }), fix({ 25, 13, 19, 12, 0, 0 }),
        fix({ 25, 11, 0, 12, 0, 0 }), fix({ 25, 11, 19, 24, 0, 0 }), fix({ 25, 11, 19, 12, 0, 60 }),
        fix({ 25, 11, 19, 0x80, 0, 0 }) }
                             << QStringList();
}

void TestDataGps::logSlot()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(QStringList, expected);
    QMap<int, QByteArray> placed;
    for (const QByteArray &r : records)
        placed.insert(5 + placed.size(), r);
    QCOMPARE(describe(dataGps().decodeGpsLog({ logBlock(0, placed) }).toList()), expected);
}

void TestDataGps::logWalk()
{
    const auto at = [](int minute) { return fix({ 25, 11, 19, 12, minute, 0 }); };
    QVariantList log;
    log << logBlock(0, { { 0, at(1) } }).left(2062); // wrong length: skipped
    log << (logBlock(1, { { 0, at(2) } }) + 'x'); // wrong length: skipped
    log << QByteArray() << QVariant(42);
    log << logBlock(2, { { 0, at(3) }, { 127, at(4) } }); // first decoded block: slot 0 counts
    log << logBlock(3, { { 0, at(5) }, { 1, at(6) } }); // later block: slot 0 does not
    log << logBlock(4, { { 0, at(7) } }).left(100);
    log << logBlock(5, { { 126, at(8) }, { 127, at(9) } });
    while (log.size() < 246)
        log << logBlock(log.size());
    log << logBlock(246, { { 1, at(10) } }); // the last log block
    log << logBlock(247, { { 3, at(11) } }); // past the 247 log blocks
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog(log).toList();
    QStringList times;
    for (const QVariant &p : points)
        times << p.toMap().value("time").toString();
    QCOMPARE(times,
        QStringList({ "08:33:00", "08:34:00", "08:36:00", "08:38:00", "08:39:00", "08:40:00" }));
    QCOMPARE(gps.pointList, points);
    QCOMPARE(gps.decodeGpsLog({ logBlock(0), logBlock(1) }).toList(), QVariantList());
    QVERIFY(gps.pointList.isEmpty());
}

void TestDataGps::serialStream_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("fixes");

    const QByteArray rmc
        = nmea("GPRMC,123519.25,A,4807.038,N,01131.000,E,022.4,084.4,230300,003.1,W");
    const QByteArray gga
        = nmea("GNGGA,123519.25,4807.0381,N,01131.0001,E,1,08,0.9,545.4,M,46.9,M,,");
    const QString rmcFix = "2000-03-23T12:35:19.250Z 48.117300000 11.516666667 -";
    const QString mergedFix = "2000-03-23T12:35:19.250Z 48.117301667 11.516668333 545.4";
    auto at = [](const char *clock, const char *quality) {
        return nmea(QByteArray("GPGGA,") + clock + ",3352.500,S,15112.250,W," + quality
            + ",05,1.1,-12.5,M,,M,,");
    };
    const auto rmcs = [](QList<QByteArray> fields) {
        QByteArray out;
        for (const QByteArray &f : fields)
            out += nmea("GPRMC," + f + ",,,230394,,");
        return out;
    };

    QTest::newRow("RMC, year 00 is 2000") << rmc << QStringList { rmcFix };
    QTest::newRow("RMC and GGA of one epoch, GGA wins") << rmc + gga << QStringList { mergedFix };
    QTest::newRow("GNS and GGA of 6 fields ignored")
        << rmc + nmea("GNGNS,123520.25,4807.038,N,01131.000,E")
            + nmea("GPGGA,123521.25,4807.038,N,01131.000,E") + gga
        << QStringList { mergedFix };
    QTest::newRow("same epoch from three talkers")
        << rmc + gga + QByteArray(gga).replace("$GN", "$GP")
            + nmea("GLRMC,123519.25,A,4807.038,N,01131.000,E,,,230300,,")
        << QStringList { mergedFix };
    QTest::newRow("CR CR LF and bare CR")
        << QByteArray(rmc).replace("\r\n", "\r\r\n") + QByteArray(rmc).replace("\r\n", "\r")
        << QStringList { rmcFix };
    QTest::newRow("no checksum accepted")
        << QByteArray("$GPRMC,123519.25,A,4807.038,N,01131.000,E,,,230300,,\n")
        << QStringList { rmcFix };
    QTest::newRow("wrong checksum dropped")
        << QByteArray(rmc).replace("4807.038", "4807.039") << QStringList {};
    QTest::newRow("year 99 is 1999, 79 is 2079")
        << nmea("GPRMC,000000,A,0000.000,N,00000.000,E,,,311299,,")
            + nmea("GPRMC,000001,A,0000.000,N,00000.000,E,,,010179,,")
        << QStringList { "1999-12-31T00:00:00.000Z 0.000000000 0.000000000 -",
               "2079-01-01T00:00:01.000Z 0.000000000 0.000000000 -" };
    QTest::newRow("GGA dated by the ZDA of its epoch, across midnight")
        << at("235959.5", "2") + nmea("GPZDA,235959.5,31,12,2024,00,00") + at("000000.5", "1")
            + at("000001.5", "6") + at("000002.5", "7") + at("000003.5", "8") + at("000004.5", "0")
            + at("000005.5", "5")
        << QStringList { "2024-12-31T23:59:59.500Z -33.875000000 -151.204166667 -12.5",
               "2025-01-01T00:00:00.500Z -33.875000000 -151.204166667 -12.5",
               "2025-01-01T00:00:05.500Z -33.875000000 -151.204166667 -12.5" };
    QTest::newRow("GGA before any date gives nothing")
        << at("120000", "1") + rmc << QStringList { rmcFix };
    QTest::newRow("GNS and GLL positions")
        << rmc + nmea("GNGNS,123520.25,4807.040,N,01131.000,E,NA,08,0.9,540.0,46.9,,")
            + nmea("GPGLL,4807.041,N,01131.000,E,123521.25,A,A")
            + nmea("GNGNS,123522.25,4807.042,N,01131.000,E,NN,08,0.9,540.0,46.9,,")
            + nmea("GPGLL,4807.043,N,01131.000,E,123523.25,V,N")
        << QStringList { rmcFix, "2000-03-23T12:35:20.250Z 48.117333333 11.516666667 540",
               "2000-03-23T12:35:21.250Z 48.117350000 11.516666667 -" };
    QTest::newRow("noise, binary and run-together sentences resynchronise on $")
        << QByteArray("\x00\xFF\xB5\x62$GPRMC,12\x01\x07", 14) + "$$GPGSV,garbage" + rmc.left(30)
            + rmc + QByteArray(300, 'z') + "\r\n" + nmea("PGRME,15.0,M,45.0,M,25.0,M")
        << QStringList { rmcFix };
    QTest::newRow("invalid fields")
        << nmea("GPRMC,,A,,,,,,,,,") + nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,320394,,")
            + rmcs({ "123520,A,9107.038,N,01131.000,E", "123521,A,4807.038,X,01131.000,E",
                "123522,A,4807.038,N,1131.000,E", "126023,A,4807.038,N,01131.000,E",
                "123524,V,4807.038,N,01131.000,E", "12352/,A,4807.038,N,01131.000,E" })
            + nmea("GPRMC,123525,A,4807.038,N,01131.000,E,,,230394,,,N") + nmea("GPRMC")
        << QStringList {};
}

void TestDataGps::serialStream()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, fixes);
    QCOMPARE(readAll(stream), fixes);
}

// Every receiver capture against gpsd's reports for it: the distinct times of
// its TPV reports with a 2D or 3D fix, each with one of gpsd's positions for
// that time (to 1e-7 degrees) and altitudes (when we have one). Left out:
// reports without a time (gpsd's first fix before it knows the date; we give
// nothing then) and GGA qualities 7 and 8 (manual input, simulator).
void TestDataGps::receiverLogs_data()
{
    QTest::addColumn<QString>("log");
    const QDir dir(QStringLiteral(ORVANE_TEST_DATA_DIR "/nmea"));
    const QStringList logs = dir.entryList({ "*.log" }, QDir::Files, QDir::Name);
    QCOMPARE(logs.size(), 35);
    for (const QString &log : logs)
        QTest::newRow(qPrintable(log)) << dir.filePath(log);
}

void TestDataGps::receiverLogs()
{
    QFETCH(QString, log);
    QFile in(log), chk(log + ".chk");
    QVERIFY(in.open(QIODevice::ReadOnly) && chk.open(QIODevice::ReadOnly));
    // time -> gpsd's positions and altitudes at that time, times in order.
    QStringList times;
    QHash<QString, QVector<QJsonObject>> reports;
    QVector<QJsonObject> timeless;
    for (const QByteArray &line : chk.readAll().split('\n')) {
        const QJsonObject tpv = QJsonDocument::fromJson(line).object();
        const int status = tpv.value("status").toInt(1);
        if (tpv.value("class") != "TPV" || tpv.value("mode").toInt() < 2 || status == 7
            || status == 8)
            continue;
        if (!tpv.contains("time")) {
            timeless << tpv;
            continue;
        }
        QString time = tpv.value("time").toString();
        // gpsd's week rollover correction moves this receiver's dates 1024
        // weeks on; the receiver's own date is kept.
        if (log.endsWith("neo-m8n.log"))
            time = QDateTime::fromString(time, Qt::ISODateWithMs)
                       .addDays(-1024 * 7)
                       .toString(Qt::ISODateWithMs);
        if (!reports.contains(time))
            times << time;
        reports[time] << tpv;
    }

    const QStringList fixes = readAll(in.readAll());
    QStringList got, wrong;
    for (const QString &text : fixes) {
        const QStringList f = text.split(' ');
        const auto at = [&f](const QJsonObject &r) {
            return std::abs(r.value("lat").toDouble() - f.at(1).toDouble()) < 1e-7
                && std::abs(r.value("lon").toDouble() - f.at(2).toDouble()) < 1e-7;
        };
        // A fix gpsd reported without a time, dated by us from its RMC.
        if (!reports.contains(f.at(0)) && std::any_of(timeless.begin(), timeless.end(), at))
            continue;
        // A capture ending inside an epoch: gpsd never reports it, we do.
        if (&text == &fixes.last() && !reports.contains(f.at(0))
            && (times.isEmpty() || f.at(0) > times.last()))
            continue;
        got << f.at(0);
        const QVector<QJsonObject> &same = reports.value(f.at(0));
        const bool altitude
            = f.at(3) == "-" || std::any_of(same.begin(), same.end(), [&](const QJsonObject &r) {
                  return std::abs(r.value("altMSL").toDouble() - f.at(3).toDouble()) < 1e-3;
              });
        if (!std::any_of(same.begin(), same.end(), at) || !altitude)
            wrong << text;
    }
    QCOMPARE(got, times);
    QCOMPARE(wrong, QStringList());
}

// The keys and value types the screens rely on, from the radio's log and
// from a receiver.
void TestDataGps::pointTypes()
{
    dataGps gps;
    QSignalSpy spy(&gps, &dataGps::signalSerialData);
    gps.slotReadDataFromSerial(nmea("GPGGA,235959.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,")
        + nmea("GPZDA,235959.5,31,12,2024,00,00") + nmea("GPRMC,000000,V,,,,,,,010125,,"));
    QCOMPARE(spy.count(), 1);
    const QVariantMap serial = spy.at(0).at(0).toList().at(0).toMap();
    const QVariantMap log = gps.decodeGpsLog({ logBlock(0, { { 0, fix() } }) }).toList()[0].toMap();
    const auto types = [](const QVariantMap &p) {
        QStringList out;
        for (auto it = p.begin(); it != p.end(); ++it)
            out << it.key() + ':' + it.value().typeName();
        return out.join(' ');
    };
    QCOMPARE(types(log),
        "date:QString ew:int lat:double lng:double num_id:int sn:int time:QString "
        "time_unx:QString");
    QCOMPARE(types(serial),
        "alt:double date:QString ew:int lat:double lng:double msec:int num_id:int sn:int "
        "time:QString time_unx:QString");
    // The stored float converted in double precision and kept so.
    QCOMPARE(log.value("lat").toDouble(), 48.0 + (double(4807.038f) - 4800.0) / 60.0);
    QCOMPARE(log.value("lng").toDouble(), 11.0 + 31.0 / 60.0);
    // Local standard time of St John's, 3:30 behind, across the year's end.
    QCOMPARE(describe({ serial }).first().section(';', 4, 7), "31.12.24;20:29:59;65445241215;1");
}

void TestDataGps::serialBufferIsBounded()
{
    NmeaReader reader;
    const QByteArray rmc = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,");
    // Binary noise (sentence starts, commas and line ends in it), a 10 MB
    // line without an end, '$' repeated.
    QByteArray noise(10 * 1024 * 1024, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = "$GPRMC,GGA*\r\n\xFF"[qint64(i) * 7919 % 13] ^ char(i % 3 == 0 ? i % 97 : 0);
    for (const QByteArray &junk :
        { noise, "$GPRMC" + QByteArray(10 * 1024 * 1024, 'A'), QByteArray(100000, '$') }) {
        QVERIFY(reader.feed(junk, 0, 1).isEmpty());
        QVERIFY(reader.pendingSize() <= NmeaReader::MaxLine);
        // The next sentence start after the junk is read.
        QCOMPARE(reader.feed(rmc, 0, 1).size() + reader.flush(0, 1).size(), 1);
    }
}

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
        socat.start(
            "socat", { "pty,raw,echo=0,link=" + portPath, "pty,raw,echo=0,link=" + feedPath });
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
        for (E::SerialPortError error : { E::WriteError, E::TimeoutError,
                 E::UnsupportedOperationError, E::UnknownError, E::ResourceError, E::ReadError }) {
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
        QCOMPARE(pointTexts(fixes), QStringList(RmcFix));
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
        QCOMPARE(pointTexts(fixes), QStringList(RmcFix));
        const QVariantMap state = states.last().at(0).toMap();
        QCOMPARE(state.value("state").toString(), QStringLiteral("fix"));
        QCOMPARE(state.value("satellites").toInt(), 8);
        QCOMPARE(state.value("lastFix").toString(), QStringLiteral("09:05:19"));
        socat.terminate();
        QVERIFY(socat.waitForFinished(5000));
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!lost.at(0).at(0).toString().isEmpty());
        QCOMPARE(pointTexts(fixes), QStringList({ RmcFix, GllFix }));
        QCOMPARE(manager.captureFile(), QString());
        QFile file(captured);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stream);

        // Replayed, the capture gives the same track again, in one go.
        fixes.clear();
        QVERIFY(manager.openCapture(QUrl::fromLocalFile(captured).toString()));
        QCOMPARE(fixes.count(), 1);
        QCOMPARE(pointTexts(fixes), QStringList({ RmcFix, GllFix }));
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
    TestDataGps gps;
    TestSerialP serial;
    return QTest::qExec(&gps, argc, argv) | QTest::qExec(&serial, argc, argv);
}

#include "tst_datagps.moc"
