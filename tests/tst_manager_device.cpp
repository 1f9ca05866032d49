// The radio workflows against the emulated radio: connection retries, reads
// and writes, the GPS log, factory defaults, and every fault in the middle of
// a transfer reported as a failure with the image in memory untouched.
#include <QtTest>

#include "emulator/radioemulator.h"
#include "manager/decodedkeys.h"
#include "manager/manager.h"
#include "support/collections.h"
#include "support/testimage.h"

namespace {
struct Fixture {
    RadioEmulator radio;
    Manager manager;
    QList<int> pauses;
    Fixture()
    {
        radio.setImage(TestImage::factoryImage());
        manager.setUsbApi(radio.libusbApi(), true);
        manager.setPause([this](int ms) { pauses << ms; });
    }
    QVariantMap read()
    {
        QVariantMap map;
        bool ok = false;
        auto c = QObject::connect(
            &manager, &Manager::dataReadyReadFromDevice, [&](bool success, const QVariant &data) {
                ok = success;
                map = data.toMap();
            });
        manager.readDataFromDevice();
        QObject::disconnect(c);
        return ok ? map : QVariantMap();
    }
    bool write(const QVariantMap &decoded, const QVariantList &channels)
    {
        bool ok = false;
        auto c = QObject::connect(
            &manager, &Manager::dataWroteToDevice, [&ok](bool success) { ok = success; });
        const QVariantList all = Collections::fromDecoded(decoded);
        manager.writeDataToDevice(channels, all[1], all[2], all[3], all[4], all[5]);
        QObject::disconnect(c);
        return ok;
    }
};

QVariantList channelsForWrite(const QVariantMap &decoded)
{
    return Collections::fromDecoded(decoded).first().toList();
}
} // namespace

class TestManagerDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void absentRadioTenAttempts_data();
    void absentRadioTenAttempts();
    void radioFoundAtThirdAttempt();
    void fullReadDecodes();
    void writeThenReadShowsEdits();
    void writeRefusedWithoutImage();
    void writeAfterFailedConnection();
    void faultDuringRead_data();
    void faultDuringRead();
    void faultDuringWrite_data();
    void faultDuringWrite();
    void gpsLogRead();
    void gpsLogFaults_data();
    void gpsLogFaults();
    void secondOperationInsideTransferRefused();
    void defaultImageByBandAndModel_data();
    void defaultImageByBandAndModel();
};

void TestManagerDevice::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // kept radio images stay out of the user's folder
    QVERIFY2(
        TestImage::factoryImage().size() == 178, "the build generates default400-470.dcc beside the tests");
}

void TestManagerDevice::absentRadioTenAttempts_data()
{
    QTest::addColumn<bool>("denied"); // present, but opening it is not permitted
    QTest::newRow("absent") << false;
    QTest::newRow("access denied") << true;
}

void TestManagerDevice::absentRadioTenAttempts()
{
    QFETCH(bool, denied);
    Fixture f;
    if (denied)
        f.radio.setOpenDenied(true);
    else
        f.radio.unplug();
    QSignalSpy accessDenied(&f.manager, &Manager::usbAccessDenied);
    QSignalSpy retries(&f.manager, &Manager::signalRetryConnect);
    QSignalSpy done(&f.manager, &Manager::dataReadyReadFromDevice);
    for (int i = 0; i < 10; ++i)
        QTest::ignoreMessage(QtDebugMsg, "Manager: war reset usb init");
    QTest::ignoreMessage(QtDebugMsg, "Manager: err usb init");
    f.manager.readDataFromDevice();

    QCOMPARE(retries.count(), 10);
    QCOMPARE(accessDenied.count(), denied ? 10 : 0);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(retries.at(i).at(0).toInt(), 10 - i);
    QCOMPARE(f.pauses, QList<int>::fromVector(QVector<int>(10, 3000)));
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toBool(), false);
    QVERIFY(!done.at(0).at(1).isValid());
    QVERIFY(f.manager.image().isEmpty());
    QVERIFY(!f.manager.hasImage());
}

void TestManagerDevice::radioFoundAtThirdAttempt()
{
    Fixture f;
    f.radio.unplug();
    f.manager.setPause([&f](int ms) {
        f.pauses << ms;
        if (f.pauses.size() == 2)
            f.radio.plug(); // plugged in during the second pause
    });
    QSignalSpy retries(&f.manager, &Manager::signalRetryConnect);
    QSignalSpy done(&f.manager, &Manager::dataReadyReadFromDevice);
    f.manager.readDataFromDevice();
    QCOMPARE(retries.count(), 2);
    QCOMPARE(retries.at(0).at(0).toInt(), 10);
    QCOMPARE(retries.at(1).at(0).toInt(), 9);
    QCOMPARE(f.pauses, (QList<int> { 3000, 3000, 1000 }));
    QCOMPARE(done.count(), 1);
    QVERIFY(done.at(0).at(0).toBool());
}

void TestManagerDevice::fullReadDecodes()
{
    Fixture f;
    f.radio.setLatencyMicroseconds(300); // a read of about 0.4 s: several relays
    QElapsedTimer clock;
    clock.start();
    QList<QPair<int, double>> progress; // value, ms since the start
    connect(&f.manager, &Manager::readProgressChanged, this,
        [&](int p) { progress << qMakePair(p, clock.nsecsElapsed() / 1e6); });
    int passes = 0; // event-loop passes during the read
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&passes] { ++passes; });
    tick.start(0);
    QList<QByteArray> order;
    connect(&f.manager, &Manager::signalTypeRadio, this, [&order] { order << "type"; });
    connect(&f.manager, &Manager::dataReadyReadFromDevice, this, [&order] { order << "data"; });
    const QVariantMap decoded = f.read();

    tick.stop();
    QCOMPARE(order, (QList<QByteArray> { "type", "data" }));
    QCOMPARE(f.manager.image(), f.radio.image());
    QVERIFY(f.manager.hasImage());
    // The link's 177 values reach the screens paced: the first and the last,
    // between them one per interval at most, each with one event-loop pass.
    QVERIFY(progress.size() >= 3);
    QCOMPARE(progress.first().first, 0);
    QCOMPARE(progress.last().first, 99);
    for (int i = 1; i + 1 < progress.size(); ++i)
        QVERIFY(progress[i].second - progress[i - 1].second > Manager::ProgressIntervalMs - 1);
    QCOMPARE(passes, progress.size());
    QCOMPARE(f.radio.isOpen(), false); // released after the read
    for (const QString &key :
        { DecodedKey::FreqList, DecodedKey::ZoneList, DecodedKey::BasicSettings,
            DecodedKey::ButtonsSettings, DecodedKey::ContactList, DecodedKey::EncryptList,
            DecodedKey::RxGroupsList, DecodedKey::RxGroupNames, DecodedKey::GPSSetup,
            DecodedKey::SerialNumber, DecodedKey::NameModel, DecodedKey::HwVersion })
        QVERIFY2(decoded.contains(key), qPrintable(key));
    QCOMPARE(decoded.size(), 12);
    QCOMPARE(decoded.value(DecodedKey::NameModel).toString(), QStringLiteral("KR4500"));
    QCOMPARE(decoded.value(DecodedKey::HwVersion).toString(), QStringLiteral("V1.0"));
    QVERIFY(!decoded.value(DecodedKey::FreqList).toList().isEmpty());
}

void TestManagerDevice::writeThenReadShowsEdits()
{
    Fixture f;
    const QVariantMap before = f.read();
    QVariantList channels = channelsForWrite(before);
    QVariantMap first = channels.first().toMap();
    first["name"] = QStringLiteral("Изменён");
    first["recv_freq"] = 401125000;
    channels[0] = first;

    QSignalSpy progress(&f.manager, &Manager::writeProgressChanged);
    QVERIFY(f.write(before, channels));
    // Reading before, writing, reading back: one rising progress to 100.
    QCOMPARE(progress.first().at(0).toInt(), 0);
    for (int i = 1; i < progress.count(); ++i)
        QVERIFY(progress.at(i).at(0).toInt() >= progress.at(i - 1).at(0).toInt());
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QVERIFY(f.radio.protocolErrors().isEmpty());

    const QVariantMap after = f.read();
    const QVariantMap channel = after.value(DecodedKey::FreqList).toList().first().toMap();
    QCOMPARE(channel.value("name").toString(), QStringLiteral("Изменён"));
    QCOMPARE(channel.value("recvFreq").toUInt(), 401125000u);
    // Everything else reads back as it was.
    QVariantMap expected = before;
    QVariantMap got = after;
    expected.remove(DecodedKey::FreqList);
    got.remove(DecodedKey::FreqList);
    QCOMPARE(got, expected);
    QCOMPARE(after.value(DecodedKey::FreqList).toList().mid(1),
        before.value(DecodedKey::FreqList).toList().mid(1));
}

void TestManagerDevice::writeRefusedWithoutImage()
{
    Fixture f;
    f.radio.setJournalEnabled(true);
    QSignalSpy wrote(&f.manager, &Manager::dataWroteToDevice);
    f.manager.writeDataToDevice(QVariantList(), QVariantList(), QVariantList(), QVariantList(),
        QVariantMap(), QVariantList());
    QCOMPARE(wrote.count(), 1);
    QCOMPARE(wrote.at(0).at(0).toBool(), false);
    QVERIFY(f.radio.journal().isEmpty());
    QCOMPARE(f.radio.contextUses(), 0);
}

void TestManagerDevice::writeAfterFailedConnection()
{
    Fixture f;
    const QVariantMap decoded = f.read();
    f.radio.unplug();
    QTest::ignoreMessage(QtDebugMsg, "Manager: err usb init");
    QVERIFY(!f.write(decoded, channelsForWrite(decoded)));
    f.radio.plug();
    QTest::ignoreMessage(QtDebugMsg, "usb.WritingData 0");
    QVERIFY(f.write(decoded, channelsForWrite(decoded)));
    QCOMPARE(f.read().value(DecodedKey::FreqList), decoded.value(DecodedKey::FreqList));
}

namespace {
void addFaultRows()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("unplugAfter");
    QTest::newRow("data phase stalls") << int(RadioEmulator::StallData) << 1 << 20 << -1;
    QTest::newRow("data phase times out") << int(RadioEmulator::TimeoutData) << 1 << 30 << -1;
    QTest::newRow("status 1 with sense data") << int(RadioEmulator::Status1) << 1 << 40 << -1;
    QTest::newRow("status 2 twice") << int(RadioEmulator::Status2) << 2 << 50 << -1;
    QTest::newRow("command wrapper stalls 5 times")
        << int(RadioEmulator::StallCommand) << 5 << 60 << -1;
    QTest::newRow("command wrapper times out")
        << int(RadioEmulator::TimeoutCommand) << 1 << 70 << -1;
    QTest::newRow("status stalls 10 times") << int(RadioEmulator::StallStatus) << 10 << 80 << -1;
    QTest::newRow("unplugged mid transfer") << -1 << 0 << 0 << 300;
}
} // namespace

void TestManagerDevice::faultDuringRead_data()
{
    addFaultRows();
    QTest::newRow("short answer") << int(RadioEmulator::ShortAnswer) << 1 << 10 << -1;
}

void TestManagerDevice::faultDuringRead()
{
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, after);
    QFETCH(int, unplugAfter);
    Fixture f;
    const QVariantMap first = f.read();
    const QVariantList image = f.manager.image();
    const BlockMap blocks = f.manager.blocks();

    // Change the radio so that a broken read cannot pass for the old one.
    QVariantList changed = image;
    QByteArray block = changed[10].toByteArray();
    block[100] = char(block[100] ^ 0x5A);
    changed[10] = block;
    QVERIFY(f.radio.setImage(changed));
    if (fault >= 0)
        f.radio.injectFault(RadioEmulator::Fault(fault), count, after);
    if (unplugAfter >= 0)
        f.radio.unplugAfterTransfers(unplugAfter);

    QSignalSpy done(&f.manager, &Manager::dataReadyReadFromDevice);
    QSignalSpy type(&f.manager, &Manager::signalTypeRadio);
    QTest::ignoreMessage(QtDebugMsg, "Manager: read from the radio incomplete, image discarded");
    f.manager.readDataFromDevice();
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toBool(), false);
    QCOMPARE(type.count(), 0);
    QCOMPARE(f.manager.image(), image);
    QCOMPARE(f.manager.blocks(), blocks);
    QVERIFY(!first.isEmpty());
}

void TestManagerDevice::faultDuringWrite_data() { addFaultRows(); }

void TestManagerDevice::faultDuringWrite()
{
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, after);
    QFETCH(int, unplugAfter);
    Fixture f;
    const QVariantMap decoded = f.read();
    if (fault >= 0)
        f.radio.injectFault(RadioEmulator::Fault(fault), count, after);
    if (unplugAfter >= 0)
        f.radio.unplugAfterTransfers(unplugAfter);
    QSignalSpy wrote(&f.manager, &Manager::dataWroteToDevice);
    f.write(decoded, channelsForWrite(decoded));
    QCOMPARE(wrote.count(), 1);
    QCOMPARE(wrote.at(0).at(0).toBool(), false);
}

void TestManagerDevice::gpsLogRead()
{
    Fixture f;
    QSignalSpy started(&f.manager, &Manager::signalGPSRead);
    QSignalSpy ready(&f.manager, &Manager::signalGPSReadyRead);
    QSignalSpy empty(&f.manager, &Manager::signalGPSEmpty);
    QSignalSpy progress(&f.manager, &Manager::readProgressChanged);
    f.manager.readGPSData();
    QCOMPARE(started.count(), 1);
    QCOMPARE(empty.count(), 0);
    QCOMPARE(ready.count(), 1);
    QVERIFY(ready.at(0).at(0).toList().size() > 100);
    QCOMPARE(f.pauses, (QList<int> { 1000, 2000 }));
    QVERIFY(progress.count() >= 2 && progress.count() < 248); // paced, not one per block
    QCOMPARE(progress.first().at(0).toInt(), 0);
    QCOMPARE(progress.last().at(0).toInt(), 100);

    // The points are kept for a later request.
    QSignalSpy again(&f.manager, &Manager::signalGPSReadyRead);
    f.manager.SlotGPSReadyRead();
    QCOMPARE(again.at(0).at(0), ready.at(0).at(0));

    // An erased log: no points, no pause after.
    f.pauses.clear();
    QVERIFY(f.radio.setGpsLog(QVariantList()));
    f.manager.readGPSData();
    QCOMPARE(empty.count(), 1);
    QCOMPARE(ready.count(), 2); // the read, then the request above; nothing from this read
    QCOMPARE(f.pauses, QList<int> { 1000 });
}

void TestManagerDevice::gpsLogFaults_data() { addFaultRows(); }

void TestManagerDevice::gpsLogFaults()
{
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, after);
    QFETCH(int, unplugAfter);
    Fixture f;
    f.manager.readGPSData();
    QSignalSpy kept(&f.manager, &Manager::signalGPSReadyRead);
    f.manager.SlotGPSReadyRead();
    const QVariant points = kept.at(0).at(0);

    if (fault >= 0)
        f.radio.injectFault(RadioEmulator::Fault(fault), count, after);
    if (unplugAfter >= 0)
        f.radio.unplugAfterTransfers(unplugAfter);
    QSignalSpy failed(&f.manager, &Manager::signalGPSReadFailed);
    QSignalSpy ready(&f.manager, &Manager::signalGPSReadyRead);
    QSignalSpy empty(&f.manager, &Manager::signalGPSEmpty);
    f.manager.readGPSData();
    QCOMPARE(failed.count(), 1);
    QCOMPARE(ready.count(), 0);
    QCOMPARE(empty.count(), 0);
    f.manager.SlotGPSReadyRead();
    QCOMPARE(ready.at(0).at(0), points);
}

void TestManagerDevice::secondOperationInsideTransferRefused()
{
    Fixture f;
    QList<QByteArray> events;
    bool nested = false;
    connect(&f.manager, &Manager::readProgressChanged, this, [&] {
        if (nested)
            return;
        nested = true;
        // A click handled by the event-loop pass inside the transfer.
        f.manager.readDataFromDevice();
        f.manager.readGPSData();
        events << (f.manager.slotDefaultSettings() == -1 ? "default refused" : "default ran");
    });
    connect(&f.manager, &Manager::dataReadyReadFromDevice, this,
        [&events](bool ok) { events << (ok ? "read ok" : "read refused"); });
    connect(
        &f.manager, &Manager::signalGPSReadFailed, this, [&events] { events << "gps refused"; });
    f.manager.readDataFromDevice();
    QCOMPARE(events,
        (QList<QByteArray> { "read refused", "gps refused", "default refused", "read ok" }));

    // A write started inside a write's transfer is refused as well.
    const QVariantMap decoded = f.read();
    QList<bool> outcomes;
    bool inner = false;
    connect(&f.manager, &Manager::writeProgressChanged, this, [&] {
        if (inner)
            return;
        inner = true;
        f.write(decoded, channelsForWrite(decoded));
    });
    connect(
        &f.manager, &Manager::dataWroteToDevice, this, [&outcomes](bool ok) { outcomes << ok; });
    f.write(decoded, channelsForWrite(decoded));
    QCOMPARE(outcomes, (QList<bool> { false, true }));
}

void TestManagerDevice::defaultImageByBandAndModel_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("secondBand");
    QTest::addColumn<bool>("kr4700");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("model");
    QTest::newRow("400-470") << 0 << 0 << false << 0 << "KR4500";
    QTest::newRow("136-174") << 3 << 0 << false << 0 << "KR4500";
    QTest::newRow("KR4700 400-470") << 0 << 0 << true << 0 << "KR4700";
    QTest::newRow("KR4700 136-174") << 3 << 0 << true << 0 << "KR4700";
    QTest::newRow("band code 1") << 1 << 0 << false << -1 << "";
    QTest::newRow("band code 2") << 2 << 0 << true << -1 << "";
    QTest::newRow("second identity query gives 136-174") << 0xFF << 3 << false << 0 << "KR4500";
}

void TestManagerDevice::defaultImageByBandAndModel()
{
    QFETCH(int, band);
    QFETCH(int, secondBand);
    QFETCH(bool, kr4700);
    QFETCH(int, result);
    QFETCH(QString, model);
    Fixture f;
    f.radio.setBandCode(quint8(band));
    f.radio.setSecondBandCode(quint8(secondBand));
    f.radio.setKr4700(kr4700);
    QSignalSpy decoded(&f.manager, &Manager::dataReadyReadFromDevice);
    QSignalSpy type(&f.manager, &Manager::signalTypeRadio);
    QCOMPARE(f.manager.slotDefaultSettings(), result);
    QVERIFY(f.pauses.isEmpty()); // the identity is read at once
    if (result != 0) {
        QCOMPARE(decoded.count(), 0);
        QVERIFY(f.manager.image().isEmpty());
        return;
    }
    QCOMPARE(decoded.count(), 1);
    const QVariantMap map = decoded.at(0).at(1).toMap();
    QCOMPARE(map.value(DecodedKey::NameModel).toString(), model);
    QCOMPARE(type.at(0).at(0).toInt(), kr4700 ? 1 : 0);
    const bool vhf = (band == 3 || secondBand == 3);
    const uint freq
        = map.value(DecodedKey::FreqList).toList().first().toMap().value("recvFreq").toUInt();
    QVERIFY2(
        vhf ? (freq >= 136000000 && freq <= 174000000) : (freq >= 400000000 && freq <= 470000000),
        qPrintable(QString::number(freq)));
    // A default image alone does not permit a write.
    QVERIFY(!f.manager.hasImage());
    QSignalSpy wrote(&f.manager, &Manager::dataWroteToDevice);
    f.manager.writeDataToDevice(QVariantList(), QVariantList(), QVariantList(), QVariantList(),
        QVariantMap(), QVariantList());
    QCOMPARE(wrote.at(0).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(TestManagerDevice)
#include "tst_manager_device.moc"
