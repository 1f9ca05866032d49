// Whole-image round trips: every encoder of a write, then the decoders, give
// back what went in (cut to each table's capacity) and change no bit the
// encoders do not own. Hostile images (missing or short blocks, huge counts):
// decoders read only what is there, encoders never add, grow or shrink blocks.
#include <QRandomGenerator>
#include <QtTest>

#include "codeplug/channel.h"
#include "support/logcapture.h"
#include "support/testimage.h"

namespace {

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

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

// The blocks some codec reads or writes.
const QList<int> usedBlocks = { 4, 6, 7, 28, 41, 42, 43, 44, 57, 58, 59, 73, 74, 75, 86, 87, 122 };

} // namespace

class TestCodeplugRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void hostileImages_data();
    void hostileImages();
};

void TestCodeplugRoundTrip::roundTrip_data()
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

void TestCodeplugRoundTrip::roundTrip()
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

void TestCodeplugRoundTrip::hostileImages_data()
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
    QTest::newRow("all 0xFF, type 1") << TestImage::blankBlocks(0xFF) << 1 << "" << QStringList();
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

void TestCodeplugRoundTrip::hostileImages()
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

QTEST_GUILESS_MAIN(TestCodeplugRoundTrip)
#include "tst_codeplug_roundtrip.moc"
