// CUsb against the emulated radio through the real libusb (umockdev).
#include <QProcess>
#include <QLoggingCategory>
#include <QtTest>

#include <linux/capability.h>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

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
    void initAndDeInitLog();
    void initInterfaceBusy();
    void vendorAndSenseWrappers();
    void tagsAcrossOperations();
    void transportFaults_data();
    void transportFaults();
    void identitySecondQuery_data();
    void identitySecondQuery();
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

void TestUsbLibusb::initAndDeInitLog()
{
    LogCapture log;
    QCOMPARE(usb->init(), 0);
    QVERIFY(radio->isClaimed());
    QCOMPARE(usb->deInit(), 0);
    QCOMPARE(log.lines(), QStringList({ "init(): code=0", "init(): code=0", "deInit(): code=0" }));
    QVERIFY(!radio->isClaimed());
}

void TestUsbLibusb::initInterfaceBusy()
{
    radio->setInterfaceBusy(true);
    LogCapture log;
    QCOMPARE(usb->init(), 2);
    QCOMPARE(
        log.lines(), QStringList({ "init(): code=0", "init(): code=0", "Err: claim_interface" }));
    radio->setInterfaceBusy(false);
    QCOMPARE(usb->init(), 0);
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

void TestUsbLibusb::identitySecondQuery_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("answerBand");
    QTest::newRow("400-470") << 0 << 1 << 0;
    QTest::newRow("136-174") << 3 << 1 << 3;
    QTest::newRow("ask the second query") << 0xFF << 2 << 3;
}

void TestUsbLibusb::identitySecondQuery()
{
    QFETCH(int, band);
    QFETCH(int, frames);
    QFETCH(int, answerBand);
    radio->setBandCode(quint8(band));
    radio->setSecondBandCode(3);
    radio->setKr4700(true);
    QCOMPARE(usb->init(), 0);
    bool complete = false;
    const QByteArray id = usb->readIdentity(&complete);
    QVERIFY(complete);
    QCOMPARE(id.size(), 265);
    QCOMPARE(int(quint8(id[94])), answerBand);
    QVERIFY(id[95] != 0);
    QCOMPARE(framesSent(radio->journal()).size(), frames);
}

QTEST_GUILESS_MAIN(TestUsbLibusb)
#include "tst_usb_libusb.moc"
