// The codeplug document: the decoded image in human units, written as YAML,
// and a document read back into the write collections.
#include "interchange/codeplugtext.h"

#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>

#include "codeplug/channel.h"
#include "codeplug/editmerge.h"
#include "codeplug/fieldcodecs.h"
#include "codeplug/layout.h"
#include "codeplug/recordstream.h"
#include "gps/datagps.h"
#include "manager/decodedkeys.h"
#include "manager/imagedecode.h"

#include <algorithm>

namespace CodeplugText {

QString Issue::text() const
{
    const QString where
        = line > 0 ? QStringLiteral("line %1, column %2: ").arg(line).arg(column) : QString();
    return where + (path.isEmpty() ? QString() : path + QStringLiteral(": ")) + message;
}

namespace {

// The key table in stored order (the decoded map keys it by name, which
// loses the order and merges equal names).
QVariantList decodeKeys(const BlockMap &blocks, const Layout &L)
{
    const QByteArray block = blocks.value(L[Entry::KeyBlock]);
    const int count = std::clamp(int(s8(block, L[Entry::KeyCount])), 0, int(Channel::MaxKeys));
    QVariantList keys;
    for (int k = 0; k < count; ++k) {
        const int nameAt = L[Entry::KeyName] + L[Entry::KeyStride] * k;
        const int valueAt = L[Entry::KeyValue] + L[Entry::KeyStride] * k;
        if (!hasBytes(block, nameAt, L[Entry::KeyNameLength]) || !hasBytes(block, valueAt, 2))
            break;
        const uint value = uint(u8(block, valueAt)) * 256 + u8(block, valueAt + 1);
        keys.append(QVariantMap {
            { QStringLiteral("name"), decodeTextField(block, nameAt, L[Entry::KeyNameLength]) },
            { QStringLiteral("number"), QString::number(value, 16) },
            { QStringLiteral("origin"), k } });
    }
    return keys;
}

QString bandName(int code)
{
    return code == 0 ? QStringLiteral("400-470")
        : code == 3  ? QStringLiteral("136-174")
                     : QStringLiteral("code %1").arg(code);
}

} // namespace

Decoded decode(const QVariantList &image)
{
    Decoded d;
    d.blocks = ImageDecode::blocksOf(image);
    d.radioType = ImageDecode::radioTypeOf(image);
    const QByteArray identity = image.value(0).toByteArray();
    d.bandCode = identity.size() > 94 ? quint8(identity.at(94)) : -1;
    Channel codec;
    codec.setRadioType(d.radioType);
    d.map = ImageDecode::decodedMap(codec, d.blocks);
    d.keys = decodeKeys(d.blocks, layoutFor(d.radioType));
    const int count = d.map.value(DecodedKey::FreqList).toList().size();
    const int length = layoutFor(d.radioType)[Entry::RecordLength];
    for (const Channel::Place &at : codec.recordPlaces(count))
        d.channelRecords << rawField(d.blocks.value(quint16(at.block)), at.offset, length);
    const Layout L = layoutFor(d.radioType);
    const int zones = d.map.value(DecodedKey::ZoneList).toList().size();
    for (int k = 0; k < zones; ++k) {
        const RawRecord at = zonePlace(d.radioType, k);
        RecordStream stream(at.block, at.block + 1, at.offset, L[Entry::ZoneRecordLength]);
        d.zoneRecords << (stream.next() ? stream.read(d.blocks) : QByteArray());
    }
    const int contacts = d.map.value(DecodedKey::ContactList).toList().size();
    for (int k = 0; k < contacts; ++k) {
        const RawRecord at = contactPlace(d.radioType, k);
        d.contactRecords << rawField(
            d.blocks.value(quint16(at.block)), at.offset, L[Entry::ContactStride]);
    }
    for (int k = 0; k < d.keys.size(); ++k) {
        const RawRecord at = keyPlace(d.radioType, k);
        d.keyRecords << rawField(d.blocks.value(quint16(at.block)), at.offset, L[Entry::KeyStride]);
    }
    return d;
}

QByteArray channelFieldBits(int radioType, bool digital)
{
    const Layout L = layoutFor(radioType);
    QByteArray bits(L[Entry::RecordLength], '\0');
    const auto set = [&bits](int at, int width, int mask) {
        for (int i = at; i < at + width && i >= 0 && i < bits.size(); ++i)
            bits[i] = char(quint8(bits.at(i)) | mask);
    };
    set(L[Entry::SendFreq], L[Entry::FreqWidth], 0xFF);
    set(L[Entry::RecvFreq], L[Entry::FreqWidth], 0xFF);
    set(L[Entry::AnalogueByte], 1, L[Entry::AnalogueMask]);
    set(L[Entry::PowerByte], 1, 0x80);
    if (digital) {
        for (const int e :
            { Entry::ColorCodePos, Entry::RxGroupPos, Entry::ContactPos, Entry::EncryptPos })
            set(L[e] - 1, 1, 0xFF);
    } else {
        set(L[Entry::NarrowByte], 1, L[Entry::NarrowMask] | L[Entry::Band20Mask]);
        set(L[Entry::ToneTypeByte], 1, L[Entry::ToneTypeRcvMask] | L[Entry::ToneTypeTrasmMask]);
        set(L[Entry::RecvTone], L[Entry::ToneWidth], 0xFF);
        set(L[Entry::SendTone], L[Entry::ToneWidth], 0xFF);
    }
    return bits;
}

namespace {
// The image list with the blocks of `after` that differ from `before`.
QVariantList withBlocks(const QVariantList &image, const BlockMap &before, const BlockMap &after)
{
    QVariantList out = image;
    for (int i = 1; i < out.size(); ++i) {
        const QByteArray block = out.at(i).toByteArray();
        if (block.size() <= Block::NumberOffset)
            continue;
        const quint8 number = quint8(block.at(Block::NumberOffset));
        if (after.value(number) != before.value(number))
            out[i] = after.value(number);
    }
    return out;
}
} // namespace

QVariantList withRawRecords(const QVariantList &image, const QVector<RawRecord> &records)
{
    if (records.isEmpty())
        return image;
    const BlockMap before = ImageDecode::blocksOf(image);
    BlockMap after = before;
    for (const RawRecord &r : records) {
        const int length = r.bytes.size();
        RecordStream place(r.block, r.block + 1, r.offset, length);
        if (!place.next())
            continue;
        QByteArray rec = place.read(after);
        if (rec.size() != length || r.fieldBits.size() != length)
            continue;
        for (int i = 0; i < length; ++i)
            rec[i] = char((rec.at(i) & r.fieldBits.at(i)) | (r.bytes.at(i) & ~r.fieldBits.at(i)));
        place.write(&after, rec);
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.value() != before.value(it.key()))
            refreshAnswerChecksum(it.value());
    }
    return withBlocks(image, before, after);
}

QByteArray contactFieldBits(int radioType)
{
    const Layout L = layoutFor(radioType);
    QByteArray bits(L[Entry::ContactStride], '\0');
    const int at = L[Entry::ContactName];
    bits.replace(0, L[Entry::ContactNameLength], QByteArray(L[Entry::ContactNameLength], '\xFF'));
    bits.replace(L[Entry::ContactNumber] - at, 3, QByteArray(3, '\xFF'));
    bits[L[Entry::ContactType] - at] = '\xFF';
    bits[L[Entry::ContactTone] - at] = '\x01';
    return bits;
}

QByteArray keyFieldBits(int radioType)
{
    const Layout L = layoutFor(radioType);
    QByteArray bits(L[Entry::KeyStride], '\0');
    bits.replace(0, L[Entry::KeyNameLength], QByteArray(L[Entry::KeyNameLength], '\xFF'));
    bits.replace(L[Entry::KeyValue] - L[Entry::KeyName], 2, QByteArray(2, '\xFF'));
    return bits;
}

QByteArray zoneFieldBits(int radioType)
{
    const Layout L = layoutFor(radioType);
    const int length = L[Entry::ZoneRecordLength];
    QByteArray bits(length, '\0');
    bits.replace(L[Entry::ZoneTitle], L[Entry::ZoneTitleLength],
        QByteArray(L[Entry::ZoneTitleLength], '\xFF'));
    bits[L[Entry::ZoneMemberCount]] = '\xFF';
    bits.replace(L[Entry::ZoneMembers], length - L[Entry::ZoneMembers],
        QByteArray(length - L[Entry::ZoneMembers], '\xFF'));
    return bits;
}

RawRecord zonePlace(int radioType, int k)
{
    const Layout L = layoutFor(radioType);
    RecordStream stream(L[Entry::ZoneBlock], L[Entry::ZoneBlock] + L[Entry::ZoneExtraBlocks],
        L[Entry::ZoneOffset], L[Entry::ZoneRecordLength]);
    for (int i = 0; i <= k; ++i) {
        if (!stream.next())
            return { -1, 0, {}, {} };
    }
    return { stream.block(), stream.offset(), {}, {} };
}

RawRecord contactPlace(int radioType, int k)
{
    const Layout L = layoutFor(radioType);
    return { L[Entry::ContactBlock], L[Entry::ContactName] + L[Entry::ContactStride] * k, {}, {} };
}

RawRecord keyPlace(int radioType, int k)
{
    const Layout L = layoutFor(radioType);
    return { L[Entry::KeyBlock], L[Entry::KeyName] + L[Entry::KeyStride] * k, {}, {} };
}

// ---------------------------------------------------------------- units

bool plainText(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const ushort u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (QChar::isSurrogate(u) || u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xFEFF
            || u >= 0xFFF0 || (u >= 0xFDD0 && u <= 0xFDEF) || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

QString utf16Hex(const QString &text)
{
    QString hex;
    for (const QChar ch : text)
        hex += QStringLiteral("%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
    return hex;
}

bool fromUtf16Hex(const QString &hex, QString *text)
{
    if (hex.size() % 4 != 0)
        return false;
    text->clear();
    for (int i = 0; i < hex.size(); i += 4) {
        bool ok = false;
        const ushort u = ushort(hex.midRef(i, 4).toUInt(&ok, 16));
        if (!ok)
            return false;
        text->append(QChar(u));
    }
    return true;
}

QString mhz(quint32 hz)
{
    QString frac = QStringLiteral("%1").arg(hz % 1000000, 6, 10, QLatin1Char('0'));
    while (frac.size() > 1 && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    return QString::number(hz / 1000000) + QLatin1Char('.') + frac;
}

bool parseMhz(const QString &text, quint32 *hz, bool *rounded)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,4})(?:\\.(\\d{0,12}))?\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    QString frac = m.captured(2);
    *rounded = false;
    quint64 value = quint64(m.captured(1).toUInt()) * 1000000;
    int roundUp = 0;
    if (frac.size() > 6) {
        const QString rest = frac.mid(6);
        *rounded = rest.count(QLatin1Char('0')) != rest.size();
        roundUp = rest.at(0) >= QLatin1Char('5') ? 1 : 0;
        frac.truncate(6);
    }
    frac = frac.leftJustified(6, QLatin1Char('0'));
    value += frac.toUInt() + roundUp;
    if (value > 0xFFFFFFFFull)
        return false;
    *hz = quint32(value);
    return true;
}

namespace {
bool isBcd(int v, int digits, int maxDigit)
{
    for (int i = 0; i < digits; ++i, v >>= 4) {
        if ((v & 0xF) > maxDigit)
            return false;
    }
    return true;
}
} // namespace

QString toneText(int type, int word)
{
    if (type == 0 && word == 0xFFFF)
        return QStringLiteral("none");
    if (type == 1 && word >= 0 && word < 0x10000 && isBcd(word, 4, 9) && word != 0) {
        const int tenths = ((word >> 12) & 0xF) * 1000 + ((word >> 8) & 0xF) * 100
            + ((word >> 4) & 0xF) * 10 + (word & 0xF);
        return QStringLiteral("CTCSS %1.%2").arg(tenths / 10).arg(tenths % 10);
    }
    if ((type == 2 || type == 3) && (word >> 14) == type && (word & 0x3000) == 0
        && isBcd(word & 0xFFF, 3, 7))
        return QStringLiteral("DCS %1%2")
            .arg(word & 0xFFF, 3, 16, QLatin1Char('0'))
            .arg(type == 2 ? QLatin1Char('N') : QLatin1Char('I'));
    return QStringLiteral("raw %1 0x%2").arg(type).arg(word & 0xFFFF, 4, 16, QLatin1Char('0'));
}

bool parseTone(const QString &text, int *type, int *word)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        *type = 0, *word = 0xFFFF;
        return true;
    }
    static const QRegularExpression ctcss(QStringLiteral("^CTCSS\\s+(\\d{1,3})(?:\\.(\\d))?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dcs(
        QStringLiteral("^DCS\\s+([0-7]{3})([NI])$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression raw(QStringLiteral("^raw\\s+([0-3])\\s+0x([0-9a-fA-F]{1,4})$"));
    QRegularExpressionMatch m = ctcss.match(t);
    if (m.hasMatch()) {
        const int tenths = m.captured(1).toInt() * 10 + m.captured(2).toInt();
        if (tenths == 0)
            return false;
        *type = 1;
        *word = ((tenths / 1000) << 12) | ((tenths / 100 % 10) << 8) | ((tenths / 10 % 10) << 4)
            | (tenths % 10);
        return true;
    }
    m = dcs.match(t);
    if (m.hasMatch()) {
        const bool inverted = m.captured(2).toUpper() == QLatin1String("I");
        *type = inverted ? 3 : 2;
        *word = (*type << 14) | m.captured(1).toInt(nullptr, 16);
        return true;
    }
    m = raw.match(t);
    if (m.hasMatch()) {
        *type = m.captured(1).toInt();
        *word = m.captured(2).toInt(nullptr, 16);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- document

namespace {

QString boolText(const QVariant &v)
{
    return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
}

Field plain(const QString &key, const QString &text)
{
    return Field { key, text, false, false, false, {}, {} };
}
Field quotedField(const QString &key, const QString &text)
{
    if (!plainText(text))
        return Field { key, utf16Hex(text), true, true, false, {}, {} };
    return Field { key, text, true, false, false, {}, {} };
}

// A reference: the name when exactly one entry carries it (and it cannot be
// taken for a word or a number), the number otherwise.
struct Names {
    QHash<QString, int> count;
    QHash<int, QString> byNumber;
    void add(int number, const QString &name)
    {
        count[name] += 1;
        byNumber.insert(number, name);
    }
    bool unique(const QString &name) const { return count.value(name) == 1; }
    Field ref(const QString &key, int number, const QString &noneWord) const
    {
        if (number == 0 && !noneWord.isEmpty())
            return plain(key, noneWord);
        const auto it = byNumber.constFind(number);
        if (it != byNumber.cend() && unique(it.value()) && !it.value().isEmpty()
            && plainText(it.value()))
            return quotedField(key, it.value());
        return plain(key, QString::number(number));
    }
};

// The stored record as a "raw" field, when its bits no field writes differ
// from those of a new record (`fresh`; all zero when empty).
bool rawRecordField(
    const QByteArray &rec, const QByteArray &bits, const QByteArray &fresh, Field *out)
{
    bool differs = false;
    for (int k = 0; k < rec.size() && k < bits.size() && !differs; ++k)
        differs = (rec.at(k) & ~bits.at(k)) != ((k < fresh.size() ? fresh.at(k) : 0) & ~bits.at(k));
    if (differs)
        *out = quotedField(QStringLiteral("raw"), QString::fromLatin1(rec.toHex()));
    return differs;
}

Field listField(const QString &key, const QVariantList &numbers, const Names &names, int plus)
{
    Field f { key, QString(), false, false, true, {}, {} };
    for (const QVariant &v : numbers) {
        const Field one = names.ref(QString(), v.toInt() + plus, QString());
        f.items << one.text;
        f.itemQuoted << one.quoted;
    }
    return f;
}

QString widthText(int band)
{
    return band == 1 ? QStringLiteral("12.5")
        : band == 2  ? QStringLiteral("20")
                     : QStringLiteral("25");
}

} // namespace

Document document(const Decoded &image)
{
    const QVariantMap &m = image.map;
    Document doc;

    Section radio { QStringLiteral("radio"), false, { Record {} } };
    radio.records[0].fields = { plain(QStringLiteral("model"),
                                    image.radioType ? QStringLiteral("KR4700")
                                                    : QStringLiteral("KR4500")),
        plain(QStringLiteral("band"), bandName(image.bandCode)),
        quotedField(QStringLiteral("model_name"), m.value(DecodedKey::NameModel).toString()),
        quotedField(QStringLiteral("serial_number"), m.value(DecodedKey::SerialNumber).toString()),
        quotedField(QStringLiteral("hw_version"), m.value(DecodedKey::HwVersion).toString()) };
    doc << radio;

    const auto mapSection = [](const QString &name, const QVariantMap &values) {
        Section s { name, false, { Record {} } };
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.key() == QLatin1String("type_radio"))
                continue;
            s.records[0].fields << plain(it.key(),
                it.value().userType() == QMetaType::Bool ? boolText(it.value())
                                                         : QString::number(it.value().toInt()));
        }
        return s;
    };
    doc << mapSection(QStringLiteral("settings"), m.value(DecodedKey::BasicSettings).toMap());
    doc << mapSection(QStringLiteral("buttons"), m.value(DecodedKey::ButtonsSettings).toMap());
    const QVariantMap gps = m.value(DecodedKey::GPSSetup).toMap();
    Section gpsSection { QStringLiteral("gps"), false, { Record {} } };
    gpsSection.records[0].fields = { plain(QStringLiteral("activated"),
                                         boolText(gps.value(QStringLiteral("activated")))),
        plain(QStringLiteral("indication"), boolText(gps.value(QStringLiteral("indication")))),
        plain(QStringLiteral("interval"),
            QString::number(gps.value(QStringLiteral("save_interval")).toInt())),
        plain(QStringLiteral("work_channel"),
            QString::number(gps.value(QStringLiteral("workCh")).toInt())) };
    doc << gpsSection;

    const QVariantList channels = m.value(DecodedKey::FreqList).toList();
    const QVariantList groups = m.value(DecodedKey::RxGroupsList).toList();
    const QVariantList contacts = m.value(DecodedKey::ContactList).toList();
    Names channelNames, groupNames, contactNames, keyNames;
    for (int i = 0; i < channels.size(); ++i)
        channelNames.add(i + 1, channels.at(i).toMap().value(QStringLiteral("name")).toString());
    for (const QVariant &g : groups)
        groupNames.add(g.toMap().value(QStringLiteral("groups")).toInt(),
            g.toMap().value(QStringLiteral("title")).toString());
    for (int i = 0; i < contacts.size(); ++i)
        contactNames.add(i + 1, contacts.at(i).toMap().value(QStringLiteral("name")).toString());
    for (int i = 0; i < image.keys.size(); ++i)
        keyNames.add(i + 1, image.keys.at(i).toMap().value(QStringLiteral("name")).toString());
    // Words cannot be names of references.
    for (Names *n : { &channelNames, &groupNames, &contactNames, &keyNames }) {
        n->count[QStringLiteral("none")] += 2;
        n->count[QStringLiteral("off")] += 2;
    }

    Section ch { QStringLiteral("channels"), true, {} };
    const QByteArray freshDigital = QByteArray(8, '\0') + Channel::recordTemplate(true);
    const QByteArray freshAnalogue = QByteArray(8, '\0') + Channel::recordTemplate(false);
    const QByteArray bitsDigital = channelFieldBits(image.radioType, true);
    const QByteArray bitsAnalogue = channelFieldBits(image.radioType, false);
    for (int i = 0; i < channels.size(); ++i) {
        const QVariantMap c = channels.at(i).toMap();
        Record r;
        r.label = QStringLiteral("channel %1 \"%2\"")
                      .arg(i + 1)
                      .arg(c.value(QStringLiteral("name")).toString());
        const bool digital = c.value(QStringLiteral("typeChannel")).toBool();
        r.fields << quotedField(QStringLiteral("name"), c.value(QStringLiteral("name")).toString())
                 << plain(QStringLiteral("kind"),
                        digital ? QStringLiteral("digital") : QStringLiteral("analogue"))
                 << plain(QStringLiteral("rx_frequency"),
                        mhz(c.value(QStringLiteral("recvFreq")).toUInt()))
                 << plain(QStringLiteral("tx_frequency"),
                        mhz(c.value(QStringLiteral("sendFreq")).toUInt()))
                 << plain(QStringLiteral("power"),
                        c.value(QStringLiteral("powerCH")).toBool() ? QStringLiteral("high")
                                                                    : QStringLiteral("low"));
        if (!digital) {
            r.fields << plain(QStringLiteral("bandwidth"),
                widthText(c.value(QStringLiteral("chanelBand")).toInt()))
                     << quotedField(QStringLiteral("rx_tone"),
                            toneText(c.value(QStringLiteral("QtDqtTypeRcv")).toInt(),
                                c.value(QStringLiteral("recvQtDqt")).toInt()))
                     << quotedField(QStringLiteral("tx_tone"),
                            toneText(c.value(QStringLiteral("QtDqtTypeTrasm")).toInt(),
                                c.value(QStringLiteral("sendQtDqt")).toInt()))
                     << plain(QStringLiteral("squelch"),
                            boolText(c.value(QStringLiteral("squelchLevel"))));
        } else {
            r.fields << plain(QStringLiteral("colour_code"),
                QString::number(c.value(QStringLiteral("colorCod")).toInt()))
                     << groupNames.ref(QStringLiteral("rx_group"),
                            c.value(QStringLiteral("rxGroup")).toInt(), QStringLiteral("none"))
                     << contactNames.ref(QStringLiteral("contact"),
                            c.value(QStringLiteral("contact")).toInt(), QStringLiteral("none"))
                     << keyNames.ref(QStringLiteral("encryption"),
                            c.value(QStringLiteral("encrypt")).toInt(), QStringLiteral("off"))
                     << plain(QStringLiteral("receive_only"),
                            boolText(c.value(QStringLiteral("rxOnly"))))
                     << plain(QStringLiteral("emergency_system"),
                            QString::number(c.value(QStringLiteral("emergencySystem")).toInt()))
                     << plain(QStringLiteral("alarm_ack"),
                            boolText(c.value(QStringLiteral("emergencyAlarmAck"))))
                     << plain(QStringLiteral("call_indication"),
                            boolText(c.value(QStringLiteral("emergencyCallIndication"))));
        }
        r.fields << plain(QStringLiteral("vox"), boolText(c.value(QStringLiteral("vox"))))
                 << plain(QStringLiteral("reference_frequency"),
                        QString::number(c.value(QStringLiteral("refFreq")).toInt()));
        // The stored record, when bits no field writes differ from what a
        // new channel of the kind gets.
        Field raw;
        if (rawRecordField(image.channelRecords.value(i), digital ? bitsDigital : bitsAnalogue,
                digital ? freshDigital : freshAnalogue, &raw))
            r.fields << raw;
        ch.records << r;
    }
    doc << ch;

    Section zones { QStringLiteral("zones"), true, {} };
    const QVariantList zoneList = m.value(DecodedKey::ZoneList).toList();
    const QByteArray zoneBits = zoneFieldBits(image.radioType);
    for (int i = 0; i < zoneList.size(); ++i) {
        const QVariantMap z = zoneList.at(i).toMap();
        Record r;
        r.label = QStringLiteral("zone \"%1\"").arg(z.value(QStringLiteral("title")).toString());
        r.fields << quotedField(QStringLiteral("name"), z.value(QStringLiteral("title")).toString())
                 << listField(QStringLiteral("channels"),
                        z.value(QStringLiteral("selectedChannels")).toList(), channelNames, 1);
        Field raw;
        if (rawRecordField(image.zoneRecords.value(i), zoneBits, QByteArray(), &raw))
            r.fields << raw;
        zones.records << r;
    }
    doc << zones;

    Section cs { QStringLiteral("contacts"), true, {} };
    const QByteArray contactBits = contactFieldBits(image.radioType);
    for (int i = 0; i < contacts.size(); ++i) {
        const QVariantMap c = contacts.at(i).toMap();
        Record r;
        r.label = QStringLiteral("contact %1 \"%2\"")
                      .arg(i + 1)
                      .arg(c.value(QStringLiteral("name")).toString());
        r.fields << quotedField(QStringLiteral("name"), c.value(QStringLiteral("name")).toString())
                 << plain(QStringLiteral("call_type"),
                        QString::number(c.value(QStringLiteral("type")).toInt()))
                 << plain(QStringLiteral("number"),
                        QString::number(c.value(QStringLiteral("number")).toUInt()))
                 << plain(QStringLiteral("tone"), boolText(c.value(QStringLiteral("tone"))));
        Field raw;
        if (rawRecordField(image.contactRecords.value(i), contactBits, QByteArray(), &raw))
            r.fields << raw;
        cs.records << r;
    }
    doc << cs;

    Section gs { QStringLiteral("rx_groups"), true, {} };
    for (const QVariant &v : groups) {
        const QVariantMap g = v.toMap();
        Record r;
        r.label
            = QStringLiteral("rx group \"%1\"").arg(g.value(QStringLiteral("title")).toString());
        r.fields << quotedField(QStringLiteral("name"), g.value(QStringLiteral("title")).toString())
                 << listField(QStringLiteral("contacts"),
                        g.value(QStringLiteral("selectedContacts")).toList(), contactNames, 0);
        gs.records << r;
    }
    doc << gs;

    Section ks { QStringLiteral("keys"), true, {} };
    const QByteArray keyBits = keyFieldBits(image.radioType);
    for (int i = 0; i < image.keys.size(); ++i) {
        const QVariantMap k = image.keys.at(i).toMap();
        Record r;
        r.label = QStringLiteral("key \"%1\"").arg(k.value(QStringLiteral("name")).toString());
        r.fields << quotedField(QStringLiteral("name"), k.value(QStringLiteral("name")).toString())
                 << quotedField(
                        QStringLiteral("value"), k.value(QStringLiteral("number")).toString());
        Field raw;
        if (rawRecordField(image.keyRecords.value(i), keyBits, QByteArray(), &raw))
            r.fields << raw;
        ks.records << r;
    }
    doc << ks;
    return doc;
}

namespace {
// A double-quoted YAML scalar. Texts that need more than escaping the quote
// and the backslash are written with the !utf16 tag instead.
void appendQuoted(QString *out, const QString &text)
{
    out->append(QLatin1Char('"'));
    for (const QChar ch : text) {
        if (ch == QLatin1Char('"') || ch == QLatin1Char('\\'))
            out->append(QLatin1Char('\\'));
        out->append(ch);
    }
    out->append(QLatin1Char('"'));
}

void appendValue(QString *out, const Field &f)
{
    if (f.isList) {
        out->append(QLatin1Char('['));
        for (int i = 0; i < f.items.size(); ++i) {
            if (i)
                out->append(QStringLiteral(", "));
            if (f.itemQuoted.value(i))
                appendQuoted(out, f.items.at(i));
            else
                out->append(f.items.at(i));
        }
        out->append(QLatin1Char(']'));
    } else if (f.utf16) {
        out->append(QStringLiteral("!utf16 \"")).append(f.text).append(QLatin1Char('"'));
    } else if (f.quoted) {
        appendQuoted(out, f.text);
    } else {
        out->append(f.text);
    }
}
} // namespace

// Written directly (the document's shape is fixed): block mappings, lists of
// block mappings, flow lists for members.
QByteArray toYaml(const Document &doc)
{
    QString out;
    out.reserve(1 << 20);
    out.append(QStringLiteral("format: \"orvane-codeplug 1\"\n"));
    for (const Section &s : doc) {
        out.append(s.name).append(QLatin1Char(':'));
        if (s.isList && s.records.isEmpty()) {
            out.append(QStringLiteral(" []\n"));
            continue;
        }
        out.append(QLatin1Char('\n'));
        for (const Record &r : s.records) {
            bool first = true;
            for (const Field &f : r.fields) {
                out.append(s.isList ? (first ? QStringLiteral("  - ") : QStringLiteral("    "))
                                    : QStringLiteral("  "));
                first = false;
                out.append(f.key).append(QStringLiteral(": "));
                appendValue(&out, f);
                out.append(QLatin1Char('\n'));
            }
        }
    }
    return out.toUtf8();
}

QByteArray exportYaml(const QVariantList &image) { return toYaml(document(decode(image))); }

// ---------------------------------------------------------------- collections

QVariantList collections(const QVariantMap &map, const QVariantList &keys)
{
    QVariantList channels;
    for (const QVariant &v : map.value(DecodedKey::FreqList).toList()) {
        const QVariantMap c = v.toMap();
        if (c.size() == 1 && c.contains(QStringLiteral("origin"))) { // kept as stored
            channels << c;
            continue;
        }
        QVariantMap w { { "name", c.value(QStringLiteral("name")).toString() },
            { "send_freq", c.value(QStringLiteral("sendFreq")).toUInt() },
            { "recv_freq", c.value(QStringLiteral("recvFreq")).toUInt() },
            { "type_channel", c.value(QStringLiteral("typeChannel")).toBool() },
            { "power_ch", c.value(QStringLiteral("powerCH")).toBool() },
            { "chanelBand", c.value(QStringLiteral("chanelBand")).toInt() },
            { "recv_qt_dqt", c.value(QStringLiteral("recvQtDqt")).toInt() },
            { "send_qt_dqt", c.value(QStringLiteral("sendQtDqt")).toInt() },
            { "qt_dqt_type_rcv", c.value(QStringLiteral("QtDqtTypeRcv")).toInt() },
            { "qt_dqt_type_trasm", c.value(QStringLiteral("QtDqtTypeTrasm")).toInt() },
            { "color_cod", c.value(QStringLiteral("colorCod")).toInt() },
            { "rx_groupe", c.value(QStringLiteral("rxGroup")).toInt() },
            { "contact", c.value(QStringLiteral("contact")).toInt() },
            { "encrypt", c.value(QStringLiteral("encrypt")).toInt() } };
        if (c.contains(QStringLiteral("origin")))
            w.insert("origin", c.value(QStringLiteral("origin")).toInt());
        channels << w;
    }
    const auto records = [](const QVariantList &list,
                             std::initializer_list<std::pair<const char *, const char *>> keys) {
        QVariantList out;
        for (const QVariant &v : list) {
            const QVariantMap r = v.toMap();
            QVariantMap w;
            for (const auto &k : keys)
                w.insert(QLatin1String(k.second), r.value(QLatin1String(k.first)));
            if (r.contains(QStringLiteral("origin")))
                w.insert("origin", r.value(QStringLiteral("origin")).toInt());
            out << w;
        }
        return out;
    };
    const QVariantList zones = records(map.value(DecodedKey::ZoneList).toList(),
        { { "title", "title" }, { "selectedChannels", "selectedChannels" } });
    const QVariantList groups = records(map.value(DecodedKey::RxGroupsList).toList(),
        { { "title", "title" }, { "selectedContacts", "selectedContacts" } });
    const QVariantList contacts = records(map.value(DecodedKey::ContactList).toList(),
        { { "name", "name" }, { "number", "number" }, { "type", "type" }, { "tone", "tone" } });
    QVariantMap settings = map.value(DecodedKey::BasicSettings).toMap();
    QVariantMap buttons = map.value(DecodedKey::ButtonsSettings).toMap();
    buttons.remove("type_radio");
    settings.insert("buttonsSettings", buttons);
    const QVariantMap gps = map.value(DecodedKey::GPSSetup).toMap();
    settings.insert("gps_activation", gps.value(QStringLiteral("activated")).toBool());
    settings.insert("gps_indication", gps.value(QStringLiteral("indication")).toBool());
    settings.insert("gps_interval", gps.value(QStringLiteral("save_interval")).toInt());
    const QVariantList keyList = records(keys, { { "name", "name" }, { "number", "number" } });
    return { channels, zones, groups, contacts, settings, keyList };
}

QVariantList applyCollections(
    const QVariantList &base, const QVariantMap &map, const QVariantList &keys)
{
    return applyCollections(base, decode(base), map, keys);
}

QVariantList applyCollections(
    const QVariantList &base, const Decoded &b, const QVariantMap &map, const QVariantList &keys)
{
    // A channel the map holds exactly as decoded from the base becomes a bare
    // {"origin"} record on both sides: the encoder keeps its stored bytes
    // either way, and nothing is converted or compared for it again.
    QVariantList current = map.value(DecodedKey::FreqList).toList();
    QVariantList stored = b.map.value(DecodedKey::FreqList).toList();
    const QString originKey = QStringLiteral("origin");
    QHash<int, int> uses;
    for (const QVariant &v : current)
        uses[v.toMap().value(originKey, -1).toInt()] += 1;
    for (QVariant &v : current) {
        const QVariantMap m = v.toMap();
        const auto found = m.constFind(originKey);
        if (found == m.cend())
            continue;
        const int origin = found.value().toInt();
        if (origin >= 0 && origin < stored.size() && uses.value(origin) == 1
            && stored.at(origin) == v) {
            const QVariantMap bare { { originKey, origin } };
            v = bare;
            stored[origin] = bare;
        }
    }
    QVariantMap reducedMap = map, reducedBase = b.map;
    reducedMap.insert(DecodedKey::FreqList, current);
    reducedBase.insert(DecodedKey::FreqList, stored);

    Channel codec;
    codec.setRadioType(b.radioType);
    const BlockMap blocks = EditMerge::apply(
        codec, b.blocks, collections(reducedMap, keys), collections(reducedBase, b.keys));
    return withBlocks(base, b.blocks, blocks);
}

// ---------------------------------------------------------------- files

QVariantList loadImageFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    QDataStream in(&file);
    quint32 count = 0;
    in >> count;
    QVariantList list;
    for (quint32 i = 0; i < count && i < 4096; ++i) {
        QVariant element;
        in >> element;
        if (in.status() != QDataStream::Ok)
            break;
        list.append(element);
    }
    bool usable
        = in.status() == QDataStream::Ok && list.size() >= 2 && quint32(list.size()) == count;
    for (int i = 1; usable && i < list.size(); ++i)
        usable = list.at(i).userType() == QMetaType::QByteArray
            && list.at(i).toByteArray().size() >= 8;
    if (!usable) {
        *error = QStringLiteral("%1 is not a configuration file").arg(path);
        return {};
    }
    return list;
}

bool saveImageFile(const QString &path, const QVariantList &image, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QDataStream out(&file);
        out << image;
        if (out.status() == QDataStream::Ok && file.commit())
            return true;
    }
    *error = QStringLiteral("could not save %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace CodeplugText
