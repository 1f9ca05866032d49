// orvane-cli end to end against the emulated radio: read, decode, write, read
// again; the GPS log; factory defaults; the text formats; GPX checked field by
// field and by xmllint; clear failures that write nothing; the window program.
#include <QtTest>
#include <limits>

#include "gps/gpspoint.h"
#include "manager/manager.h"
#include "support/collections.h"
#include "support/gpslog.h"
#include "support/radiorig.h"
#include "support/testimage.h"

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs a program from a folder holding none of ours; kept radio images and
// settings go to a folder of the test's own.
Run run(const QString &program, const QStringList &arguments)
{
    static QTemporaryDir data;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data.path());
    env.insert("XDG_CONFIG_HOME", data.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_QUICK_BACKEND", "software");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(data.path());
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {};
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    return { code, process.readAllStandardOutput(), process.readAllStandardError() };
}

Run cli(const QStringList &arguments)
{
    return run(QCoreApplication::applicationDirPath() + "/orvane-cli", arguments);
}

Run ok(const QStringList &arguments)
{
    const Run r = cli(arguments);
    QTest::qVerify(r.exitCode == 0, "exit code 0", r.err.constData(), __FILE__, __LINE__);
    return r;
}

// A point as the radio's log (float position, no milliseconds) or the NMEA
// reader (double, "msec", "alt") makes it; secs since 1970 UTC.
QVariantMap point(double lat, char sn, double lng, char ew, qint64 secs, int msec = -1, double alt = 0)
{
    QVariantMap p { { "lat", msec < 0 ? QVariant(float(lat)) : QVariant(lat) },
        { "lng", msec < 0 ? QVariant(float(lng)) : QVariant(lng) }, { "sn", int(sn) },
        { "ew", int(ew) }, { "date", "xx" }, { "time", "xx" },
        { "time_unx", QString::number(secs + GpsPoint::TimeKeyOffset) }, { "num_id", 0 } };
    if (msec >= 0)
        p.insert({ { "msec", msec }, { "alt", alt } });
    return p;
}

// The trkpt elements as "lat lon ele time", one segment per list.
QList<QStringList> segments(const QByteArray &gpx, QString *creator)
{
    QList<QStringList> out;
    QXmlStreamReader xml(gpx);
    QString pt, ele;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == "gpx")
            *creator = xml.attributes().value("creator").toString();
        else if (xml.name() == "trkseg")
            out << QStringList();
        else if (xml.name() == "trkpt")
            pt = xml.attributes().value("lat") + " " + xml.attributes().value("lon"), ele = "-";
        else if (xml.name() == "ele")
            ele = xml.readElementText();
        else if (xml.name() == "time")
            out.last() << pt + " " + ele + " " + xml.readElementText();
    }
    return xml.hasError() ? QList<QStringList>() : out;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void programStarts();
    void readDecodeWriteReadAgain();
    void gpsLog();
    void textFormats();
    void gpx();
    void failures_data();
    void failures();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray bytes(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool write(const QString &name, const QByteArray &text)
    {
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    }
    static bool valid(const QString &gpx)
    {
        const Run r
            = run("xmllint", { "--noout", "--schema", ORVANE_TEST_DATA_DIR "/gpx-1.1.xsd", gpx });
        if (r.exitCode != 0)
            qWarning() << r.err;
        return r.exitCode == 0;
    }
};

// The window program loads the window from its compiled-in resources without a
// QML error or warning, draws a frame and ends cleanly.
void TestCli::programStarts()
{
    const Run r
        = run(QCoreApplication::applicationDirPath() + "/orvane", { "--quit-after-first-frame" });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY2(!r.err.contains("qrc:/"), r.err.constData());
}

void TestCli::readDecodeWriteReadAgain()
{
    const QString radio = "--emulator=" + path("radio.ovc");
    Run r = ok({ radio, "read", "-o", path("a.ovc") });
    QCOMPARE(QFileInfo(path("a.ovc")).size(), 367022);
    QVERIFY(QFile::exists(path("radio.ovc")));

    r = ok({ "decode", path("a.ovc") });
    const QJsonObject decoded = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(decoded.keys().size(), 12);
    const QJsonObject channel = decoded.value("freqList").toArray().first().toObject();
    QVERIFY(channel.value("recvFreq").isDouble());
    QVERIFY(channel.value("typeChannel").isBool());
    QVERIFY(decoded.value("serialNumber").isString());
    QCOMPARE(decoded.value("nameModel").toString(), QStringLiteral("KR4500")); // ends at its zero
    for (const QJsonValue title : decoded.value("rxGroupNames").toObject())
        QVERIFY(QByteArray::fromHex(title.toString().toLatin1()).size() == 32);
    // Keys come out sorted, so two decodes can be compared with diff.
    QVERIFY(r.out.indexOf("\"GPSSetup\"") < r.out.indexOf("\"RxGroupsList\""));
    const QByteArray first = r.out;

    // Edit a channel name in the image file, write it, read the radio again.
    Manager manager;
    QVariantMap map;
    connect(&manager, &Manager::dataReadyReadFromDevice, this,
        [&map](bool, const QVariant &data) { map = data.toMap(); });
    manager.readDataFromFile(path("a.ovc"));
    const QVariantList edit = Collections::fromDecoded(map);
    QVariantList channels = edit[0].toList();
    QVariantMap last = channels.last().toMap();
    last["name"] = QStringLiteral("Новое имя");
    channels.last() = last;
    QVERIFY(manager.writeEditedDataToFile(
        path("b.ovc"), channels, edit[1], edit[2], edit[3], edit[4], edit[5]));

    ok({ radio, "write", path("b.ovc") });
    ok({ radio, "read", "-o", path("c.ovc") });
    const QByteArray again = cli({ "decode", path("c.ovc") }).out;
    QCOMPARE(again, cli({ "decode", path("b.ovc") }).out);
    QVERIFY(again.contains("Новое имя"));
    QVERIFY(!first.contains("Новое имя")); // the earlier read is not affected

    // Both reads and the radio as it was before the write are kept.
    r = cli({ "backups" });
    QCOMPARE(r.out.count('\n'), 3);
    QVERIFY(r.out.contains("KR4500"));
}

void TestCli::gpsLog()
{
    // The log blocks as the radio answers them, two records at the start.
    using namespace GpsLog;
    QVariantList log { logBlock(0,
        { { 0, record(bitsOf(5545.0f), 'N', bitsOf(3737.0f), 'E', { 25, 11, 19, 12, 0, 0 }) },
            { 1, record(bitsOf(5545.5f), 'N', bitsOf(3737.5f), 'E', { 25, 11, 19, 12, 0, 30 }) } }) };
    while (log.size() < 247)
        log << logBlock(log.size());
    QVERIFY(saveList(path("log.bin"), log));
    const QStringList radio
        = { "--emulator=" + path("gpsradio.ovc"), "--emulator-gps-log=" + path("log.bin") };
    ok(radio + QStringList { "gps-read", "-o", path("points.cdc") });
    const Run r = ok({ "gps-decode", path("points.cdc") });
    // Both records, in order, through the radio's answers and the point file.
    const QJsonArray points = QJsonDocument::fromJson(r.out).array();
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.at(1)["lat"].toDouble() - points.at(0)["lat"].toDouble(), 0.5 / 60);
    QCOMPARE(points.at(1)["time_unx"].toString().toLongLong(),
        points.at(0)["time_unx"].toString().toLongLong() + 30);

    // The generated track of an emulated radio without a log file.
    ok({ "--emulator=" + path("track.ovc"), "gps-read", "-o", path("track.cdc") });
}

// The factory image; export / import / diff / channels-export / channels-import
// end to end, and the example of the format description.
void TestCli::textFormats()
{
    const QString shipped = QCoreApplication::applicationDirPath() + "/default400-470.dcc";
    ok({ "--emulator=" + path("d.ovc"), "default", "-o", path("default.ovc") });
    QCOMPARE(bytes(path("default.ovc")), bytes(shipped));
    ok({ "export", shipped, "-o", path("a.yaml") });
    ok({ "import", path("a.yaml"), "--base", shipped, "-o", path("b.ovc") });
    QCOMPARE(bytes(path("b.ovc")), bytes(shipped));
    Run r = cli({ "diff", shipped, path("b.ovc") });
    QVERIFY(r.exitCode == 0 && r.out.isEmpty());

    // The documented example, onto the default image its model and band name.
    const QByteArray doc = bytes(ORVANE_SOURCE_DIR "/docs/codeplug-format.md");
    const int begin = doc.indexOf("```yaml\n") + 8;
    QVERIFY(begin > 8 && write("example.yaml", doc.mid(begin, doc.indexOf("```", begin) - begin)));
    r = cli({ "import", path("example.yaml"), "-o", path("example.ovc") });
    QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), r.err.constData());
    r = cli({ "diff", shipped, path("example.yaml") });
    QVERIFY2(r.exitCode == 1 && r.out.contains("→ 439.1 MHz"), r.out.constData());
    QCOMPARE(cli({ "diff", path("example.yaml"), path("example.ovc") }).exitCode, 0);
    QCOMPARE(cli({ "diff", shipped, "/nonexistent.ovc" }).exitCode, 2);

    // A bad document: every problem with its place, nothing written.
    QVERIFY(write("bad.yaml",
        "radio: {model: KR4500, band: 400-470}\nchannels:\n"
        "  - rx_frequency: 512.5\n    power: max\n"));
    r = cli({ "import", path("bad.yaml"), "-o", path("bad.ovc") });
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("line 3, column 19: channels[0].rx_frequency: 512.5 MHz is outside"),
        r.err.constData());
    QVERIFY(r.err.contains("line 4, column 12: channels[0].power"));
    QVERIFY(!QFile::exists(path("bad.ovc")));
    // A warning passes, and stops the import with --strict.
    QVERIFY(write("long.yaml", "zones:\n  - name: \"A zone name far too long\"\n"));
    r = cli({ "import", path("long.yaml"), "--base", shipped, "-o", path("long.ovc") });
    QVERIFY2(r.exitCode == 0 && r.err.contains("warning: line 2"), r.err.constData());
    r = cli({ "import", path("long.yaml"), "--base", shipped, "--strict", "-o", path("s.ovc") });
    QVERIFY(r.exitCode == 1 && !QFile::exists(path("s.ovc")));

    // Channels as CSV and back: the same bytes.
    ok({ "channels-export", path("example.ovc"), "-o", path("list.csv") });
    QVERIFY(bytes(path("list.csv")).contains("\r\n2,PMR 1,446.006250,,0.000000,DTCS,"));
    ok({ "channels-import", path("list.csv"), "--base", path("example.ovc"), "-o", path("c.ovc") });
    QCOMPARE(bytes(path("c.ovc")), bytes(path("example.ovc")));
}

void TestCli::gpx()
{
    // 25.11.19 12:00:00 UTC as the radio stores it (year 19), out of order.
    const qint64 t = GpsPoint::daysFromCivil(19, 11, 25) * 86400 + 12 * 3600;
    const QVariantList points { point(48.1173, 'N', 11.5166667, 'E', t + 10),
        point(48.1173, 'N', 11.5166667, 'E', t), point(33.875, 'S', 151.2041667, 'W', t + 20),
        point(std::numeric_limits<double>::infinity(), 'N', 1, 'E', t + 25),
        // a pause: the segment of three ends
        point(1.5, 'N', 2.25, 'E', t + 1020),
        point(55.7520000011, 'N', 37.6176666677, 'E', t + 1030, 250, 150.25),
        // a pause after two points: the segment goes on
        point(55.752, 'N', 37.6176667, 'E', t + 3000, 0, -12.5) };
    QVERIFY(saveList(path("log.cdc"), points));
    ok({ "gpx", path("log.cdc"), "-o", path("log.gpx") });
    QString creator;
    const QList<QStringList> got = segments(bytes(path("log.gpx")), &creator);
    QCOMPARE(creator, QStringLiteral("Orvane " ORVANE_VERSION));
    const QString f48 = QString::number(double(float(48.1173)), 'f', 9);
    const QString f11 = QString::number(double(float(11.5166667)), 'f', 9);
    const QList<QStringList> expected {
        { f48 + " " + f11 + " - 2019-11-25T12:00:00Z", f48 + " " + f11 + " - 2019-11-25T12:00:10Z",
            "-33.875000000 -151.204162598 - 2019-11-25T12:00:20Z" },
        { "1.500000000 2.250000000 - 2019-11-25T12:17:00Z",
            "55.752000001 37.617666668 150.250 2019-11-25T12:17:10.250Z",
            "55.752000000 37.617666700 -12.500 2019-11-25T12:50:00.000Z" },
    };
    QCOMPARE(got, expected);
    QVERIFY(valid(path("log.gpx")));

    // A real receiver's capture: gpsd's 40 epochs with a fix, its first
    // report to the last digit.
    ok({ "gpx", ORVANE_TEST_DATA_DIR "/nmea/cat-ms352.log", "-o", path("c.gpx") });
    const QList<QStringList> capture = segments(bytes(path("c.gpx")), &creator);
    QCOMPARE(capture.size(), 1);
    QCOMPARE(capture.at(0).size(), 40);
    QCOMPARE(capture.at(0).at(0), "38.714334482 -117.090607585 1864.182 2022-11-23T11:39:38.500Z");
    QVERIFY(valid(path("c.gpx")));
}

void TestCli::failures_data()
{
    QTest::addColumn<QStringList>("arguments"); // '@': the test's folder
    QTest::newRow("no command") << QStringList {};
    QTest::newRow("unknown command") << QStringList { "frobnicate" };
    QTest::newRow("read without output") << QStringList { "read" };
    QTest::newRow("gps-decode missing") << QStringList { "gps-decode", "/nonexistent/x.cdc" };
    QTest::newRow("no image") << QStringList { "--emulator=@garbage.ovc", "read", "-o", "@never" };
    QTest::newRow("write two elements")
        << QStringList { "--emulator=@factory.ovc", "write", "@two" };
    QTest::newRow("gpx, no points") << QStringList { "gpx", "@empty.cdc", "-o", "@garbage.ovc" };
    QTest::newRow("gpx, no fix") << QStringList { "gpx", "@nofix.nmea", "-o", "@garbage.ovc" };
    QTest::newRow("gpx, missing") << QStringList { "gpx", "/nonexistent/x", "-o", "@garbage.ovc" };
}

void TestCli::failures()
{
    QFETCH(QStringList, arguments);
    // A radio holding the factory image, an image file of two elements, an
    // empty point file, a capture without a fix, a file that is no image.
    const QString shipped = QCoreApplication::applicationDirPath() + "/default400-470.dcc";
    QVERIFY(write("factory.ovc", bytes(shipped)) && write("garbage.ovc", "not an image")
        && write("nofix.nmea", "$GPRMC,123519,V,,,,,,,230394,,*2B\r\n")
        && saveList(path("two"), TestImage::factoryImage().mid(0, 2))
        && saveList(path("empty.cdc"), QVariantList()));
    arguments.replaceInStrings("@", dir.path() + '/');
    const Run r = cli(arguments);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.startsWith("orvane-cli: ") && r.err.count('\n') == 1, r.err.constData());
    QVERIFY(!QFile::exists(path("never")));
    QCOMPARE(QFileInfo(path("garbage.ovc")).size(), qint64(12)); // never overwritten
    QCOMPARE(loadList(path("factory.ovc")), TestImage::factoryImage());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
