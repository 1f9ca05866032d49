#include "codeplug/channel.h"

#include <QDebug>
#include <QHash>

#include "codeplug/fieldcodecs.h"
#include "codeplug/recordstream.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

// Bytes 8 to 31 of a record, laid down before the fields are written.
const char digitalTemplate[24]
    = { 0x16, char(0x80), char(0x80), 0x04, char(0xFF), char(0xFF), 0x00, 0x00, 0x41, 0x00, 0x00,
          0x00, 0x00, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00 };
const char analogueTemplate[24] = { 0x15, char(0xC0), char(0x88), 0x04, char(0xFF), char(0xFF),
    0x00, 0x00, char(0xFF), char(0xFF), char(0xFF), char(0xFF), 0x00, 0x00, 0x00, 0x00, 0x20, 0x02,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00 };

constexpr int IndexEntriesInDirectory = 958; // positions 0 to 957 in block 42
constexpr int NamesInFirstBlock = 59; // positions 0 to 58 in block 43
constexpr int NamesPerBlock = 64;
constexpr int MaxNameSlot = 1000;

void log(const QString &line) { qDebug().noquote() << line; }

// A text cut to the code units that fit, never splitting a surrogate pair.
QString cutText(const QString &text, int units)
{
    if (text.size() <= units)
        return text;
    if (units > 0 && text.at(units - 1).isHighSurrogate())
        --units;
    return text.left(units);
}

// Walks the channel records: 32 bytes each from block 58 offset 1452, moving
// to offset 12 of the next block when a record would start past 2058.
struct RecordCursor {
    int block;
    int offset;
    int length;
    void advance()
    {
        offset += length;
        if (offset > Block::ContentEnd - 2)
            block += 1, offset = Block::ContentBegin;
    }
};

int toneWord(int code, int type)
{
    if (type >= 2)
        return (code | (type << 14)) & 0xFFFF;
    if (type == 1)
        return code & 0xFFFF;
    return 0xFFFF;
}

// The decoded channel map. Its keys are fixed per kind of channel, so every map
// is a copy of a prototype with the values filled in key order: no look-ups.
enum Field {
    Name,
    Position,
    SendFreq,
    RecvFreq,
    Power,
    RefFreq,
    Vox,
    Band,
    Digital,
    ToneTypeRcv,
    ToneTypeTrasm,
    Squelch,
    RecvTone,
    SendTone,
    ColorCode,
    RxGroup,
    ContactNo,
    Encrypt,
    AutoScan,
    RxOnly,
    EmergencySystem,
    AlarmIndication,
    AlarmAck,
    CallIndication,
    PttId,
    Origin,
    FieldCount
};
const char *const fieldKeys[FieldCount] = { "name", "channel", "sendFreq", "recvFreq", "powerCH",
    "refFreq", "vox", "chanelBand", "typeChannel", "QtDqtTypeRcv", "QtDqtTypeTrasm", "squelchLevel",
    "recvQtDqt", "sendQtDqt", "colorCod", "rxGroup", "contact", "encrypt", "autoScan", "rxOnly",
    "emergencySystem", "emergencyAlarmIndication", "emergencyAlarmAck", "emergencyCallIndication",
    "sendPttId", "origin" };
const std::initializer_list<Field> analogueFields = { Name, Position, SendFreq, RecvFreq, Power,
    RefFreq, Vox, Band, Digital, ToneTypeRcv, ToneTypeTrasm, Squelch, RecvTone, SendTone, ColorCode,
    RxGroup, ContactNo, Encrypt, Origin };
const std::initializer_list<Field> digitalFields = { Name, Position, SendFreq, RecvFreq, Power,
    RefFreq, Vox, Band, Digital, AutoScan, RxOnly, EmergencySystem, AlarmIndication, AlarmAck,
    CallIndication, Encrypt, ColorCode, RxGroup, ContactNo, RecvTone, SendTone, PttId, Origin };

class MapShape {
public:
    explicit MapShape(std::initializer_list<Field> fields)
    {
        for (Field f : fields)
            prototype.insert(QLatin1String(fieldKeys[f]), QVariant());
        for (auto it = prototype.cbegin(); it != prototype.cend(); ++it) {
            for (Field f : fields) {
                if (it.key() == QLatin1String(fieldKeys[f]))
                    order.push_back(f);
            }
        }
    }
    QVariantMap make(const QVariant *values) const
    {
        QVariantMap m = prototype;
        auto f = order.cbegin();
        for (auto it = m.begin(); it != m.end(); ++it, ++f)
            it.value() = values[*f];
        return m;
    }

private:
    QVariantMap prototype;
    std::vector<Field> order;
};

} // namespace

Channel::Channel(QObject *parent) : QObject(parent)
{
    // Sane values until the first image sets the radio type.
    layout = layoutFor(0);
    contacts.setLayout(layout);
}

void Channel::setRadioType(int radioType)
{
    layout = layoutFor(radioType);
    typeRadio = radioType;
    contacts.setLayout(layout);
}

Channel::Place Channel::indexEntryPlace(int position) const
{
    if (position < IndexEntriesInDirectory)
        return { layout[Entry::DirectoryBlock], layout[Entry::IndexTable] + 2 * position };
    return { layout[Entry::NameBlock],
        Block::ContentBegin + 2 * (position - IndexEntriesInDirectory) };
}

Channel::Place Channel::namePlace(int position) const
{
    const int len = layout[Entry::NameLength];
    if (position < NamesInFirstBlock)
        return { layout[Entry::NameBlock], layout[Entry::NameBase] + len * (position + 1) };
    const int q = position - NamesInFirstBlock;
    return { layout[Entry::NameBlock] + 1 + q / NamesPerBlock,
        Block::ContentBegin + len * (q % NamesPerBlock) };
}

QVariantList Channel::ParsingChanels(const BlockMap &blocks)
{
    if (blocks.isEmpty())
        log(QStringLiteral("ParsingChanels: Err map=0"));
    const Layout &L = layout;
    const QByteArray directory = blocks.value(L[Entry::DirectoryBlock]);
    const qint16 n = qint16(u16le(directory, L[Entry::ChannelCount]));
    if (quint16(n) == 0 || quint16(n) > 1000)
        log(QStringLiteral("ParsingChanels: Err quantityCH=%1").arg(quint16(n)));

    nameByCode.clear();
    nameByPosition.clear();
    positionByCode.clear();
    QVariantList list;
    if (n <= 0)
        return list;
    const int count = std::min(int(n), MaxChannels);
    if (n == MaxChannels + 1)
        log(QStringLiteral("ParsingChanels: quantityCH=%1 read=%2").arg(int(n)).arg(count));
    list.reserve(count);
    static const MapShape analogueShape(analogueFields);
    static const MapShape digitalShape(digitalFields);

    const int nameLen = L[Entry::NameLength];
    const QByteArray nameBlock = blocks.value(L[Entry::NameBlock]);
    RecordCursor rec { L[Entry::RecordBlock], L[Entry::RecordBase] + L[Entry::RecordLength],
        L[Entry::RecordLength] };
    int loaded = -1;
    QByteArray recBlock;
    int loadedName = -1;
    QByteArray nameArea;
    for (int p = 0; p < count; ++p, rec.advance()) {
        if (rec.block != loaded) {
            recBlock = blocks.value(quint16(rec.block));
            loaded = rec.block;
        }
        if (!hasBytes(recBlock, rec.offset, rec.length)) {
            log(QStringLiteral("ParsingChanels: Err chanel_data.isEmpty()"));
            return list;
        }
        const uchar *r = reinterpret_cast<const uchar *>(recBlock.constData()) + rec.offset;
        auto at = [r](int i) { return r[i]; };

        const Place idx = indexEntryPlace(p);
        const quint16 code
            = u16le(idx.block == L[Entry::NameBlock] ? nameBlock : directory, idx.offset);
        const int slot = code ? code - 1 : 0;
        const Place np = nameFieldOf(p, code);
        if (np.block != loadedName) {
            nameArea
                = np.block == L[Entry::NameBlock] ? nameBlock : blocks.value(quint16(np.block));
            loadedName = np.block;
        }
        const QByteArray rawName = rawField(nameArea, np.offset, nameLen);
        nameByCode.insert(quint16(slot + 1), rawName);
        nameByPosition.insert(quint16(p), rawName);
        if (!positionByCode.contains(code))
            positionByCode.insert(code, p);

        QVariant v[FieldCount];
        v[Name] = decodeUtf16Units(rawName);
        v[Position] = p;
        v[Origin] = p;
        const auto le32 = [&at](int i) {
            return uint(at(i) | (at(i + 1) << 8) | (at(i + 2) << 16) | (uint(at(i + 3)) << 24));
        };
        v[SendFreq] = le32(L[Entry::SendFreq]);
        v[RecvFreq] = le32(L[Entry::RecvFreq]);
        v[Power] = bitFlag(at(L[Entry::PowerByte]), L[Entry::PowerMask]);
        v[RefFreq] = twoBitField(at(L[Entry::RefFreqByte]), L[Entry::RefFreqMask]);
        v[Vox] = bitFlag(at(L[Entry::VoxByte]), L[Entry::VoxMask]);
        v[Band] = -1;

        const bool isAnalogue = bitFlag(at(L[Entry::AnalogueByte]), L[Entry::AnalogueMask]);
        if (isAnalogue) {
            const quint8 tones = at(L[Entry::ToneTypeByte]);
            v[Digital] = false;
            v[ToneTypeRcv] = twoBitField(tones, L[Entry::ToneTypeRcvMask]);
            v[ToneTypeTrasm] = twoBitField(tones, L[Entry::ToneTypeTrasmMask]);
            int band = bitFlag(at(L[Entry::NarrowByte]), L[Entry::NarrowMask]) ? 1 : 0;
            if (bitFlag(at(L[Entry::NarrowByte]), L[Entry::Band20Mask]))
                band = 2;
            v[Band] = band;
            v[Squelch] = bitFlag(at(L[Entry::SquelchByte]), L[Entry::SquelchMask]);
            const int rt = L[Entry::RecvTone], st = L[Entry::SendTone];
            v[RecvTone] = int(at(rt) | (at(rt + 1) << 8));
            v[SendTone] = int(at(st) | (at(st + 1) << 8));
            v[ColorCode] = v[RxGroup] = v[ContactNo] = v[Encrypt] = -1;
        } else {
            v[Digital] = true;
            v[AutoScan] = bitFlag(at(L[Entry::AutoScanByte]), L[Entry::AutoScanMask]);
            v[RxOnly] = bitFlag(at(L[Entry::RxOnlyByte]), L[Entry::RxOnlyMask]);
            v[EmergencySystem] = int(qint8(at(L[Entry::EmergencySystem])));
            v[AlarmIndication]
                = bitFlag(at(L[Entry::AlarmIndicationByte]), L[Entry::AlarmIndicationMask]);
            v[AlarmAck] = bitFlag(at(L[Entry::AlarmAckByte]), L[Entry::AlarmAckMask]);
            v[CallIndication]
                = bitFlag(at(L[Entry::CallIndicationByte]), L[Entry::CallIndicationMask]);
            const quint8 enc = at(L[Entry::EncryptPos] - 1);
            v[Encrypt] = (enc & 0x80) ? enc - 128 : 0;
            const quint8 cc = at(L[Entry::ColorCodePos] - 1);
            v[ColorCode] = cc >= 64 ? cc - 64 : int(cc);
            v[RxGroup] = int(qint8(at(L[Entry::RxGroupPos] - 1)));
            v[ContactNo] = int(qint8(at(L[Entry::ContactPos] - 1)));
            v[RecvTone] = v[SendTone] = v[PttId] = -1;
        }
        list.append((isAnalogue ? analogueShape : digitalShape).make(v));
    }
    return list;
}

namespace {
// Local edits of a 32-byte channel record.
void put16(QByteArray &r, int at, int v)
{
    r[at] = char(v & 0xFF);
    r[at + 1] = char((v >> 8) & 0xFF);
}
void put32(QByteArray &r, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        r[at + i] = char((v >> (8 * i)) & 0xFF);
}
int get16(const QByteArray &r, int at) { return quint8(r.at(at)) | (quint8(r.at(at + 1)) << 8); }
void insertBits(QByteArray &r, int at, int mask, int value)
{
    r[at] = char(maskedInsert(quint8(r.at(at)), quint8(mask), value));
}
} // namespace

QByteArray Channel::recordTemplate(bool digital)
{
    return QByteArray(digital ? digitalTemplate : analogueTemplate, 24);
}

std::vector<Channel::Place> Channel::recordPlaces(int count) const
{
    const Layout &L = layout;
    std::vector<Place> places;
    places.reserve(size_t(std::max(count, 0)));
    RecordCursor rec { L[Entry::RecordBlock], L[Entry::RecordBase] + L[Entry::RecordLength],
        L[Entry::RecordLength] };
    for (int p = 0; p < count; ++p, rec.advance())
        places.push_back({ rec.block, rec.offset });
    return places;
}

Channel::Place Channel::nameFieldOf(int position, quint16 code) const
{
    // The first names are found through the index entry, the others by position.
    if (position < NamesInFirstBlock) {
        const int slot = code ? code - 1 : 0;
        return { layout[Entry::NameBlock],
            layout[Entry::NameBase] + layout[Entry::NameLength] * slot };
    }
    return namePlace(position);
}

// A row with an "origin" (its position in the table the blocks held) carries
// only what was edited: every key it lacks keeps the bytes stored for that
// channel, which move with it to its new position. A row without one is a new
// channel, laid down from the template of its kind with every field written.
// A kind change lays the new kind's template under the stored frequencies.
void Channel::WriteChanells(const QVariant &data, BlockMap *blocks)
{
    const QVariantList list = data.toList();
    int n = list.size();
    if (n == 0) {
        log(QStringLiteral("WriteChanells: quantityCH<=0"));
        return;
    }
    if (n > MaxChannels) {
        log(QStringLiteral("WriteChanells: quantityCH=%1 written=%2").arg(n).arg(MaxChannels));
        n = MaxChannels;
    }
    const Layout &L = layout;
    const int len = L[Entry::RecordLength];
    const int nameLen = L[Entry::NameLength];
    const int nameUnits = nameLen / 2;
    const BlockMap stored = *blocks;
    const QByteArray storedDirectory = stored.value(L[Entry::DirectoryBlock]);
    const QByteArray storedNameBlock = stored.value(L[Entry::NameBlock]);
    const int storedCount
        = std::clamp(int(qint16(u16le(storedDirectory, L[Entry::ChannelCount]))), 0, MaxChannels);
    const std::vector<Place> places = recordPlaces(std::max(n, storedCount));

    BlockEdit directory(blocks, L[Entry::DirectoryBlock]);
    BlockEdit nameBlock(blocks, L[Entry::NameBlock]);
    directory.set16le(L[Entry::ChannelCount], n);

    for (int p = 0; p < n; ++p) {
        const QVariantMap m = list.at(p).toMap();
        const int origin = m.value(QStringLiteral("origin"), -1).toInt();
        QByteArray rec, name;
        if (origin >= 0 && origin < storedCount) {
            const Place at = places[size_t(origin)];
            rec = rawField(stored.value(quint16(at.block)), at.offset, len);
            const Place idx = indexEntryPlace(origin);
            const quint16 code = u16le(
                idx.block == L[Entry::NameBlock] ? storedNameBlock : storedDirectory, idx.offset);
            const Place np = nameFieldOf(origin, code);
            name = rawField(stored.value(quint16(np.block)), np.offset, nameLen);
        }
        const bool kept = rec.size() == len && name.size() == nameLen;
        const auto wanted
            = [&](const char *key) { return !kept || m.contains(QLatin1String(key)); };
        const auto value = [&](const char *key) { return m.value(QLatin1String(key)); };
        if (!kept)
            rec = QByteArray(len, '\0');

        if (wanted("name"))
            name = encodeUtf16Field(cutText(value("name").toString(), nameUnits));
        WriteNewName(name, quint16(p + 1), blocks);
        const Place idx = indexEntryPlace(p);
        (idx.block == L[Entry::NameBlock] ? nameBlock : directory).set16le(idx.offset, p + 2);

        if (wanted("send_freq"))
            put32(rec, L[Entry::SendFreq], quint32(value("send_freq").toInt()));
        if (wanted("recv_freq"))
            put32(rec, L[Entry::RecvFreq], quint32(value("recv_freq").toInt()));

        const int tail = L[Entry::AnalogueByte];
        const bool wasDigital = !bitFlag(quint8(rec.at(tail)), L[Entry::AnalogueMask]);
        const bool digital = wanted("type_channel") ? value("type_channel").toBool() : wasDigital;
        const int pb = L[Entry::PowerByte];
        if (!kept || digital != wasDigital) {
            const bool power = bitFlag(quint8(rec.at(pb)), 0x80);
            rec.replace(tail, 24,
                QByteArray::fromRawData(digital ? digitalTemplate : analogueTemplate, 24));
            if (kept)
                insertBits(rec, pb, 0x80, power ? 1 : 0);
        }
        if (!digital) {
            const int tb = L[Entry::ToneTypeByte];
            const auto tone = [&](const char *codeKey, const char *typeKey, int mask, int at) {
                const int t = wanted(typeKey) ? value(typeKey).toInt()
                                              : twoBitField(quint8(rec.at(tb)), mask);
                if (wanted(codeKey) || wanted(typeKey)) {
                    const int code = wanted(codeKey) ? value(codeKey).toInt() : get16(rec, at);
                    put16(rec, at, toneWord(code, t));
                    insertBits(rec, tb, mask, t);
                }
            };
            tone("recv_qt_dqt", "qt_dqt_type_rcv", L[Entry::ToneTypeRcvMask], L[Entry::RecvTone]);
            tone("send_qt_dqt", "qt_dqt_type_trasm", L[Entry::ToneTypeTrasmMask],
                L[Entry::SendTone]);
            if (wanted("chanelBand")) {
                const int w = value("chanelBand").toInt();
                insertBits(rec, L[Entry::NarrowByte], L[Entry::Band20Mask], w == 2 ? 1 : 0);
                insertBits(rec, L[Entry::NarrowByte], L[Entry::NarrowMask], w == 1 ? 1 : 0);
            }
        } else {
            if (wanted("rx_groupe"))
                rec[L[Entry::RxGroupPos] - 1] = char(value("rx_groupe").toInt());
            if (wanted("contact"))
                rec[L[Entry::ContactPos] - 1] = char(value("contact").toInt());
            if (wanted("color_cod"))
                rec[L[Entry::ColorCodePos] - 1] = char(value("color_cod").toInt() | 0x40);
            if (wanted("encrypt")) {
                const int e = value("encrypt").toInt();
                rec[L[Entry::EncryptPos] - 1] = char((e & 0xFF) ? (e | 0x80) : 0);
            }
        }
        if (wanted("power_ch"))
            insertBits(rec, pb, 0x80, value("power_ch").toBool() ? 1 : 0);

        const Place out = places[size_t(p)];
        BlockEdit(blocks, out.block).setBytes(out.offset, rec);
    }
}

int Channel::WriteNewName(const QByteArray &name, quint16 slot, BlockMap *blocks)
{
    const int len = layout[Entry::NameLength];
    if (name.size() > len) {
        log(QStringLiteral("WriteNewName: Err name.size=%1").arg(name.size()));
        return -1;
    }
    if (slot > MaxNameSlot) {
        // Slots past the name area would land on the channel records.
        log(QStringLiteral("WriteNewName: Err slot=%1").arg(slot));
        return -1;
    }
    QByteArray field = name;
    field.append(QByteArray(len - name.size(), '\0'));
    const Place place = slot == 0 ? Place { layout[Entry::NameBlock], layout[Entry::NameBase] }
                                  : namePlace(slot - 1);
    BlockEdit(blocks, place.block).setBytes(place.offset, field);
    return 0;
}

QVariant Channel::ParsingZones(const BlockMap &blocks)
{
    const Layout &L = layout;
    const int len = L[Entry::ZoneRecordLength];
    RecordStream stream(L[Entry::ZoneBlock], L[Entry::ZoneBlock] + L[Entry::ZoneExtraBlocks],
        L[Entry::ZoneOffset], len);

    // Smallest position of each distinct name, for the member look-up.
    QHash<QByteArray, int> positionByName;
    for (auto it = nameByPosition.cbegin(); it != nameByPosition.cend(); ++it) {
        if (!positionByName.contains(it.value()))
            positionByName.insert(it.value(), it.key());
    }

    QVariantList list;
    const int maxRecords = L[Entry::ZoneMaxRecords];
    const int titleLen = L[Entry::ZoneTitleLength];
    const int capacity = (len - L[Entry::ZoneMembers]) / 2;
    int z = 0;
    bool overfull = false;
    for (; z < maxRecords; ++z) {
        const QByteArray rec = stream.next() ? stream.read(blocks) : QByteArray();
        if (rec.size() < len || rec.at(L[Entry::ZoneTitle]) == 0)
            break;
        QVariantMap zone;
        zone.insert(
            QStringLiteral("title"), decodeUtf16Units(rec.mid(L[Entry::ZoneTitle], titleLen)));
        int k = quint8(rec.at(L[Entry::ZoneMemberCount]));
        if (k > capacity) {
            overfull = true;
            k = capacity;
        }
        QVariantList members;
        const uchar *d = reinterpret_cast<const uchar *>(rec.constData()) + L[Entry::ZoneMembers];
        for (int j = 0; j < k; ++j) {
            // The channel whose index entry holds the code; a code no entry
            // holds falls back to the channel of the same name.
            const quint16 code = quint16(d[2 * j] | (d[2 * j + 1] << 8));
            members.append(
                positionByCode.value(code, positionByName.value(nameByCode.value(code), 0)));
        }
        zone.insert(QStringLiteral("origin"), z);
        zone.insert(QStringLiteral("selectedChannels"), members);
        list.append(zone);
    }
    if (overfull)
        log(QStringLiteral("ParsingZones: member count above %1, read %1").arg(capacity));
    if (z < maxRecords)
        log(QStringLiteral("ParsingZones: quantityZons=%1").arg(z - 1));
    return list;
}

namespace {
// A zone title as stored: the decoder ends the table at a record whose first
// byte is 0, so an empty title, or one whose first code unit has a zero low
// byte (U+0100, U+0400, ...), would hide this zone and every one after it.
QByteArray zoneTitleField(QString title, int fieldBytes, int z)
{
    if (title.isEmpty()) {
        title = QStringLiteral("Zone %1").arg(z + 1);
        log(QStringLiteral("WriteZones: zone %1 has no title, stored as \"%2\"").arg(z).arg(title));
    } else if ((title.at(0).unicode() & 0xFF) == 0) {
        log(QStringLiteral("WriteZones: zone %1 title starts with U+%2, stored as U+FFFD")
                .arg(z)
                .arg(title.at(0).unicode(), 4, 16, QLatin1Char('0')));
        title[0] = QChar(0xFFFD);
    }
    return encodeTextField(title, fieldBytes);
}
} // namespace

// A zone with an "origin" (its index in the table the blocks held) keeps its
// stored record, moved to its new place, except for the keys it carries; one
// without is new. The record after the last one written always ends the table,
// so no zone of an older, longer table can come back.
void Channel::WriteZones(const QVariant &zones, BlockMap *blocks)
{
    const Layout &L = layout;
    const QVariantList list = zones.toList();
    const int n = list.size();
    if (n == 0)
        log(QStringLiteral(" WriteZones: quantityZon<=0"));
    // Every zone of the list is written, those past what the screens offer
    // too (they come from the stored table), as far as the table reaches.
    const int m = std::min(n, int(L[Entry::ZoneMaxRecords]));
    const int len = L[Entry::ZoneRecordLength];
    const int titleLen = L[Entry::ZoneTitleLength];
    const auto table = [&] {
        return RecordStream(L[Entry::ZoneBlock], L[Entry::ZoneBlock] + L[Entry::ZoneExtraBlocks],
            L[Entry::ZoneOffset], len);
    };
    const BlockMap stored = *blocks;
    std::vector<QByteArray> storedRecords;
    for (RecordStream s = table(); int(storedRecords.size()) < m && s.next();)
        storedRecords.push_back(s.read(stored));

    RecordStream stream = table();
    bool overfull = false;
    for (int z = 0; z < m; ++z) {
        if (!stream.next())
            return;
        const QVariantMap zone = list.at(z).toMap();
        const int origin = zone.value(QStringLiteral("origin"), -1).toInt();
        const bool kept = origin >= 0 && origin < int(storedRecords.size())
            && storedRecords[size_t(origin)].size() == len;
        QByteArray rec = kept ? storedRecords[size_t(origin)] : stream.read(stored);
        rec.append(QByteArray(len - rec.size(), '\0'));
        const QString title = zone.value(QStringLiteral("title")).toString();
        if (!kept || zone.contains(QStringLiteral("title")))
            rec.replace(L[Entry::ZoneTitle], titleLen, zoneTitleField(title, titleLen, z));
        if (!kept || zone.contains(QStringLiteral("selectedChannels"))) {
            const QVariantList members = zone.value(QStringLiteral("selectedChannels")).toList();
            int k = members.size() & 0xFF;
            if (members.size() > MaxZoneMembers) {
                overfull = true;
                k = MaxZoneMembers;
            }
            rec[L[Entry::ZoneMemberCount]] = char(k);
            const int base = L[Entry::ZoneMembers];
            rec.replace(base, len - base, QByteArray(len - base, '\0'));
            for (int j = 0; j < k; ++j) {
                const int code = members.at(j).toInt() + 2;
                rec[base + 2 * j] = char(code & 0xFF);
                rec[base + 2 * j + 1] = char((code >> 8) & 0xFF);
            }
        }
        stream.write(blocks, rec);
    }
    if (overfull)
        log(QStringLiteral("WriteZones: member count above %1, written %1").arg(MaxZoneMembers));
    if (stream.next())
        stream.write(blocks, QByteArray(len, '\0'));
}

QVariantMap Channel::decodeAll(const BlockMap &blocks)
{
    QVariantMap map;
    map.insert(QStringLiteral("freqList"), ParsingChanels(blocks));
    map.insert(QStringLiteral("zoneList"), ParsingZones(blocks));
    map.insert(QStringLiteral("basicSettings"), decodeBasicSettings(blocks));
    map.insert(QStringLiteral("buttonsSettings"), decodeButtons(blocks));
    map.insert(QStringLiteral("contactList"), contacts.decodeContacts(blocks));
    map.insert(QStringLiteral("encryptList"), decodeEncryption(blocks));
    map.insert(QStringLiteral("RxGroupsList"), contacts.decodeRxGroups(blocks));
    map.insert(QStringLiteral("rxGroupNames"), contacts.rxGroupNames());
    return map;
}

void Channel::encodeRxGroups(const QVariant &groups, BlockMap *blocks)
{
    contacts.encodeRxGroups(groups, blocks);
}

void Channel::encodeContacts(const QVariant &list, BlockMap *blocks)
{
    contacts.encodeContacts(list, blocks);
}
