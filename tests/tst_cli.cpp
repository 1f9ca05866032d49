// orvane-cli end to end against the emulated radio: read, decode, write,
// read again; the GPS log; factory defaults; clear failures.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cstring>

#include "manager/decodedkeys.h"
#include "manager/manager.h"

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &arguments)
{
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + "/orvane-cli", arguments);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray gpsAnswer(int block, const QList<QByteArray> &records)
{
    QByteArray answer(2063, char(0xFF));
    answer[7] = char(block);
    for (int i = 0; i < records.size(); ++i)
        answer.replace(12 + 16 * i, 16, records.at(i));
    return answer;
}

QByteArray record(float lat, char ns, float lng, char ew, const QByteArray &dateTime)
{
    QByteArray r(16, '\0');
    qToLittleEndian(lat, r.data());
    r[4] = ns;
    qToLittleEndian(lng, r.data() + 5);
    r[9] = ew;
    r.replace(10, 6, dateTime);
    return r;
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void readDecodeWriteReadAgain();
    void gpsLog();
    void factoryDefault();
    void failures_data();
    void failures();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

void TestCli::readDecodeWriteReadAgain()
{
    const QString radio = "--emulator=" + path("radio.ovc");
    Run r = cli({ radio, "read", "-o", path("a.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(QFileInfo(path("a.ovc")).size(), 367022);
    QVERIFY(QFile::exists(path("radio.ovc")));

    r = cli({ "decode", path("a.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonObject decoded = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(decoded.keys().size(), 12);
    const QJsonObject channel = decoded.value("freqList").toArray().first().toObject();
    QVERIFY(channel.value("recvFreq").isDouble());
    QVERIFY(channel.value("typeChannel").isBool());
    QVERIFY(decoded.value("serialNumber").isString());
    for (const QJsonValue title : decoded.value("rxGroupNames").toObject())
        QVERIFY(QByteArray::fromHex(title.toString().toLatin1()).size() == 32);
    // Keys come out sorted, so two decodes can be compared with diff.
    QVERIFY(r.out.indexOf("\"GPSSetup\"") < r.out.indexOf("\"RxGroupsList\""));

    // Edit a channel name in the image file, write it, read the radio again.
    Manager manager;
    QVariantMap map;
    connect(&manager, &Manager::dataReadyReadFromDevice, this,
        [&map](bool, const QVariant &data) { map = data.toMap(); });
    manager.readDataFromFile(path("a.ovc"));
    QVariantList channels;
    for (const QVariant &c : map.value(DecodedKey::FreqList).toList()) {
        const QVariantMap m = c.toMap();
        channels << QVariantMap { { "name", m.value("name") }, { "send_freq", m.value("sendFreq") },
            { "recv_freq", m.value("recvFreq") }, { "type_channel", m.value("typeChannel") },
            { "power_ch", m.value("powerCH") }, { "chanelBand", m.value("chanelBand") },
            { "recv_qt_dqt", m.value("recvQtDqt") }, { "send_qt_dqt", m.value("sendQtDqt") },
            { "qt_dqt_type_rcv", m.value("QtDqtTypeRcv") },
            { "qt_dqt_type_trasm", m.value("QtDqtTypeTrasm") },
            { "color_cod", m.value("colorCod") }, { "rx_groupe", m.value("rxGroup") },
            { "contact", m.value("contact") }, { "encrypt", m.value("encrypt") } };
    }
    QVariantMap last = channels.last().toMap();
    last["name"] = QStringLiteral("Новое имя");
    channels.last() = last;
    QVERIFY(manager.writeEditedDataToFile(path("b.ovc"), channels, QVariantList(), QVariantList(),
        QVariantList(), QVariant(), QVariantList()));

    r = cli({ radio, "write", path("b.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    r = cli({ radio, "read", "-o", path("c.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const Run b = cli({ "decode", path("b.ovc") });
    const Run c = cli({ "decode", path("c.ovc") });
    QCOMPARE(c.out, b.out);
    QVERIFY(c.out.contains("Новое имя"));
    QVERIFY(!r.out.contains("Новое имя")); // the earlier decode is not affected
}

void TestCli::gpsLog()
{
    QVariantList log;
    for (int n = 0; n < 247; ++n)
        log << gpsAnswer(n, {});
    log[0] = gpsAnswer(0,
        { record(5545.0f, 'N', 3737.0f, 'E', QByteArray("\x19\x0b\x13\x0c\x00\x00", 6)),
            record(5545.5f, 'N', 3737.5f, 'E', QByteArray("\x19\x0b\x13\x0c\x00\x1e", 6)) });
    {
        QFile file(path("log.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QDataStream out(&file);
        out << log;
    }
    const QStringList radio
        = { "--emulator=" + path("gpsradio.ovc"), "--emulator-gps-log=" + path("log.bin") };
    Run r = cli(radio + QStringList { "gps-read", "-o", path("points.cdc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    r = cli({ "gps-decode", path("points.cdc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonArray points = QJsonDocument::fromJson(r.out).array();
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.at(0).toObject().value("sn").toInt(), int('N'));
    QVERIFY(qAbs(points.at(0).toObject().value("lat").toDouble() - (55 + 45.0 / 60)) < 1e-4);
    QCOMPARE(points.at(1).toObject().value("time_unx").toString().toLongLong()
            - points.at(0).toObject().value("time_unx").toString().toLongLong(),
        30);

    // The generated track of an emulated radio without a log file.
    r = cli({ "--emulator=" + path("track.ovc"), "gps-read", "-o", path("track.cdc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
}

void TestCli::factoryDefault()
{
    const Run r = cli({ "--emulator=" + path("d.ovc"), "default", "-o", path("default.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QFile mine(path("default.ovc"));
    QFile shipped(QCoreApplication::applicationDirPath() + "/default400-470.dcc");
    QVERIFY(mine.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
    QCOMPARE(mine.readAll(), shipped.readAll());
}

void TestCli::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList {};
    QTest::newRow("unknown command") << QStringList { "frobnicate" };
    QTest::newRow("read without output") << QStringList { "read" };
    QTest::newRow("decode a missing file") << QStringList { "decode", "/nonexistent/x.ovc" };
    QTest::newRow("gps-decode a missing file")
        << QStringList { "gps-decode", "/nonexistent/x.cdc" };
    QTest::newRow("emulator memory that is no image")
        << QStringList { "--emulator=<garbage>", "read", "-o", "<never>" };
}

void TestCli::failures()
{
    QFETCH(QStringList, arguments);
    QFile garbage(path("garbage.ovc"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not an image");
    garbage.close();
    arguments.replaceInStrings("<garbage>", path("garbage.ovc"));
    arguments.replaceInStrings("<never>", path("never.ovc"));
    const Run r = cli(arguments);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.startsWith("orvane-cli: ") && r.err.count('\n') == 1, r.err.constData());
    QVERIFY(!QFile::exists(path("never.ovc")));
    QCOMPARE(QFileInfo(path("garbage.ovc")).size(), qint64(12)); // never overwritten
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
