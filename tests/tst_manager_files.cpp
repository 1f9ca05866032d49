// Configuration and GPS point files: the exact container format, refusing
// anything that is not an image without touching the image in memory, and
// never destroying the previous file when a save fails.
#include <QDataStream>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "manager/manager.h"

namespace {
QVariantList makeImage(quint32 start)
{
    QRandomGenerator random(start);
    QVariantList list;
    QByteArray identity(265, '\0');
    for (char &c : identity)
        c = char(random.bounded(256));
    list << identity;
    for (int n = 0; n < 177; ++n) {
        QByteArray block(2063, '\0');
        for (char &c : block)
            c = char(random.bounded(256));
        block[7] = char(n);
        list << block;
    }
    return list;
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray streamed(const QVariantList &list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << list;
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString url(const QString &path) { return QUrl::fromLocalFile(path).toString(); }
} // namespace

class TestManagerFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void saveAndLoadRoundTrip();
    void refusedFiles_data();
    void refusedFiles();
    void laterDuplicateBlockWins();
    void failedSaveKeepsPreviousFile();
    void gpsPointFiles();
    void editedSaveNeedsAnImage();
    void dataFilesFoundInWorkingFolderFirst();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

void TestManagerFiles::init() { QVERIFY(dir.isValid()); }

void TestManagerFiles::saveAndLoadRoundTrip()
{
    const QVariantList image = makeImage(7);
    writeRaw(path("in.ovc"), streamed(image));

    Manager manager;
    QSignalSpy decoded(&manager, &Manager::dataReadyReadFromDevice);
    QSignalSpy type(&manager, &Manager::signalTypeRadio);
    QList<QByteArray> order;
    connect(&manager, &Manager::signalTypeRadio, this, [&order] { order << "type"; });
    connect(&manager, &Manager::dataReadyReadFromDevice, this, [&order] { order << "data"; });

    manager.readDataFromFile(url(path("in.ovc")));
    QCOMPARE(decoded.count(), 1);
    QCOMPARE(decoded.at(0).at(0).toBool(), true);
    QCOMPARE(order, (QList<QByteArray> { "type", "data" }));
    QVERIFY(manager.hasImage());
    QCOMPARE(manager.image(), image);
    QCOMPARE(manager.blocks().size(), 177);

    QVERIFY(manager.writeDataToFile(url(path("out.ovc"))));
    const QByteArray saved = readAll(path("out.ovc"));
    QCOMPARE(saved.size(), 367022);
    QCOMPARE(saved, readAll(path("in.ovc")));
    // Count 178, then element 0: type 12 (QByteArray), null flag 0, length 265.
    QCOMPARE(saved.left(13).toHex(), QByteArray("000000b20000000c0000000109"));
    // Element 1 starts right after the identity: type, null flag, length 2063.
    QCOMPARE(saved.mid(13 + 265, 9).toHex(), QByteArray("0000000c000000080f"));

    // Loading the saved file again gives the same decoded map.
    Manager second;
    QSignalSpy again(&second, &Manager::dataReadyReadFromDevice);
    second.readDataFromFile(url(path("out.ovc")));
    QCOMPARE(again.count(), 1);
    QCOMPARE(again.at(0).at(1), decoded.at(0).at(1));
}

void TestManagerFiles::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = streamed(makeImage(3));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("count only") << good.left(4);
    QTest::newRow("truncated in the middle") << good.left(good.size() / 2);
    QTest::newRow("one byte short") << good.left(good.size() - 1);
    QTest::newRow("one element") << streamed({ QByteArray(265, '\1') });
    QTest::newRow("block of 7 bytes")
        << streamed({ QByteArray(265, '\1'), QByteArray(2063, '\0'), QByteArray(7, '\0') });
    QTest::newRow("block that is not bytes")
        << streamed({ QByteArray(265, '\1'), QVariantMap { { "a", 1 } } });
    QTest::newRow("huge count, little data")
        << QByteArray::fromHex("ffffffff0000000c0000000003414243");
    QTest::newRow("garbage") << QByteArray("this is not an image at all, just some text");
    QTest::newRow("no such file") << QByteArray("<missing>");
}

void TestManagerFiles::refusedFiles()
{
    QFETCH(QByteArray, bytes);
    const QVariantList image = makeImage(11);
    writeRaw(path("good.ovc"), streamed(image));
    const QString bad = path("bad.ovc");
    QFile::remove(bad);
    if (bytes != "<missing>")
        writeRaw(bad, bytes);

    Manager manager;
    manager.readDataFromFile(url(path("good.ovc")));
    const BlockMap blocksBefore = manager.blocks();

    QSignalSpy failed(&manager, &Manager::dataReadyReadFromFile);
    QSignalSpy decoded(&manager, &Manager::dataReadyReadFromDevice);
    QSignalSpy type(&manager, &Manager::signalTypeRadio);
    manager.readDataFromFile(url(bad));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toBool(), false);
    QVERIFY(!failed.at(0).at(1).isValid());
    QCOMPARE(decoded.count(), 0);
    QCOMPARE(type.count(), 0);
    QCOMPARE(manager.image(), image);
    QCOMPARE(manager.blocks(), blocksBefore);
    QVERIFY(manager.hasImage());

    // A fresh Manager refusing the file stays without an image.
    Manager fresh;
    fresh.readDataFromFile(url(bad));
    QVERIFY(!fresh.hasImage());
    QVERIFY(fresh.image().isEmpty());
}

void TestManagerFiles::laterDuplicateBlockWins()
{
    QVariantList image = makeImage(5);
    QByteArray duplicate(2063, 'x');
    duplicate[7] = char(4);
    image << duplicate;
    writeRaw(path("dup.ovc"), streamed(image));
    Manager manager;
    manager.readDataFromFile(url(path("dup.ovc")));
    QCOMPARE(manager.blocks().size(), 177);
    QCOMPARE(manager.blocks().value(4), duplicate);
}

void TestManagerFiles::failedSaveKeepsPreviousFile()
{
    const QVariantList image = makeImage(13);
    writeRaw(path("in.ovc"), streamed(image));
    Manager manager;
    manager.readDataFromFile(url(path("in.ovc")));

    // A save into a folder that does not exist fails and says so.
    QVERIFY(!manager.writeDataToFile(url(path("no/such/folder/x.ovc"))));

    // A save that cannot complete leaves the previous file as it was. An
    // immutable folder makes even root's save fail.
    QTemporaryDir locked;
    const QString target = locked.filePath("old.ovc");
    writeRaw(target, "previous contents");
    if (QProcess::execute("chattr", { "+i", locked.path() }) != 0)
        QSKIP("chattr +i is not available here");
    const bool saved = manager.writeDataToFile(url(target));
    QProcess::execute("chattr", { "-i", locked.path() });
    QVERIFY(!saved);
    QCOMPARE(readAll(target), QByteArray("previous contents"));
}

void TestManagerFiles::gpsPointFiles()
{
    Manager manager;
    // Nothing read yet: nothing to save, and no file is created.
    QVERIFY(!manager.writeGPSDataToFile(url(path("none.cdc"))));
    QVERIFY(!QFile::exists(path("none.cdc")));

    // A point file loads as the list it holds, with the keys and types kept.
    const QVariantList points = {
        QVariantMap { { "lat", 48.1173f }, { "lng", 11.516667f }, { "sn", 78 }, { "ew", 69 },
            { "date", "25.11.19" }, { "time", "15:00:00" }, { "time_unx", "2170330816" },
            { "num_id", 0 } },
        QVariantMap { { "lat", 55.75f }, { "lng", 37.61f }, { "sn", 78 }, { "ew", 69 },
            { "date", "25.11.19" }, { "time", "15:00:30" }, { "time_unx", "2170330846" },
            { "num_id", 0 } },
    };
    writeRaw(path("points.cdc"), streamed(points));
    QSignalSpy ready(&manager, &Manager::signalGPSReadyRead);
    manager.readGPSDataFromFile(url(path("points.cdc")));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(ready.at(0).at(0).toList(), points);

    // A missing or broken file gives an empty list.
    manager.readGPSDataFromFile(url(path("missing.cdc")));
    writeRaw(path("broken.cdc"), streamed(points).left(40));
    manager.readGPSDataFromFile(url(path("broken.cdc")));
    QCOMPARE(ready.count(), 3);
    QVERIFY(ready.at(1).at(0).toList().isEmpty());
    QVERIFY(ready.at(2).at(0).toList().isEmpty());
}

void TestManagerFiles::editedSaveNeedsAnImage()
{
    Manager manager;
    QVERIFY(!manager.writeEditedDataToFile(url(path("edited.ovc")), QVariantList(), QVariantList(),
        QVariantList(), QVariantList(), QVariantMap(), QVariantList()));
    QVERIFY(!QFile::exists(path("edited.ovc")));
}

void TestManagerFiles::dataFilesFoundInWorkingFolderFirst()
{
    Manager manager;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    writeRaw(path("QmlLanguage_xx.qm"), "x");
    QCOMPARE(manager.dataFilePath("QmlLanguage_xx"), dir.path() + "/QmlLanguage_xx");
    // Not in the working folder: found beside the program.
    const QString beside = QCoreApplication::applicationDirPath() + "/orvane-test-data.bin";
    writeRaw(beside, "y");
    QCOMPARE(manager.dataFilePath("orvane-test-data.bin"), beside);
    QFile::remove(beside);
    QVERIFY(QDir::setCurrent(before));
}

QTEST_GUILESS_MAIN(TestManagerFiles)
#include "tst_manager_files.moc"
