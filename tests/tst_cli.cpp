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

#include "manager/manager.h"
#include "support/collections.h"
#include "support/testimage.h"

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &arguments)
{
    // Kept radio images go to a folder of the test's own.
    static QTemporaryDir data;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data.path());
    process.setProcessEnvironment(env);
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
    void textFormats();
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
    const QVariantList edit = Collections::fromDecoded(map);
    QVariantList channels = edit[0].toList();
    QVariantMap last = channels.last().toMap();
    last["name"] = QStringLiteral("Новое имя");
    channels.last() = last;
    QVERIFY(manager.writeEditedDataToFile(
        path("b.ovc"), channels, edit[1], edit[2], edit[3], edit[4], edit[5]));

    r = cli({ radio, "write", path("b.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    r = cli({ radio, "read", "-o", path("c.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const Run b = cli({ "decode", path("b.ovc") });
    const Run c = cli({ "decode", path("c.ovc") });
    QCOMPARE(c.out, b.out);
    QVERIFY(c.out.contains("Новое имя"));
    QVERIFY(!r.out.contains("Новое имя")); // the earlier decode is not affected

    // Both reads and the radio as it was before the write are kept.
    r = cli({ "backups" });
    QCOMPARE(r.out.count('\n'), 3);
    QVERIFY(r.out.contains("KR4500"));
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

// export / import / diff / channels-export / channels-import end to end,
// and the example of the format description.
void TestCli::textFormats()
{
    const QString shipped = QCoreApplication::applicationDirPath() + "/default400-470.dcc";
    const auto bytes = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto write = [this](const QString &name, const QByteArray &text) {
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    Run r = cli({ "export", shipped, "-o", path("a.yaml") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    r = cli({ "import", path("a.yaml"), "--base", shipped, "-o", path("b.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(bytes(path("b.ovc")), bytes(shipped));
    r = cli({ "diff", shipped, path("b.ovc") });
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());

    // The documented example, onto the default image its model and band name.
    const QByteArray doc = bytes(ORVANE_SOURCE_DIR "/docs/codeplug-format.md");
    const int begin = doc.indexOf("```yaml\n") + 8;
    QVERIFY(begin > 8 && write("example.yaml", doc.mid(begin, doc.indexOf("```", begin) - begin)));
    r = cli({ "import", path("example.yaml"), "-o", path("example.ovc") });
    QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), r.err.constData());
    r = cli({ "diff", shipped, path("example.yaml") });
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.out.contains("rx_frequency 446.0125 → 439.1 MHz"), r.out.constData());
    QCOMPARE(cli({ "diff", path("example.yaml"), path("example.ovc") }).exitCode, 0);
    QCOMPARE(cli({ "diff", shipped, "/nonexistent.ovc" }).exitCode, 2);

    // A bad document: every problem with its place, nothing written.
    QVERIFY(write("bad.yaml",
        "radio: {model: KR4500, band: 400-470}\nchannels:\n  - rx_frequency: 512.5\n    power: "
        "max\n"));
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
    QCOMPARE(cli({ "import", path("long.yaml"), "--base", shipped, "--strict", "-o",
                     path("strict.ovc") })
                 .exitCode,
        1);
    QVERIFY(!QFile::exists(path("strict.ovc")));

    // Channels as CSV and back: the same bytes.
    r = cli({ "channels-export", path("example.ovc"), "-o", path("list.csv") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY(bytes(path("list.csv")).contains("\r\n2,PMR 1,446.006250,,0.000000,DTCS,"));
    r = cli({ "channels-import", path("list.csv"), "--base", path("example.ovc"), "-o",
        path("c.ovc") });
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(bytes(path("c.ovc")), bytes(path("example.ovc")));
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
    QTest::newRow("write an image of two elements")
        << QStringList { "--emulator=<radio>", "write", "<two>" };
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
    // A radio holding the factory image, and an image file of two elements.
    QFile::remove(path("radio-f.ovc"));
    QVERIFY(QFile::copy(
        QCoreApplication::applicationDirPath() + "/default400-470.dcc", path("radio-f.ovc")));
    arguments.replaceInStrings("<radio>", path("radio-f.ovc"));
    QFile two(path("two.ovc"));
    QVERIFY(two.open(QIODevice::WriteOnly));
    QDataStream twoOut(&two);
    twoOut << TestImage::factoryImage().mid(0, 2);
    two.close();
    arguments.replaceInStrings("<two>", path("two.ovc"));
    const Run r = cli(arguments);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.startsWith("orvane-cli: ") && r.err.count('\n') == 1, r.err.constData());
    QVERIFY(!QFile::exists(path("never.ovc")));
    QCOMPARE(QFileInfo(path("garbage.ovc")).size(), qint64(12)); // never overwritten
    QFile radio(path("radio-f.ovc"));
    QVERIFY(radio.open(QIODevice::ReadOnly));
    QDataStream in(&radio);
    QVariantList onRadio;
    in >> onRadio;
    QCOMPARE(onRadio, TestImage::factoryImage());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
