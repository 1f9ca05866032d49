// The emulated radio driven directly at the USB level, as a host would: it
// must check what it receives and answer as the radio does.
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include "emulator/radioemulator.h"
#include "support/radiojournal.h"
#include "usb/cusb.h"

namespace {

QByteArray wrapper(
    quint32 tag, quint32 length, quint8 flags, quint8 cbLength, const QByteArray &cdb)
{
    QByteArray w(31, '\0');
    std::memcpy(w.data(), "USBC", 4);
    for (int i = 0; i < 4; ++i) {
        w[4 + i] = char(tag >> (8 * i));
        w[8 + i] = char(length >> (8 * i));
    }
    w[12] = char(flags);
    w[14] = char(cbLength);
    std::memcpy(w.data() + 15, cdb.constData(), size_t(qMin(16, cdb.size())));
    return w;
}

const QByteArray kSendCdb = hex("FF2A0000000000000000000000004750");
const QByteArray kReceiveCdb = hex("FF280000000000000000000000004750");

// A minimal host: one command with its data phase and status.
struct Host {
    RadioEmulator &radio;
    quint32 tag = 100;

    int out(const QByteArray &data)
    {
        int actual = 0;
        return radio.bulkOut(
            0x01, reinterpret_cast<const unsigned char *>(data.constData()), data.size(), &actual);
    }
    int in(QByteArray &buffer)
    {
        int actual = 0;
        const int r = radio.bulkIn(
            0x81, reinterpret_cast<unsigned char *>(buffer.data()), buffer.size(), &actual);
        buffer.truncate(r == 0 ? actual : 0);
        return r;
    }
    // Returns the status byte (or -1 when the status wrapper was unusable).
    int status()
    {
        QByteArray csw(13, '\0');
        if (in(csw) != 0 || csw.size() != 13 || !csw.startsWith("USBS"))
            return -1;
        quint32 t = 0;
        for (int i = 0; i < 4; ++i)
            t |= quint32(quint8(csw[4 + i])) << (8 * i);
        return t == tag ? quint8(csw[12]) : -1;
    }
    int send(const QByteArray &frame)
    {
        ++tag;
        if (out(wrapper(tag, quint32(frame.size()), 0x00, 16, kSendCdb)) != 0 || out(frame) != 0)
            return -1;
        return status();
    }
    int fetch(QByteArray &answer, int length)
    {
        ++tag;
        answer = QByteArray(length, '\0');
        if (out(wrapper(tag, quint32(length), 0x80, 16, kReceiveCdb)) != 0 || in(answer) != 0)
            return -1;
        return status();
    }
    QByteArray sense()
    {
        ++tag;
        QByteArray data(18, '\0');
        out(wrapper(tag, 18, 0x80, 6, hex("030000001200")));
        in(data);
        status();
        return data;
    }
};

bool frameIsSound(const QByteArray &f)
{
    const int n = quint8(f[3]) << 8 | quint8(f[4]);
    if (f.size() != n + 8 || quint8(f[0]) != 0xA1 || quint8(f[f.size() - 1]) != 0xA4)
        return false;
    quint16 sum = 0;
    for (int i = 5; i < 5 + n; ++i)
        sum = quint16(sum + quint8(f[i]));
    return (quint8(f[5 + n]) << 8 | quint8(f[6 + n])) == sum;
}

QByteArray blockRequest(quint8 code, int n)
{
    QByteArray p(4, '\0');
    p[1] = char(n);
    p[2] = 0x08;
    return CUsb::buildFrame(code, p);
}

QByteArray flipped(QByteArray f, int at)
{
    f[at] = char(f[at] ^ 1);
    return f;
}

// A frame with one wrong field and a checksum that fits it.
QByteArray resealed(QByteArray f, int at, char value)
{
    f[at] = value;
    quint16 s = 0;
    for (int i = 5; i <= 2060; ++i)
        s = quint16(s + quint8(f[i]));
    f[2061] = char(s >> 8);
    f[2062] = char(s);
    return f;
}

} // namespace

class TestRadioEmulator : public QObject {
    Q_OBJECT

private slots:
    void init();
    void badWrappersStallBothPipes_data();
    void badWrappersStallBothPipes();
    void senseAfterFailure();
    void frames_data();
    void frames();
    void imageShapeChecked();

private:
    RadioEmulator *radio = nullptr;
    std::unique_ptr<RadioEmulator> owner;
};

void TestRadioEmulator::init()
{
    owner.reset(new RadioEmulator);
    radio = owner.get();
    QCOMPARE(radio->setConfiguration(1), 0);
    QCOMPARE(radio->claimInterface(0), 0);
}

void TestRadioEmulator::badWrappersStallBothPipes_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray badSignature = wrapper(1, 0, 0, 6, hex("00"));
    badSignature[3] = 'D';
    QTest::newRow("signature") << badSignature;
    QTest::newRow("30 bytes") << wrapper(1, 0, 0, 6, hex("00")).left(30);
    QTest::newRow("32 bytes") << wrapper(1, 0, 0, 6, hex("00")) + '\0';
}

void TestRadioEmulator::badWrappersStallBothPipes()
{
    QFETCH(QByteArray, data);
    Host host { *radio };
    host.out(data);
    QByteArray csw(13, '\0');
    QCOMPARE(host.in(csw), int(LIBUSB_ERROR_PIPE));
    QCOMPARE(host.out(wrapper(2, 0, 0, 6, hex("00"))), int(LIBUSB_ERROR_PIPE));
    QCOMPARE(radio->protocolErrors().size(), 1);
    // Cleared, the radio takes commands again.
    radio->clearHalt(0x01);
    radio->clearHalt(0x81);
    host.tag = 2;
    QCOMPARE(host.out(wrapper(2, 0, 0, 6, hex("00"))), 0);
    QCOMPARE(host.status(), 0);
}

void TestRadioEmulator::senseAfterFailure()
{
    Host host { *radio };
    radio->setSenseData(0x03, 0x11, 0x02);
    radio->injectFault(RadioEmulator::Status1);
    QCOMPARE(host.send(CUsb::buildFrame(0x04)), 1);
    QCOMPARE(host.sense(), hex("700003000000000A00000000 1102 00000000"));
    // Sense data is given once; the radio never got the query.
    QCOMPARE(host.sense().mid(12, 2), hex("0000"));
    QByteArray answer;
    QCOMPARE(host.fetch(answer, 265), 1);
    QCOMPARE(host.sense().mid(12, 2), hex("2C00"));

    // An answer never fetched is dropped when the next frame fails: its fetch
    // must not hand out the old identity.
    QCOMPARE(host.send(CUsb::buildFrame(0x04)), 0);
    radio->injectFault(RadioEmulator::Status1);
    QCOMPARE(host.send(CUsb::buildFrame(0x15)), 1);
    host.sense();
    QCOMPARE(host.fetch(answer, 265), 1);
    QVERIFY(answer.isEmpty());
}

void TestRadioEmulator::frames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("open"); // the opening command sent first, 0: none
    QTest::addColumn<int>("length"); // of the answer; 0: a stored block; -1: refused
    const QByteArray read = blockRequest(0x10, 3);
    QTest::newRow("identity") << CUsb::buildFrame(0x04) << 0 << 265;
    QTest::newRow("open read") << CUsb::buildFrame(0x15) << 0 << 10;
    QTest::newRow("open write") << CUsb::buildFrame(0x14) << 0 << 10;
    QTest::newRow("block 0") << blockRequest(0x10, 0) << 0x15 << 2063;
    QTest::newRow("block 176") << blockRequest(0x10, 176) << 0x15 << 2063;
    QTest::newRow("GPS block 246") << blockRequest(0x1B, 246) << 0 << 2063;
    QTest::newRow("start byte") << flipped(read, 0) << 0x15 << -1;
    QTest::newRow("checksum") << flipped(read, 10) << 0x15 << -1;
    QTest::newRow("end byte") << flipped(read, 11) << 0x15 << -1;
    QTest::newRow("length") << flipped(read, 4) << 0x15 << -1;
    QTest::newRow("block 177") << blockRequest(0x10, 177) << 0x15 << -1;
    QTest::newRow("GPS block 247") << blockRequest(0x1B, 247) << 0x15 << -1;
    QTest::newRow("unknown command") << CUsb::buildFrame(0x77) << 0x15 << -1;

    QByteArray block = RadioEmulator::blankImage().at(1 + 9).toByteArray();
    for (int i = 12; i < 2060; ++i)
        block[i] = char(i * 3);
    const QByteArray write = CUsb::buildWriteFrame(9, block);
    QTest::newRow("block write") << write << 0x14 << 0;
    QTest::newRow("block write: checksum") << flipped(write, 2062) << 0x14 << -1;
    QTest::newRow("block write: number") << resealed(write, 6, char(177)) << 0x14 << -1;
    QTest::newRow("block write: fixed bytes") << resealed(write, 8, 0x06) << 0x14 << -1;
    QTest::newRow("block write: short") << write.left(2000) << 0x14 << -1;
    QTest::newRow("block write: not opened") << write << 0 << -1;
}

void TestRadioEmulator::frames()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, open);
    QFETCH(int, length);
    Host host { *radio };
    const QVariantList before = radio->image();
    QByteArray answer;
    if (open) {
        QCOMPARE(host.send(CUsb::buildFrame(quint8(open))), 0);
        QCOMPARE(host.fetch(answer, 10), 0);
    }
    QCOMPARE(host.send(frame), length < 0 ? 1 : 0);
    QCOMPARE(radio->blocksWritten(), length == 0 ? 1 : 0);
    if (length < 0) {
        if (open != 0x14) // an invalid field, or a write without its opening
            QCOMPARE(host.sense().mid(12, 2), hex(open ? "2600" : "2C00"));
        QCOMPARE(host.fetch(answer, 2063), 1);
        QCOMPARE(radio->image(), before);
        QVERIFY(!radio->protocolErrors().isEmpty());
        return;
    }
    if (length == 0) {
        QCOMPARE(radio->blockContent(9), frame.mid(13, 2048));
        QVERIFY(frameIsSound(radio->image().at(1 + 9).toByteArray()));
    } else {
        QCOMPARE(host.fetch(answer, length), 0);
        QCOMPARE(answer.size(), length);
        QVERIFY(frameIsSound(answer));
        QCOMPARE(answer[2], frame[2]);
        if (length == 2063)
            QCOMPARE(answer[7], frame[6]);
        if (frame[2] == char(0x10))
            QCOMPARE(answer.mid(12, 2048), radio->blockContent(quint8(frame[6])));
    }
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestRadioEmulator::imageShapeChecked()
{
    const QVariantList before = radio->image();
    QVariantList shortList = before.mid(0, 177);
    QVERIFY(!radio->setImage(shortList));
    QVariantList badBlock = before;
    badBlock[5] = QByteArray(2062, '\0');
    QVERIFY(!radio->setImage(badBlock));
    QVariantList badIdentity = before;
    badIdentity[0] = QByteArray(264, '\0');
    QVERIFY(!radio->setImage(badIdentity));
    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.ovc"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a configuration file");
    junk.close();
    QVERIFY(!radio->loadFile(junk.fileName()));
    // A memory file that cannot be read is neither used nor overwritten.
    QVERIFY(!radio->setMemoryFile(junk.fileName()));
    QVERIFY(radio->memoryFile().isEmpty());
    QVERIFY(junk.open(QIODevice::ReadOnly));
    QCOMPARE(junk.readAll(), QByteArray("not a configuration file"));
    QCOMPARE(radio->image(), before);
}

QTEST_GUILESS_MAIN(TestRadioEmulator)
#include "tst_radioemulator.moc"
