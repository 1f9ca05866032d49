// CUsb and the emulated radio: through the real libusb (umockdev) the exchanges and their faults;
// through the in-process table what libusb hides (timeouts, context, handle, the radio's own checks).
#include <QtTest>

#include <algorithm>
#include <linux/capability.h>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

#include "codeplug/blockmap.h"
#include "emulator/umockdevradio.h"
#include "support/logcapture.h"
#include "support/radiorig.h"
#include "usb/cusb.h"

using R = RadioEmulator;
using Kind = R::Transfer::Kind;

namespace {

// The transfers a radio saw, regrouped as Bulk-Only commands.
struct BotCommand {
    QByteArray wrapper; // the 31-byte command wrapper
    QByteArray dataOut; // bytes the host sent in the data phase
    quint32 tag() const { return qFromLittleEndian<quint32>(wrapper.constData() + 4); }
};

QList<BotCommand> botCommands(const QList<R::Transfer> &journal)
{
    QList<BotCommand> commands;
    for (const R::Transfer &t : journal) {
        if (t.result != 0)
            continue;
        if (t.kind == Kind::Out && t.data.size() == 31 && t.data.startsWith("USBC"))
            commands.append({ t.data, {} });
        else if (t.kind == Kind::Out && !commands.isEmpty())
            commands.last().dataOut += t.data;
    }
    return commands;
}

// Radio frames the host sent (data of FF 2A commands), in order.
QList<QByteArray> framesSent(const QList<R::Transfer> &journal)
{
    QList<QByteArray> frames;
    for (const BotCommand &c : botCommands(journal))
        if (c.wrapper.mid(15, 2) == "\xFF\x2A")
            frames.append(c.dataOut);
    return frames;
}

int clearHalts(const QList<R::Transfer> &journal, quint8 endpoint)
{
    return int(std::count_if(journal.begin(), journal.end(),
        [&](const R::Transfer &t) { return t.kind == Kind::ClearHalt && t.endpoint == endpoint; }));
}

QByteArray hex(const char *spaced) { return QByteArray::fromHex(spaced); }

const QString kUnknown
    = "send_mass_storage_command: don't know how to handle this command (%1, length 0)\n";
const QString kSent = "send_mass_storage_command:  sent %1 CDB bytes";

// The transport's log lines by short names, so that a table row fits a line.
QStringList logLines(const QString &names)
{
    const QHash<QString, QStringList> line = {
        { "U", { kUnknown.arg(255) } }, { "S", { kSent.arg(16) } },
        { "0", { "  Mass Storage Status: 0  " } }, { "1", { "  Mass Storage Status: 1  " } },
        { "2", { "  Mass Storage Status: 2  " } },
        { "K", // REQUEST SENSE after a failed command, then its status
            { "send_mass_storage_command:  sent 6 CDB bytes", "get_sense: received  18",
                "get_sense: ERR 2 4 1", "  Mass Storage Status: 0  " } },
        { "M", { " get_mass_storage_status: ERR mismatched tags (expected 2 , received 65538 )" } },
        { "P", { " get_mass_storage_status: ERR -%1" } }, // status read failed
        { "C", { "send_mass_storage_command: Err -%1" } }, // command wrapper failed
        { "D", { "SendToUSB: err -%1 " } }, // data phase failed
        { "E", { "SendToMassStorage: err %1" } }, // gave up at step n
    };
    QStringList out;
    for (const QString &n : names.split(' '))
        out += line.contains(n) ? line[n] : QStringList(line[n.left(1)][0].arg(n.mid(1)));
    return out;
}

QList<int> expectedProgress(int blocks, bool final100)
{
    QList<int> values;
    for (int n = 0; n < blocks; ++n)
        values.append(100 * n / blocks);
    return final100 ? values << 100 : values;
}

// Memory with a distinct pattern in every block, so that stale or shifted
// bytes show.
BlockMap patternBlocks()
{
    BlockMap blocks;
    const QVariantList image = R::blankImage();
    for (int n = 0; n < R::ImageBlocks; ++n) {
        QByteArray b = image[1 + n].toByteArray();
        for (int i = 12; i < 2060; ++i)
            b[i] = char((i * 7 + n * 13) | 1);
        blocks.insert(quint16(n), b);
    }
    return blocks;
}

// The block write frame's checksum, over bytes 6..2060 (the number's low
// byte, the fixed bytes and the content).
quint16 frameSum(const QByteArray &f)
{
    quint16 s = 0;
    for (int i = 6; i <= 2060; ++i)
        s = quint16(s + quint8(f[i]));
    return s;
}

// The radio's table with the radio described as another vendor's device
// with the radio's product id.
const LibusbApi *g_base = nullptr;
LibusbApi asStranger(const LibusbApi *base)
{
    g_base = base;
    LibusbApi api = *base;
    api.get_device_descriptor = [](libusb_device *d, libusb_device_descriptor *desc) {
        const int result = g_base->get_device_descriptor(d, desc);
        desc->idVendor = 0x1234;
        return result;
    };
    return api;
}

QByteArray withByte(QByteArray f, int at, char value)
{
    f[at] = value;
    return f;
}

// Each row of transportFaults: which half of an exchange is hit (the frame
// send, or the answer fetch after a clean send), the fault (-2: unplugged
// before the data phase) and its count, and what must follow: result, log
// (see logLines), halts cleared on each pipe, command wrappers the radio took.
const struct TransportFault {
    const char *name;
    bool fetch;
    int fault, count, result;
    const char *lines;
    int clearOut, clearIn, wrappers;
} kTransportFaults[] = {
    { "send clean", false, -1, 0, 0, "U S 0", 0, 0, 1 },
    { "wrapper stalls twice", false, R::StallCommand, 2, 0, "U S 0", 2, 0, 1 },
    { "wrapper stalls five times", false, R::StallCommand, 5, -1, "U C9 E1", 5, 0, 0 },
    { "wrapper times out", false, R::TimeoutCommand, 1, -1, "U C7 E1", 0, 0, 0 },
    { "frame data stalls", false, R::StallData, 1, -1, "U S D9 E2", 1, 0, 1 },
    { "frame status 1", false, R::Status1, 1, -1, "U S 1 K E2", 0, 0, 2 },
    { "answer wrapper stalls 5 times", true, R::StallCommand, 5, -1, "U C9 E4", 5, 0, 0 },
    { "answer data stalls", true, R::StallData, 1, -1, "U S D9 E5", 0, 1, 1 },
    { "answer data times out", true, R::TimeoutData, 1, -1, "U S D7 E5", 0, 1, 1 },
    { "status stalls twice", true, R::StallStatus, 2, 0, "U S 0", 0, 2, 1 },
    { "status stalls 5 times, read again", true, R::StallStatus, 5, 0, "U S P9 0", 0, 5, 1 },
    { "status stalls 10 times", true, R::StallStatus, 10, -1, "U S P9 P9 E5", 0, 10, 1 },
    { "status times out once", true, R::TimeoutStatus, 1, 0, "U S P7 0", 0, 0, 1 },
    { "wrong tag, then the right one", true, R::WrongTag, 1, 0, "U S M 0", 0, 0, 1 },
    { "wrong tag twice", true, R::WrongTag, 2, -1, "U S M M E5", 0, 0, 1 },
    { "answer status 1", true, R::Status1, 1, -1, "U S 1 K E5", 0, 0, 2 },
    { "answer status 2", true, R::Status2, 1, -1, "U S 2 P7 E5", 0, 0, 1 },
    { "unplugged before the data phase", true, -2, 1, -1, "U S D4 E5", 0, 0, 1 },
};

} // namespace

class TestUsbLibusb : public QObject {
    Q_OBJECT
    // A radio reached by the real libusb through umockdev and a CUsb talking
    // to it; the in-process tests point the CUsb at the radio's table.
    std::unique_ptr<LogCapture> quiet; // the transport logs every command
    std::unique_ptr<R> radio;
    std::unique_ptr<UmockdevRadio> adapter;
    std::unique_ptr<CUsb> usb;

    void useTable()
    {
        usb->setApi(radio->libusbApi());
        QCOMPARE(usb->init(), 0);
    }

private slots:
    void initTestCase()
    {
        // The lines of every exchange are part of what is checked.
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));
    }
    void init()
    {
        quiet.reset(new LogCapture);
        radio.reset(new R);
        radio->setJournalEnabled(true);
        adapter.reset(new UmockdevRadio(radio.get()));
        usb.reset(new CUsb);
        QVERIFY(adapter->isValid());
    }
    void cleanup()
    {
        usb.reset();
        adapter.reset();
        radio.reset();
        quiet.reset();
    }

    // orvane-cli sees the same mocked radio through its own real libusb and
    // must name the missing udev rule rather than "not found".
    void cliSaysAccessDenied()
    {
        // A program started by root gets back the override of file modes
        // unless it is gone from the bounding set (for every later child).
        if (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 && geteuid() == 0)
            QSKIP("root without CAP_SETPCAP: a started program would not be refused");
        adapter->setOpenDenied(true);
        QProcess cli;
        cli.start(QCoreApplication::applicationDirPath() + "/orvane-cli",
            { "gps-read", "-o", QDir::temp().filePath("orvane-denied.cdc") });
        QVERIFY(cli.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(cli.readAllStandardError()).split('\n');
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(lines.value(0).startsWith("orvane-cli: the radio is plugged in but this user may "
                                           "not open it")
                && lines.value(0).contains("udev rule 60-orvane.rules"),
            qPrintable(lines.value(0)));
        QCOMPARE(lines.value(1), QString("orvane-cli: could not read the GPS log from the radio"));
    }

    void vendorAndSenseWrappers()
    {
        QCOMPARE(usb->init(), 0);
        radio->injectFault(R::Status1, 1, 1); // the answer fetch fails
        usb->readIdentity();
        const QList<BotCommand> cmds = botCommands(radio->journal());
        QCOMPARE(cmds.size(), 3);
        // Frame out (8 bytes, flags 0x00), answer in (265 bytes, 0x80), REQUEST SENSE (18 bytes).
        QCOMPARE(cmds[0].wrapper,
            hex("55534243 01000000 08000000 00 00 10 FF2A0000000000000000000000004750"));
        QCOMPARE(cmds[1].wrapper,
            hex("55534243 02000000 09010000 80 00 10 FF280000000000000000000000004750"));
        QCOMPARE(cmds[2].wrapper,
            hex("55534243 03000000 12000000 80 00 06 030000001200 00000000000000000000"));
        // Tags go on across connections.
        QCOMPARE(usb->deInit(), 0);
        QCOMPARE(usb->init(), 0);
        usb->readIdentity();
        QCOMPARE(botCommands(radio->journal()).last().tag(), 5u);
        QCOMPARE(usb->tagCounter(), 6u);
    }

    void transportFaults_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kTransportFaults)); ++i)
            QTest::newRow(kTransportFaults[i].name) << i;
    }
    void transportFaults()
    {
        QFETCH(int, row);
        const TransportFault &t = kTransportFaults[row];
        QCOMPARE(usb->init(), 0);
        if (t.fetch)
            QCOMPARE(usb->SendToMassStorage(CUsb::buildFrame(0x04)), 0);
        radio->clearJournal();
        if (t.fault == -2)
            radio->unplugAfterTransfers(1);
        else if (t.fault >= 0)
            radio->injectFault(R::Fault(t.fault), t.count);

        LogCapture log;
        QByteArray answer(265, 'x');
        QCOMPARE(t.fetch ? usb->SendToMassStorage(answer, 265)
                         : usb->SendToMassStorage(CUsb::buildFrame(0x04)),
            t.result);
        QCOMPARE(log.lines(), logLines(t.lines));
        const auto journal = radio->journal();
        QCOMPARE(clearHalts(journal, 0x01), t.clearOut);
        QCOMPARE(clearHalts(journal, 0x81), t.clearIn + (t.fault == -2 ? 1 : 0));
        QCOMPARE(botCommands(journal).size(), t.wrappers);
        if (t.fetch && t.result == 0)
            QCOMPARE(answer, radio->image().at(0).toByteArray());
    }

    // The identity (band 0xFF asks the second query), a write, its read-back
    // and the GPS log on the wire. Written: block 7 missing, 8 short (content
    // bytes 12..99 only), 9 longer than a block: each sent as a whole frame,
    // zero-padded or cut.
    void sequencesOnTheWire()
    {
        radio->setBandCode(0xFF);
        radio->setSecondBandCode(3);
        BlockMap blocks = patternBlocks();
        blocks.remove(7);
        blocks[8] = blocks[8].left(100);
        blocks[9] += QByteArray(900, char(0x44));
        const auto padded = [&](int n) {
            return (blocks.value(quint16(n)) + QByteArray(2063, '\0')).mid(12, 2048);
        };
        QCOMPARE(usb->init(), 0);
        bool complete = false;
        QCOMPARE(quint8(usb->readIdentity(&complete).at(94)), quint8(3));
        QVERIFY(complete);
        QSignalSpy writeProgress(usb.get(), &CUsb::writeProgressChanged);
        QCOMPARE(usb->writeImage(blocks), 0);
        QCOMPARE(values(writeProgress), expectedProgress(177, true));
        QSignalSpy readProgress(usb.get(), &CUsb::readProgressChanged);
        const QVariantList read = usb->readImage(&complete).toList();
        QVERIFY(complete);
        QCOMPARE(values(readProgress), expectedProgress(177, false));
        QCOMPARE(read, radio->image());
        for (int n = 0; n < 177; ++n)
            QCOMPARE(read[1 + n].toByteArray().mid(12, 2048), padded(n));
        readProgress.clear();
        QCOMPARE(usb->readGpsLog(&complete).toList(), radio->gpsLog());
        QVERIFY(complete);
        QCOMPARE(values(readProgress), expectedProgress(247, true));

        const QList<QByteArray> frames = framesSent(radio->journal());
        QCOMPARE(frames.size(), 2 + 179 + 179 + 247);
        const QByteArray identity = hex("A1 00 04 00 00 00 00 A4");
        QCOMPARE(frames.mid(0, 4),
            QList<QByteArray>({ identity, hex("A1 00 03 00 00 00 00 A4"), identity,
                hex("A1 00 14 00 00 00 00 A4") }));
        for (int n : { 0, 5, 7, 8, 9, 176 }) {
            const QByteArray f = frames[4 + n];
            QCOMPARE(f.size(), 2064);
            QCOMPARE(f.left(13), hex("A1 00 11 08 08 00") + char(n) + hex("00 05 80 00 08 00"));
            QCOMPARE(f.mid(13, 2048), padded(n));
            const quint16 sum = frameSum(f);
            QCOMPARE(f.mid(2061), QByteArray() + char(sum >> 8) + char(sum) + char(0xA4));
        }
        QCOMPARE(frames[181], identity);
        QCOMPARE(frames[182], hex("A1 00 15 00 00 00 00 A4"));
        QCOMPARE(frames[183], hex("A1 00 10 00 04 00 00 08 00 00 08 A4"));
        QCOMPARE(frames[359], hex("A1 00 10 00 04 00 B0 08 00 00 B8 A4"));
        QCOMPARE(frames[360], hex("A1 00 1B 00 04 00 00 08 00 00 08 A4"));
        QCOMPARE(frames.last(), hex("A1 00 1B 00 04 00 F6 08 00 00 FE A4"));
        QCOMPARE(radio->protocolErrors(), QStringList());
    }

    // A fault in the middle of a sequence must show in its result; the lists
    // keep their shape.
    void faultsInSequences_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("fault"); // -2: unplugged
        QTest::addColumn<int>("after");
        QTest::newRow("image: short answer") << "image" << int(R::ShortAnswer) << 40;
        QTest::newRow("image: unplugged") << "image" << -2 << 200;
        QTest::newRow("gps: last answer short") << "gps" << int(R::ShortAnswer) << 246;
        QTest::newRow("write: identity query fails") << "write" << int(R::Status1) << 0;
        QTest::newRow("write: open-write fails") << "write" << int(R::Status1) << 2;
        QTest::newRow("write: last block fails") << "write" << int(R::Status1) << 180;
    }
    void faultsInSequences()
    {
        QFETCH(QString, sequence);
        QFETCH(int, fault);
        QFETCH(int, after);
        QCOMPARE(usb->init(), 0);
        if (fault == -2)
            radio->unplugAfterTransfers(after);
        else
            radio->injectFault(R::Fault(fault), 1, after);
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

    // A failed open (absent, busy, denied for lack of a udev rule; another
    // vendor's denied device with the radio's product id is not the radio)
    // leaves nothing open and no context in use; a clean retry works, its
    // transfers wait 200 ms at most, the destructor releases it.
    void connectionLifetime_data()
    {
        QTest::addColumn<int>("why"); // 0 opens, 1 absent, 2 busy, 3 a stranger denied, 4 denied
        QTest::addColumn<int>("query"); // the kernel driver query's answer
        QTest::addColumn<int>("detaches");
        QTest::newRow("opens, no driver") << 0 << 0 << 0;
        QTest::newRow("opens, driver active") << 0 << 1 << 1;
        QTest::newRow("opens, query not supported") << 0 << int(LIBUSB_ERROR_NOT_SUPPORTED) << 1;
        QTest::newRow("absent") << 1 << 0 << 0;
        QTest::newRow("interface busy") << 2 << 0 << 0;
        QTest::newRow("a stranger denied") << 3 << 0 << 0;
        QTest::newRow("access denied") << 4 << 0 << 0;
    }
    void connectionLifetime()
    {
        QFETCH(int, why);
        QFETCH(int, query);
        QFETCH(int, detaches);
        const LibusbApi api = asStranger(radio->libusbApi());
        usb->setApi(why == 3 ? &api : radio->libusbApi());
        radio->setKernelDriverQueryResult(query);
        radio->setInterfaceBusy(why == 2);
        radio->setOpenDenied(why >= 3);
        if (why == 1)
            radio->unplug();
        QSignalSpy accessDenied(usb.get(), &CUsb::accessDenied);
        LogCapture log;
        QCOMPARE(usb->deInit(), 0); // never opened: nothing to do
        for (int attempt = 0; attempt < (why ? 3 : 0); ++attempt)
            QCOMPARE(usb->init(), 2);
        QStringList lines = { "init(): code=0", "Err: dev_handle == NULL" };
        if (why == 2)
            lines = QStringList { "init(): code=0", "init(): code=0", "Err: claim_interface" };
        if (why == 4)
            lines << "Err: no permission to open the radio";
        QCOMPARE(why ? log.lines().mid(0, lines.size()) : log.lines(), why ? lines : QStringList());
        QVERIFY(usb->handle() == nullptr && !radio->isOpen() && !usb->isOpen());
        QCOMPARE(radio->contextUses(), 0);
        if (why != 2)
            QCOMPARE(usb->lastOpenError(),
                why == 4 ? LIBUSB_ERROR_ACCESS : why ? LIBUSB_ERROR_NO_DEVICE : 0);
        QCOMPARE(accessDenied.count(), why == 4 ? 3 : 0);
        radio->plug();
        radio->setInterfaceBusy(false);
        radio->setOpenDenied(false);
        usb->setApi(radio->libusbApi());
        QCOMPARE(usb->init(), 0);
        QCOMPARE(usb->lastOpenError(), 0);
        QCOMPARE(radio->detachCalls(), detaches);
        QVERIFY(radio->isClaimed());
        QCOMPARE(radio->contextUses(), 1);
        // Every transfer waits 200 ms at most.
        radio->injectFault(R::Status1, 1, 1);
        usb->readIdentity();
        usb->writeImage({});
        const auto journal = radio->journal();
        QVERIFY(journal.size() > 500
            && std::all_of(journal.begin(), journal.end(),
                [](const R::Transfer &t) { return t.kind == Kind::ClearHalt || t.timeout == 200u; }));
        usb.reset();
        QVERIFY(!radio->isClaimed() && !radio->isOpen());
        QCOMPARE(radio->contextUses(), 0);
    }

    // Command block length by opcode group (0: refused); wrappers on the IN
    // endpoint or without a command block are refused.
    void commandBlockLengths_data()
    {
        QTest::addColumn<int>("opcode");
        QTest::addColumn<int>("length");
        const int rows[][2] = { { 0x00, 6 }, { 0x1F, 6 }, { 0x20, 10 }, { 0x5F, 10 }, { 0x60, 0 },
            { 0x7F, 0 }, { 0x80, 16 }, { 0x9F, 16 }, { 0xA0, 12 }, { 0xBF, 12 }, { 0xC0, 0 },
            { 0xFE, 0 }, { 0xFF, 16 } };
        for (const auto &r : rows)
            QTest::addRow("0x%02X", r[0]) << r[0] << r[1];
    }
    void commandBlockLengths()
    {
        QFETCH(int, opcode);
        QFETCH(int, length);
        useTable();
        uint8_t cdb[16];
        for (int i = 0; i < 16; ++i)
            cdb[i] = uint8_t(i ? 0xB0 + i : opcode);
        const uint32_t before = usb->tagCounter();
        LogCapture log;
        const auto send = [&](uint8_t endpoint, const uint8_t *block, uint32_t *tag) {
            return usb->send_mass_storage_command(usb->handle(), endpoint, 0, block, 0x80, 0, tag);
        };
        QCOMPARE(send(0x81, cdb, nullptr), -1);
        QCOMPARE(send(0x01, nullptr, nullptr), -1);
        uint32_t tag = 0;
        QCOMPARE(send(0x01, cdb, &tag), length ? 0 : -1);
        QStringList expected { "send_mass_storage_command: cannot send command on IN endpoint\n" };
        if (length == 0 || opcode == 0xFF)
            expected << kUnknown.arg(opcode);
        if (length)
            expected << kSent.arg(length);
        QCOMPARE(log.lines(), expected);
        QCOMPARE(usb->tagCounter(), before + (length ? 1 : 0));
        const auto wrappers = botCommands(radio->journal());
        QCOMPARE(wrappers.size(), length ? 1 : 0);
        if (!length)
            return;
        QCOMPARE(tag, before);
        const QByteArray w = wrappers[0].wrapper;
        QCOMPARE(int(w[14]), length);
        QCOMPARE(w.mid(15),
            QByteArray(reinterpret_cast<const char *>(cdb), length).leftJustified(16, '\0'));
    }

    // Each frame the radio refuses fails its command, sets the sense code
    // (0x26: invalid field, 0x2C: out of sequence) and changes no memory.
    void radioRefusesBadFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("open"); // the opening command sent first, 0: none
        QTest::addColumn<QString>("sense"); // sense code and qualifier logged; empty: not checked
        const auto request = [](quint8 code, int n) {
            return CUsb::buildFrame(code, QByteArray(1, '\0') + char(n) + '\x08' + '\0');
        };
        const QByteArray read = request(0x10, 3);
        const QString invalid = "38 0";
        QTest::newRow("start byte") << withByte(read, 0, char(0xA0)) << 0x15 << invalid;
        QTest::newRow("checksum") << withByte(read, 10, 0x0A) << 0x15 << invalid;
        QTest::newRow("end byte") << withByte(read, 11, char(0xA5)) << 0x15 << invalid;
        QTest::newRow("length") << withByte(read, 4, 0x05) << 0x15 << invalid;
        QTest::newRow("block 177") << request(0x10, 177) << 0x15 << invalid;
        QTest::newRow("GPS block 247") << request(0x1B, 247) << 0x15 << invalid;
        QTest::newRow("unknown command") << CUsb::buildFrame(0x77) << 0x15 << invalid;

        const QByteArray write = CUsb::buildWriteFrame(9, patternBlocks().value(9));
        // A wrong field with a checksum that fits it.
        const auto resealed = [&write](int at, char value) {
            QByteArray f = withByte(write, at, value);
            const quint16 s = quint16(frameSum(f) + quint8(f[5]));
            return withByte(withByte(f, 2061, char(s >> 8)), 2062, char(s));
        };
        QTest::newRow("block write: checksum")
            << withByte(write, 2062, char(write[2062] ^ 1)) << 0x14 << QString();
        QTest::newRow("block write: number") << resealed(6, char(177)) << 0x14 << QString();
        QTest::newRow("block write: fixed bytes") << resealed(8, 0x06) << 0x14 << QString();
        QTest::newRow("block write: short") << write.left(2000) << 0x14 << QString();
        QTest::newRow("block write: not opened") << write << 0 << "44 0";
    }
    void radioRefusesBadFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, open);
        QFETCH(QString, sense);
        useTable();
        const QVariantList before = radio->image();
        QByteArray answer;
        if (open) {
            QCOMPARE(usb->SendToMassStorage(CUsb::buildFrame(quint8(open))), 0);
            QCOMPARE(usb->SendToMassStorage(answer, 10), 0);
        }
        LogCapture log;
        QCOMPARE(usb->SendToMassStorage(frame), -1);
        const QStringList lines = log.lines();
        QVERIFY2(sense.isEmpty() || lines.contains("get_sense: ERR 5 " + sense),
            qPrintable(lines.join('|')));
        QCOMPARE(usb->SendToMassStorage(answer, 2063), -1);
        QCOMPARE(radio->blocksWritten(), 0);
        QCOMPARE(radio->image(), before);
        QVERIFY(!radio->protocolErrors().isEmpty());
    }

};

QTEST_GUILESS_MAIN(TestUsbLibusb)
#include "tst_usb_libusb.moc"
