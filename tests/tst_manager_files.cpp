// Configuration and GPS point files: the exact container format, refusing
// anything that is not an image without touching the image in memory, and
// never destroying the previous file when a save fails.
#include <QJSEngine>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "codeplug/editmerge.h"
#include "manager/manager.h"
#include "support/collections.h"
#include "support/testimage.h"

namespace {
// An image list: the identity answer, then 177 blocks of random bytes.
QVariantList makeImage(quint32 start)
{
    return TestImage::imageListFrom(TestImage::randomBlocks(start), TestImage::identity());
}

QByteArray streamed(const QVariantList &list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << list;
    return bytes;
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename T> QByteArray bigEndian(T v)
{
    QByteArray b(sizeof v, '\0');
    qToBigEndian(v, b.data());
    return b;
}
const auto be32 = bigEndian<quint32>;
const auto be64 = bigEndian<quint64>;

// A QString as the stream holds it: byte length, UTF-16 big-endian.
QByteArray text(const QString &s)
{
    QByteArray b = be32(quint32(s.size() * 2));
    for (QChar c : s)
        b += be32(c.unicode()).mid(2);
    return b;
}

QByteArray bytesElement(const QByteArray &bytes)
{
    return be32(12) + '\0' + be32(quint32(bytes.size())) + bytes;
}

// A list variant holding one element, the next.
const QByteArray listHead = be32(9) + '\0' + be32(1);

QString url(const QString &path) { return QUrl::fromLocalFile(path).toString(); }
} // namespace

class TestManagerFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void saveAndLoadRoundTrip(); // and failed saves
    void hostileFiles_data();
    void hostileFiles();
    void gpsPointFiles();
    void scriptValuesSaveAsPlainOnes();
    void languageStoredAndRestored();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

void TestManagerFiles::init()
{
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
}

void TestManagerFiles::saveAndLoadRoundTrip()
{
    const QVariantList image = makeImage(7);
    writeRaw(path("in.ovc"), streamed(image));

    Manager manager;
    QSignalSpy decoded(&manager, &Manager::dataReadyReadFromDevice);
    QList<QByteArray> order;
    connect(&manager, &Manager::signalTypeRadio, this, [&order] { order << "type"; });
    connect(&manager, &Manager::dataReadyReadFromDevice, this, [&order] { order << "data"; });

    manager.readDataFromFile(url(path("in.ovc")));
    QCOMPARE(decoded.count(), 1);
    QCOMPARE(decoded.at(0).at(0).toBool(), true);
    QCOMPARE(order, (QList<QByteArray> { "type", "data" }));
    QVERIFY(manager.hasImage() && manager.image() == image);
    QCOMPARE(manager.blocks().size(), 177);

    QVERIFY(manager.writeDataToFile(url(path("out.ovc"))));
    const QByteArray saved = readAll(path("out.ovc"));
    QCOMPARE(saved, readAll(path("in.ovc")));
    // Count 178, then element 0: type 12 (QByteArray), null flag 0, length 265.
    QCOMPARE(saved.left(13).toHex(), QByteArray("000000b20000000c0000000109"));
    // Element 1 starts right after the identity: type, null flag, length 2063.
    QCOMPARE(saved.mid(13 + 265, 9).toHex(), QByteArray("0000000c000000080f"));

    // A later duplicate of a block wins.
    Manager second;
    QByteArray duplicate(2063, 'x');
    duplicate[7] = char(4);
    writeRaw(path("dup.ovc"), streamed(QVariantList(image) << duplicate));
    second.readDataFromFile(url(path("dup.ovc")));
    QCOMPARE(second.blocks().size(), 177);
    QCOMPARE(second.blocks().value(4), duplicate);

    // A save that cannot complete (the disk full half-way: a file size limit
    // stands in for it) leaves the previous file as it was and says why.
    writeRaw(path("old.ovc"), "previous contents");
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const struct rlimit small = { 4096, limit.rlim_max };
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool cut = manager.writeDataToFile(url(path("old.ovc")));
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, oldHandler);
    QVERIFY(!cut && !manager.lastFileError().isEmpty());
    QCOMPARE(readAll(path("old.ovc")), QByteArray("previous contents"));

    // A save or an export into a folder that does not exist fails and says so.
    QVERIFY(!manager.writeDataToFile(url(path("no/such/folder/x.ovc"))));
    QVERIFY(!manager.lastFileError().isEmpty());
    QVERIFY(!manager.exportDocument(url(path("no/such/folder/x.yaml"))));
    QVERIFY(manager.exportDocument(url(path("x.yaml"))) && QFileInfo(path("x.yaml")).size() > 0);
}

void TestManagerFiles::hostileFiles_data()
{
    QTest::addColumn<bool>("points"); // a GPS point file, else a configuration file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    const QByteArray good = streamed(makeImage(3));
    const QByteArray identity = bytesElement(QByteArray(265, '\1'));
    const QByteArray block = bytesElement(QByteArray(2063, '\0'));
    // Qt would open /usr/share/zoneinfo/<id>: here a FIFO that blocks any reader.
    const QByteArray zone = be32(16) + '\0' + be64(2458813) + be32(0) + '\3'
        + text(QString(10, ' ').replace(" ", "../") + path("fifo").mid(1));
    const QByteArray nested = QByteArray(30000, 'L').replace("L", listHead) + be32(0);
    const QByteArray point = be32(8) + '\0' + be32(1) + text("lat") + be32(6) + '\0' + be64(0);

    auto image = [](const char *name, const QByteArray &bytes, const QString &why) {
        QTest::newRow(name) << false << bytes << why;
    };
    auto points = [](const char *name, const QByteArray &bytes, const QString &why) {
        QTest::newRow(name) << true << bytes << why;
    };
    image("empty file", {}, "shorter than its element count");
    image("count only", good.left(4), "ends inside element 0");
    image("one byte short", good.chopped(1), "element 177 says it holds 2063 bytes, only 2062");
    image("one element", streamed({ QByteArray(265, '\1') }), "holds 1 element");
    image("block of 7 bytes", be32(3) + identity + block + bytesElement("1234567"),
        "element 2 is 7 bytes long");
    image("map for a block", streamed({ QByteArray(265, '\1'), QVariantMap { { "a", 1 } } }),
        "element 1 is a map, expected bytes");
    image("count of 1.9 billion", be32(1900000000) + identity, "claims 1900000000 elements");
    image("count of 513", be32(513) + identity + block, "claims 513 elements, at most 512");
    image("length past the end", be32(2) + be32(12) + '\0' + be32(0x7fffffff) + "abc",
        "element 0 says it holds 2147483647 bytes, only 3 follow");
    image("30000 nested lists", be32(2) + nested, "element 0 is a list, expected bytes");
    image("date-time in a zone named by a path", be32(2) + zone,
        "element 0 is a date-time, expected bytes");
    image("polygon of 2^32-1 points", be32(2) + be32(QMetaType::QPolygon) + '\0' + be32(0xffffffff),
        "element 0 is a polygon");
    image("image variant holding a PNG",
        be32(2) + identity + be32(QMetaType::QImage) + '\0' + QByteArray("\x89PNG", 4),
        "element 1 is an image");
    image("user type", be32(2) + be32(QMetaType::User) + '\0' + be32(4) + "Foo", "user type");
    image("null flag", be32(2) + be32(12) + '\1' + be32(0) + block, "element 0 is marked");
    image("bytes after the last element", good + 'x', "1 bytes follow the last element");
    image("one byte over 16 MB", QByteArray((16 << 20) + 1, '\0'), "larger than 16777216 bytes");
    image("text", "this is not an image, just some text", "claims 1952999795 elements");
    image("no such file", "<missing>", "cannot open");
    points("image as points", good, "element 0 is bytes, expected a point map");
    points("points: count of 1.9 billion", be32(1900000000) + point, "claims 1900000000 elements");
    points("points: 30000 nested lists", be32(1) + nested,
        "element 0 is a list, expected a point map");
    points("date-time value", be32(1) + be32(8) + '\0' + be32(1) + text("t") + zone,
        "element 0: \"t\" is a date-time");
    points("4 billion keys", be32(1) + be32(8) + '\0' + be32(0xfffffffe), "4294967294 keys");
    points("key of 1 GB", be32(1) + be32(8) + '\0' + be32(1) + be32(1 << 30), "a key of");
    points("text of odd length",
        be32(1) + be32(8) + '\0' + be32(1) + text("t") + be32(10) + '\0' + be32(3) + "abc",
        "a text of 3 bytes");
    points("key twice",
        be32(1) + be32(8) + '\0' + be32(2) + text("t") + be32(1) + '\0' + '\1' + text("t") + be32(1)
            + '\0' + '\0',
        "\"t\" twice");
    points("cut inside a value", be32(2) + point + point.chopped(3), "ends inside element 1");
}

// Every hostile file is refused with its one-line reason through the window's
// Open and point loading and through orvane-cli, without changing the image in
// memory, opening another file, or growing the process.
void TestManagerFiles::hostileFiles()
{
    QFETCH(bool, points);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QVERIFY(QFile::exists(path("fifo")) || mkfifo(QFile::encodeName(path("fifo")), 0600) == 0);
    const QVariantList image = makeImage(11);
    writeRaw(path("good.ovc"), streamed(image));
    const QString bad = path("bad.ovc");
    QFile::remove(bad);
    if (bytes != "<missing>")
        writeRaw(bad, bytes);

    // The command-line tool first: a hang or crash shows as a failed run here.
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/orvane-cli",
        { points ? "gps-decode" : "decode", bad });
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(cli.readAllStandardOutput().isEmpty());
    const QByteArray err = cli.readAllStandardError();
    QVERIFY2(err.count('\n') == 1 && err.contains(why.toUtf8()), err.constData());

    Manager manager;
    manager.readDataFromFile(url(path("good.ovc")));
    const BlockMap blocksBefore = manager.blocks();
    QSignalSpy failed(&manager, &Manager::dataReadyReadFromFile);
    QSignalSpy decoded(&manager, &Manager::dataReadyReadFromDevice);
    QSignalSpy pointsRead(&manager, &Manager::signalGPSReadyRead);
    if (points) {
        manager.readGPSDataFromFile(url(bad));
        QCOMPARE(pointsRead.count(), 1);
        QVERIFY(pointsRead.at(0).at(0).toList().isEmpty());
    } else {
        manager.readDataFromFile(url(bad));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toBool(), false);
        QVERIFY(!failed.at(0).at(1).isValid());
        QCOMPARE(decoded.count(), 0);
    }
    QVERIFY2(manager.lastFileError().contains(why), qPrintable(manager.lastFileError()));
    QCOMPARE(manager.image(), image);
    QCOMPARE(manager.blocks(), blocksBefore);
    QVERIFY(manager.hasImage());

    // A fresh Manager refusing the file stays without an image.
    Manager fresh;
    fresh.readDataFromFile(url(bad));
    QVERIFY(points || (!fresh.hasImage() && fresh.image().isEmpty()));

    // Nothing a file claims is allocated: no run of the command-line tool (the
    // same loading code) has grown beyond what loading a real image takes.
    struct rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    QVERIFY2(usage.ru_maxrss < 400 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
}

void TestManagerFiles::gpsPointFiles()
{
    Manager manager;
    // Nothing read yet: nothing to save, and no file is created.
    QVERIFY(!manager.writeGPSDataToFile(url(path("none.cdc"))));
    QVERIFY(!manager.writeEditedDataToFile(url(path("none.ovc")), QVariantList(), QVariantList(),
        QVariantList(), QVariantList(), QVariantMap(), QVariantList()));
    QVERIFY(!QFile::exists(path("none.cdc")) && !QFile::exists(path("none.ovc")));

    // A point file loads as the list it holds, with the keys and types kept:
    // coordinates as float (earlier files) or double, any plain value type.
    const QVariantList points = {
        QVariantMap { { "lat", 48.1173f }, { "lng", 11.516667f }, { "sn", 78 },
            { "time_unx", "2170330816" } },
        QVariantMap { { "lat", 55.75 }, { "ew", 69 }, { "num_id", 0u }, { "ms", qint64(-250) },
            { "n", quint64(1) << 63 }, { "fix", true }, { "note", QString() } },
    };
    writeRaw(path("points.cdc"), streamed(points));
    QSignalSpy ready(&manager, &Manager::signalGPSReadyRead);
    manager.readGPSDataFromFile(url(path("points.cdc")));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(ready.at(0).at(0).toList(), points);
}

// The screens hand their records over holding script values (QJSValue) in
// places: a save writes what those hold, as it would for plain values.
void TestManagerFiles::scriptValuesSaveAsPlainOnes()
{
    QJSEngine engine;
    writeRaw(path("factory.ovc"), streamed(TestImage::factoryImage()));
    Manager manager;
    QSignalSpy decoded(&manager, &Manager::dataReadyReadFromDevice);
    manager.readDataFromFile(url(path("factory.ovc")));
    QCOMPARE(decoded.count(), 1);
    QVariantList plain = Collections::fromDecoded(decoded.at(0).at(1).toMap());
    QVariantList script = plain;
    Collections::setIn(EditMerge::Channels, 0, "name", QStringLiteral("Изменён"))(plain);
    Collections::setIn(EditMerge::Channels, 0, "name",
        QVariant::fromValue(engine.toScriptValue(QStringLiteral("Изменён"))))(script);
    for (const auto &[name, c] : { std::pair { "plain.ovc", plain }, { "script.ovc", script } })
        QVERIFY(manager.writeEditedDataToFile(
            url(path(name)), c[0], c[1], c[2], c[3], c[4], c[5]));
    QVERIFY(readAll(path("plain.ovc")) != readAll(path("factory.ovc")));
    QCOMPARE(readAll(path("script.ovc")), readAll(path("plain.ovc")));
}

// Data files (translations) are looked for in the working folder first, then
// beside the program. The language choice is stored under
// "settings/translation" and restored by a later run; a missing translation
// keeps the source texts.
void TestManagerFiles::languageStoredAndRestored()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    writeRaw(path("QmlLanguage_xx.qm"), "x");
    QCOMPARE(Manager().dataFilePath("QmlLanguage_xx"), dir.path() + "/QmlLanguage_xx");
    const QString beside = QCoreApplication::applicationDirPath() + "/orvane-test-data.bin";
    writeRaw(beside, "y");
    QCOMPARE(Manager().dataFilePath("orvane-test-data.bin"), beside);
    QFile::remove(beside);
    QVERIFY(QDir::setCurrent(before));

    QSettings store(QStringLiteral("Варлин"), QStringLiteral("Orvane 2.5"));
    store.setValue(QStringLiteral("settings/translation"), QStringLiteral("english"));
    store.sync();
    Manager manager;
    QSignalSpy stored(&manager, &Manager::signalLanguageSettings);
    QSignalSpy changed(&manager, &Manager::languageChanged);
    manager.getSettings(); // not a number: the first language
    manager.setTranslation(QStringLiteral("xx"), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(QCoreApplication::translate("MainScreen", "Считать"), QStringLiteral("Считать"));
    Manager next;
    QSignalSpy restored(&next, &Manager::signalLanguageSettings);
    next.getSettings();
    manager.setTranslation(QStringLiteral("ru"), 0);
    next.getSettings();
    QCOMPARE(stored.at(0).at(0).toInt(), 0);
    QCOMPARE(restored.at(0).at(0).toInt(), 1);
    QCOMPARE(restored.at(1).at(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestManagerFiles)
#include "tst_manager_files.moc"
