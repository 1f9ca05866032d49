// CUsb against the emulated radio through the real libusb (umockdev): the
// exchanges and the memory sequences on the wire, progress, faults.
#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <linux/capability.h>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

#include "codeplug/blockmap.h"
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
BlockMap patternBlocks()
{
    BlockMap blocks;
    const QVariantList image = RadioEmulator::blankImage();
    for (int n = 0; n < RadioEmulator::ImageBlocks; ++n) {
        QByteArray b = image[1 + n].toByteArray();
        for (int i = 12; i < 2060; ++i)
            b[i] = char((i * 7 + n * 13) | 1);
        blocks.insert(quint16(n), b);
    }
    return blocks;
}

} // namespace

class TestUsbLibusb : public QObject, private UmockdevRig {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The lines of every exchange are part of what is checked.
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));
    }
    void init();
    void cleanup();

    void initWithoutRadio_data();
    void initWithoutRadio();
    void cliSaysAccessDenied();
    void vendorAndSenseWrappers();
    void tagsAcrossOperations();
    void transportFaults_data();
    void transportFaults();
    void framesOnTheWire();
    void writeThenReadBack();
    void faultsInSequences_data();
    void faultsInSequences();
};

void TestUsbLibusb::init() { QVERIFY(start()); }

void TestUsbLibusb::cleanup() { stop(); }

void TestUsbLibusb::initWithoutRadio_data()
{
    // Absent, or present but its device node may not be opened by this user.
    QTest::addColumn<bool>("denied");
    QTest::addColumn<int>("openError");
    QTest::addColumn<QStringList>("lines");
    const QStringList absent = { "init(): code=0", "Err: dev_handle == NULL" };
    QTest::newRow("absent") << false << int(LIBUSB_ERROR_NO_DEVICE) << absent;
    QTest::newRow("access denied") << true << int(LIBUSB_ERROR_ACCESS)
                                   << absent + QStringList("Err: no permission to open the radio");
}

void TestUsbLibusb::initWithoutRadio()
{
    QFETCH(bool, denied);
    QFETCH(int, openError);
    QFETCH(QStringList, lines);
    if (denied)
        adapter->setOpenDenied(true);
    else
        adapter->unplug();
    QSignalSpy accessDenied(usb.get(), &CUsb::accessDenied);
    LogCapture log;
    const int result = usb->init();
    adapter->setOpenDenied(false);
    QCOMPARE(result, 2);
    QCOMPARE(log.lines(), lines);
    QCOMPARE(usb->lastOpenError(), openError);
    QCOMPARE(accessDenied.count(), denied ? 1 : 0);
    QVERIFY(usb->handle() == nullptr);
    QVERIFY(!usb->isOpen());
    // A later attempt opens the radio once it is plugged in and permitted.
    adapter->plug();
    QCOMPARE(usb->init(), 0);
    QCOMPARE(usb->lastOpenError(), 0);
}

// orvane-cli, started from here, sees the same mocked radio through its own
// real libusb and must name the missing udev rule rather than "not found".
void TestUsbLibusb::cliSaysAccessDenied()
{
    // A program started by root gets back the override of file modes unless
    // it is gone from the bounding set (for every later child of this test).
    if (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 && geteuid() == 0)
        QSKIP("root without CAP_SETPCAP: a started program would not be refused");
    adapter->setOpenDenied(true);
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/orvane-cli",
        { "gps-read", "-o", QDir::temp().filePath("orvane-denied.cdc") });
    QVERIFY(cli.waitForFinished(60000));
    adapter->setOpenDenied(false);
    const QStringList lines = QString::fromUtf8(cli.readAllStandardError()).split('\n');
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY2(lines.value(0).startsWith(
                 "orvane-cli: the radio is plugged in but this user may not open it"),
        qPrintable(lines.value(0)));
    QVERIFY(lines.value(0).contains("udev rule 60-orvane.rules"));
    QCOMPARE(
        lines.value(1), QStringLiteral("orvane-cli: could not read the GPS log from the radio"));
}

void TestUsbLibusb::vendorAndSenseWrappers()
{
    QCOMPARE(usb->init(), 0);
    radio->injectFault(RadioEmulator::Status1, 1, 1); // the answer fetch fails
    LogCapture log;
    usb->readIdentity();
    const QList<BotCommand> cmds = botCommands(radio->journal());
    QCOMPARE(cmds.size(), 3);
    // Frame out: 8 bytes, flags 0x00, length 16, FF 2A ... 47 50.
    QCOMPARE(cmds[0].wrapper,
        hex("55534243 01000000 08000000 00 00 10 FF2A0000000000000000000000004750"));
    QCOMPARE(cmds[1].wrapper,
        hex("55534243 02000000 09010000 80 00 10 FF280000000000000000000000004750"));
    // REQUEST SENSE: length 6, flags 0x80, 18 bytes, 03 00 00 00 12 00.
    QCOMPARE(cmds[2].wrapper,
        hex("55534243 03000000 12000000 80 00 06 030000001200 00000000000000000000"));
    QCOMPARE(cmds[2].statusReads, 1);
    QCOMPARE(log.lines().mid(0, 2), QStringList({ kUnknown, kSent16 }));
}

void TestUsbLibusb::tagsAcrossOperations()
{
    QCOMPARE(usb->init(), 0);
    usb->readIdentity();
    radio->injectFault(RadioEmulator::Status1, 1, 0); // adds a REQUEST SENSE wrapper
    usb->readIdentity();
    QCOMPARE(usb->deInit(), 0);
    QCOMPARE(usb->init(), 0);
    usb->readIdentity();
    usb->deInit();
    const QList<BotCommand> cmds = botCommands(radio->journal());
    // The failed frame leaves no answer, so the fetch fails too: two sense requests.
    QCOMPARE(cmds.size(), 2 + 4 + 2);
    for (int i = 0; i < cmds.size(); ++i)
        QCOMPARE(cmds[i].tag, quint32(i + 1));
    QCOMPARE(usb->tagCounter(), quint32(cmds.size() + 1));
}

// Each row: which half of an exchange is hit (the frame send, or the answer
// fetch after a clean send), the fault, and what must follow.
void TestUsbLibusb::transportFaults_data()
{
    QTest::addColumn<bool>("fetch");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("clearOut");
    QTest::addColumn<int>("clearIn");
    QTest::addColumn<int>("wrappers");

    const QString status1 = "  Mass Storage Status: 1  ";
    const QStringList sense = { "send_mass_storage_command:  sent 6 CDB bytes",
        "get_sense: received  18", "get_sense: ERR 2 4 1", kStatus0 };
    const QString mismatch = " get_mass_storage_status: ERR mismatched tags (expected 2 , "
                             "received 65538 )";

    QTest::newRow("send clean") << false << -1 << 0 << 0
                                << QStringList { kUnknown, kSent16, kStatus0 } << 0 << 0 << 1;
    QTest::newRow("wrapper stalls twice")
        << false << int(RadioEmulator::StallCommand) << 2 << 0
        << QStringList { kUnknown, kSent16, kStatus0 } << 2 << 0 << 1;
    QTest::newRow("wrapper stalls five times")
        << false << int(RadioEmulator::StallCommand) << 5 << -1
        << QStringList { kUnknown, "send_mass_storage_command: Err -9", "SendToMassStorage: err 1" }
        << 5 << 0 << 0;
    QTest::newRow("wrapper times out")
        << false << int(RadioEmulator::TimeoutCommand) << 1 << -1
        << QStringList { kUnknown, "send_mass_storage_command: Err -7", "SendToMassStorage: err 1" }
        << 0 << 0 << 0;
    QTest::newRow("frame data stalls")
        << false << int(RadioEmulator::StallData) << 1 << -1
        << QStringList { kUnknown, kSent16, "SendToUSB: err -9 ", "SendToMassStorage: err 2" } << 1
        << 0 << 1;
    QTest::newRow("frame command fails with status 1")
        << false << int(RadioEmulator::Status1) << 1 << -1
        << (QStringList { kUnknown, kSent16, status1 } + sense
               + QStringList { "SendToMassStorage: err 2" })
        << 0 << 0 << 2;
    QTest::newRow("answer wrapper stalls five times")
        << true << int(RadioEmulator::StallCommand) << 5 << -1
        << QStringList { kUnknown, "send_mass_storage_command: Err -9", "SendToMassStorage: err 4" }
        << 5 << 0 << 0;
    QTest::newRow("answer data stalls")
        << true << int(RadioEmulator::StallData) << 1 << -1
        << QStringList { kUnknown, kSent16, "SendToUSB: err -9 ", "SendToMassStorage: err 5" } << 0
        << 1 << 1;
    QTest::newRow("answer data times out")
        << true << int(RadioEmulator::TimeoutData) << 1 << -1
        << QStringList { kUnknown, kSent16, "SendToUSB: err -7 ", "SendToMassStorage: err 5" } << 0
        << 1 << 1;
    QTest::newRow("status stalls twice")
        << true << int(RadioEmulator::StallStatus) << 2 << 0
        << QStringList { kUnknown, kSent16, kStatus0 } << 0 << 2 << 1;
    QTest::newRow("status stalls five times, second read succeeds")
        << true << int(RadioEmulator::StallStatus) << 5 << 0
        << QStringList { kUnknown, kSent16, " get_mass_storage_status: ERR -9", kStatus0 } << 0 << 5
        << 1;
    QTest::newRow("status stalls ten times")
        << true << int(RadioEmulator::StallStatus) << 10 << -1
        << QStringList { kUnknown, kSent16, " get_mass_storage_status: ERR -9",
               " get_mass_storage_status: ERR -9", "SendToMassStorage: err 5" }
        << 0 << 10 << 1;
    QTest::newRow("status times out once")
        << true << int(RadioEmulator::TimeoutStatus) << 1 << 0
        << QStringList { kUnknown, kSent16, " get_mass_storage_status: ERR -7", kStatus0 } << 0 << 0
        << 1;
    QTest::newRow("wrong tag, then the right one")
        << true << int(RadioEmulator::WrongTag) << 1 << 0
        << QStringList { kUnknown, kSent16, mismatch, kStatus0 } << 0 << 0 << 1;
    QTest::newRow("wrong tag twice")
        << true << int(RadioEmulator::WrongTag) << 2 << -1
        << QStringList { kUnknown, kSent16, mismatch, mismatch, "SendToMassStorage: err 5" } << 0
        << 0 << 1;
    QTest::newRow("status 1 with sense data") << true << int(RadioEmulator::Status1) << 1 << -1
                                              << (QStringList { kUnknown, kSent16, status1 } + sense
                                                     + QStringList { "SendToMassStorage: err 5" })
                                              << 0 << 0 << 2;
    QTest::newRow("status 2") << true << int(RadioEmulator::Status2) << 1 << -1
                              << QStringList { kUnknown, kSent16, "  Mass Storage Status: 2  ",
                                     " get_mass_storage_status: ERR -7",
                                     "SendToMassStorage: err 5" }
                              << 0 << 0 << 1;
    QTest::newRow("radio unplugged before the data phase")
        << true << -2 << 1 << -1
        << QStringList { kUnknown, kSent16, "SendToUSB: err -4 ", "SendToMassStorage: err 5" } << 0
        << 0 << 1;
}

void TestUsbLibusb::transportFaults()
{
    QFETCH(bool, fetch);
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, result);
    QFETCH(QStringList, lines);
    QFETCH(int, clearOut);
    QFETCH(int, clearIn);
    QFETCH(int, wrappers);

    QCOMPARE(usb->init(), 0);
    if (fetch)
        QCOMPARE(usb->SendToMassStorage(CUsb::buildFrame(0x04)), 0);
    radio->clearJournal();
    if (fault == -2)
        radio->unplugAfterTransfers(1);
    else if (fault >= 0)
        radio->injectFault(Fault(fault), count);

    LogCapture log;
    QByteArray answer(265, 'x');
    const int r = fetch ? usb->SendToMassStorage(answer, 265)
                        : usb->SendToMassStorage(CUsb::buildFrame(0x04));
    QCOMPARE(r, result);
    QCOMPARE(log.lines(), lines);
    const auto journal = radio->journal();
    QCOMPARE(countTransfers(journal, Kind::ClearHalt, 0x01), clearOut);
    QCOMPARE(countTransfers(journal, Kind::ClearHalt, 0x81), clearIn + (fault == -2 ? 1 : 0));
    QCOMPARE(botCommands(journal).size(), wrappers);
    if (fetch && result == 0)
        QCOMPARE(answer, radio->image().at(0).toByteArray());
}

void TestUsbLibusb::framesOnTheWire()
{
    radio->setBandCode(0xFF);
    radio->setSecondBandCode(3);
    QCOMPARE(usb->init(), 0);
    bool complete = false;
    QCOMPARE(quint8(usb->readIdentity(&complete).at(94)), quint8(3));
    QVERIFY(complete);
    usb->readImage();
    usb->writeImage({});
    QSignalSpy progress(usb.get(), &CUsb::readProgressChanged);
    QCOMPARE(usb->readGpsLog(&complete).toList(), radio->gpsLog());
    QVERIFY(complete);
    QCOMPARE(progressValues(progress), expectedProgress(247, true));
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

void TestUsbLibusb::writeThenReadBack()
{
    const BlockMap blocks = patternBlocks();
    QCOMPARE(usb->init(), 0);
    QSignalSpy writeProgress(usb.get(), &CUsb::writeProgressChanged);
    QCOMPARE(usb->writeImage(blocks), 0);
    QCOMPARE(progressValues(writeProgress), expectedProgress(177, true));
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
    usb->deInit();

    QCOMPARE(usb->init(), 0);
    QSignalSpy readProgress(usb.get(), &CUsb::readProgressChanged);
    bool complete = false;
    const QVariantList read = usb->readImage(&complete).toList();
    QVERIFY(complete);
    QCOMPARE(progressValues(readProgress), expectedProgress(177, false));
    QCOMPARE(read, radio->image());
    for (int n = 0; n < 177; ++n) {
        QCOMPARE(int(quint8(read[1 + n].toByteArray()[7])), n);
        QCOMPARE(read[1 + n].toByteArray().mid(12, 2048), blocks[quint16(n)].mid(12, 2048));
    }
    QCOMPARE(radio->protocolErrors(), QStringList());
}

// A fault in the middle of a sequence must show in its result; the lists
// keep their shape.
void TestUsbLibusb::faultsInSequences_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<int>("fault"); // -2: unplugged
    QTest::addColumn<int>("after");
    QTest::newRow("image: short answer") << "image" << int(RadioEmulator::ShortAnswer) << 40;
    QTest::newRow("image: unplugged") << "image" << -2 << 200;
    QTest::newRow("gps: last answer short") << "gps" << int(RadioEmulator::ShortAnswer) << 246;
    QTest::newRow("write: unplugged") << "write" << -2 << 200;
    QTest::newRow("write: status 2 on a block") << "write" << int(RadioEmulator::Status2) << 100;
    QTest::newRow("write: identity query fails") << "write" << int(RadioEmulator::Status1) << 0;
    QTest::newRow("write: open-write fails") << "write" << int(RadioEmulator::Status1) << 2;
    QTest::newRow("write: last block fails") << "write" << int(RadioEmulator::Status1) << 180;
}

void TestUsbLibusb::faultsInSequences()
{
    QFETCH(QString, sequence);
    QFETCH(int, fault);
    QFETCH(int, after);
    QCOMPARE(usb->init(), 0);
    if (fault == -2)
        radio->unplugAfterTransfers(after);
    else
        radio->injectFault(Fault(fault), 1, after);
    LogCapture log; // keeps the expected error lines out of the test output
    bool complete = true;
    QVariantList list;
    if (sequence == "image")
        list = usb->readImage(&complete).toList().mid(1);
    else if (sequence == "gps")
        list = usb->readGpsLog(&complete).toList();
    else
        complete = usb->writeImage(patternBlocks()) == 0;
    QVERIFY(!complete);
    QCOMPARE(list.size(), sequence == "image" ? 177 : sequence == "gps" ? 247 : 0);
    for (const QVariant &v : list)
        QCOMPARE(v.toByteArray().size(), 2063);
}

QTEST_GUILESS_MAIN(TestUsbLibusb)
#include "tst_usb_libusb.moc"
