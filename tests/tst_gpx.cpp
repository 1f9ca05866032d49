// GPX export through orvane-cli: a GPS point file field by field, an NMEA
// capture, the official schema (xmllint), and failures that write nothing.
#include <QDataStream>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <limits>

#include "gps/gpspoint.h"

namespace {

int run(const QString &program, const QStringList &arguments, QByteArray *err = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

int cli(const QStringList &arguments, QByteArray *err = nullptr)
{
    return run(QCoreApplication::applicationDirPath() + "/orvane-cli", arguments, err);
}

// A point as the radio's log (float position, no milliseconds) or the NMEA
// reader (double, "msec", "alt") makes it; secs since 1970 UTC.
QVariantMap point(
    double lat, char sn, double lng, char ew, qint64 secs, int msec = -1, QVariant alt = QVariant())
{
    QVariantMap p { { "lat", msec < 0 ? QVariant(float(lat)) : QVariant(lat) },
        { "lng", msec < 0 ? QVariant(float(lng)) : QVariant(lng) }, { "sn", int(sn) },
        { "ew", int(ew) }, { "date", "xx" }, { "time", "xx" },
        { "time_unx", QString::number(secs + GpsPoint::TimeKeyOffset) }, { "num_id", 0 } };
    if (msec >= 0)
        p.insert("msec", msec);
    if (alt.isValid())
        p.insert("alt", alt);
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

class TestGpx : public QObject {
    Q_OBJECT
private slots:
    void pointFile();
    void capture();
    void failures();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    bool valid(const QString &gpx)
    {
        QByteArray err;
        const int rc = run(
            "xmllint", { "--noout", "--schema", ORVANE_TEST_DATA_DIR "/gpx-1.1.xsd", gpx }, &err);
        if (rc != 0)
            qWarning() << err;
        return rc == 0;
    }
};

void TestGpx::pointFile()
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
    {
        QFile f(path("log.cdc"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QDataStream out(&f);
        out << points;
    }
    QByteArray err;
    QCOMPARE(cli({ "gpx", path("log.cdc"), "-o", path("log.gpx") }, &err), 0);
    QFile gpx(path("log.gpx"));
    QVERIFY(gpx.open(QIODevice::ReadOnly));
    QString creator;
    const QList<QStringList> got = segments(gpx.readAll(), &creator);
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
}

void TestGpx::capture()
{
    // A real receiver's capture: gpsd's first report of it, to the last digit.
    QCOMPARE(cli({ "gpx", ORVANE_TEST_DATA_DIR "/nmea/cat-ms352.log", "-o", path("c.gpx") }), 0);
    QFile gpx(path("c.gpx"));
    QVERIFY(gpx.open(QIODevice::ReadOnly));
    QString creator;
    const QList<QStringList> got = segments(gpx.readAll(), &creator);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).size(), 40); // gpsd reports 40 epochs with a fix
    QCOMPARE(got.at(0).at(0),
        QStringLiteral("38.714334482 -117.090607585 1864.182 2022-11-23T11:39:38.500Z"));
    QVERIFY(valid(path("c.gpx")));
}

void TestGpx::failures()
{
    QFile keep(path("kept.gpx"));
    QVERIFY(keep.open(QIODevice::WriteOnly) && keep.write("previous") == 8);
    keep.close();
    QFile empty(path("empty.cdc"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    QDataStream out(&empty);
    out << QVariantList();
    empty.close();
    QFile noFix(path("nofix.nmea"));
    QVERIFY(noFix.open(QIODevice::WriteOnly));
    noFix.write("$GPRMC,123519,V,,,,,,,230394,,*2B\r\n");
    noFix.close();
    for (const QString &input : { path("empty.cdc"), path("nofix.nmea"), path("absent.cdc") }) {
        QByteArray err;
        QCOMPARE(cli({ "gpx", input, "-o", path("kept.gpx") }, &err), 1);
        QVERIFY(err.startsWith("orvane-cli: "));
        QVERIFY(keep.open(QIODevice::ReadOnly));
        QCOMPARE(keep.readAll(), QByteArray("previous"));
        keep.close();
    }
}

QTEST_GUILESS_MAIN(TestGpx)
#include "tst_gpx.moc"
