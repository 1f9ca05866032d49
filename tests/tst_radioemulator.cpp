// The emulated radio driven directly at the USB level, as a host would: it
// must check what it receives and answer as the radio does.
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include "emulator/radioemulator.h"
#include "support/logcapture.h"
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

} // namespace

class TestRadioEmulator : public QObject {
    Q_OBJECT

private slots:
    void init();

    void statusCarriesTheTag();
    void badWrappersStallBothPipes_data();
    void badWrappersStallBothPipes();
    void senseAfterFailure();
    void unfetchedAnswerDropped();
    void badFramesRejected_data();
    void badFramesRejected();
    void answers_data();
    void answers();
    void blockWriteStored();
    void blockWriteRejected_data();
    void blockWriteRejected();
    void memoryPersists();
    void imageShapeChecked();
    void kr4700Setting();
    void gpsTrackLayout();
    void unplugAfterTransfers();

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

void TestRadioEmulator::statusCarriesTheTag()
{
    Host host { *radio };
    QCOMPARE(host.out(wrapper(0xDEADBEEF, 0, 0x00, 6, hex("00"))), 0);
    QByteArray csw(13, '\0');
    QCOMPARE(host.in(csw), 0);
    QCOMPARE(csw, hex("55534253 EFBEADDE 00000000 00"));
    QCOMPARE(radio->protocolErrors(), QStringList());
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
}

void TestRadioEmulator::unfetchedAnswerDropped()
{
    // The identity answer is never fetched; the next frame fails. Its fetch
    // must not hand out the old identity.
    Host host { *radio };
    QCOMPARE(host.send(CUsb::buildFrame(0x04)), 0);
    radio->injectFault(RadioEmulator::Status1);
    QCOMPARE(host.send(CUsb::buildFrame(0x15)), 1);
    host.sense();
    QByteArray answer;
    QCOMPARE(host.fetch(answer, 265), 1);
    QVERIFY(answer.isEmpty());
}

void TestRadioEmulator::badFramesRejected_data()
{
    QTest::addColumn<QByteArray>("frame");
    const QByteArray good = blockRequest(0x10, 3);
    QByteArray start = good;
    start[0] = char(0xA2);
    QByteArray sum = good;
    sum[10] = char(sum[10] + 1);
    QByteArray end = good;
    end[11] = char(0xA5);
    QByteArray length = good;
    length[4] = 5;
    QTest::newRow("start byte") << start;
    QTest::newRow("checksum") << sum;
    QTest::newRow("end byte") << end;
    QTest::newRow("length") << length;
    QTest::newRow("block 177") << blockRequest(0x10, 177);
    QTest::newRow("GPS block 247") << blockRequest(0x1B, 247);
    QTest::newRow("unknown command") << CUsb::buildFrame(0x77);
}

void TestRadioEmulator::badFramesRejected()
{
    QFETCH(QByteArray, frame);
    Host host { *radio };
    QCOMPARE(host.send(CUsb::buildFrame(0x15)), 0);
    QByteArray answer;
    QCOMPARE(host.fetch(answer, 10), 0);
    QCOMPARE(host.send(frame), 1);
    QCOMPARE(host.sense().mid(12, 2), hex("2600"));
    QCOMPARE(host.fetch(answer, 2063), 1);
    QVERIFY(!radio->protocolErrors().isEmpty());
}

void TestRadioEmulator::answers_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("byte7");
    QTest::newRow("identity") << CUsb::buildFrame(0x04) << 265 << -1;
    QTest::newRow("open read") << CUsb::buildFrame(0x15) << 10 << -1;
    QTest::newRow("open write") << CUsb::buildFrame(0x14) << 10 << -1;
    QTest::newRow("block 0") << blockRequest(0x10, 0) << 2063 << 0;
    QTest::newRow("block 176") << blockRequest(0x10, 176) << 2063 << 176;
    QTest::newRow("GPS block 246") << blockRequest(0x1B, 246) << 2063 << 246;
}

void TestRadioEmulator::answers()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, length);
    QFETCH(int, byte7);
    Host host { *radio };
    QByteArray answer;
    if (frame.at(2) == char(0x10)) {
        QCOMPARE(host.send(CUsb::buildFrame(0x15)), 0);
        QCOMPARE(host.fetch(answer, 10), 0);
    }
    QCOMPARE(host.send(frame), 0);
    QCOMPARE(host.fetch(answer, length), 0);
    QCOMPARE(answer.size(), length);
    QVERIFY(frameIsSound(answer));
    QCOMPARE(answer[2], frame[2]);
    if (byte7 >= 0)
        QCOMPARE(int(quint8(answer[7])), byte7);
    if (frame.at(2) == char(0x10))
        QCOMPARE(answer.mid(12, 2048), radio->blockContent(byte7));
    QCOMPARE(radio->protocolErrors(), QStringList());
}

void TestRadioEmulator::blockWriteStored()
{
    Host host { *radio };
    QByteArray block = radio->image().at(1 + 42).toByteArray();
    for (int i = 12; i < 2060; ++i)
        block[i] = char(i * 3);
    QByteArray answer;
    QCOMPARE(host.send(CUsb::buildFrame(0x14)), 0);
    QCOMPARE(host.fetch(answer, 10), 0);
    QCOMPARE(host.send(CUsb::buildWriteFrame(42, block)), 0);
    QCOMPARE(radio->blockContent(42), block.mid(12, 2048));
    QVERIFY(frameIsSound(radio->image().at(1 + 42).toByteArray()));
    QCOMPARE(radio->blocksWritten(), 1);
}

void TestRadioEmulator::blockWriteRejected_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("opened");
    const QByteArray block = RadioEmulator::blankImage().at(1 + 9).toByteArray();
    QByteArray sum = CUsb::buildWriteFrame(9, block);
    sum[2062] = char(sum[2062] ^ 1);
    // Frames with one wrong field and a checksum that fits them.
    auto reseal = [](QByteArray f) {
        quint16 s = 0;
        for (int i = 5; i <= 2060; ++i)
            s = quint16(s + quint8(f[i]));
        f[2061] = char(s >> 8);
        f[2062] = char(s);
        return f;
    };
    QByteArray number = CUsb::buildWriteFrame(9, block);
    number[6] = char(177);
    number = reseal(number);
    QByteArray fixed = CUsb::buildWriteFrame(9, block);
    fixed[8] = 0x06;
    fixed = reseal(fixed);
    QTest::newRow("checksum") << sum << true;
    QTest::newRow("block number") << number << true;
    QTest::newRow("fixed bytes") << fixed << true;
    QTest::newRow("short frame") << CUsb::buildWriteFrame(9, block).left(2000) << true;
    QTest::newRow("write not opened") << CUsb::buildWriteFrame(9, block) << false;
}

void TestRadioEmulator::blockWriteRejected()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, opened);
    Host host { *radio };
    const QVariantList before = radio->image();
    QByteArray answer;
    if (opened) {
        QCOMPARE(host.send(CUsb::buildFrame(0x14)), 0);
        QCOMPARE(host.fetch(answer, 10), 0);
    }
    QCOMPARE(host.send(frame), 1);
    QCOMPARE(radio->image(), before);
    QCOMPARE(radio->blocksWritten(), 0);
}

void TestRadioEmulator::memoryPersists()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("radio.ovc");
    QByteArray written;
    {
        RadioEmulator first;
        QVERIFY(first.setMemoryFile(path)); // absent: written from the memory
        QVERIFY(QFile::exists(path));
        LogCapture quiet;
        CUsb usb;
        usb.setApi(first.libusbApi());
        QCOMPARE(usb.init(), 0);
        QMap<quint16, QByteArray> blocks;
        const QVariantList image = first.image();
        for (int n = 0; n < 177; ++n)
            blocks.insert(quint16(n), image[1 + n].toByteArray());
        blocks[100].replace(12, 5, "HELLO");
        QCOMPARE(usb.writeImage(blocks), 0);
        usb.deInit();
        written = blocks[100].mid(12, 2048);
    }
    // A later radio (as in a later process) starts from the file.
    RadioEmulator second;
    QVERIFY(second.setMemoryFile(path));
    QCOMPARE(second.blockContent(100), written);

    // The file is a stream holding one list of byte arrays.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDataStream in(&file);
    QVariantList list;
    in >> list;
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(list.size(), 178);
    QCOMPARE(list.at(1 + 100).toByteArray().mid(12, 5), QByteArray("HELLO"));
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

void TestRadioEmulator::kr4700Setting()
{
    QVERIFY(!radio->isKr4700());
    QVERIFY(!radio->image().at(1).toByteArray().contains("KR4700"));
    radio->setKr4700(true);
    QVERIFY(radio->isKr4700());
    QVERIFY(radio->image().at(1).toByteArray().contains("KR4700"));
    QVERIFY(radio->image().at(0).toByteArray().at(95) != 0);
    QVERIFY(frameIsSound(radio->image().at(1).toByteArray()));
    radio->setKr4700(false);
    QVERIFY(!radio->image().at(1).toByteArray().contains("KR4700"));
    QCOMPARE(int(radio->image().at(0).toByteArray().at(95)), 0);
    const QVariantList blank = RadioEmulator::blankImage(true, 3);
    QVERIFY(blank.at(1).toByteArray().contains("KR4700"));
    QCOMPARE(int(blank.at(0).toByteArray().at(94)), 3);
    QVERIFY(blank.at(0).toByteArray().at(95) != 0);
}

void TestRadioEmulator::gpsTrackLayout()
{
    const QVariantList log = radio->gpsLog();
    QCOMPARE(log.size(), 247);
    int records = 0;
    QByteArray previousTime;
    for (int n = 0; n < log.size(); ++n) {
        const QByteArray b = log[n].toByteArray();
        QCOMPARE(b.size(), 2063);
        QCOMPARE(int(quint8(b[7])), n);
        QVERIFY(frameIsSound(b));
        for (int slot = 0; slot < 128; ++slot) {
            const QByteArray r = b.mid(12 + 16 * slot, 16);
            if (r == QByteArray(16, char(0xFF)))
                continue;
            QVERIFY2(n == 0 || slot > 0, "slot 0 of later blocks stays erased");
            float lat, lng;
            std::memcpy(&lat, r.constData(), 4); // stored little-endian, as here
            std::memcpy(&lng, r.constData() + 5, 4);
            QCOMPARE(r[4], 'N');
            QCOMPARE(r[9], 'E');
            QVERIFY(lat > 5500 && lat < 5600); // ddmm.mmmm near 55°
            QVERIFY(lng > 3700 && lng < 3800);
            QVERIFY(lat - 100 * int(lat / 100) < 60);
            QCOMPARE(r.mid(10, 3), hex("19 0B 13")); // 25.11.19 ...
            QVERIFY(r.mid(13, 3) > previousTime || previousTime.isEmpty());
            previousTime = r.mid(13, 3);
            ++records;
        }
    }
    QCOMPARE(records, 300);
}

void TestRadioEmulator::unplugAfterTransfers()
{
    Host host { *radio };
    radio->unplugAfterTransfers(2);
    QCOMPARE(host.out(wrapper(1, 8, 0, 16, kSendCdb)), 0);
    QCOMPARE(host.out(CUsb::buildFrame(0x04)), 0);
    QByteArray csw(13, '\0');
    QCOMPARE(host.in(csw), int(LIBUSB_ERROR_NO_DEVICE));
    QVERIFY(!radio->isPresent());
    QCOMPARE(radio->claimInterface(0), int(LIBUSB_ERROR_NO_DEVICE));
}

QTEST_GUILESS_MAIN(TestRadioEmulator)
#include "tst_radioemulator.moc"
