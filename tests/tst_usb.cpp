// CUsb against the emulated radio through the in-process libusb table: the
// connection's bookkeeping and what the table shows that libusb hides
// (timeouts, context use, handle lifetime).
#include <QLoggingCategory>
#include <QtTest>

#include <memory>

#include "emulator/radioemulator.h"
#include "support/logcapture.h"
#include "support/radiojournal.h"
#include "usb/cusb.h"

using Kind = RadioEmulator::Transfer::Kind;

class TestUsb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The lines of every exchange are part of what is checked.
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.usb.exchange.debug=true"));
    }
    void init();
    void cleanup();

    void everyTransferUses200ms();
    void destructorReleasesOpenConnection();
    void failedInitLeavesNothingOpen_data();
    void failedInitLeavesNothingOpen();
    void kernelDriverQuery_data();
    void kernelDriverQuery();
    void commandBlockLengths_data();
    void commandBlockLengths();
    void wrapperRefusals();
    void failedFetchLeavesNoStaleBytes();
    void shortOrMissingBlockIsPadded();

private:
    std::unique_ptr<LogCapture> quiet;
    std::unique_ptr<RadioEmulator> radio;
    std::unique_ptr<CUsb> usb;
};

void TestUsb::init()
{
    quiet.reset(new LogCapture);
    radio.reset(new RadioEmulator);
    radio->setJournalEnabled(true);
    usb.reset(new CUsb);
    usb->setApi(radio->libusbApi());
}

void TestUsb::cleanup()
{
    usb.reset();
    radio.reset();
    quiet.reset();
}

void TestUsb::everyTransferUses200ms()
{
    QCOMPARE(usb->init(), 0);
    radio->injectFault(RadioEmulator::Status1, 1, 1);
    usb->readIdentity();
    usb->writeImage({});
    const auto journal = radio->journal();
    int transfers = 0;
    for (const RadioEmulator::Transfer &t : journal) {
        if (t.kind == Kind::ClearHalt)
            continue;
        QCOMPARE(t.timeout, 200u);
        ++transfers;
    }
    QVERIFY(transfers > 500);
}

void TestUsb::destructorReleasesOpenConnection()
{
    LogCapture log;
    QCOMPARE(usb->deInit(), 0); // never opened: nothing to do
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(radio->contextUses(), 0);
    QCOMPARE(usb->init(), 0);
    QVERIFY(radio->isClaimed());
    QCOMPARE(radio->contextUses(), 1);
    usb.reset();
    QVERIFY(!radio->isClaimed());
    QVERIFY(!radio->isOpen());
    QCOMPARE(radio->contextUses(), 0);
}

void TestUsb::failedInitLeavesNothingOpen_data()
{
    QTest::addColumn<bool>("absent");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("no radio") << true
                              << QStringList { "init(): code=0", "Err: dev_handle == NULL" };
    QTest::newRow("interface busy")
        << false << QStringList { "init(): code=0", "init(): code=0", "Err: claim_interface" };
}

void TestUsb::failedInitLeavesNothingOpen()
{
    QFETCH(bool, absent);
    QFETCH(QStringList, lines);
    if (absent)
        radio->unplug();
    else
        radio->setInterfaceBusy(true);
    LogCapture log;
    for (int attempt = 0; attempt < 3; ++attempt)
        QCOMPARE(usb->init(), 2);
    QCOMPARE(log.lines().mid(0, lines.size()), lines);
    QVERIFY(usb->handle() == nullptr);
    QVERIFY(!radio->isOpen());
    QCOMPARE(radio->contextUses(), 0);
    // The clean retry works once the radio is there and free.
    radio->plug();
    radio->setInterfaceBusy(false);
    QCOMPARE(usb->init(), 0);
    QCOMPARE(radio->contextUses(), 1);
    QCOMPARE(usb->deInit(), 0);
    QCOMPARE(radio->contextUses(), 0);
}

void TestUsb::kernelDriverQuery_data()
{
    QTest::addColumn<int>("query");
    QTest::addColumn<int>("detaches");
    QTest::newRow("no driver") << 0 << 0;
    QTest::newRow("driver active") << 1 << 1;
    QTest::newRow("query not supported") << int(LIBUSB_ERROR_NOT_SUPPORTED) << 1;
}

void TestUsb::kernelDriverQuery()
{
    QFETCH(int, query);
    QFETCH(int, detaches);
    radio->setKernelDriverQueryResult(query);
    QCOMPARE(usb->init(), 0);
    QCOMPARE(radio->detachCalls(), detaches);
    QVERIFY(radio->isClaimed());
}

void TestUsb::commandBlockLengths_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("length"); // 0: refused
    QTest::newRow("0x00") << 0x00 << 6;
    QTest::newRow("0x1F") << 0x1F << 6;
    QTest::newRow("0x20") << 0x20 << 10;
    QTest::newRow("0x5F") << 0x5F << 10;
    QTest::newRow("0x60") << 0x60 << 0;
    QTest::newRow("0x7F") << 0x7F << 0;
    QTest::newRow("0x80") << 0x80 << 16;
    QTest::newRow("0x9F") << 0x9F << 16;
    QTest::newRow("0xA0") << 0xA0 << 12;
    QTest::newRow("0xBF") << 0xBF << 12;
    QTest::newRow("0xC0") << 0xC0 << 0;
    QTest::newRow("0xFE") << 0xFE << 0;
    QTest::newRow("0xFF") << 0xFF << 16;
}

void TestUsb::commandBlockLengths()
{
    QFETCH(int, opcode);
    QFETCH(int, length);
    QCOMPARE(usb->init(), 0);
    uint8_t cdb[16];
    for (int i = 0; i < 16; ++i)
        cdb[i] = uint8_t(0xB0 + i);
    cdb[0] = uint8_t(opcode);
    const uint32_t before = usb->tagCounter();
    LogCapture log;
    uint32_t tag = 0;
    const int r = usb->send_mass_storage_command(usb->handle(), 0x01, 0, cdb, 0x80, 0, &tag);
    const QString unknown = QStringLiteral("send_mass_storage_command: don't know how to handle "
                                           "this command (%1, length 0)\n")
                                .arg(opcode);
    const auto wrappers = botCommands(radio->journal());
    if (length == 0) {
        QCOMPARE(r, -1);
        QCOMPARE(log.lines(), QStringList { unknown });
        QCOMPARE(usb->tagCounter(), before);
        QVERIFY(wrappers.isEmpty());
        return;
    }
    QCOMPARE(r, 0);
    QCOMPARE(tag, before);
    QCOMPARE(usb->tagCounter(), before + 1);
    QStringList expected;
    if (opcode == 0xFF)
        expected << unknown;
    expected << QStringLiteral("send_mass_storage_command:  sent %1 CDB bytes").arg(length);
    QCOMPARE(log.lines(), expected);
    QCOMPARE(wrappers.size(), 1);
    const QByteArray w = wrappers[0].wrapper;
    QCOMPARE(int(w[14]), length);
    QCOMPARE(w.mid(15, length), QByteArray(reinterpret_cast<const char *>(cdb), length));
    QCOMPARE(w.mid(15 + length), QByteArray(16 - length, '\0'));
}

void TestUsb::wrapperRefusals()
{
    QCOMPARE(usb->init(), 0);
    const uint8_t cdb[16] = { 0x00 };
    LogCapture log;
    QCOMPARE(usb->send_mass_storage_command(usb->handle(), 0x81, 0, cdb, 0x80, 0, nullptr), -1);
    QCOMPARE(usb->send_mass_storage_command(usb->handle(), 0x01, 0, nullptr, 0x80, 0, nullptr), -1);
    QCOMPARE(log.lines(),
        QStringList { "send_mass_storage_command: cannot send command on IN endpoint\n" });
    QVERIFY(botCommands(radio->journal()).isEmpty());
    QCOMPARE(usb->tagCounter(), 1u);
}

void TestUsb::failedFetchLeavesNoStaleBytes()
{
    // Every block full of non-zero bytes; one answer comes back half long.
    QVariantList image = RadioEmulator::blankImage();
    for (int n = 1; n < image.size(); ++n) {
        QByteArray b = image[n].toByteArray();
        b.replace(12, 2048, QByteArray(2048, char(0x5A)));
        image[n] = b;
    }
    QVERIFY(radio->setImage(image));
    radio->injectFault(RadioEmulator::ShortAnswer, 1, 4); // the answer of block 2
    QCOMPARE(usb->init(), 0);
    bool complete = true;
    const QVariantList list = usb->readImage(&complete).toList();
    QVERIFY(!complete);
    const QByteArray hit = list[3].toByteArray();
    QCOMPARE(hit.size(), 2063);
    QCOMPARE(hit.left(1031), image[3].toByteArray().left(1031));
    QCOMPARE(hit.mid(1031), QByteArray(2063 - 1031, '\0'));
    QCOMPARE(list[4].toByteArray(), image[4].toByteArray());
}

void TestUsb::shortOrMissingBlockIsPadded()
{
    QMap<quint16, QByteArray> blocks;
    const QVariantList image = radio->image();
    for (int n = 0; n < 177; ++n)
        blocks.insert(quint16(n), image[1 + n].toByteArray());
    blocks.remove(7);
    blocks[8] = QByteArray(100, char(0x33)); // content bytes 12..99 only
    blocks[9] = QByteArray(3000, char(0x44)); // longer than a block
    blocks[9][2062] = char(0xA4);
    QCOMPARE(usb->init(), 0);
    QCOMPARE(usb->writeImage(blocks), 0);
    const QList<QByteArray> frames = framesSent(radio->journal());
    for (int n : { 7, 8, 9 })
        QCOMPARE(frames[2 + n].size(), 2064);
    QCOMPARE(frames[2 + 7].mid(13, 2048), QByteArray(2048, '\0'));
    QCOMPARE(frames[2 + 8].mid(13, 88), QByteArray(88, char(0x33)));
    QCOMPARE(frames[2 + 8].mid(13 + 88, 2048 - 88), QByteArray(2048 - 88, '\0'));
    QCOMPARE(quint8(frames[2 + 8][2063]), quint8(0xA4));
    QCOMPARE(quint8(frames[2 + 9][2063]), quint8(0xA4));
    QCOMPARE(frames[2 + 9].mid(13, 2048), QByteArray(2048, char(0x44)));
    QCOMPARE(radio->blockContent(8).left(88), QByteArray(88, char(0x33)));
}

QTEST_GUILESS_MAIN(TestUsb)
#include "tst_usb.moc"
