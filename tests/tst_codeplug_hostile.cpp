// Images a file or a radio could hand over: missing and short blocks, counts
// far beyond their tables. Decoders must read only what is there, encoders
// must neither add, grow nor shrink blocks. Run under the sanitizers too.
#include <QtTest>

#include "codeplug/channel.h"
#include "support/testimage.h"

namespace {

// The blocks some codec reads or writes.
const QList<int> usedBlocks = { 4, 6, 7, 28, 41, 42, 43, 44, 57, 58, 59, 73, 74, 75, 86, 87, 122 };

// A complete set of collections at the capacity of every table, and beyond.
struct Full {
    QVariantList channels, zones, groups, contacts, keys;
    QVariantMap settings;
};

Full fullCollections(int extra)
{
    Full f;
    for (int p = 0; p < 999 + extra; ++p)
        f.channels.append(QVariantMap { { "name", QStringLiteral("Channel name %1").arg(p) },
            { "type_channel", p % 2 == 0 }, { "qt_dqt_type_rcv", p % 4 },
            { "chanelBand", p % 3 } });
    for (int z = 0; z < 20 + extra; ++z) {
        QVariantList members;
        for (int j = 0; j < 16 + extra; ++j)
            members.append(j);
        f.zones.append(QVariantMap {
            { "title", QStringLiteral("Zone %1").arg(z) }, { "selectedChannels", members } });
    }
    for (int g = 0; g < 6 + extra; ++g) {
        QVariantList members;
        for (int j = 0; j < 32 + extra; ++j)
            members.append(j + 1);
        f.groups.append(QVariantMap {
            { "title", QStringLiteral("Group %1").arg(g) }, { "selectedContacts", members } });
    }
    for (int k = 0; k < 43 + extra; ++k)
        f.contacts.append(QVariantMap { { "name", QStringLiteral("Contact %1").arg(k) },
            { "number", k * 1000 }, { "tone", 1 } });
    for (int k = 0; k < 40 + extra; ++k)
        f.keys.append(
            QVariantMap { { "name", QStringLiteral("K%1").arg(k) }, { "number", "ffff" } });
    f.settings = QVariantMap { { "gps_activation", 1 },
        { "buttonsSettings", QVariantMap { { "long_press_duration", 3 } } } };
    return f;
}

void encodeAll(Channel &codec, const Full &f, BlockMap *blocks)
{
    codec.WriteChanells(f.channels, blocks);
    codec.WriteZones(f.zones, blocks);
    codec.encodeRxGroups(f.groups, blocks);
    codec.encodeContacts(f.contacts, blocks);
    codec.WriteEncrypts(f.keys, blocks);
    codec.encodeSettings(f.settings, blocks);
}

QStringList captured;
void capture(QtMsgType, const QMessageLogContext &, const QString &text) { captured << text; }

} // namespace

class TestCodeplugHostile : public QObject {
    Q_OBJECT
private slots:
    void init() { captured.clear(); }
    void hostileImages_data();
    void hostileImages();
    void erasedImage();
    void countsBeyondCapacity();
    void encodersBeyondCapacity();
};

void TestCodeplugHostile::hostileImages_data()
{
    QTest::addColumn<BlockMap>("blocks");
    QTest::addColumn<int>("radioType");
    QTest::newRow("empty map") << BlockMap() << 0;
    QTest::newRow("all 0xFF, type 1") << TestImage::blankBlocks(0xFF) << 1;
    BlockMap heads = TestImage::blankBlocks(0xFF);
    for (auto &b : heads)
        b.truncate(12);
    QTest::newRow("heads only") << heads << 0;
    for (int cut : { 0, 13, 700, 1453, 2059, 2062 }) {
        BlockMap m = TestImage::randomBlocks(quint32(cut));
        for (int b : usedBlocks)
            m[quint16(b)].truncate(cut);
        QTest::newRow(qPrintable(QStringLiteral("used blocks cut to %1 bytes").arg(cut))) << m << 0;
    }
    for (int b : usedBlocks) {
        BlockMap m = TestImage::blankBlocks(0xFF);
        m.remove(quint16(b));
        QTest::newRow(qPrintable(QStringLiteral("block %1 missing, 0xFF elsewhere").arg(b)))
            << m << 0;
    }
    BlockMap longer = TestImage::blankBlocks(0xFF);
    for (auto &b : longer)
        b.append(QByteArray(100, char(0xFF)));
    QTest::newRow("blocks longer than 2063 bytes") << longer << 1;
}

void TestCodeplugHostile::hostileImages()
{
    QFETCH(BlockMap, blocks);
    QFETCH(int, radioType);
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    Channel codec;
    codec.setRadioType(radioType);
    const QVariantMap decoded = codec.decodeAll(blocks);
    QCOMPARE(decoded.size(), 8);
    QVERIFY(decoded["freqList"].toList().size() <= 999);
    QVERIFY(decoded["zoneList"].toList().size() <= 250);
    QVERIFY(decoded["contactList"].toList().size() <= 43);
    QVERIFY(decoded["encryptList"].toMap().size() <= 40);
    QVERIFY(decoded["RxGroupsList"].toList().size() <= 6);
    for (const QVariant &z : decoded["zoneList"].toList())
        QVERIFY(z.toMap()["selectedChannels"].toList().size() <= 16);
    for (const QVariant &g : decoded["RxGroupsList"].toList())
        QVERIFY(g.toMap()["selectedContacts"].toList().size() <= 32);

    // Encoders over the same image: same blocks, same lengths.
    BlockMap edited = blocks;
    encodeAll(codec, fullCollections(3), &edited);
    QCOMPARE(edited.keys(), blocks.keys());
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        QCOMPARE(edited[it.key()].size(), it.value().size());
        // Heads and trailers are never written.
        QCOMPARE(edited[it.key()].left(12), it.value().left(12));
        QCOMPARE(edited[it.key()].mid(2060), it.value().mid(2060));
    }
    codec.decodeAll(edited);
    qInstallMessageHandler(previous);
}

void TestCodeplugHostile::erasedImage()
{
    const BlockMap blocks = TestImage::blankBlocks(0xFF);
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    Channel codec;
    codec.setRadioType(0);
    const QVariantMap decoded = codec.decodeAll(blocks);
    qInstallMessageHandler(previous);
    QVERIFY(decoded["freqList"].toList().isEmpty()); // 0xFFFF reads as -1
    QCOMPARE(decoded["zoneList"].toList().size(), 250);
    QCOMPARE(decoded["zoneList"].toList()[0].toMap()["selectedChannels"].toList(),
        QVariantList(QList<QVariant>()
            << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0));
    QCOMPARE(decoded["contactList"].toList().size(), 43);
    QVERIFY(decoded["encryptList"].toMap().isEmpty());
    QVERIFY(decoded["RxGroupsList"].toList().isEmpty());
    QCOMPARE(captured,
        (QStringList { "ParsingChanels: Err quantityCH=65535",
            "ParsingZones: member count above 16, read 16", "decodeContacts: quantity=255 read=43",
            "decodeEncryption: quantityKeys=-1 read=0", "decodeRxGroups: quantity=65535 read=6",
            "decodeRxGroups: 6 slots outside the records skipped" }));
}

void TestCodeplugHostile::countsBeyondCapacity()
{
    Channel codec;
    codec.setRadioType(0);
    BlockMap blocks = TestImage::blankBlocks();
    QVariantList channels;
    for (int p = 0; p < 999; ++p)
        channels.append(QVariantMap { { "name", QString::number(p) } });
    codec.WriteChanells(channels, &blocks);
    QTest::ignoreMessage(QtDebugMsg, "ParsingZones: quantityZons=-1");

    blocks[42][142] = char(0xE8); // 1000
    blocks[42][143] = 0x03;
    QTest::ignoreMessage(QtDebugMsg, "ParsingChanels: quantityCH=1000 read=999");
    QCOMPARE(codec.ParsingChanels(blocks).size(), 999);
    blocks[42][143] = 0x7F; // 32744
    QTest::ignoreMessage(QtDebugMsg, "ParsingChanels: Err quantityCH=32744");
    QCOMPARE(codec.ParsingChanels(blocks).size(), 999);
    codec.ParsingZones(blocks);

    blocks[4][1054] = 41;
    QTest::ignoreMessage(QtDebugMsg, "decodeEncryption: quantityKeys=41 read=40");
    QCOMPARE(codec.decodeEncryption(blocks).toMap().size(), 1); // all names empty

    blocks[41][364] = 3;
    blocks[41][366] = 1;
    blocks[41][367] = 7; // past record 6
    blocks[41][368] = 6;
    blocks[28][1452 + 500] = 33;
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    const QVariantList groups = codec.decodeAll(blocks)["RxGroupsList"].toList();
    qInstallMessageHandler(previous);
    QCOMPARE(groups.size(), 2);
    QCOMPARE(groups[1].toMap()["groups"].toInt(), 6);
    QCOMPARE(groups[1].toMap()["selectedContacts"].toList().size(), 32);
    QVERIFY(captured.contains("decodeRxGroups: 1 slots outside the records skipped"));
    QVERIFY(captured.contains("decodeRxGroups: 1 member counts above 32, read 32"));
}

void TestCodeplugHostile::encodersBeyondCapacity()
{
    BlockMap blocks = TestImage::blankBlocks(0x5C);
    const BlockMap before = blocks;
    Channel codec;
    codec.setRadioType(0);
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    encodeAll(codec, fullCollections(5), &blocks);
    qInstallMessageHandler(previous);
    QCOMPARE(captured,
        (QStringList { "WriteChanells: quantityCH=1004 written=999",
            "WriteZones: member count above 16, written 16",
            "encodeRxGroups: quantity=11 written=6",
            "encodeRxGroups: 6 member lists above 32, written 32",
            "encodeContacts: quantity=48 written=43",
            "WriteEncrypts: quantityKeys=45 written=40" }));
    // Nothing past the capacity of each table.
    // The zone table begins right after record 998.
    QCOMPARE(blocks[74].mid(652 - 32, 4), QByteArray::fromHex("00000000"));
    QCOMPARE(blocks[7].mid(140 + 43 * 44), before[7].mid(140 + 43 * 44));
    QCOMPARE(blocks[4].mid(2044 + 16), before[4].mid(2044 + 16));
    QCOMPARE(blocks[6].mid(144 + 86), before[6].mid(144 + 86));
    QCOMPARE(blocks[41].mid(372), before[41].mid(372));
    QCOMPARE(blocks[58].mid(1420, 32), before[58].mid(1420, 32)); // name slot of position 999
    QCOMPARE(blocks[43].mid(12 + 2 * 41, 2), before[43].mid(12 + 2 * 41, 2));
    QCOMPARE(blocks[42].mid(142, 2), QByteArray::fromHex("E703"));
}

QTEST_GUILESS_MAIN(TestCodeplugHostile)
#include "tst_codeplug_hostile.moc"
