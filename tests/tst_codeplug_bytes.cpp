// Byte-level cases of the image codecs: what lands where, bit by bit.
#include <QtTest>

#include "codeplug/channel.h"
#include "codeplug/editmerge.h"
#include "codeplug/fieldcodecs.h"
#include "support/testimage.h"

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QVariantMap analogue(int rt, int rcode, int st, int scode, int band = 0, bool power = false)
{
    return { { "name", "a" }, { "send_freq", 446006250 }, { "recv_freq", 446006250 },
        { "type_channel", false }, { "power_ch", power }, { "qt_dqt_type_rcv", rt },
        { "recv_qt_dqt", rcode }, { "qt_dqt_type_trasm", st }, { "send_qt_dqt", scode },
        { "chanelBand", band } };
}

QVariantMap digital(
    const QString &name, int cc = 1, int rx = 0, int contact = 1, int enc = 0, bool power = false)
{
    return { { "name", name }, { "send_freq", 440000000 }, { "recv_freq", 445000000 },
        { "type_channel", true }, { "power_ch", power }, { "color_cod", cc }, { "rx_groupe", rx },
        { "contact", contact }, { "encrypt", enc } };
}

// n records with only a name under `key`, from `pattern` and their index.
QVariantList named(int n, const char *key, const QString &pattern)
{
    QVariantList list;
    for (int g = 0; g < n; ++g)
        list.append(QVariantMap { { key, pattern.arg(g) } });
    return list;
}

} // namespace

class TestCodeplugBytes : public QObject {
    Q_OBJECT
private slots:
    void textFields_data();
    void textFields();
    void textDecoding();
    void bitFields();

    void channelRecord_data();
    void channelRecord();
    void channelNames();
    void channelCountZero();
    void zones_data();
    void zones();

    void contacts();
    void encryptionKeys();
    void rxGroups();
    void settings();
    void buttonsByRadioType();
    void editChanges_data();
    void editChanges();
    void editMergeChecksums();
};

void TestCodeplugBytes::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << 32 << QByteArray(32, '\0');
    QTest::newRow("two letters") << QStringLiteral("Ab") << 32 << hex("41006200") + QByteArray(28, '\0');
    QTest::newRow("cyrillic") << QStringLiteral("Ж") << 16 << hex("1604") + QByteArray(14, '\0');
    QTest::newRow("key name of 9 cut to 8")
        << QStringLiteral("123456789") << 16 << hex("31003200330034003500360037003800");
    const QString pairAtEnd = QString(15, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600");
    QTest::newRow("surrogate pair not split")
        << pairAtEnd << 32 << QByteArray("a\0", 2).repeated(15) + QByteArray(2, '\0');
}

void TestCodeplugBytes::textFields()
{
    QFETCH(QString, text);
    QFETCH(int, field);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeTextField(text, field), bytes);
    if (text.size() * 2 <= field)
        QCOMPARE(encodeUtf16Field(text), bytes.left(text.size() * 2));
}

void TestCodeplugBytes::textDecoding()
{
    QByteArray block(Block::Size, 'x');
    block.replace(100, 32, QByteArray("Z\0", 2).repeated(16));
    QCOMPARE(decodeTextField(block, 100, 32), QString(16, QLatin1Char('Z')));
    block.replace(200, 2, QByteArray(2, '\0'));
    QCOMPARE(decodeTextField(block, 200, 32), QString());
    // Nothing past the content bytes, nothing past a short block.
    QCOMPARE(decodeTextField(block, 2056, 32), QString(2, QChar(0x7878)));
    QCOMPARE(decodeTextField(block.left(104), 100, 32), QStringLiteral("ZZ"));
    QCOMPARE(decodeTextField(QByteArray(), 100, 32), QString());
    QCOMPARE(decodeTextField(block, 4, 32), QString());
}

void TestCodeplugBytes::bitFields()
{
    // Old byte, mask, value, result: the value lands under the mask, the other
    // bits stay; a value too large for its field does not spill out of it.
    for (auto [old, mask, value, inserted] :
        { std::array { 0xFF, 0x30, 1, 0xDF }, { 0x00, 0x30, 2, 0x20 }, { 0x00, 0x0C, 2, 0x08 },
            { 0x41, 0x80, 1, 0xC1 }, { 0x00, 0x30, 4, 0x00 }, { 0x40, 0x01, 2, 0x40 } })
        QCOMPARE(int(maskedInsert(quint8(old), quint8(mask), value)), inserted);
}

void TestCodeplugBytes::channelRecord_data()
{
    QTest::addColumn<int>("radioType");
    QTest::addColumn<QVariantMap>("channel");
    QTest::addColumn<QByteArray>("tail"); // record bytes 8 to 31
    const auto row = [](const char *name, int radioType, const QVariantMap &channel, const char *tail) {
        QTest::newRow(name) << radioType << channel << hex(tail);
    };
    row("digital from the template", 0, digital("d"),
        "16 00 80 04 FF FF 00 00 41 00 00 00 00 01 00 00 01 00 00 00 01 00 00 00");
    row("digital, key 3, high power, colour 63", 0, digital("d", 63, 5, 9, 3, true),
        "16 80 80 04 FF FF 00 00 7F 00 00 00 00 01 05 83 09 00 00 00 01 00 00 00");
    // Type 1: the power flag in byte 10, byte 9 keeps the template's 0x80.
    row("type 1, digital, high power", 1, digital("d", 1, 0, 1, 0, true),
        "16 80 80 04 FF FF 00 00 41 00 00 00 00 01 00 00 01 00 00 00 01 00 00 00");
    row("type 1, digital, low power", 1, digital("d"),
        "16 80 00 04 FF FF 00 00 41 00 00 00 00 01 00 00 01 00 00 00 01 00 00 00");
    row("analogue, no tones", 0, analogue(0, 0x1234, 0, 0x0670),
        "15 40 88 04 FF FF 00 00 FF FF FF FF 00 00 00 00 20 02 01 00 00 00 00 00");
    row("analogue, DCS normal rx, CTCSS tx, 20 kHz", 0, analogue(2, 0x0023, 1, 0x0670, 2),
        "95 40 88 04 FF FF 00 00 23 80 70 06 00 00 00 00 20 02 01 06 00 00 00 00");
    row("analogue, DCS inverted, 12.5 kHz, high power", 0, analogue(3, 0xC023, 3, 0xC754, 1, true),
        "17 C0 88 04 FF FF 00 00 23 C0 54 C7 00 00 00 00 20 02 01 0F 00 00 00 00");
}

void TestCodeplugBytes::channelRecord()
{
    QFETCH(int, radioType);
    QFETCH(QVariantMap, channel);
    QFETCH(QByteArray, tail);
    BlockMap blocks = TestImage::randomBlocks(9);
    Channel codec;
    codec.setRadioType(radioType);
    codec.WriteChanells(QVariantList { channel }, &blocks);
    const QByteArray rec = blocks[58].mid(1452, 32);
    QCOMPARE(qFromLittleEndian<quint32>(rec.constData()), channel["send_freq"].toUInt());
    QCOMPARE(qFromLittleEndian<quint32>(rec.constData() + 4), channel["recv_freq"].toUInt());
    QCOMPARE(rec.mid(8).toHex(' '), tail.toHex(' '));
    QCOMPARE(blocks[42].mid(142, 4), hex("01000200"));
    QCOMPARE(codec.ParsingChanels(blocks)[0].toMap()["powerCH"], channel["power_ch"]);
    // Any bit of the power field reads as high power.
    blocks[58][1452 + (radioType ? 10 : 9)] = char(radioType ? 0x40 : 0x80);
    QVERIFY(codec.ParsingChanels(blocks)[0].toMap()["powerCH"].toBool());
}

void TestCodeplugBytes::channelNames()
{
    BlockMap blocks = TestImage::blankBlocks(0xEE);
    Channel codec;
    codec.WriteChanells(named(999, "name", "CH%1"), &blocks);
    QCOMPARE(blocks[43].mid(172, 8), hex("4300480030000000")); // "CH0"
    QCOMPARE(blocks[44].mid(12, 10), hex("43004800350039000000")); // position 59
    QCOMPARE(blocks[58].mid(1388, 10), hex("43004800390039003800")); // position 998
    QCOMPARE(blocks[58].mid(1420, 32), QByteArray(32, char(0xEE))); // position 999: unused
    QCOMPARE(blocks[42].mid(142, 2), hex("E703"));
    QCOMPARE(blocks[42].mid(144 + 2 * 957, 2), hex("BF03"));
    QCOMPARE(blocks[43].mid(12, 2), hex("C003")); // position 958, code 960
    QCOMPARE(blocks[43].mid(12 + 2 * 40, 2), hex("E803"));
    const QVariantList out = codec.ParsingChanels(blocks);
    QCOMPARE(out.size(), 999);
    for (int p : { 0, 58, 59, 122, 123, 954, 955, 998 })
        QCOMPARE(out[p].toMap()["name"].toString(), QStringLiteral("CH%1").arg(p));

    // A name too long or a slot past 1000 is refused; slot 1000, the last, is written.
    const BlockMap before = blocks;
    QTest::ignoreMessage(QtDebugMsg, "WriteNewName: Err name.size=34");
    QCOMPARE(codec.WriteNewName(QByteArray(34, 'a'), 1, &blocks), -1);
    QTest::ignoreMessage(QtDebugMsg, "WriteNewName: Err slot=1001");
    QCOMPARE(codec.WriteNewName(QByteArray(2, 'a'), 1001, &blocks), -1);
    QVERIFY(blocks == before);
    QCOMPARE(codec.WriteNewName(QByteArray(2, 'a'), 1000, &blocks), 0);
    QCOMPARE(blocks[58].mid(1420, 36), "aa" + QByteArray(30, '\0') + before[58].mid(1452, 4));
}

void TestCodeplugBytes::channelCountZero()
{
    BlockMap blocks = TestImage::blankBlocks();
    Channel codec;
    codec.WriteChanells(named(3, "name", "CH%1"), &blocks);
    // Channel 1's name in a block the image lacks: it reads as no name.
    blocks[42][146] = 0x64;
    blocks.remove(44);
    QCOMPARE(codec.ParsingChanels(blocks)[1].toMap()["name"].toString(), QString());
    blocks[42][142] = 0;
    QTest::ignoreMessage(QtDebugMsg, "ParsingChanels: Err quantityCH=0");
    QVERIFY(codec.ParsingChanels(blocks).isEmpty());
    // The caches are empty: a zone member decodes as channel 0, not as a
    // channel of the earlier decode (code 4 was channel 2, no name channel 1).
    codec.WriteZones(QVariantList { QVariantMap {
                         { "title", "Z" }, { "selectedChannels", QVariantList { 2 } } } },
        &blocks);
    QCOMPARE(codec.ParsingZones(blocks).toList()[0].toMap()["selectedChannels"].toList(),
        QVariantList { 0 });
    QTest::ignoreMessage(QtDebugMsg, "WriteChanells: quantityCH<=0");
    const BlockMap before = blocks;
    codec.WriteChanells(QVariantList(), &blocks);
    QVERIFY(blocks == before);
}

void TestCodeplugBytes::zones_data()
{
    QTest::addColumn<QVariantList>("zones");
    QTest::addColumn<QStringList>("titles"); // as stored and decoded
    const auto zone = [](const QString &title, const QVariantList &members = {}) {
        return QVariantMap { { "title", title }, { "selectedChannels", members } };
    };
    QTest::newRow("none") << QVariantList() << QStringList();
    // Every zone is written past the 20 the screens offer, the eighteenth
    // across blocks 74 and 75; titles cut to 16 units, members to 16.
    QVariantList zones;
    QStringList titles;
    for (int z = 0; z < 25; ++z) {
        QVariantList members;
        for (int j = 0; j < (z == 0 ? 20 : z % 5); ++j)
            members.append(z == 0 ? j : (z + j) % 30);
        titles << QStringLiteral("Z%1 long title over 16").arg(z);
        zones << zone(titles.last(), members);
        titles.last().truncate(16);
    }
    QTest::newRow("25 zones") << zones << titles;
    // Channel 7 has channel 3's name: members are positions, not names.
    QTest::newRow("members by position")
        << QVariantList { zone("Z", { 7, 5 }) } << QStringList { "Z" };
    // A first byte 0 ends the table: an empty title, or one whose first code
    // unit has a zero low byte, must not hide this zone and those after it.
    QTest::newRow("empty title") << QVariantList { zone(""), zone("B", { 1 }) }
                                 << QStringList { "Zone 1", "B" };
    QTest::newRow("titles starting with U+0400, U+0401, U+0100")
        << QVariantList { zone("Ѐa", { 2 }), zone("Ёb"), zone("Āc") }
        << QStringList { "\uFFFDa", "Ёb", "\uFFFDc" };
}

void TestCodeplugBytes::zones()
{
    QFETCH(QVariantList, zones);
    QFETCH(QStringList, titles);
    BlockMap blocks = TestImage::randomBlocks(3);
    Channel codec;
    QVariantList channels = named(30, "name", "CH%1");
    channels[7] = QVariantMap { { "name", "CH3" } };
    codec.WriteChanells(channels, &blocks);
    const BlockMap before = blocks;
    codec.WriteZones(zones, &blocks);

    // The table as one run of content bytes, record z at 640 + 80 z: title,
    // member count at 36, member codes (position + 2) at 48; the other bytes
    // stay; an all-zero record ends the table.
    QByteArray table = before[74].mid(12, 2048) + before[75].mid(12, 2048);
    QVariantList decoded;
    for (int z = 0; z < zones.size(); ++z) {
        const QVariantList members = zones[z].toMap()["selectedChannels"].toList().mid(0, 16);
        decoded << QVariantMap { { "title", titles[z] }, { "origin", z },
            { "selectedChannels", members } };
        QByteArray codes(32, '\0');
        for (int j = 0; j < members.size(); ++j)
            qToLittleEndian<quint16>(quint16(members[j].toInt() + 2), codes.data() + 2 * j);
        table.replace(640 + 80 * z, 32, encodeTextField(titles[z], 32));
        table[640 + 80 * z + 36] = char(members.size());
        table.replace(640 + 80 * z + 48, 32, codes);
    }
    table.replace(640 + 80 * zones.size(), 80, QByteArray(80, '\0'));
    BlockMap want = before;
    want[74].replace(12, 2048, table.left(2048));
    want[75].replace(12, 2048, table.mid(2048));
    QVERIFY2(blocks == want, qPrintable(TestImage::differences(blocks, want).join(' ')));

    codec.ParsingChanels(blocks);
    QCOMPARE(codec.ParsingZones(blocks).toList(), decoded);
}

void TestCodeplugBytes::contacts()
{
    BlockMap blocks = TestImage::randomBlocks(6);
    Channel codec;
    codec.encodeContacts(named(5, "name", "C%1"), &blocks);
    const BlockMap withFive = blocks;
    QVariantList three {
        QVariantMap { { "name", "Ab" }, { "type", 2 }, { "number", "12345" }, { "tone", 1 } },
        QVariantMap { { "name", QString(16, QLatin1Char('x')) }, { "number", 8388608 + 5 } },
        QVariantMap { { "name", QString(20, QLatin1Char('y')) }, { "number", 0xFFFFFF } },
    };
    blocks[7][177] = char(0xFE);
    codec.encodeContacts(three, &blocks);
    QCOMPARE(blocks[6].mid(142, 12), hex("0300010002000300") + withFive[6].mid(150, 4));
    QCOMPARE(blocks[7].mid(140, 38), hex("41006200") + QByteArray(28, '\0') + hex("3930000002FF"));
    QCOMPARE(blocks[7].mid(140 + 3 * 44, 88), withFive[7].mid(140 + 3 * 44, 88)); // not cleared

    const QVariantList out = codec.decodeAll(blocks)["contactList"].toList();
    QCOMPARE(out.size(), 3);
    QCOMPARE(out[0].toMap(),
        (QVariantMap { { "name", "Ab" }, { "pos", 0 }, { "origin", 0 }, { "type", 2 },
            { "number", 12345u }, { "tone", 1 } }));
    QCOMPARE(out[1].toMap()["name"].toString(), QString(16, QLatin1Char('x')));
    QCOMPARE(out[1].toMap()["number"].toUInt(), 8388613u);
    QCOMPARE(out[2].toMap()["name"].toString(), QString(16, QLatin1Char('y')));

    const BlockMap before = blocks;
    codec.encodeContacts(QVariantList(), &blocks);
    QVERIFY(blocks == before);

    // A kept record's top number byte is not the number's: a new number keeps it.
    QVariantMap first = out[0].toMap();
    first["number"] = 54321;
    blocks[7][175] = char(0xAB);
    codec.encodeContacts(QVariantList { first, out[1], out[2] }, &blocks);
    QCOMPARE(blocks[7].mid(172, 4), hex("31D400AB"));
}

void TestCodeplugBytes::encryptionKeys()
{
    BlockMap blocks = TestImage::randomBlocks(7);
    Channel codec;
    QTest::ignoreMessage(QtDebugMsg, " WriteEncrypts: quantityZon<=0");
    const BlockMap untouched = blocks;
    codec.WriteEncrypts(QVariantList(), &blocks);
    QVERIFY(blocks == untouched);

    const QVariantList keys {
        QVariantMap { { "name", "Key" }, { "number", "AB12" } },
        QVariantMap { { "name", "Twelve chars" }, { "number", "f" } },
        QVariantMap { { "name", "Bad" }, { "number", "xyz" } },
        QVariantMap { { "name", "Key" }, { "number", "0102" } },
    };
    codec.WriteEncrypts(keys, &blocks);
    const QByteArray b = blocks[4];
    QCOMPARE(b.mid(1054, 1), hex("04"));
    QCOMPARE(b.mid(1084, 18), hex("4B00650079000000") + QByteArray(8, '\0') + hex("AB12"));
    QCOMPARE(b.mid(1124, 2), hex("000F"));
    QCOMPARE(b.mid(1148, 2), hex("0000"));
    const QVariantMap out = codec.decodeEncryption(blocks).toMap();
    QCOMPARE(out, (QVariantMap { { "Key", "102" }, { "Twelve c", "f" }, { "Bad", "0" } }));

    blocks[4][1054] = 0;
    QVERIFY(codec.decodeEncryption(blocks).toMap().isEmpty());
}

void TestCodeplugBytes::rxGroups()
{
    BlockMap blocks = TestImage::randomBlocks(8);
    const BlockMap before = blocks;
    Channel codec;
    codec.encodeRxGroups(QVariantList(), &blocks);
    QVERIFY(blocks == before);
    codec.encodeRxGroups(QVariantList { QVariantMap { { "title", "G1" },
                                            { "selectedContacts", QVariantList { 1, 3 } } },
                             QVariantMap { { "title", "G2" }, { "groups", 5 } } },
        &blocks);
    QCOMPARE(blocks[41].mid(364, 8), hex("02000102") + before[41].mid(368, 4));
    const QByteArray r = blocks[28];
    QCOMPARE(r.mid(1452, 4), hex("02") + before[28].mid(1453, 3));
    QCOMPARE(r.mid(1488, 32), hex("01000300") + QByteArray(28, '\0'));
    QCOMPARE(r.mid(1520, 32), before[28].mid(1520, 32)); // slots 17 to 32 keep their bytes
    QCOMPARE(r.mid(1656, 100), QByteArray(100, '\0'));

    blocks[41][366] = 0; // a slot byte 0 reads as record 1
    QVariantList out = codec.decodeAll(blocks)["RxGroupsList"].toList();
    QCOMPARE(out.size(), 2);
    QCOMPARE(out[0].toMap(),
        (QVariantMap { { "title", "G1" }, { "groups", 1 },
            { "selectedContacts", QVariantList { 1, 3 } }, { "origin", 0 } }));
    QCOMPARE(out[1].toMap()["groups"].toInt(), 2);
    QCOMPARE(out[1].toMap()["selectedContacts"].toList(), QVariantList());

    // Eight: six written, the clear after them stops at the content end.
    QTest::ignoreMessage(QtDebugMsg, "encodeRxGroups: quantity=8 written=6");
    codec.encodeRxGroups(named(8, "title", "G%1"), &blocks);
    QCOMPARE(
        blocks[28].mid(2052), before[28].mid(2052, 4) + QByteArray(4, '\0') + before[28].mid(2060));
    QCOMPARE(blocks[41].mid(364, 9).remove(1, 1), hex("06010203040506") + before[41].mid(372, 1));

    // Fewer groups than before: the names of the older ones stay listed.
    codec.decodeAll(blocks);
    codec.encodeRxGroups(named(3, "title", "N%1"), &blocks);
    const QVariantMap names = codec.decodeAll(blocks)["rxGroupNames"].toMap();
    QCOMPARE(names.keys(), (QStringList { "1", "2", "3", "4", "5", "6" }));
    QCOMPARE(names["3"].toByteArray(), encodeTextField(QStringLiteral("N2"), 32));
    QCOMPARE(names["4"].toByteArray(), encodeTextField(QStringLiteral("G3"), 32));
}

void TestCodeplugBytes::settings()
{
    BlockMap blocks = TestImage::blankBlocks(0xCC);
    Channel codec;
    blocks[4][709] = 0x01;
    blocks[4][700] = 0x41;
    const QVariantMap s { { "digital_voice_level", 5 }, { "man_down_trigger", 2 },
        { "man_down_tilt", 1 }, { "man_down_activation", true }, { "repeater_group_call_hang", 6 },
        { "group_call_hang_time", 60 }, { "gps_interval", 60 }, { "gps_activation", 1 },
        { "des_type", 1 }, { "des_mode", 0 }, { "des_channel", 0xFFFF },
        { "man_down_trig_entry", -1 },
        { "buttonsSettings", QVariantMap { { "long_press_duration", 500 } } } };
    codec.encodeSettings(s, &blocks);
    const QByteArray b = blocks[4];
    // 828: 0xCC with bits 0x33 replaced; 710 bit 0 was clear already; 562, a
    // key the map lacks, keeps its byte.
    for (auto [at, value] :
        { std::pair(685, 7), { 828, (0xCC & ~0x33) | 0x23 }, { 695, 6 }, { 680, 60 }, { 708, 0x3C },
            { 709, 1 }, { 700, 0x49 }, { 710, 0xCC }, { 892, 244 }, { 562, 0xCC } })
        QVERIFY2(quint8(b[at]) == value, qPrintable(QString::number(at)));
    QCOMPARE(blocks[122].mid(76, 4), hex("01CCFFFF"));
    // The voice level is stored plus 2: a stored 0 reads as -2.
    blocks[4][685] = 0;
    QCOMPARE(codec.decodeBasicSettings(blocks).toMap()["digital_voice_level"].toInt(), -2);
    codec.encodeSettings(QVariantMap { { "gps_activation", 0 } }, &blocks);
    QCOMPARE(quint8(blocks[4][700]), quint8(0x41));
}

void TestCodeplugBytes::buttonsByRadioType()
{
    // Type 1 keeps its button functions at 900 to 907; type 0's bytes stay.
    BlockMap blocks = TestImage::blankBlocks(0xAA);
    Channel codec;
    codec.setRadioType(1);
    QVariantMap buttons;
    const char *keys[] = { "orange_button_short_press", "orange_button_long_press",
        "side_button1_short_press", "side_button1_long_press", "side_button2_short_press",
        "side_button2_long_press", "purple_button_short_press", "purple_button_long_press" };
    for (int i = 0; i < 8; ++i)
        buttons[keys[i]] = i + 1;
    codec.encodeButtons(buttons, &blocks);
    QCOMPARE(blocks[4].mid(894, 14), QByteArray(6, char(0xAA)) + hex("0102030405060708"));
    QCOMPARE(blocks[4].mid(918, 2), QByteArray(2, char(0xAA)));
    QVariantMap out = codec.decodeButtons(blocks).toMap();
    QCOMPARE(out["purple_button_long_press"].toInt(), 8);
    QCOMPARE(out["type_radio"].toInt(), 1);
    QCOMPARE(out.size(), 11);
    // Back to type 0: the buttons are read where type 0 has them.
    codec.setRadioType(0);
    out = codec.decodeButtons(blocks).toMap();
    QCOMPARE(out["orange_button_short_press"].toInt(), 0xAA);
    QCOMPARE(out["type_radio"].toInt(), 0);
}

void TestCodeplugBytes::editChanges_data()
{
    QTest::addColumn<QVariant>("current");
    QTest::addColumn<QVariant>("baseline");
    QTest::addColumn<QVariant>("changes");
    using M = QVariantMap;
    using L = QVariantList;
    QTest::newRow("maps: changed keys, nested")
        << QVariant(M { { "a", 1 }, { "b", M { { "x", 1 }, { "y", 2 } } } })
        << QVariant(M { { "a", 1 }, { "b", M { { "x", 1 }, { "y", 3 } } } })
        << QVariant(M { { "b", M { { "y", 2 } } } });
    const L records { M { { "origin", 0 }, { "n", "A" }, { "f", 1 } },
        M { { "origin", 5 }, { "n", "N" } } };
    QTest::newRow("records: origin kept, a new one whole")
        << QVariant(records) << QVariant(L { M { { "origin", 0 }, { "n", "A" }, { "f", 2 } } })
        << QVariant(L { M { { "origin", 0 }, { "f", 1 } }, M { { "n", "N" } } });
    QTest::newRow("records against a map: whole")
        << QVariant(records) << QVariant(M {}) << QVariant(records);
    QTest::newRow("a map against records: whole")
        << QVariant(M { { "a", 1 } }) << QVariant(records) << QVariant(M { { "a", 1 } });
}

void TestCodeplugBytes::editChanges()
{
    QFETCH(QVariant, current);
    QFETCH(QVariant, baseline);
    QFETCH(QVariant, changes);
    QCOMPARE(EditMerge::changes(current, baseline), changes);
}

void TestCodeplugBytes::editMergeChecksums()
{
    // One changed setting: only its block differs, and that block's answer
    // checksum is the 16-bit sum of its content again (the radio checks it).
    const BlockMap image = TestImage::blankBlocks(0x11);
    Channel codec;
    QVariantList base = QVector<QVariant>(EditMerge::CollectionCount).toList(), now = base;
    base[EditMerge::Settings] = QVariantMap { { "digital_voice_level", 5 } };
    now[EditMerge::Settings] = QVariantMap { { "digital_voice_level", 6 } };
    const BlockMap out = EditMerge::apply(codec, image, now, base);
    for (auto it = out.begin(); it != out.end(); ++it)
        QVERIFY(it.key() == 4 || it.value() == image.value(it.key()));
    quint16 sum = 0;
    for (int i = 5; i < Block::ContentEnd; ++i)
        sum = quint16(sum + quint8(out[4][i]));
    QVERIFY(out[4] != image[4]);
    QCOMPARE(
        quint16(quint8(out[4][Block::ContentEnd]) << 8 | quint8(out[4][Block::ContentEnd + 1])),
        sum);
}

QTEST_GUILESS_MAIN(TestCodeplugBytes)
#include "tst_codeplug_bytes.moc"
