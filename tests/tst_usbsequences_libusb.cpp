// The memory sequences of CUsb against the emulated radio through the real
// libusb (umockdev): frames on the wire, progress, round trips, faults.
#include <QSignalSpy>
#include <QLoggingCategory>
#include <QtTest>

#include <memory>

#include "emulator/radioemulator.h"
#include "emulator/umockdevradio.h"
#include "support/logcapture.h"
#include "support/radiojournal.h"
#include "support/umockdevrig.h"
#include "usb/cusb.h"

using Fault = RadioEmulator::Fault;
using Kind = RadioEmulator::Transfer::Kind;

namespace {

const QString kUnknown = QStringLiteral(
    "send_mass_storage_command: don't know how to handle this command (255, length 0)\n");
const QString kSent16 = QStringLiteral("send_mass_storage_command:  sent 16 CDB bytes");
const QString kStatus0 = QStringLiteral("  Mass Storage Status: 0  ");

QList<int> progressValues(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &args : spy)
        values.append(args.at(0).toInt());
    return values;
}

QList<int> expectedProgress(int blocks, bool final100)
{
    QList<int> values;
    for (int n = 0; n < blocks; ++n)
        values.append(100 * n / blocks);
    if (final100)
        values.append(100);
    return values;
}

// Memory with a distinct pattern in every block, so that stale or shifted
// bytes show.
QVariantList patternImage()
{
    QVariantList image = RadioEmulator::blankImage();
    for (int n = 0; n < RadioEmulator::ImageBlocks; ++n) {
        QByteArray b = image[1 + n].toByteArray();
        for (int i = 12; i < 2060; ++i)
            b[i] = char((i * 7 + n * 13) | 1);
        image[1 + n] = b;
    }
    return image;
}

} // namespace

class TestUsbSequencesLibusb : public QObject, private UmockdevRig {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The lines of every exchange are part of what is checked.
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));
    }
    void init();
    void cleanup();

    void framesOnTheWire();
    void writeFrameOnTheWire();
    void readImageSequence();
    void readGpsLogSequence();
    void writeThenRead();
    void faultsInSequences_data();
    void faultsInSequences();
    void ignoredWriteShowsOnReadBack();

};

void TestUsbSequencesLibusb::init() { QVERIFY(start()); }

void TestUsbSequencesLibusb::cleanup() { stop(); }

void TestUsbSequencesLibusb::framesOnTheWire()
{
    radio->setBandCode(0xFF);
    QCOMPARE(usb->init(), 0);
    usb->readIdentity();
    usb->readImage();
    usb->writeImage({});
    usb->readGpsLog();
    const QList<QByteArray> frames = framesSent(radio->journal());
    QCOMPARE(frames.size(), 2 + 179 + 179 + 247);
    QCOMPARE(frames[0], hex("A1 00 04 00 00 00 00 A4"));
    QCOMPARE(frames[1], hex("A1 00 03 00 00 00 00 A4"));
    QCOMPARE(frames[2], hex("A1 00 04 00 00 00 00 A4"));
    QCOMPARE(frames[3], hex("A1 00 15 00 00 00 00 A4"));
    QCOMPARE(frames[4], hex("A1 00 10 00 04 00 00 08 00 00 08 A4"));
    QCOMPARE(frames[180], hex("A1 00 10 00 04 00 B0 08 00 00 B8 A4"));
    QCOMPARE(frames[182], hex("A1 00 14 00 00 00 00 A4"));
    QCOMPARE(frames[183].size(), 2064);
    QCOMPARE(frames[360], hex("A1 00 1B 00 04 00 00 08 00 00 08 A4"));
    QCOMPARE(frames.last(), hex("A1 00 1B 00 04 00 F6 08 00 00 FE A4"));
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestUsbSequencesLibusb::writeFrameOnTheWire()
{
    QVariantList image = patternImage();
    QMap<quint16, QByteArray> blocks;
    for (int n = 0; n < RadioEmulator::ImageBlocks; ++n)
        blocks.insert(quint16(n), image[1 + n].toByteArray());
    QCOMPARE(usb->init(), 0);
    QCOMPARE(usb->writeImage(blocks), 0);
    const QList<QByteArray> frames = framesSent(radio->journal());
    QCOMPARE(frames.size(), 179);
    for (int n : { 0, 5, 176 }) {
        const QByteArray f = frames[2 + n];
        const QByteArray b = blocks[quint16(n)];
        QCOMPARE(f.size(), 2064);
        QCOMPARE(f.left(7), hex("A1 00 11 08 08 00") + char(n));
        QCOMPARE(f.mid(7, 6), hex("00 05 80 00 08 00"));
        QCOMPARE(f.mid(13, 2048), b.mid(12, 2048));
        quint32 sum = 0;
        for (int i = 6; i <= 2060; ++i)
            sum += quint8(f[i]);
        QCOMPARE(quint8(f[2061]), quint8((sum >> 8) & 0xFF));
        QCOMPARE(quint8(f[2062]), quint8(sum & 0xFF));
        QCOMPARE(f[2063], b[2062]);
    }
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestUsbSequencesLibusb::readImageSequence()
{
    QVERIFY(radio->setImage(patternImage()));
    QCOMPARE(usb->init(), 0);
    QSignalSpy spy(usb.get(), &CUsb::readProgressChanged);
    bool complete = false;
    const QVariantList list = usb->readImage(&complete).toList();
    QVERIFY(complete);
    QCOMPARE(progressValues(spy), expectedProgress(177, false));
    QCOMPARE(list, radio->image());
    for (int n = 0; n < 177; ++n)
        QCOMPARE(int(quint8(list[1 + n].toByteArray()[7])), n);
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestUsbSequencesLibusb::readGpsLogSequence()
{
    QCOMPARE(usb->init(), 0);
    QSignalSpy spy(usb.get(), &CUsb::readProgressChanged);
    bool complete = false;
    const QVariantList list = usb->readGpsLog(&complete).toList();
    QVERIFY(complete);
    QCOMPARE(progressValues(spy), expectedProgress(247, true));
    QCOMPARE(list, radio->gpsLog());
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestUsbSequencesLibusb::writeThenRead()
{
    const QVariantList image = patternImage();
    QMap<quint16, QByteArray> blocks;
    for (int n = 0; n < 177; ++n)
        blocks.insert(quint16(n), image[1 + n].toByteArray());
    QCOMPARE(usb->init(), 0);
    QSignalSpy spy(usb.get(), &CUsb::writeProgressChanged);
    QCOMPARE(usb->writeImage(blocks), 0);
    QCOMPARE(progressValues(spy), expectedProgress(177, true));
    usb->deInit();

    QCOMPARE(usb->init(), 0);
    bool complete = false;
    const QVariantList read = usb->readImage(&complete).toList();
    QVERIFY(complete);
    for (int n = 0; n < 177; ++n)
        QCOMPARE(read[1 + n].toByteArray().mid(12, 2048), blocks[quint16(n)].mid(12, 2048));
    QCOMPARE(radio->protocolErrors(), QStringList());
}

// A fault in the middle of a sequence must show in its result; the lists
// keep their shape.
void TestUsbSequencesLibusb::faultsInSequences_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("after");

    // Every fault kind once, spread over the three sequences.
    QTest::newRow("image: stalled data phase")
        << "image" << int(RadioEmulator::StallData) << 1 << 60;
    QTest::newRow("image: status 1") << "image" << int(RadioEmulator::Status1) << 1 << 60;
    QTest::newRow("image: short answer") << "image" << int(RadioEmulator::ShortAnswer) << 1 << 40;
    QTest::newRow("image: unplugged") << "image" << -2 << 1 << 200;
    QTest::newRow("gps: wrong tag twice") << "gps" << int(RadioEmulator::WrongTag) << 2 << 60;
    QTest::newRow("gps: short answer") << "gps" << int(RadioEmulator::ShortAnswer) << 1 << 246;
    QTest::newRow("gps: stalled wrapper five times")
        << "gps" << int(RadioEmulator::StallCommand) << 5 << 60;
    QTest::newRow("write: stalled data phase")
        << "write" << int(RadioEmulator::StallData) << 1 << 60;
    QTest::newRow("write: unplugged") << "write" << -2 << 1 << 200;
    QTest::newRow("write: status 2 on a block")
        << "write" << int(RadioEmulator::Status2) << 1 << 100;
    QTest::newRow("write: identity query fails")
        << "write" << int(RadioEmulator::Status1) << 1 << 0;
    QTest::newRow("write: open-write fails") << "write" << int(RadioEmulator::Status1) << 1 << 2;
    QTest::newRow("write: last block fails") << "write" << int(RadioEmulator::Status1) << 1 << 180;
}

void TestUsbSequencesLibusb::faultsInSequences()
{
    QFETCH(QString, sequence);
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, after);

    QCOMPARE(usb->init(), 0);
    if (fault == -2)
        radio->unplugAfterTransfers(after);
    else
        radio->injectFault(Fault(fault), count, after);

    LogCapture log; // keeps the expected error lines out of the test output
    bool complete = true;
    if (sequence == "image") {
        const QVariantList list = usb->readImage(&complete).toList();
        QCOMPARE(list.size(), 178);
        QCOMPARE(list[0].toByteArray().size(), 265);
        for (int n = 1; n < 178; ++n)
            QCOMPARE(list[n].toByteArray().size(), 2063);
    } else if (sequence == "gps") {
        const QVariantList list = usb->readGpsLog(&complete).toList();
        QCOMPARE(list.size(), 247);
        for (const QVariant &v : list)
            QCOMPARE(v.toByteArray().size(), 2063);
    } else {
        QMap<quint16, QByteArray> blocks;
        const QVariantList image = radio->image();
        for (int n = 0; n < 177; ++n)
            blocks.insert(quint16(n), image[1 + n].toByteArray());
        complete = usb->writeImage(blocks) == 0;
    }
    QVERIFY(!complete);
}

void TestUsbSequencesLibusb::ignoredWriteShowsOnReadBack()
{
    // The radio acknowledges the write but keeps the old content: nothing on
    // the wire tells, only reading back does.
    const QVariantList image = patternImage();
    QMap<quint16, QByteArray> blocks;
    for (int n = 0; n < 177; ++n)
        blocks.insert(quint16(n), image[1 + n].toByteArray());
    radio->injectFault(RadioEmulator::IgnoreWrite, 1, 10);
    QCOMPARE(usb->init(), 0);
    QCOMPARE(usb->writeImage(blocks), 0);
    const QVariantList read = usb->readImage().toList();
    QVERIFY(read[11].toByteArray().mid(12, 2048) != blocks[10].mid(12, 2048));
    QCOMPARE(read[12].toByteArray().mid(12, 2048), blocks[11].mid(12, 2048));
}

QTEST_GUILESS_MAIN(TestUsbSequencesLibusb)
#include "tst_usbsequences_libusb.moc"
