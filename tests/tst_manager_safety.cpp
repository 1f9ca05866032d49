// What the user did not touch goes back byte for byte, through files and the
// radio; what cannot be written whole or to this radio is refused with the
// radio unchanged; a write is read back; radio images are kept.
#include <QtTest>

#include "codeplug/editmerge.h"
#include "emulator/radioemulator.h"
#include "manager/manager.h"
#include "support/collections.h"
#include "support/testimage.h"

namespace {
struct Range {
    int element; // in the image list: 0 identity, n + 1 block n
    int from, to; // byte offsets, to exclusive
};

bool inside(const QList<Range> &ranges, int element, int offset)
{
    for (const Range &r : ranges) {
        if (r.element == element && offset >= r.from && offset < r.to)
            return true;
    }
    return false;
}

QVariantList loadFile(const QString &path)
{
    QFile f(path);
    QVariantList list;
    if (f.open(QIODevice::ReadOnly)) {
        QDataStream in(&f);
        in >> list;
    }
    return list;
}

struct Fixture {
    RadioEmulator radio;
    Manager manager;
    QTemporaryDir dir;
    Fixture(const QVariantList &image)
    {
        radio.setImage(image);
        manager.setUsbApi(radio.libusbApi(), true);
        manager.setPause([](int) {});
        manager.setBackupFolder(dir.filePath("backups"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QVariantMap load(const std::function<void()> &start)
    {
        QVariantMap decoded;
        auto c = QObject::connect(&manager, &Manager::dataReadyReadFromDevice,
            [&](bool ok, const QVariant &data) { decoded = ok ? data.toMap() : QVariantMap(); });
        start();
        QObject::disconnect(c);
        return decoded;
    }
    QVariantMap read()
    {
        return load([this] { manager.readDataFromDevice(); });
    }
    QVariantMap open(const QString &file)
    {
        return load([&] { manager.readDataFromFile(file); });
    }
    bool save(const QVariantList &c, const QString &file)
    {
        return manager.writeEditedDataToFile(file, c[0], c[1], c[2], c[3], c[4], c[5]);
    }
    bool write(const QVariantList &c)
    {
        QSignalSpy done(&manager, &Manager::dataWroteToDevice);
        manager.writeDataToDevice(c[0], c[1], c[2], c[3], c[4], c[5]);
        return done.count() == 1 && done.at(0).at(0).toBool();
    }
    void baseline(const QVariantList &c)
    {
        manager.setEditBaseline(c[0], c[1], c[2], c[3], c[4], c[5]);
    }
};

// One edit of the collections, and the bytes it may change (besides the
// answer checksum of the blocks it touches).
using Edit = std::function<void(QVariantList &)>;
void setIn(QVariantList &c, int collection, int index, const char *key, const QVariant &value)
{
    QVariantList list = c[collection].toList();
    QVariantMap record = list[index].toMap();
    record[key] = value;
    list[index] = record;
    c[collection] = list;
}
} // namespace
Q_DECLARE_METATYPE(Range)
Q_DECLARE_METATYPE(Edit)

class TestManagerSafety : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void untouchedGoesBackByteForByte_data();
    void untouchedGoesBackByteForByte();
    void refusedAndFailedWrites_data();
    void refusedAndFailedWrites();
    void failedOrCancelledReadKeepsTheImage();
    void droppedAnswersMayBeShort_data();
    void droppedAnswersMayBeShort();
    void backupsRotateAndNeverBlock();
};

void TestManagerSafety::untouchedGoesBackByteForByte_data()
{
    QTest::addColumn<QVariantList>("image");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QList<Range>>("changes");
    const QVariantList factory = TestImage::factoryImage();
    const QVariantList hostile = TestImage::hostileImage();
    QVERIFY(factory.size() == 178 && hostile.size() == 178);
    const Edit none = [](QVariantList &) {};
    for (const QString path : { "open-save", "read-save", "read-write-read" }) {
        QTest::addRow("factory, %s", qPrintable(path)) << factory << path << none << QList<Range>();
        QTest::addRow("hostile, %s", qPrintable(path)) << hostile << path << none << QList<Range>();
    }
    const auto checksum = [](int block) { return Range { block + 1, 2060, 2062 }; };
    QTest::newRow("channel frequency, write")
        << hostile << "read-write-read"
        << Edit([](QVariantList &c) { setIn(c, EditMerge::Channels, 0, "recv_freq", 401125000); })
        << QList<Range> { { 59, 1456, 1460 } };
    QTest::newRow("channel frequency") << hostile << "open-save" << Edit([](QVariantList &c) {
        setIn(c, EditMerge::Channels, 0, "recv_freq", 401125000);
    }) << QList<Range> { { 59, 1456, 1460 }, checksum(58) };
    QTest::newRow("zone title") << hostile << "open-save" << Edit([](QVariantList &c) {
        setIn(c, EditMerge::Zones, 1, "title", QStringLiteral("Ed"));
    }) << QList<Range> { { 75, 732, 764 }, checksum(74) };
    QTest::newRow("contact number") << hostile << "open-save" << Edit([](QVariantList &c) {
        setIn(c, EditMerge::Contacts, 0, "number", 4242);
    }) << QList<Range> { { 8, 172, 175 }, checksum(7) };
    QTest::newRow("key value") << hostile << "open-save" << Edit([](QVariantList &c) {
        setIn(c, EditMerge::Keys, 0, "number", "a1b2");
    }) << QList<Range> { { 5, 1100, 1102 }, checksum(4) };
    QTest::newRow("microphone gain") << hostile << "open-save" << Edit([](QVariantList &c) {
        QVariantMap s = c[EditMerge::Settings].toMap();
        s["mic_gain_level"] = 3;
        c[EditMerge::Settings] = s;
    }) << QList<Range> { { 5, 656, 657 }, checksum(4) };
}

// The screens hand back what they show: settings clamped by spin boxes, so
// the same clamped collections are the baseline and, with one edit, what is
// saved or written.
void TestManagerSafety::untouchedGoesBackByteForByte()
{
    QFETCH(QVariantList, image);
    QFETCH(QString, path);
    QFETCH(Edit, edit);
    QFETCH(QList<Range>, changes);
    Fixture f(image);
    const QString in = f.path("in.ovc"), out = f.path("out.ovc");
    QVERIFY(f.radio.saveFile(in));
    const QVariantMap decoded = path == "open-save" ? f.open(in) : f.read();
    QVERIFY(!decoded.isEmpty());
    QVariantList shown = Collections::clamped(decoded);
    f.baseline(shown);
    edit(shown);

    QVariantList result;
    if (path == "read-write-read") {
        QVERIFY(f.write(shown));
        QVERIFY(!f.read().isEmpty());
        result = f.manager.image();
    } else {
        QVERIFY(f.save(shown, out));
        result = loadFile(out);
    }
    QCOMPARE(result.size(), image.size());
    int changed = 0;
    for (int e = 0; e < image.size(); ++e) {
        const QByteArray a = image[e].toByteArray(), b = result[e].toByteArray();
        QCOMPARE(b.size(), a.size());
        for (int i = 0; i < a.size(); ++i) {
            // The radio answers with its own checksum bytes; its content is ours.
            if (a[i] == b[i] || (path == "read-write-read" && i >= 2060))
                continue;
            QVERIFY2(inside(changes, e, i),
                qPrintable(QStringLiteral("element %1 byte %2 changed").arg(e).arg(i)));
            ++changed;
        }
    }
    QCOMPARE(changed > 0, !changes.isEmpty());
}

void TestManagerSafety::refusedAndFailedWrites_data()
{
    QTest::addColumn<QVariantList>("file");
    QTest::addColumn<int>("radioBand"); // identity byte 94 of the radio
    QTest::addColumn<bool>("kr4700");
    QTest::addColumn<bool>("ignoreWrites");
    QTest::addColumn<int>("problem"); // 0: the write succeeds
    const QVariantList factory = TestImage::factoryImage();
    QTest::newRow("incomplete file")
        << factory.mid(0, 2) << 0 << false << false << int(Manager::IncompleteImage);
    QVariantList shortBlock = factory;
    shortBlock[5] = shortBlock[5].toByteArray().left(100);
    QTest::newRow("short block") << shortBlock << 0 << false << false
                                 << int(Manager::IncompleteImage);
    QTest::newRow("other band") << factory << 3 << false << false << int(Manager::OtherModelOrBand);
    QTest::newRow("other model") << factory << 0 << true << false << int(Manager::OtherModelOrBand);
    QTest::newRow("writes ignored") << factory << 0 << false << true << int(Manager::VerifyFailed);
    QTest::newRow("whole and matching") << factory << 0 << false << false << 0;
}

// The command-line path: an image file written as it stands.
void TestManagerSafety::refusedAndFailedWrites()
{
    QFETCH(QVariantList, file);
    QFETCH(int, radioBand);
    QFETCH(bool, kr4700);
    QFETCH(bool, ignoreWrites);
    QFETCH(int, problem);
    QVariantList onRadio = TestImage::hostileImage();
    Fixture f(onRadio);
    f.radio.setBandCode(quint8(radioBand));
    f.radio.setKr4700(kr4700);
    onRadio = f.radio.image();
    if (ignoreWrites)
        f.radio.injectFault(RadioEmulator::IgnoreWrite, 1000);
    const QString path = f.path("file.ovc");
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QDataStream stream(&out);
        stream << file;
    }
    QVERIFY(!f.open(path).isEmpty());
    QSignalSpy problems(&f.manager, &Manager::writeProblem);
    QSignalSpy done(&f.manager, &Manager::dataWroteToDevice);
    f.manager.writeImageToDevice();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toBool(), problem == 0);
    QCOMPARE(problems.count(), problem ? 1 : 0);
    if (problem) {
        QCOMPARE(problems.at(0).at(0).toInt(), problem);
        QVERIFY(!problems.at(0).at(1).toString().isEmpty());
    }
    if (problem == Manager::VerifyFailed)
        QVERIFY(problems.at(0).at(1).toString().split(QLatin1Char(' ')).contains("58"));
    if (problem == Manager::IncompleteImage || problem == Manager::OtherModelOrBand)
        QCOMPARE(f.radio.image(), onRadio);
    if (problem == Manager::OtherModelOrBand) {
        // Confirmed by the user (or --force), the same write goes through.
        f.manager.allowModelMismatchOnce();
        f.manager.writeImageToDevice();
        QCOMPARE(done.count(), 2);
        QVERIFY(done.at(1).at(0).toBool());
        QCOMPARE(f.radio.blockContent(58), file[59].toByteArray().mid(12, 2048));
    }
    if (problem == 0 || problem == Manager::VerifyFailed) {
        // The radio's image as it was before the write is kept.
        const QVariantList backups = f.manager.backupList();
        QCOMPARE(backups.size(), 1);
        QCOMPARE(loadFile(backups[0].toMap()["path"].toString()), onRadio);
    }
}

void TestManagerSafety::failedOrCancelledReadKeepsTheImage()
{
    Fixture f(TestImage::hostileImage());
    const QString in = f.path("in.ovc"), out = f.path("out.ovc");
    QVERIFY(f.radio.saveFile(in));
    const QVariantList shown = Collections::fromDecoded(f.open(in));
    f.baseline(shown);

    // Unplugged: ten attempts fail. Then a read cancelled half-way.
    f.radio.unplug();
    QSignalSpy done(&f.manager, &Manager::dataReadyReadFromDevice);
    f.manager.readDataFromDevice();
    f.radio.plug();
    f.radio.setLatencyMicroseconds(300); // slow enough for progress to arrive part-way
    auto c = connect(&f.manager, &Manager::readProgressChanged, this, [&f](int p) {
        if (p >= 50)
            f.manager.cancelDeviceOperation();
    });
    f.manager.readDataFromDevice();
    disconnect(c);
    QCOMPARE(done.count(), 2);
    QVERIFY(!done.at(0).at(0).toBool() && !done.at(1).at(0).toBool());
    QVERIFY(f.manager.hasAnyImage());
    QVERIFY(
        !f.manager.hasUnsavedChanges(shown[0], shown[1], shown[2], shown[3], shown[4], shown[5]));
    QVERIFY(f.save(shown, out));
    QCOMPARE(loadFile(out), loadFile(in));
}

void TestManagerSafety::droppedAnswersMayBeShort_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("shortFetch"); // the answer fetched short, counted from 0
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("open-read answer") << false << 1 << true;
    QTest::newRow("a block") << false << 7 << false;
    // A write first reads the radio: identity, open-read, 177 blocks.
    QTest::newRow("identity before open-write") << true << 179 << true;
    QTest::newRow("open-write answer") << true << 180 << true;
    QTest::newRow("identity of the read before writing") << true << 0 << false;
}

void TestManagerSafety::droppedAnswersMayBeShort()
{
    QFETCH(bool, write);
    QFETCH(int, shortFetch);
    QFETCH(bool, succeeds);
    Fixture f(TestImage::factoryImage());
    QVERIFY(!f.read().isEmpty());
    f.radio.injectFault(RadioEmulator::ShortAnswer, 1, shortFetch);
    if (write) {
        QSignalSpy done(&f.manager, &Manager::dataWroteToDevice);
        f.manager.writeImageToDevice();
        QCOMPARE(done.at(0).at(0).toBool(), succeeds);
    } else {
        QCOMPARE(!f.read().isEmpty(), succeeds);
    }
}

void TestManagerSafety::backupsRotateAndNeverBlock()
{
    Fixture f(TestImage::factoryImage());
    for (int i = 0; i < Manager::BackupsKept + 2; ++i)
        QVERIFY(!f.read().isEmpty());
    const QVariantList kept = f.manager.backupList();
    QCOMPARE(kept.size(), Manager::BackupsKept);
    QCOMPARE(kept.first().toMap()["model"].toString(), QStringLiteral("KR4500"));
    QVERIFY(kept.first().toMap()["path"].toString() > kept.last().toMap()["path"].toString());
    QCOMPARE(loadFile(kept.first().toMap()["path"].toString()), f.radio.image());

    // A folder that cannot be made: a warning, and the read still succeeds.
    QFile blocker(f.path("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    f.manager.setBackupFolder(f.path("blocker/backups"));
    QSignalSpy failed(&f.manager, &Manager::backupFailed);
    QVERIFY(!f.read().isEmpty());
    QCOMPARE(failed.count(), 1);
}

QTEST_GUILESS_MAIN(TestManagerSafety)
#include "tst_manager_safety.moc"
