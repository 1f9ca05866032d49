// The image codecs. Byte-level cases: what lands where, bit by bit. Whole-image
// round trips: every encoder of a write, then the decoders, give back what went
// in (cut to each table's capacity) and change no bit the encoders do not own.
// Hostile images (missing or short blocks, huge counts): decoders read only
// what is there, encoders never add, grow or shrink blocks.
#include <QRandomGenerator>
#include <QtTest>

#include "codeplug/channel.h"
#include "codeplug/editmerge.h"
#include "codeplug/fieldcodecs.h"
#include "support/logcapture.h"
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

struct Collections {
    QVariantList channels, zones, groups, contacts, keys;
    QVariantMap settings;
};

// At capacity (`full`, with `extra` records and members beyond it) or random sizes.
Collections makeCollections(quint32 start, bool full, int extra = 0)
{
    QRandomGenerator gen(start);
    const auto rnd = [&gen](int bound) { return int(gen.bounded(bound)); };
    // How many: the capacity (plus extra) when full, else 1 or 0 to capacity.
    const auto count = [&](int capacity, int least) {
        return full ? capacity + extra : least + rnd(capacity + 1 - least);
    };
    // Unique prefix, then letters, some non-Latin (no surrogates); sometimes too long.
    const auto name = [&](int index, int maxUnits) {
        QString s = QString::number(index, 36) + QLatin1Char('_');
        static const QString pool = QStringLiteral("AbcXyz Канал-Зона0123456789ÄÖ");
        for (int i = rnd(maxUnits + 4); i > 0; --i)
            s.append(pool.at(rnd(pool.size())));
        return s;
    };
    // Tone codes as the screens produce them for each tone type.
    const auto tone = [&](int type) {
        const int digits = rnd(8) << 8 | rnd(8) << 4 | rnd(8);
        return type == 1 ? 0x0670 + rnd(0x2000)
            : type == 2  ? 0x8000 | digits
            : type == 3  ? 0xC000 | digits
                         : rnd(0x10000);
    };
    Collections c;
    const int nch = count(999, 1);
    for (int p = 0; p < nch; ++p) {
        const bool digital = full ? (p % 3 == 2) : rnd(2);
        const int rt = full ? p % 4 : rnd(4), st = full ? (p / 4) % 4 : rnd(4);
        // "channel" is ignored by the encoder.
        QVariantMap m { { "name", name(p, 16) }, { "channel", 5000 + p },
            { "send_freq", 136000000 + rnd(334000000) },
            { "recv_freq", 136000000 + rnd(334000000) }, { "type_channel", digital },
            { "power_ch", full ? bool(p % 2) : bool(rnd(2)) } };
        if (!digital)
            m.insert({ { "qt_dqt_type_rcv", rt }, { "qt_dqt_type_trasm", st },
                { "recv_qt_dqt", tone(rt) }, { "send_qt_dqt", tone(st) },
                { "chanelBand", full ? (p / 3) % 3 : rnd(3) } });
        else
            m.insert({ { "color_cod", rnd(64) }, { "rx_groupe", rnd(7) }, { "contact", rnd(44) },
                { "encrypt", rnd(128) } });
        c.channels.append(m);
    }
    for (int z = count(20, 0); z > 0; --z) {
        QVariantList members;
        for (int j = count(16, 0); j > 0; --j)
            members.append(rnd(std::min(nch, 999)));
        // A title starting with a zero low byte would end the table.
        c.zones.append(QVariantMap {
            { "title", "Z" + name(c.zones.size(), 15) }, { "selectedChannels", members } });
    }
    for (int g = count(6, 1); g > 0; --g) {
        QVariantList members;
        for (int j = count(32, 0); j > 0; --j)
            members.append(1 + rnd(0xFFFF));
        // "groups" is ignored by the encoder.
        c.groups.append(QVariantMap { { "title", name(c.groups.size(), 16) }, { "groups", 77 },
            { "selectedContacts", members } });
    }
    for (int k = count(43, 1); k > 0; --k) {
        // The number sometimes a string, as a new contact from the screens carries.
        const int number = rnd(0x1000000);
        c.contacts.append(QVariantMap { { "name", name(c.contacts.size(), 16) }, { "pos", 99 },
            { "type", rnd(3) }, { "tone", rnd(2) },
            { "number", rnd(2) ? QVariant(QString::number(number)) : QVariant(number) } });
    }
    for (int k = count(40, 1); k > 0; --k) {
        const QString v = QString::number(rnd(0x10000), 16);
        c.keys.append(QVariantMap {
            { "name", QString::number(c.keys.size(), 36) + QStringLiteral("ключ").left(rnd(5)) },
            { "number", rnd(2) ? v.toUpper() : v } });
    }
    QVariantMap &s = c.settings;
    for (const char *key :
        { "radio_id", "unique_radio_id", "squelch_normal_level", "squelch_tight_level",
            "preamble_duration", "group_call_hang_time", "private_call_hang_time",
            "analog_hang_time", "digital_hang_time", "repeater_group_call_hang",
            "repeater_private_call_hang", "mic_gain_level", "vox_sensitivity", "vox_hold_time",
            "gps_interval", "man_down_trig_entry", "man_down_trig_exit", "man_down_prealert" })
        s[key] = rnd(256) - (QByteArray(key).startsWith("man_down") ? 128 : 0);
    s.insert({ { "digital_voice_level", rnd(254) - 2 }, { "man_down_activation", bool(rnd(2)) },
        { "man_down_trigger", rnd(4) }, { "man_down_tilt", rnd(2) }, { "gps_activation", rnd(2) },
        { "gps_indication", rnd(2) }, { "des_type", rnd(16) }, { "des_mode", rnd(16) },
        { "des_channel", rnd(0x10000) }, { "des_name", "not stored" } });
    QVariantMap buttons;
    for (const char *key : { "long_press_duration", "long_press_duration_emg_off",
             "orange_button_short_press", "orange_button_long_press", "side_button1_short_press",
             "side_button1_long_press", "side_button2_short_press", "side_button2_long_press",
             "purple_button_short_press", "purple_button_long_press" })
        buttons[key] = rnd(256);
    s["buttonsSettings"] = buttons;
    return c;
}

// Which bits the encoders may change: per block a mask, 0xFF for a byte they own.
QMap<quint16, QByteArray> ownedBy(const Collections &c, int radioType)
{
    QMap<quint16, QByteArray> o;
    const auto own = [&o](int block, int offset, int length = 1, quint8 mask = 0xFF) {
        QByteArray &m = o[quint16(block)];
        if (m.isEmpty())
            m.fill('\0', Block::Size);
        for (int i = offset; i < offset + length; ++i)
            m[i] = char(quint8(m.at(i)) | mask);
    };
    // Bytes i to i + length - 1 of the content run that starts at (block, offset).
    const auto ownRun = [&own](int block, int offset, int i, int length) {
        const int flat = block * Block::ContentSize + (offset - Block::ContentBegin) + i;
        for (int j = flat; j < flat + length; ++j)
            own(j / Block::ContentSize, Block::ContentBegin + j % Block::ContentSize);
    };
    const int nch = std::min(c.channels.size(), 999);
    own(42, 142, 2);
    for (int p = 0; p < nch; ++p) {
        ownRun(42, 144, 2 * p, 2); // index entry
        ownRun(43, 172, 32 * p, 32); // name
        ownRun(58, 1452, 32 * p, 32); // record
    }
    const int nz = c.zones.size();
    for (int z = 0; z < nz; ++z) {
        ownRun(74, 652, 80 * z, 32);
        ownRun(74, 652, 80 * z + 36, 1);
        ownRun(74, 652, 80 * z + 48, 32);
    }
    ownRun(74, 652, 80 * nz, 80); // the end record
    const int ng = std::min(c.groups.size(), 6);
    for (int k = 0; k < ng; ++k) {
        own(28, 1452 + 100 * k);
        own(28, 1456 + 100 * k, 96);
    }
    own(28, 1456 + 100 * ng, std::min(100, 2060 - (1456 + 100 * ng)));
    own(41, 364, 2 + ng);
    const int nc = std::min(c.contacts.size(), 43);
    for (int k = 0; k < nc; ++k) {
        own(7, 140 + 44 * k, 37);
        own(7, 177 + 44 * k, 1, 0x01);
    }
    own(6, 142, 2 + 2 * nc);
    own(4, 1054);
    for (int k = 0; k < std::min(c.keys.size(), 40); ++k)
        own(4, 1084 + 24 * k, 18);
    for (int off : { 656, 813, 814, 562, 556, 688, 689, 654, 685, 680, 681, 691, 690, 695, 696, 829,
             830, 831, 708, 892, 893 })
        own(4, off);
    own(4, radioType == 1 ? 900 : 894, radioType == 1 ? 8 : 6);
    if (radioType != 1)
        own(4, 918, 2);
    own(4, 828, 1, 0x33);
    own(4, 700, 1, 0x08);
    own(4, 710, 1, 0x01);
    own(122, 76);
    own(122, 78, 2);
    return o;
}

void encodeAll(Channel &codec, const Collections &c, BlockMap *blocks)
{
    // The order of a write.
    codec.WriteChanells(c.channels, blocks);
    codec.WriteZones(c.zones, blocks);
    codec.encodeRxGroups(c.groups, blocks);
    codec.encodeContacts(c.contacts, blocks);
    codec.WriteEncrypts(c.keys, blocks);
    codec.encodeSettings(c.settings, blocks);
}

QVariantMap expectedChannel(const QVariantMap &m, int p)
{
    QVariantMap e { { "name", m["name"].toString().left(16) }, { "channel", p }, { "origin", p },
        { "sendFreq", uint(m["send_freq"].toInt()) }, { "recvFreq", uint(m["recv_freq"].toInt()) },
        { "powerCH", m["power_ch"].toBool() }, { "refFreq", 1 }, { "vox", false },
        { "typeChannel", m["type_channel"] } };
    const int rt = m["qt_dqt_type_rcv"].toInt(), st = m["qt_dqt_type_trasm"].toInt();
    const QVariantMap kind = !m["type_channel"].toBool()
        ? QVariantMap { { "QtDqtTypeRcv", rt }, { "QtDqtTypeTrasm", st },
              { "chanelBand", m["chanelBand"] }, { "squelchLevel", true },
              { "recvQtDqt", rt ? m["recv_qt_dqt"].toInt() : 0xFFFF },
              { "sendQtDqt", st ? m["send_qt_dqt"].toInt() : 0xFFFF }, { "colorCod", -1 },
              { "rxGroup", -1 }, { "contact", -1 }, { "encrypt", -1 } }
        : QVariantMap { { "chanelBand", -1 }, { "autoScan", false }, { "rxOnly", false },
              { "emergencySystem", 1 }, { "emergencyAlarmIndication", false },
              { "emergencyAlarmAck", false }, { "emergencyCallIndication", false },
              { "encrypt", m["encrypt"] }, { "colorCod", m["color_cod"] },
              { "rxGroup", m["rx_groupe"] }, { "contact", m["contact"] }, { "recvQtDqt", -1 },
              { "sendQtDqt", -1 }, { "sendPttId", -1 } };
    e.insert(kind);
    return e;
}

// The blocks some codec reads or writes.
const QList<int> usedBlocks = { 4, 6, 7, 28, 41, 42, 43, 44, 57, 58, 59, 73, 74, 75, 86, 87, 122 };

} // namespace

class TestCodeplug : public QObject {
    Q_OBJECT
private slots:
    void textFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << 32 << QByteArray(32, '\0');
        QTest::newRow("two letters")
            << QStringLiteral("Ab") << 32 << hex("41006200") + QByteArray(28, '\0');
        QTest::newRow("cyrillic") << QStringLiteral("Ж") << 16
                                  << hex("1604") + QByteArray(14, '\0');
        QTest::newRow("key name of 9 cut to 8")
            << QStringLiteral("123456789") << 16 << hex("31003200330034003500360037003800");
        const QString pairAtEnd = QString(15, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600");
        QTest::newRow("surrogate pair not split")
            << pairAtEnd << 32 << QByteArray("a\0", 2).repeated(15) + QByteArray(2, '\0');
    }

    void textFields()
    {
        QFETCH(QString, text);
        QFETCH(int, field);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeTextField(text, field), bytes);
        if (text.size() * 2 <= field)
            QCOMPARE(encodeUtf16Field(text), bytes.left(text.size() * 2));
    }

    void textDecoding()
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

    void bitFields()
    {
        // Old byte, mask, value, result: the value lands under the mask, the other
        // bits stay; a value too large for its field does not spill out of it.
        for (auto [old, mask, value, inserted] :
            { std::array { 0xFF, 0x30, 1, 0xDF }, { 0x00, 0x30, 2, 0x20 }, { 0x00, 0x0C, 2, 0x08 },
                { 0x41, 0x80, 1, 0xC1 }, { 0x00, 0x30, 4, 0x00 }, { 0x40, 0x01, 2, 0x40 } })
            QCOMPARE(int(maskedInsert(quint8(old), quint8(mask), value)), inserted);
    }

    void channelRecord_data()
    {
        QTest::addColumn<int>("radioType");
        QTest::addColumn<QVariantMap>("channel");
        QTest::addColumn<QByteArray>("tail"); // record bytes 8 to 31
        const auto row
            = [](const char *name, int radioType, const QVariantMap &channel, const char *tail) {
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
        row("analogue, DCS inverted, 12.5 kHz, high power", 0,
            analogue(3, 0xC023, 3, 0xC754, 1, true),
            "17 C0 88 04 FF FF 00 00 23 C0 54 C7 00 00 00 00 20 02 01 0F 00 00 00 00");
    }

    void channelRecord()
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

    void channelNames()
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

    void channelCountZero()
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

    void zones_data()
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
        QTest::newRow("empty title")
            << QVariantList { zone(""), zone("B", { 1 }) } << QStringList { "Zone 1", "B" };
        QTest::newRow("titles starting with U+0400, U+0401, U+0100")
            << QVariantList { zone("Ѐa", { 2 }), zone("Ёb"), zone("Āc") }
            << QStringList { "\uFFFDa", "Ёb", "\uFFFDc" };
    }

    void zones()
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

    void contacts()
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
        QCOMPARE(
            blocks[7].mid(140, 38), hex("41006200") + QByteArray(28, '\0') + hex("3930000002FF"));
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

    void encryptionKeys()
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

    void rxGroups()
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
        QCOMPARE(blocks[28].mid(2052),
            before[28].mid(2052, 4) + QByteArray(4, '\0') + before[28].mid(2060));
        QCOMPARE(
            blocks[41].mid(364, 9).remove(1, 1), hex("06010203040506") + before[41].mid(372, 1));

        // Fewer groups than before: the names of the older ones stay listed.
        codec.decodeAll(blocks);
        codec.encodeRxGroups(named(3, "title", "N%1"), &blocks);
        const QVariantMap names = codec.decodeAll(blocks)["rxGroupNames"].toMap();
        QCOMPARE(names.keys(), (QStringList { "1", "2", "3", "4", "5", "6" }));
        QCOMPARE(names["3"].toByteArray(), encodeTextField(QStringLiteral("N2"), 32));
        QCOMPARE(names["4"].toByteArray(), encodeTextField(QStringLiteral("G3"), 32));
    }

    void settings()
    {
        BlockMap blocks = TestImage::blankBlocks(0xCC);
        Channel codec;
        blocks[4][709] = 0x01;
        blocks[4][700] = 0x41;
        const QVariantMap s { { "digital_voice_level", 5 }, { "man_down_trigger", 2 },
            { "man_down_tilt", 1 }, { "man_down_activation", true },
            { "repeater_group_call_hang", 6 }, { "group_call_hang_time", 60 },
            { "gps_interval", 60 }, { "gps_activation", 1 }, { "des_type", 1 }, { "des_mode", 0 },
            { "des_channel", 0xFFFF }, { "man_down_trig_entry", -1 },
            { "buttonsSettings", QVariantMap { { "long_press_duration", 500 } } } };
        codec.encodeSettings(s, &blocks);
        const QByteArray b = blocks[4];
        // 828: 0xCC with bits 0x33 replaced; 710 bit 0 was clear already; 562, a
        // key the map lacks, keeps its byte.
        for (auto [at, value] : { std::pair(685, 7), { 828, (0xCC & ~0x33) | 0x23 }, { 695, 6 },
                 { 680, 60 }, { 708, 0x3C }, { 709, 1 }, { 700, 0x49 }, { 710, 0xCC }, { 892, 244 },
                 { 562, 0xCC } })
            QVERIFY2(quint8(b[at]) == value, qPrintable(QString::number(at)));
        QCOMPARE(blocks[122].mid(76, 4), hex("01CCFFFF"));
        // The voice level is stored plus 2: a stored 0 reads as -2.
        blocks[4][685] = 0;
        QCOMPARE(codec.decodeBasicSettings(blocks).toMap()["digital_voice_level"].toInt(), -2);
        codec.encodeSettings(QVariantMap { { "gps_activation", 0 } }, &blocks);
        QCOMPARE(quint8(blocks[4][700]), quint8(0x41));
    }

    void buttonsByRadioType()
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

    void editChanges_data()
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

    void editChanges()
    {
        QFETCH(QVariant, current);
        QFETCH(QVariant, baseline);
        QFETCH(QVariant, changes);
        QCOMPARE(EditMerge::changes(current, baseline), changes);
    }

    void editMergeChecksums()
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

    void roundTrip_data()
    {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("radioType");
        QTest::addColumn<quint8>("fill");
        QTest::addColumn<int>("extra");
        QTest::newRow("full, type 0, random image") << 1u << true << 0 << quint8(0) << 0;
        QTest::newRow("full, type 1, random image") << 2u << true << 1 << quint8(0) << 0;
        QTest::newRow("full, type 0, erased image") << 3u << true << 0 << quint8(0xFF) << 0;
        QTest::newRow("random 1, type 0") << 101u << false << 0 << quint8(0) << 0;
        QTest::newRow("random 2, type 1") << 202u << false << 1 << quint8(0) << 0;
        QTest::newRow("5 beyond every capacity, type 0") << 5u << true << 0 << quint8(0x5C) << 5;
    }

    void roundTrip()
    {
        QFETCH(quint32, start);
        QFETCH(bool, full);
        QFETCH(int, radioType);
        QFETCH(quint8, fill);
        QFETCH(int, extra);
        LogCapture quiet;
        const BlockMap before
            = fill ? TestImage::blankBlocks(fill) : TestImage::randomBlocks(start * 7919u);
        const Collections c = makeCollections(start, full, extra);
        Channel codec;
        codec.setRadioType(radioType);
        BlockMap blocks = before;
        encodeAll(codec, c, &blocks);

        // Nothing but the owned bits changed; no block changed length.
        QCOMPARE(blocks.keys(), before.keys());
        const auto owned = ownedBy(c, radioType);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QByteArray after = blocks.value(it.key());
            const QByteArray mask = owned.value(it.key(), QByteArray(Block::Size, '\0'));
            QCOMPARE(after.size(), it.value().size());
            for (int i = 0; i < after.size(); ++i) {
                if (quint8(after.at(i) ^ it.value().at(i)) & ~quint8(mask.at(i)))
                    QFAIL(qPrintable(
                        QStringLiteral("foreign bits changed at %1:%2").arg(it.key()).arg(i)));
            }
        }

        const QVariantMap decoded = codec.decodeAll(blocks);
        QCOMPARE(decoded.size(), 8);

        const QVariantList channels = decoded["freqList"].toList();
        QCOMPARE(channels.size(), std::min(c.channels.size(), 999));
        for (int p = 0; p < channels.size(); ++p)
            QCOMPARE(channels[p].toMap(), expectedChannel(c.channels[p].toMap(), p));

        // Zones, groups and contacts: names cut to 16 units, members to the
        // capacity, group numbers and contact positions in order.
        const auto lists = [&](const char *key, const QVariantList &in, int capacity,
                               const char *members, int memberCapacity, const char *number) {
            const QVariantList out = decoded[key].toList();
            QCOMPARE(out.size(), std::min(in.size(), capacity));
            for (int i = 0; i < out.size(); ++i) {
                QVariantMap m = in[i].toMap(), o = out[i].toMap();
                const char *name = m.contains("title") ? "title" : "name";
                QCOMPARE(o[name].toString(), m[name].toString().left(16));
                QCOMPARE(o[members].toList(), m[members].toList().mid(0, memberCapacity));
                if (*number)
                    QCOMPARE(o[number].toInt(), *number == 'p' ? i : i + 1);
                for (const char *k : { "type", "number", "tone" })
                    QCOMPARE(o[k].toUInt(), m[k].toUInt());
            }
        };
        lists("zoneList", c.zones, 250, "selectedChannels", 16, "");
        lists("RxGroupsList", c.groups, 6, "selectedContacts", 32, "groups");
        lists("contactList", c.contacts, 43, "none", 0, "pos");

        QVariantMap keys;
        for (const QVariant &k : c.keys.mid(0, 40))
            keys[k.toMap()["name"].toString().left(8)]
                = QString::number(k.toMap()["number"].toString().toUInt(nullptr, 16), 16);
        QCOMPARE(decoded["encryptList"].toMap(), keys);

        const QVariantMap basic = decoded["basicSettings"].toMap();
        QCOMPARE(basic.size(), 21);
        for (auto it = basic.cbegin(); it != basic.cend(); ++it) {
            const QVariant in = c.settings.value(it.key());
            if (it.value().type() == QVariant::Bool)
                QCOMPARE(it.value().toBool(), in.toInt() != 0);
            else
                QCOMPARE(it.value().toInt(), in.toInt());
        }
        const QVariantMap buttons = decoded["buttonsSettings"].toMap();
        QCOMPARE(buttons.size(), 11);
        QCOMPARE(buttons["type_radio"].toInt(), radioType);
        const QVariantMap buttonsIn = c.settings["buttonsSettings"].toMap();
        for (auto it = buttonsIn.cbegin(); it != buttonsIn.cend(); ++it)
            QCOMPARE(buttons[it.key()].toInt(), it.value().toInt());

        // The GPS switches and interval, read back from their bytes.
        const QByteArray b4 = blocks[4];
        QCOMPARE(bool(b4[700] & 0x08), c.settings["gps_activation"].toBool());
        QCOMPARE(bool(b4[710] & 0x01), c.settings["gps_indication"].toBool());
        QCOMPARE(quint8(b4[708]), quint8(c.settings["gps_interval"].toInt()));
        const QByteArray b122 = blocks[122];
        QCOMPARE(quint8(b122[76]),
            quint8((c.settings["des_mode"].toInt() << 4) | c.settings["des_type"].toInt()));
        QCOMPARE(quint8(b122[78]) | quint8(b122[79]) << 8, c.settings["des_channel"].toInt());
    }

    void hostileImages_data()
    {
        QTest::addColumn<BlockMap>("blocks");
        QTest::addColumn<int>("radioType");
        QTest::addColumn<QString>("counts"); // channels zones contacts keys groups; "": bounds only
        QTest::addColumn<QStringList>("log"); // every count cut to its table is reported
        QTest::newRow("empty map") << BlockMap() << 0 << "0 0 0 0 0" << QStringList();
        // Erased: channel count 0xFFFF is none, zones and contacts read to their
        // capacity (zone members as channel 0), key and group counts refused.
        QTest::newRow("all 0xFF") << TestImage::blankBlocks(0xFF) << 0 << "0 250 43 0 0"
                                  << QStringList { "ParsingChanels: Err quantityCH=65535",
                                         "ParsingZones: member count above 16, read 16",
                                         "decodeContacts: quantity=255 read=43",
                                         "decodeEncryption: quantityKeys=-1 read=0",
                                         "decodeRxGroups: quantity=65535 read=6",
                                         "decodeRxGroups: 6 slots outside the records skipped" };
        QTest::newRow("all 0xFF, type 1")
            << TestImage::blankBlocks(0xFF) << 1 << "" << QStringList();
        // 999 channels; counts just past the tables: 1000 channels, 41 keys (all
        // names empty, so one), a group slot 7 past record 6, 33 members.
        BlockMap counts = TestImage::blankBlocks();
        Channel codec;
        QVariantList channels;
        for (int p = 0; p < 999; ++p)
            channels.append(QVariantMap { { "name", QString::number(p) } });
        codec.WriteChanells(channels, &counts);
        counts[42][142] = char(0xE8);
        counts[42][143] = 0x03;
        counts[4][1054] = 41;
        counts[41].replace(364, 5, hex("0300010706"));
        counts[28][1452 + 500] = 33;
        const QStringList log { "ParsingZones: quantityZons=-1",
            "decodeEncryption: quantityKeys=41 read=40",
            "decodeRxGroups: 1 slots outside the records skipped",
            "decodeRxGroups: 1 member counts above 32, read 32" };
        QTest::newRow("counts past the tables")
            << counts << 0 << "999 0 0 1 2"
            << QStringList { "ParsingChanels: quantityCH=1000 read=999" } + log;
        counts[42][143] = 0x7F; // 32744
        QTest::newRow("channel count 32744")
            << counts << 0 << "999 0 0 1 2"
            << QStringList { "ParsingChanels: Err quantityCH=32744" } + log;
        for (int cut : { 0, 12, 13, 700, 1453, 2059, 2062 }) {
            BlockMap m = TestImage::randomBlocks(quint32(cut));
            for (int b : usedBlocks)
                m[quint16(b)].truncate(cut);
            QTest::newRow(qPrintable(QStringLiteral("used blocks cut to %1").arg(cut)))
                << m << 0 << "" << QStringList();
        }
        for (int b : usedBlocks) {
            BlockMap m = TestImage::blankBlocks(0xFF);
            m.remove(quint16(b));
            QTest::newRow(qPrintable(QStringLiteral("block %1 missing").arg(b)))
                << m << 0 << "" << QStringList();
        }
        BlockMap longer = TestImage::blankBlocks(0xFF);
        for (auto &b : longer)
            b.append(QByteArray(100, char(0xFF)));
        QTest::newRow("blocks longer than 2063 bytes") << longer << 1 << "" << QStringList();
    }

    void hostileImages()
    {
        QFETCH(BlockMap, blocks);
        QFETCH(int, radioType);
        QFETCH(QString, counts);
        QFETCH(QStringList, log);
        LogCapture captured;
        Channel codec;
        codec.setRadioType(radioType);
        const QVariantMap decoded = codec.decodeAll(blocks);
        QStringList sizes;
        for (auto [key, capacity] : { std::pair("freqList", 999), { "zoneList", 250 },
                 { "contactList", 43 }, { "encryptList", 40 }, { "RxGroupsList", 6 } }) {
            const int n = decoded[key].userType() == QMetaType::QVariantMap
                ? decoded[key].toMap().size()
                : decoded[key].toList().size();
            QVERIFY2(n <= capacity, key);
            sizes << QString::number(n);
        }
        if (!counts.isEmpty())
            QCOMPARE(sizes.join(' '), counts);
        for (const QVariant &z : decoded["zoneList"].toList())
            QVERIFY(z.toMap()["selectedChannels"].toList().size() <= 16);
        for (const QVariant &g : decoded["RxGroupsList"].toList())
            QVERIFY(g.toMap()["selectedContacts"].toList().size() <= 32);
        if (!log.isEmpty())
            QCOMPARE(captured.lines(), log);
        if (counts == "0 250 43 0 0") {
            QCOMPARE(decoded["zoneList"].toList()[0].toMap()["selectedChannels"].toList(),
                QVariantList().toVector().fill(0, 16).toList());
        }

        // Encoders over the same image: same blocks, same lengths.
        BlockMap edited = blocks;
        encodeAll(codec, makeCollections(7, true, 3), &edited);
        QCOMPARE(edited.keys(), blocks.keys());
        for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
            QCOMPARE(edited[it.key()].size(), it.value().size());
            // Heads and trailers are never written.
            QCOMPARE(edited[it.key()].left(12), it.value().left(12));
            QCOMPARE(edited[it.key()].mid(2060), it.value().mid(2060));
        }
        codec.decodeAll(edited);
    }
};

QTEST_GUILESS_MAIN(TestCodeplug)
#include "tst_codeplug.moc"
