// dataGps: the GPS settings of block 4, the radio's GPS log and the NMEA
// position stream. Runs in America/St_Johns (standard offset -3:30, daylight
// saving +1 h) so that local figures are exact and summer time must not show.
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <ctime>

#include "gps/datagps.h"
#include "gps/gpspoint.h"
#include "gps/nmeareader.h"

namespace {

const int StJohnsStandard = -(3 * 3600 + 30 * 60);

QByteArray floatBytes(quint32 bits)
{
    QByteArray b(4, '\0');
    qToLittleEndian(bits, b.data());
    return b;
}

quint32 bitsOf(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// One 16-byte log record.
QByteArray record(quint32 lat, char sn, quint32 lng, char ew, QVector<int> when)
{
    QByteArray r = floatBytes(lat);
    r.append(sn);
    r.append(floatBytes(lng));
    r.append(ew);
    for (int v : when)
        r.append(char(v));
    return r;
}

QByteArray record(float lat, char sn, float lng, char ew, QVector<int> when)
{
    return record(bitsOf(lat), sn, bitsOf(lng), ew, when);
}

// A log answer of 2063 bytes: head with the block number, erased content
// (0xFF), checksum and end byte; records placed at the given records.
QByteArray logBlock(int number, const QMap<int, QByteArray> &records = {})
{
    QByteArray b(2063, char(0xFF));
    for (int i = 0; i < 12; ++i)
        b[i] = char(0x10 + i);
    b[7] = char(number);
    b[2060] = char(0x5A);
    b[2061] = char(0xA5);
    b[2062] = char(0x16);
    for (auto it = records.begin(); it != records.end(); ++it)
        b.replace(12 + it.key() * 16, 16, it.value());
    return b;
}

QByteArray settingsBlock(const QMap<int, int> &bytes)
{
    QByteArray b(2063, '\0');
    b[7] = 4;
    for (auto it = bytes.begin(); it != bytes.end(); ++it)
        b[it.key()] = char(it.value());
    return b;
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
                   .arg(double(p.value("lat").toFloat()), 0, 'f', 5)
                   .arg(double(p.value("lng").toFloat()), 0, 'f', 5)
                   .arg(p.value("sn").toInt())
                   .arg(p.value("ew").toInt())
                   .arg(p.value("date").toString(), p.value("time").toString(),
                       p.value("time_unx").toString())
                   .arg(p.value("num_id").toInt());
    }
    return out;
}

} // namespace

class TestDataGps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void settings_data();
    void settings();
    void settingsWithoutBlock();
    void logSlot_data();
    void logSlot();
    void logPointTypes();
    void logWalk();
    void logReplacesPointList();
    void fullLog();
    void timeKeysSortInTimeOrder();
    void serialStream_data();
    void serialStream();
    void serialPointTypes();
    void serialBufferIsBounded();
};

void TestDataGps::initTestCase() { QCOMPARE(GpsPoint::localStandardOffset(), StJohnsStandard); }

void TestDataGps::settings_data()
{
    QTest::addColumn<QVariantMap>("bytes"); // offset -> value
    QTest::addColumn<bool>("activated");
    QTest::addColumn<bool>("indication");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("workCh");

    auto bytes = [](std::initializer_list<std::pair<int, int>> l) {
        QVariantMap m;
        for (auto p : l)
            m.insert(QString::number(p.first), p.second);
        return m;
    };
    QTest::newRow("bits set") << bytes({ { 700, 0x08 }, { 710, 0x01 } }) << true << true << 0 << 0;
    QTest::newRow("bits clear") << bytes({ { 700, 0xF7 }, { 710, 0xFE } }) << false << false << 0
                                << 0;
    QTest::newRow("other bits ignored")
        << bytes({ { 700, 0x49 }, { 710, 0x81 } }) << true << true << 0 << 0;
    QTest::newRow("interval 200") << bytes({ { 708, 0xC8 }, { 709, 0x00 } }) << false << false
                                  << 200 << 0;
    QTest::newRow("interval high byte")
        << bytes({ { 708, 0x3C }, { 709, 0x01 } }) << false << false << 316 << 0;
    QTest::newRow("work channel") << bytes(
        { { 702, 0x34 }, { 703, 0x12 }, { 701, 0xFF }, { 704, 0xFF } })
                                  << false << false << 0 << 0x1234;
    QTest::newRow("all ones") << bytes({ { 700, 0xFF }, { 702, 0xFF }, { 703, 0xFF }, { 708, 0xFF },
        { 709, 0xFF }, { 710, 0xFF } })
                              << true << true << 65535 << 65535;
}

void TestDataGps::settings()
{
    QFETCH(QVariantMap, bytes);
    QFETCH(bool, activated);
    QFETCH(bool, indication);
    QFETCH(int, interval);
    QFETCH(int, workCh);

    QMap<int, int> raw;
    for (auto it = bytes.begin(); it != bytes.end(); ++it)
        raw.insert(it.key().toInt(), it.value().toInt());
    BlockMap blocks;
    blocks.insert(3, settingsBlock({ { 700, 0xFF }, { 708, 0xFF } }));
    blocks.insert(4, settingsBlock(raw));
    blocks.insert(5, settingsBlock({ { 700, 0xFF }, { 708, 0xFF } }));
    const BlockMap before = blocks;

    dataGps gps;
    const QVariantMap setup = gps.decodeGpsSettings(blocks).toMap();
    QCOMPARE(setup.keys(), QStringList({ "activated", "indication", "save_interval", "workCh" }));
    QCOMPARE(setup.value("activated").userType(), int(QMetaType::Bool));
    QCOMPARE(setup.value("activated").toBool(), activated);
    QCOMPARE(setup.value("indication").toBool(), indication);
    QCOMPARE(setup.value("save_interval").userType(), int(QMetaType::Int));
    QCOMPARE(setup.value("save_interval").toInt(), interval);
    QCOMPARE(setup.value("workCh").toInt(), workCh);
    QCOMPARE(blocks, before);
}

void TestDataGps::settingsWithoutBlock()
{
    dataGps gps;
    BlockMap blocks;
    blocks.insert(3, settingsBlock({ { 700, 0xFF }, { 710, 0xFF } }));
    for (const BlockMap &map : { blocks, BlockMap({ { 4, QByteArray(700, char(0xFF)) } }) }) {
        const QVariantMap setup = gps.decodeGpsSettings(map).toMap();
        QCOMPARE(
            setup.keys(), QStringList({ "activated", "indication", "save_interval", "workCh" }));
        QCOMPARE(setup.value("activated").toBool(), false);
        QCOMPARE(setup.value("indication").toBool(), false);
        QCOMPARE(setup.value("save_interval").toInt(), 0);
    }
    // A cut block still gives the bytes it has.
    const QVariantMap cut = gps.decodeGpsSettings({ { 4, QByteArray(705, char(0xFF)) } }).toMap();
    QCOMPARE(cut.value("activated").toBool(), true);
    QCOMPARE(cut.value("workCh").toInt(), 0xFFFF);
}

void TestDataGps::logSlot_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QString>("expected"); // empty: dropped

    const QVector<int> noon = { 25, 11, 19, 12, 0, 0 };
    const QString noonText = "25.11.19;08:30:00;2170330816;0";
    QTest::newRow("valid fix") << record(4807.038f, 'N', 1131.0f, 'E', noon)
                               << "48.11730;11.51667;78;69;" + noonText;
    QTest::newRow("south west") << record(3352.5f, 'S', 15112.25f, 'W', noon)
                                << "33.87500;151.20416;83;87;" + noonText;
    QTest::newRow("erased slot") << QByteArray(16, char(0xFF)) << QString();
    QTest::newRow("zero slot") << QByteArray(16, '\0') << QString();
    QTest::newRow("latitude 1.0") << record(1.0f, 'N', 1131.0f, 'E', noon)
                                  << "0.01667;11.51667;78;69;" + noonText;
    QTest::newRow("latitude 0.9999") << record(0.9999f, 'N', 1131.0f, 'E', noon) << QString();
    QTest::newRow("longitude 0.9999") << record(4807.038f, 'N', 0.9999f, 'E', noon) << QString();
    QTest::newRow("longitude 1.0")
        << record(4807.038f, 'N', 1.0f, 'E', noon) << "48.11730;0.01667;78;69;" + noonText;
    QTest::newRow("negative latitude") << record(-4807.038f, 'N', 1131.0f, 'E', noon) << QString();
    QTest::newRow("minus infinity")
        << record(0xFF800000u, 'N', bitsOf(1131.0f), 'E', noon) << QString();
    QTest::newRow("plus infinity lat")
        << record(0x7F800000u, 'N', bitsOf(1131.0f), 'E', noon) << QString();
    QTest::newRow("plus infinity lng")
        << record(bitsOf(4807.038f), 'N', 0x7F800000u, 'E', noon) << QString();
    QTest::newRow("NaN pattern") << record(0x7FC00001u, 'N', bitsOf(1131.0f), 'E', noon)
                                 << QString();
    QTest::newRow("negative NaN pattern")
        << record(bitsOf(4807.038f), 'N', 0xFFC12345u, 'E', noon) << QString();
    QTest::newRow("zero latitude hemisphere")
        << record(4807.038f, '\0', 1131.0f, 'E', noon) << QString();
    QTest::newRow("zero longitude hemisphere")
        << record(4807.038f, 'N', 1131.0f, '\0', noon) << QString();
    QTest::newRow("other hemisphere byte") << record(4807.038f, 'x', 1131.0f, char(0x90), noon)
                                           << "48.11730;11.51667;120;-112;" + noonText;
    QTest::newRow("past midnight UTC") << record(4807.038f, 'N', 1131.0f, 'E',
        { 1, 1, 19, 2, 0, 0 }) << "48.11730;11.51667;78;69;31.12.18;22:30:00;2141955616;0";
    QTest::newRow("summer, no daylight saving") << record(4807.038f, 'N', 1131.0f, 'E',
        { 15, 7, 19, 12, 0, 0 }) << "48.11730;11.51667;78;69;15.07.19;08:30:00;2158839616;0";
    QTest::newRow("leap day 20") << record(4807.038f, 'N', 1131.0f, 'E', { 29, 2, 20, 6, 7, 8 })
                                 << "48.11730;11.51667;78;69;29.02.20;02:37:08;2178604044;0";
    QTest::newRow("year 127") << record(4807.038f, 'N', 1131.0f, 'E', { 31, 12, 127, 23, 59, 59 })
                              << "48.11730;11.51667;78;69;31.12.27;20:29:59;5581618815;0";
    QTest::newRow("29 Feb 19") << record(4807.038f, 'N', 1131.0f, 'E', { 29, 2, 19, 6, 0, 0 })
                               << QString();
    QTest::newRow("29 Feb 100, not leap")
        << record(4807.038f, 'N', 1131.0f, 'E', { 29, 2, 100, 6, 0, 0 }) << QString();
    QTest::newRow("day 0") << record(4807.038f, 'N', 1131.0f, 'E', { 0, 11, 19, 12, 0, 0 })
                           << QString();
    QTest::newRow("month 13") << record(4807.038f, 'N', 1131.0f, 'E', { 25, 13, 19, 12, 0, 0 })
                              << QString();
    QTest::newRow("year 0") << record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 0, 12, 0, 0 })
                            << QString();
    QTest::newRow("hour 24") << record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 24, 0, 0 })
                             << QString();
    QTest::newRow("second 60") << record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 12, 0, 60 })
                               << QString();
    QTest::newRow("byte 0x80") << record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 0x80, 0, 0 })
                               << QString();
}

void TestDataGps::logSlot()
{
    QFETCH(QByteArray, slot);
    QFETCH(QString, expected);
    QCOMPARE(slot.size(), 16);

    dataGps gps;
    const QVariantList points = gps.decodeGpsLog({ logBlock(0, { { 5, slot } }) }).toList();
    QCOMPARE(describe(points), expected.isEmpty() ? QStringList() : QStringList(expected));
    for (const QVariant &p : points) {
        QVERIFY(std::isfinite(p.toMap().value("lat").toFloat()));
        QVERIFY(std::isfinite(p.toMap().value("lng").toFloat()));
    }
}

void TestDataGps::logPointTypes()
{
    dataGps gps;
    const QVariantList points
        = gps
              .decodeGpsLog({ logBlock(
                  0, { { 0, record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 12, 0, 0 }) } }) })
              .toList();
    QCOMPARE(points.size(), 1);
    const QVariantMap p = points.at(0).toMap();
    QCOMPARE(
        p.keys(), QStringList({ "date", "ew", "lat", "lng", "num_id", "sn", "time", "time_unx" }));
    QCOMPARE(p.value("lat").userType(), int(QMetaType::Float));
    QCOMPARE(p.value("lng").userType(), int(QMetaType::Float));
    QCOMPARE(p.value("sn").userType(), int(QMetaType::Int));
    QCOMPARE(p.value("ew").userType(), int(QMetaType::Int));
    QCOMPARE(p.value("date").userType(), int(QMetaType::QString));
    QCOMPARE(p.value("time_unx").userType(), int(QMetaType::QString));
    QCOMPARE(p.value("num_id").userType(), int(QMetaType::Int));
    // The conversion is done in double and stored as float.
    const double raw = double(4807.038f);
    QCOMPARE(p.value("lat").toFloat(), float(48.0 + (raw - 4800.0) / 60.0));
    QCOMPARE(p.value("lng").toFloat(), float(11.0 + 31.0 / 60.0));
}

void TestDataGps::logWalk()
{
    auto fix = [](int minute) {
        return record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 12, minute, 0 });
    };
    QVariantList log;
    log << logBlock(0, { { 0, fix(1) } }).left(2062); // wrong length: skipped
    log << (logBlock(1, { { 0, fix(2) } }) + 'x'); // wrong length: skipped
    log << QByteArray();
    log << QVariant(42);
    log << logBlock(2, { { 0, fix(3) }, { 127, fix(4) } }); // first decoded block: slot 0 counts
    log << logBlock(3, { { 0, fix(5) }, { 1, fix(6) } }); // later block: slot 0 does not
    log << logBlock(4, { { 0, fix(7) } }).left(100);
    log << logBlock(5, { { 126, fix(8) }, { 127, fix(9) } });
    while (log.size() < 247)
        log << logBlock(log.size());
    log << logBlock(247, { { 3, fix(10) } }); // past the 247 log blocks
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog(log).toList();
    QStringList times;
    for (const QVariant &p : points)
        times << p.toMap().value("time").toString();
    QCOMPARE(times, QStringList({ "08:33:00", "08:34:00", "08:36:00", "08:38:00", "08:39:00" }));
    QCOMPARE(gps.pointList, points);
}

void TestDataGps::logReplacesPointList()
{
    dataGps gps;
    const QByteArray fix = record(4807.038f, 'N', 1131.0f, 'E', { 25, 11, 19, 12, 0, 0 });
    QCOMPARE(gps.decodeGpsLog({ logBlock(0, { { 0, fix }, { 9, fix } }) }).toList().size(), 2);
    QCOMPARE(gps.pointList.size(), 2);
    QCOMPARE(gps.decodeGpsLog({ logBlock(0), logBlock(1) }).toList(), QVariantList());
    QVERIFY(gps.pointList.isEmpty());
    QCOMPARE(gps.decodeGpsLog({}).toList(), QVariantList());

    // A result the caller keeps is not touched by the next decode, and the
    // next decode holds only its own points.
    const QByteArray later = record(4807.038f, 'S', 1131.0f, 'W', { 26, 11, 19, 12, 0, 0 });
    const QVariantList kept
        = gps.decodeGpsLog({ logBlock(0, { { 0, fix }, { 9, fix } }) }).toList();
    gps.decodeGpsLog({ logBlock(0, { { 3, later } }) });
    QCOMPARE(describe(kept).size(), 2);
    QCOMPARE(describe(kept).at(1),
        QStringLiteral("48.11730;11.51667;78;69;25.11.19;08:30:00;2170330816;0"));
    QCOMPARE(describe(gps.pointList),
        QStringList("48.11730;11.51667;83;87;26.11.19;08:30:00;2170417216;0"));
    gps.decodeGpsLog({ logBlock(0, { { 1, fix }, { 2, later } }) });
    QCOMPARE(describe(gps.pointList).size(), 2);
    QCOMPARE(describe(gps.pointList).at(1),
        QStringLiteral("48.11730;11.51667;83;87;26.11.19;08:30:00;2170417216;0"));
}

void TestDataGps::fullLog()
{
    // Every slot valid, one second apart, each record's position unique.
    QVariantList log;
    int n = 0;
    for (int b = 0; b < 247; ++b) {
        QMap<int, QByteArray> records;
        for (int s = 0; s < 128; ++s, ++n) {
            const int t = n; // seconds after 01.01.20 00:00:00 UTC
            records.insert(s,
                record(100.0f + float(n % 5000), 'N', 2000.0f + float(n / 5000), 'E',
                    { 1 + t / 86400, 1, 20, t / 3600 % 24, t / 60 % 60, t % 60 }));
        }
        log << logBlock(b, records);
    }
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog(log).toList();
    QCOMPARE(points.size(), 128 + 246 * 127);
    qint64 previous = 0;
    int expectedIndex = 0;
    for (int i = 0; i < points.size(); ++i) {
        // Record index: block 0 has all 128, later blocks start at slot 1.
        expectedIndex = i < 128 ? i : 128 + ((i - 128) / 127) * 128 + 1 + (i - 128) % 127;
        const QVariantMap p = points.at(i).toMap();
        const qint64 key = p.value("time_unx").toString().toLongLong();
        QCOMPARE(key - GpsPoint::TimeKeyOffset - (-61536067200LL), qint64(expectedIndex));
        if (i > 0)
            QVERIFY(key > previous);
        previous = key;
        QCOMPARE(p.value("num_id").toInt(), 0);
    }
    QCOMPARE(points.last().toMap().value("date").toString(), QStringLiteral("01.01.20"));
    QCOMPARE(points.last().toMap().value("time").toString(), QStringLiteral("05:16:55"));
}

void TestDataGps::timeKeysSortInTimeOrder()
{
    QVector<QVector<int>> moments = {
        { 25, 11, 19, 12, 0, 0 },
        { 25, 11, 19, 12, 0, 30 },
        { 1, 1, 1, 0, 0, 0 },
        { 31, 12, 127, 23, 59, 59 },
        { 1, 3, 20, 0, 0, 0 },
        { 28, 2, 20, 23, 59, 59 },
        { 31, 12, 99, 23, 59, 59 },
        { 1, 1, 100, 0, 0, 0 },
        { 25, 11, 19, 11, 59, 59 },
    };
    QMap<int, QByteArray> records;
    for (int i = 0; i < moments.size(); ++i)
        records.insert(i, record(4807.038f, 'N', 1131.0f, 'E', moments.at(i)));
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog({ logBlock(0, records) }).toList();
    QCOMPARE(points.size(), moments.size());
    QCOMPARE(points.at(1).toMap().value("time_unx").toString().toLongLong()
            - points.at(0).toMap().value("time_unx").toString().toLongLong(),
        30LL);
    QStringList keys;
    QVector<qint64> expected;
    for (int i = 0; i < points.size(); ++i) {
        keys << points.at(i).toMap().value("time_unx").toString();
        const QVector<int> &m = moments.at(i);
        expected << GpsPoint::daysFromCivil(m[2], m[1], m[0]) * 86400 + m[3] * 3600 + m[4] * 60
                + m[5];
    }
    // As text of equal length the keys sort exactly as the instants do.
    QStringList sortedKeys = keys;
    std::sort(sortedKeys.begin(), sortedKeys.end());
    QVector<qint64> sortedInstants = expected;
    std::sort(sortedInstants.begin(), sortedInstants.end());
    for (int i = 0; i < sortedKeys.size(); ++i) {
        QCOMPARE(sortedKeys.at(i).size(), 10);
        QCOMPARE(sortedKeys.at(i).toLongLong() - GpsPoint::TimeKeyOffset, sortedInstants.at(i));
    }
    QCOMPARE(GpsPoint::daysFromCivil(1970, 1, 1), 0LL);
    QCOMPARE(GpsPoint::daysFromCivil(19, 11, 25) * 86400 + 12 * 3600, -61539220800LL);
}

void TestDataGps::serialStream_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QStringList>>("emissions");

    const QByteArray rmc
        = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    const QByteArray gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const QString rmcPoint = "48.11730;11.51667;78;69;23.03.94;09:05:19;4515833735;1";
    const QString ggaPoint = rmcPoint;
    auto split = [](const QByteArray &all, int size) {
        QList<QByteArray> out;
        for (int i = 0; i < all.size(); i += size)
            out << all.mid(i, size);
        return out;
    };

    QTest::newRow("RMC") << QList<QByteArray> { rmc } << QList<QStringList> { { rmcPoint } };
    QTest::newRow("RMC byte by byte") << split(rmc, 1) << QList<QStringList> { { rmcPoint } };
    QTest::newRow("RMC and GGA in 7-byte chunks")
        << split(rmc + gga, 7) << QList<QStringList> { { rmcPoint }, { ggaPoint } };
    QTest::newRow("two fixes, one chunk")
        << QList<QByteArray> { rmc + gga } << QList<QStringList> { { rmcPoint, ggaPoint } };
    QTest::newRow("two chunks, two emissions")
        << QList<QByteArray> { rmc, rmc } << QList<QStringList> { { rmcPoint }, { rmcPoint } };
    QTest::newRow("line end split from its sentence")
        << QList<QByteArray> { rmc.left(rmc.size() - 1), "\n" }
        << QList<QStringList> { { rmcPoint } };
    QTest::newRow("bare line feed") << QList<QByteArray> { rmc.left(rmc.size() - 2) + "\n" }
                                    << QList<QStringList> { { rmcPoint } };
    QTest::newRow("lower-case checksum")
        << QList<QByteArray> { QByteArray(rmc).replace("*6A", "*6a") }
        << QList<QStringList> { { rmcPoint } };
    QTest::newRow("wrong checksum")
        << QList<QByteArray> { QByteArray(rmc).replace("*6A", "*6B") } << QList<QStringList> {};
    QTest::newRow("changed digit")
        << QList<QByteArray> { QByteArray(rmc).replace("4807", "4806") } << QList<QStringList> {};
    QTest::newRow("no checksum") << QList<QByteArray> {
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r\n"
    } << QList<QStringList> {};
    QTest::newRow("empty chunk") << QList<QByteArray> { QByteArray() } << QList<QStringList> {};
    QTest::newRow("GGA before any RMC")
        << QList<QByteArray> { gga, rmc } << QList<QStringList> { { rmcPoint } };
    QTest::newRow("GGA without fix")
        << QList<QByteArray> { rmc + nmea("GPGGA,123520,4807.038,N,01131.000,E,0,00,,,M,,M,,") }
        << QList<QStringList> { { rmcPoint } };
    QTest::newRow("RMC status V") << QList<QByteArray> {
        nmea("GPRMC,123519,V,4807.038,N,01131.000,E,,,230394,,,N")
    } << QList<QStringList> {};
    QTest::newRow("other talkers")
        << QList<QByteArray> { nmea("GNRMC,000001.00,A,5545.1200,N,03737.0600,E,0.1,,010126,,,A"),
               nmea("GLGGA,000002,5545.1200,N,03737.0600,E,2,05,1.1,150,M,,M,,") }
        << QList<QStringList> { { "55.75200;37.61767;78;69;31.12.25;20:30:01;2362873217;1" },
               { "55.75200;37.61767;78;69;31.12.25;20:30:02;2362873218;1" } };
    QTest::newRow("south west") << QList<QByteArray> {
        nmea("GPRMC,235959,A,3352.500,S,15112.250,W,0.0,0.0,311299,,")
    } << QList<QStringList> { { "33.87500;151.20416;83;87;31.12.99;20:29:59;4698092415;1" } };
    QTest::newRow("GGA across midnight")
        << QList<QByteArray> { nmea("GPRMC,235959,A,3352.500,S,15112.250,W,0.0,0.0,311298,,")
               + nmea("GPGGA,000000,3352.500,S,15112.250,W,1,05,1.1,150,M,,M,,") }
        << QList<QStringList> { { "33.87500;151.20416;83;87;31.12.98;20:29:59;4666556415;1",
               "33.87500;151.20416;83;87;31.12.98;20:30:00;4666556416;1" } };
    QTest::newRow("GGA just before the RMC's midnight")
        << QList<QByteArray> { nmea("GPRMC,000001,A,3352.500,S,15112.250,W,0.0,0.0,010199,,")
               + nmea("GPGGA,235958,3352.500,S,15112.250,W,1,05,1.1,150,M,,M,,") }
        << QList<QStringList> { { "33.87500;151.20416;83;87;31.12.98;20:30:01;4666556417;1",
               "33.87500;151.20416;83;87;31.12.98;20:29:58;4666556414;1" } };
    QTest::newRow("other sentences and noise") << QList<QByteArray> {
        nmea("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"),
        QByteArray("\x00\xFF\xB5\x62\x01\x07garbage\r\n", 15), "noise before$" + rmc.mid(1),
        nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"), QByteArray(300, 'z') + "\r\n" + rmc,
        nmea("PGRME,15.0,M,45.0,M,25.0,M")
    } << QList<QStringList> { { rmcPoint }, { rmcPoint } };
    QTest::newRow("empty and bad fields") << QList<QByteArray> { nmea("GPRMC,,A,,,,,,,,,"),
        nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,320394,,"),
        nmea("GPRMC,123519,A,9107.038,N,01131.000,E,,,230394,,"),
        nmea("GPRMC,123519,A,4807.038,X,01131.000,E,,,230394,,"),
        nmea("GPRMC,123519,A,4807.038,N,1131.000,E,,,230394,,"),
        nmea("GPRMC,126019,A,4807.038,N,01131.000,E,,,230394,,"),
        nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,230300,,"), nmea("GPRMC"),
        nmea("GPGGA,123519,4807.038,N,01131.000,E,,08") }
                                          << QList<QStringList> {};
}

void TestDataGps::serialStream()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QStringList>, emissions);

    dataGps gps;
    QSignalSpy spy(&gps, &dataGps::signalSerialData);
    for (const QByteArray &chunk : chunks)
        gps.slotReadDataFromSerial(chunk);
    QList<QStringList> got;
    for (const QList<QVariant> &args : spy)
        got << describe(args.at(0).toList());
    if (got != emissions)
        qWarning() << got;
    QCOMPARE(got, emissions);
    QVERIFY(gps.pointList.isEmpty());
}

void TestDataGps::serialPointTypes()
{
    dataGps gps;
    QSignalSpy spy(&gps, &dataGps::signalSerialData);
    gps.slotReadDataFromSerial(nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,"));
    QCOMPARE(spy.count(), 1);
    const QVariantMap p = spy.at(0).at(0).toList().at(0).toMap();
    QCOMPARE(
        p.keys(), QStringList({ "date", "ew", "lat", "lng", "num_id", "sn", "time", "time_unx" }));
    QCOMPARE(p.value("lat").userType(), int(QMetaType::Float));
    QCOMPARE(p.value("sn").userType(), int(QMetaType::Int));
    QCOMPARE(p.value("ew").userType(), int(QMetaType::Int));
    QCOMPARE(p.value("num_id").userType(), int(QMetaType::Int));
    QCOMPARE(p.value("num_id").toInt(), 1);
}

void TestDataGps::serialBufferIsBounded()
{
    NmeaReader reader;
    const QByteArray rmc = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,");
    for (int i = 0; i < 2000; ++i) {
        QVERIFY(reader.feed(QByteArray(97, char('A' + i % 26)), 0, 1).isEmpty());
        QVERIFY(reader.pendingSize() <= NmeaReader::MaxLine);
    }
    // A sentence start in the kept tail survives; so does the next line.
    QCOMPARE(reader.feed(QByteArray(500, 'q') + rmc.left(20), 0, 1).size(), 0);
    QVERIFY(reader.pendingSize() <= NmeaReader::MaxLine);
    QCOMPARE(reader.feed(rmc.mid(20), 0, 1).size(), 1);
    QCOMPARE(reader.pendingSize(), 0);
    // "$" repeated without line ends is bounded as well.
    QVERIFY(reader.feed(QByteArray(100000, '$'), 0, 1).isEmpty());
    QVERIFY(reader.pendingSize() <= NmeaReader::MaxLine);
    QCOMPARE(reader.feed("\r\n" + rmc, 0, 1).size(), 1);
}

int main(int argc, char **argv)
{
    qputenv("TZ", "America/St_Johns");
    tzset();
    QCoreApplication app(argc, argv);
    TestDataGps test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_datagps.moc"
