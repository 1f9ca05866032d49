// Settings, buttons and encryption keys of the settings block (block 4) and
// the emergency settings of block 122.
#include "codeplug/channel.h"

#include <QDebug>
#include <QHash>
#include <QPair>

#include "codeplug/fieldcodecs.h"

#include <algorithm>

namespace {

enum class Kind {
    UnsignedByte,
    VoiceLevel, // stored with an offset of 2
    SignedByte,
    Flag, // decoded and encoded as a bool
    AnyBitOfTwo, // decoded true when a bit is set, encoded from an int
    FlagFromInt, // decoded as a bool, encoded from an int
};

struct Row {
    const char *key;
    int blockEntry;
    int offsetEntry;
    int maskEntry; // -1 for whole bytes
    Kind kind;
    bool decoded; // the GPS rows are decoded by the GPS codec
};

const Row micVoxRows[] = {
    { "mic_gain_level", Entry::MicVoxBlock, Entry::MicGainLevel, -1, Kind::UnsignedByte, true },
    { "vox_sensitivity", Entry::MicVoxBlock, Entry::VoxSensitivity, -1, Kind::UnsignedByte, true },
    { "vox_hold_time", Entry::MicVoxBlock, Entry::VoxHoldTime, -1, Kind::UnsignedByte, true },
};

#define BUTTON(key, entry)                                                                         \
    {                                                                                              \
        key, Entry::ButtonBlock, entry, -1, Kind::UnsignedByte, true                               \
    }
const Row buttonRows[] = {
    BUTTON("long_press_duration", 25),
    BUTTON("long_press_duration_emg_off", 26),
    BUTTON("orange_button_short_press", 27),
    BUTTON("orange_button_long_press", 28),
    BUTTON("side_button1_short_press", 29),
    BUTTON("side_button1_long_press", 30),
    BUTTON("side_button2_short_press", 31),
    BUTTON("side_button2_long_press", 32),
    BUTTON("purple_button_short_press", 33),
    BUTTON("purple_button_long_press", 34),
};
#undef BUTTON

#define BASIC(key, entry)                                                                          \
    {                                                                                              \
        key, Entry::SettingsBlock, entry, -1, Kind::UnsignedByte, true                             \
    }
// In the order they are written.
const Row basicRows[] = {
    BASIC("radio_id", 36),
    BASIC("unique_radio_id", 37),
    BASIC("squelch_normal_level", 38),
    BASIC("squelch_tight_level", 39),
    BASIC("preamble_duration", 40),
    { "digital_voice_level", Entry::SettingsBlock, 41, -1, Kind::VoiceLevel, true },
    BASIC("group_call_hang_time", 42),
    BASIC("private_call_hang_time", 43),
    BASIC("analog_hang_time", 44),
    BASIC("digital_hang_time", 45),
    BASIC("repeater_group_call_hang", 46),
    BASIC("repeater_private_call_hang", 47),
    { "man_down_trig_entry", Entry::SettingsBlock, 141, -1, Kind::SignedByte, true },
    { "man_down_trig_exit", Entry::SettingsBlock, 142, -1, Kind::SignedByte, true },
    { "man_down_prealert", Entry::SettingsBlock, 143, -1, Kind::SignedByte, true },
    { "man_down_activation", Entry::SettingsBlock, 139, 140, Kind::Flag, true },
    { "man_down_trigger", Entry::SettingsBlock, 144, 145, Kind::AnyBitOfTwo, true },
    { "man_down_tilt", Entry::SettingsBlock, 146, 147, Kind::FlagFromInt, true },
    { "gps_activation", Entry::SettingsBlock, 132, 133, Kind::Flag, false },
    { "gps_indication", Entry::SettingsBlock, 134, 135, Kind::Flag, false },
    { "gps_interval", Entry::SettingsBlock, 136, -1, Kind::UnsignedByte, false },
};
#undef BASIC

template <size_t N>
void decodeRows(const Row (&rows)[N], const Layout &L, const BlockMap &blocks, QVariantMap *out)
{
    for (const Row &row : rows) {
        if (!row.decoded)
            continue;
        const QByteArray block = blocks.value(L[row.blockEntry]);
        const int offset = L[row.offsetEntry];
        const quint8 mask = row.maskEntry < 0 ? 0xFF : quint8(L[row.maskEntry]);
        QVariant value;
        switch (row.kind) {
        case Kind::UnsignedByte:
            value = int(u8(block, offset));
            break;
        case Kind::VoiceLevel:
            value = int(u8(block, offset)) - 2;
            break;
        case Kind::SignedByte:
            value = int(s8(block, offset));
            break;
        case Kind::Flag:
        case Kind::AnyBitOfTwo:
        case Kind::FlagFromInt:
            value = bitFlag(u8(block, offset), mask);
            break;
        }
        out->insert(QLatin1String(row.key), value);
    }
}

// Writes the rows whose keys the map holds, in table order; a key the map
// lacks keeps its stored bits.
template <size_t N>
void encodeRows(const Row (&rows)[N], const Layout &L, const QVariantMap &in, BlockMap *blocks)
{
    for (const Row &row : rows) {
        const auto it = in.constFind(QLatin1String(row.key));
        if (it == in.constEnd())
            continue;
        BlockEdit block(blocks, L[row.blockEntry]);
        const QVariant v = it.value();
        const int offset = L[row.offsetEntry];
        switch (row.kind) {
        case Kind::UnsignedByte:
        case Kind::SignedByte:
            block.set8(offset, v.toInt());
            break;
        case Kind::VoiceLevel:
            block.set8(offset, v.toInt() + 2);
            break;
        case Kind::Flag:
            block.insert(offset, quint8(L[row.maskEntry]), v.toBool() ? 1 : 0);
            break;
        case Kind::AnyBitOfTwo:
        case Kind::FlagFromInt:
            block.insert(offset, quint8(L[row.maskEntry]), v.toInt());
            break;
        }
    }
}

void log(const QString &line) { qDebug().noquote() << line; }

} // namespace

QVariant Channel::decodeBasicSettings(const BlockMap &blocks)
{
    QVariantMap map;
    decodeRows(basicRows, layout, blocks, &map);
    decodeRows(micVoxRows, layout, blocks, &map);
    return map;
}

QVariant Channel::decodeButtons(const BlockMap &blocks)
{
    QVariantMap map;
    decodeRows(buttonRows, layout, blocks, &map);
    map.insert(QStringLiteral("type_radio"), typeRadio);
    return map;
}

void Channel::encodeSettings(const QVariant &settings, BlockMap *blocks)
{
    const QVariantMap map = settings.toMap();
    encodeRows(micVoxRows, layout, map, blocks);
    encodeButtons(map.value(QStringLiteral("buttonsSettings")).toMap(), blocks);
    encodeBasicSettings(map, blocks);
}

void Channel::encodeButtons(const QVariantMap &buttons, BlockMap *blocks)
{
    encodeRows(buttonRows, layout, buttons, blocks);
}

void Channel::encodeBasicSettings(const QVariantMap &settings, BlockMap *blocks)
{
    encodeRows(basicRows, layout, settings, blocks);

    // The digital emergency system: only what the map names is written.
    BlockEdit des(blocks, layout[Entry::EmergencyBlock]);
    const int modeAt = layout[Entry::EmergencyTypeMode];
    const QString modeKey = QStringLiteral("des_mode"), typeKey = QStringLiteral("des_type"),
                  channelKey = QStringLiteral("des_channel");
    if (settings.contains(modeKey) || settings.contains(typeKey)) {
        const int old = des.get(modeAt);
        const int mode = settings.value(modeKey, old >> 4).toInt();
        const int type = settings.value(typeKey, old & 0x0F).toInt();
        des.set8(modeAt, (mode << 4) | (type & 0xFF));
    }
    if (settings.contains(channelKey))
        des.set16le(layout[Entry::EmergencyChannel], settings.value(channelKey).toInt());
}

QVariant Channel::decodeEncryption(const BlockMap &blocks)
{
    const Layout &L = layout;
    const QByteArray block = blocks.value(L[Entry::KeyBlock]);
    const int n = s8(block, L[Entry::KeyCount]);
    QVariantMap map;
    if (n == 0)
        return map;
    const int count = std::clamp(n, 0, int(MaxKeys));
    if (count != n)
        log(QStringLiteral("decodeEncryption: quantityKeys=%1 read=%2").arg(n).arg(count));
    const int nameLen = L[Entry::KeyNameLength];
    const int stride = L[Entry::KeyStride];
    for (int k = 0; k < count; ++k) {
        const int nameAt = L[Entry::KeyName] + stride * k;
        const int valueAt = L[Entry::KeyValue] + stride * k;
        if (!hasBytes(block, nameAt, nameLen) || !hasBytes(block, valueAt, 2))
            break;
        const uint value = uint(u8(block, valueAt)) * 256 + u8(block, valueAt + 1);
        map.insert(decodeTextField(block, nameAt, nameLen), QString::number(value, 16));
    }
    return map;
}

// A key with an "origin" (its index in the stored table) keeps its stored
// name and value, moved to its new place, except for the keys it carries; one
// without is new and written whole.
void Channel::WriteEncrypts(const QVariant &keys, BlockMap *blocks)
{
    const Layout &L = layout;
    const QVariantList list = keys.toList();
    int n = list.size();
    if (n == 0) {
        log(QStringLiteral(" WriteEncrypts: quantityZon<=0"));
        return;
    }
    if (n > MaxKeys) {
        log(QStringLiteral("WriteEncrypts: quantityKeys=%1 written=%2").arg(n).arg(MaxKeys));
        n = MaxKeys;
    }
    const QByteArray stored = blocks->value(L[Entry::KeyBlock]);
    const int storedCount = std::clamp(int(s8(stored, L[Entry::KeyCount])), 0, int(MaxKeys));
    BlockEdit block(blocks, L[Entry::KeyBlock]);
    const int nameLen = L[Entry::KeyNameLength];
    const int stride = L[Entry::KeyStride];
    // The stored keys by what they show, for rows that name no origin: a key
    // handed back as it was shown keeps its stored bytes.
    QHash<QPair<QString, QString>, int> storedByContent;
    for (int k = storedCount - 1; k >= 0; --k) {
        const int at = L[Entry::KeyValue] + stride * k;
        storedByContent.insert(
            { decodeTextField(stored, L[Entry::KeyName] + stride * k, nameLen),
                QString::number(uint(u8(stored, at)) * 256 + u8(stored, at + 1), 16) },
            k);
    }
    for (int k = 0; k < n; ++k) {
        const QVariantMap m = list.at(k).toMap();
        const int origin = m.contains(QStringLiteral("origin"))
            ? m.value(QStringLiteral("origin")).toInt()
            : storedByContent.value({ m.value(QStringLiteral("name")).toString(),
                                        m.value(QStringLiteral("number")).toString().toLower() },
                -1);
        const QByteArray name = origin >= 0 && origin < storedCount
            ? rawField(stored, L[Entry::KeyName] + stride * origin, nameLen)
            : QByteArray();
        const QByteArray value = origin >= 0 && origin < storedCount
            ? rawField(stored, L[Entry::KeyValue] + stride * origin, 2)
            : QByteArray();
        const bool kept = name.size() == nameLen && value.size() == 2;
        // A row found by its content carries the values its stored key shows.
        const bool sameContent = kept && !m.contains(QStringLiteral("origin"));
        block.setBytes(L[Entry::KeyName] + stride * k,
            kept && (sameContent || !m.contains(QStringLiteral("name")))
                ? name
                : encodeTextField(m.value(QStringLiteral("name")).toString(), nameLen));
        const int at = L[Entry::KeyValue] + stride * k;
        if (kept && (sameContent || !m.contains(QStringLiteral("number")))) {
            block.setBytes(at, value);
            continue;
        }
        bool ok = false;
        uint v = m.value(QStringLiteral("number")).toString().toUInt(&ok, 16);
        if (!ok)
            v = 0;
        block.set8(at, int(v >> 8));
        block.set8(at + 1, int(v));
    }
    block.set8(L[Entry::KeyCount], n);
}
