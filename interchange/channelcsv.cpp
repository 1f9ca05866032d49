#include "interchange/channelcsv.h"

#include <QHash>

#include "codeplug/channel.h"
#include "codeplug/layout.h"
#include "manager/decodedkeys.h"

#include <cmath>

namespace ChannelCsv {

namespace {

// The two power levels as watts, for the Power column.
constexpr double HighWatts = 5.0;
constexpr double LowWatts = 1.0;

QString quoteField(const QString &f)
{
    if (!f.contains(QLatin1Char(',')) && !f.contains(QLatin1Char('"'))
        && !f.contains(QLatin1Char('\n')) && !f.contains(QLatin1Char('\r')))
        return f;
    QString q = f;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString mhz6(quint32 hz)
{
    return QStringLiteral("%1.%2").arg(hz / 1000000).arg(hz % 1000000, 6, 10, QLatin1Char('0'));
}

struct Tone {
    enum Kind { None, Ctcss, Dcs, Raw } kind = None;
    QString value; // "88.5" or "023"
    QChar polarity; // N or R
};

Tone toneOf(int type, int word)
{
    const QString t = CodeplugText::toneText(type, word);
    if (t == QLatin1String("none"))
        return {};
    if (t.startsWith(QLatin1String("CTCSS ")))
        return { Tone::Ctcss, t.mid(6), QChar() };
    if (t.startsWith(QLatin1String("DCS ")))
        return { Tone::Dcs, t.mid(4, 3),
            t.endsWith(QLatin1Char('I')) ? QLatin1Char('R') : QLatin1Char('N') };
    return { Tone::Raw, QString(), QChar() };
}

} // namespace

QStringList columns()
{
    return { "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq",
        "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep", "Skip", "Power",
        "Comment", "ColorCode", "RxGroup", "Contact", "Encryption" };
}

QByteArray exportCsv(const QVariantList &image)
{
    const CodeplugText::Decoded d = CodeplugText::decode(image);
    const QVariantList channels = d.map.value(DecodedKey::FreqList).toList();
    const QVariantList groups = d.map.value(DecodedKey::RxGroupsList).toList();
    const QVariantList contacts = d.map.value(DecodedKey::ContactList).toList();
    QHash<int, QString> groupTitle;
    for (const QVariant &g : groups)
        groupTitle.insert(g.toMap().value("groups").toInt(), g.toMap().value("title").toString());
    QString out = columns().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (int i = 0; i < channels.size(); ++i) {
        const QVariantMap c = channels.at(i).toMap();
        const quint32 rx = c.value("recvFreq").toUInt(), tx = c.value("sendFreq").toUInt();
        QString duplex, offset = QStringLiteral("0.000000");
        if (tx != rx) {
            const quint32 diff = tx > rx ? tx - rx : rx - tx;
            if (diff < 100000000) {
                duplex = tx > rx ? QStringLiteral("+") : QStringLiteral("-");
                offset = mhz6(diff);
            } else {
                duplex = QStringLiteral("split");
                offset = mhz6(tx);
            }
        }
        QString tone, rTone = QStringLiteral("88.5"), cTone = QStringLiteral("88.5"),
                      dtcs = QStringLiteral("023"), polarity = QStringLiteral("NN"),
                      rxDtcs = QStringLiteral("023"), cross = QStringLiteral("Tone->Tone"), mode,
                      comment, colour, group, contact, key;
        const bool digital = c.value("typeChannel").toBool();
        if (digital) {
            mode = QStringLiteral("DMR");
            colour = QString::number(c.value("colorCod").toInt());
            const int g = c.value("rxGroup").toInt(), k = c.value("contact").toInt(),
                      e = c.value("encrypt").toInt();
            group = g == 0 ? QString() : groupTitle.value(g, QString::number(g));
            contact = k == 0 ? QString()
                : k > 0 && k <= contacts.size()
                ? contacts.at(k - 1).toMap().value("name").toString()
                : QString::number(k);
            key = e == 0                      ? QString()
                : e > 0 && e <= d.keys.size() ? d.keys.at(e - 1).toMap().value("name").toString()
                                              : QString::number(e);
        } else {
            mode
                = c.value("chanelBand").toInt() == 1 ? QStringLiteral("NFM") : QStringLiteral("FM");
            const Tone t = toneOf(c.value("QtDqtTypeTrasm").toInt(), c.value("sendQtDqt").toInt());
            const Tone r = toneOf(c.value("QtDqtTypeRcv").toInt(), c.value("recvQtDqt").toInt());
            if (t.kind == Tone::Raw || r.kind == Tone::Raw) {
                comment = QStringLiteral("tones not representable");
            } else if (t.kind == Tone::None && r.kind == Tone::None) {
            } else if (t.kind == Tone::Ctcss && r.kind == Tone::None) {
                tone = QStringLiteral("Tone"), rTone = t.value;
            } else if (t.kind == Tone::Ctcss && r.kind == Tone::Ctcss && t.value == r.value) {
                tone = QStringLiteral("TSQL"), cTone = t.value;
            } else if (t.kind == Tone::Dcs && r.kind == Tone::Dcs && t.value == r.value) {
                tone = QStringLiteral("DTCS"), dtcs = t.value;
                polarity = QString(t.polarity) + r.polarity;
            } else {
                tone = QStringLiteral("Cross");
                const auto name = [](const Tone &x) {
                    return x.kind == Tone::Ctcss ? QStringLiteral("Tone")
                        : x.kind == Tone::Dcs    ? QStringLiteral("DTCS")
                                                 : QString();
                };
                cross = name(t) + QStringLiteral("->") + name(r);
                if (t.kind == Tone::Ctcss)
                    rTone = t.value;
                if (r.kind == Tone::Ctcss)
                    cTone = r.value;
                if (t.kind == Tone::Dcs)
                    dtcs = t.value;
                if (r.kind == Tone::Dcs)
                    rxDtcs = r.value;
                polarity = QString(t.kind == Tone::Dcs ? t.polarity : QLatin1Char('N'))
                    + (r.kind == Tone::Dcs ? r.polarity : QLatin1Char('N'));
            }
        }
        const QString power = QStringLiteral("%1W").arg(
            c.value("powerCH").toBool() ? HighWatts : LowWatts, 0, 'f', 1);
        const QStringList row = { QString::number(i + 1), c.value("name").toString(), mhz6(rx),
            duplex, offset, tone, rTone, cTone, dtcs, polarity, rxDtcs, cross, mode,
            QStringLiteral("12.50"), QString(), power, comment, colour, group, contact, key };
        QStringList quoted;
        for (const QString &f : row)
            quoted << quoteField(f);
        out += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QVector<Row> parse(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QVector<Row> rows;
    Row row;
    QString field;
    bool quoted = false, any = false;
    int line = 1;
    row.line = 1;
    const auto endField = [&] {
        row.fields << field;
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        if (!(row.fields.size() == 1 && row.fields.first().isEmpty()))
            rows << row;
        row = Row();
        any = false;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\n'))
            ++line;
        if (quoted) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += ch;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
            continue;
        }
        if (!any) {
            row.line = line - (ch == QLatin1Char('\n') ? 1 : 0);
            any = true;
        }
        if (ch == QLatin1Char('"'))
            quoted = true;
        else if (ch == QLatin1Char(','))
            endField();
        else if (ch == QLatin1Char('\n'))
            endRow();
        else if (ch != QLatin1Char('\r'))
            field += ch;
    }
    if (any || !field.isEmpty())
        endRow();
    return rows;
}

CodeplugText::ImportResult importCsv(const QByteArray &text, const QVariantList &base, bool append)
{
    using CodeplugText::Issue;
    CodeplugText::ImportResult result;
    const QVector<Row> rows = parse(text);
    if (rows.isEmpty()) {
        result.errors << Issue { 1, 1, QString(), QStringLiteral("no header row") };
        return result;
    }
    QHash<QString, int> column;
    for (int i = 0; i < rows.first().fields.size(); ++i)
        column.insert(rows.first().fields.at(i).trimmed(), i);
    for (const char *needed : { "Name", "Frequency" }) {
        if (!column.contains(QLatin1String(needed)))
            result.errors << Issue { rows.first().line, 1, QString(),
                QStringLiteral("the header has no %1 column").arg(needed) };
    }
    if (!result.errors.isEmpty())
        return result;

    CodeplugText::Decoded b = CodeplugText::decode(base);
    const QVariantList baseChannels = b.map.value(DecodedKey::FreqList).toList();
    QHash<QString, int> groupByName, contactByName, keyByName;
    for (const QVariant &g : b.map.value(DecodedKey::RxGroupsList).toList())
        groupByName.insert(g.toMap().value("title").toString(), g.toMap().value("groups").toInt());
    const QVariantList contacts = b.map.value(DecodedKey::ContactList).toList();
    for (int i = 0; i < contacts.size(); ++i)
        contactByName.insert(contacts.at(i).toMap().value("name").toString(), i + 1);
    for (int i = 0; i < b.keys.size(); ++i)
        keyByName.insert(b.keys.at(i).toMap().value("name").toString(), i + 1);
    const int nameUnits = layoutFor(b.radioType)[Entry::NameLength] / 2;

    QVariantList channels = append ? baseChannels : QVariantList();
    const int first = channels.size();
    for (int r = 1; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        const auto get = [&](const char *name) {
            return row.fields.value(column.value(QLatin1String(name), -1)).trimmed();
        };
        const auto error = [&](const QString &columnName, const QString &message) {
            result.errors << Issue { row.line, column.value(columnName, 0) + 1,
                QStringLiteral("line %1 %2").arg(row.line).arg(columnName), message };
        };
        const int position = channels.size();
        if (position >= Channel::MaxChannels) {
            error(QStringLiteral("Location"),
                QStringLiteral("more than %1 channels").arg(Channel::MaxChannels));
            break;
        }
        const bool matched = !append && position < baseChannels.size();
        QVariantMap c = matched ? baseChannels.at(position).toMap() : QVariantMap();
        QString name = get("Name");
        if (name.size() > nameUnits) {
            result.warnings << Issue { row.line, column.value("Name") + 1,
                QStringLiteral("line %1 Name").arg(row.line),
                QStringLiteral("\"%1\" cut to %2 characters").arg(name).arg(nameUnits) };
            name.truncate(nameUnits);
        }
        c.insert("name", name);
        quint32 rx = 0, tx = 0;
        bool rounded = false;
        if (!CodeplugText::parseMhz(get("Frequency"), &rx, &rounded)) {
            error(QStringLiteral("Frequency"),
                QStringLiteral("\"%1\" is not a frequency in MHz").arg(get("Frequency")));
            continue;
        }
        tx = rx;
        const QString duplex = get("Duplex");
        quint32 offset = 0;
        if (!duplex.isEmpty() && duplex != QLatin1String("off")
            && !CodeplugText::parseMhz(get("Offset"), &offset, &rounded)) {
            error(QStringLiteral("Offset"),
                QStringLiteral("\"%1\" is not an offset in MHz").arg(get("Offset")));
            continue;
        }
        if (duplex == QLatin1String("+"))
            tx = rx + offset;
        else if (duplex == QLatin1String("-"))
            tx = rx - offset;
        else if (duplex == QLatin1String("split"))
            tx = offset;
        else if (duplex == QLatin1String("off"))
            result.warnings << Issue { row.line, column.value("Duplex") + 1,
                QStringLiteral("line %1 Duplex").arg(row.line),
                QStringLiteral("transmit inhibit is not written; the channel transmits on its "
                               "receive frequency") };
        else if (!duplex.isEmpty()) {
            error(QStringLiteral("Duplex"),
                QStringLiteral("\"%1\" is not +, -, split or off").arg(duplex));
            continue;
        }
        const quint32 low = b.bandCode == 3 ? 136000000 : 400000000;
        const quint32 high = b.bandCode == 3 ? 174000000 : 470000000;
        if ((b.bandCode == 0 || b.bandCode == 3)
            && (rx < low || rx > high || tx < low || tx > high)) {
            error(QStringLiteral("Frequency"),
                QStringLiteral("%1 / %2 MHz is outside the band %3–%4 MHz")
                    .arg(CodeplugText::mhz(rx), CodeplugText::mhz(tx))
                    .arg(low / 1000000)
                    .arg(high / 1000000));
            continue;
        }
        c.insert("recvFreq", rx);
        c.insert("sendFreq", tx);
        const QString mode = get("Mode").isEmpty() ? QStringLiteral("FM") : get("Mode");
        const bool digital = mode == QLatin1String("DMR");
        if (!digital && mode != QLatin1String("FM") && mode != QLatin1String("NFM")) {
            error(QStringLiteral("Mode"),
                QStringLiteral("mode %1 cannot be represented (FM, NFM or DMR)").arg(mode));
            continue;
        }
        const QString power = get("Power");
        if (!power.isEmpty()) {
            const double watts = QString(power).remove(QLatin1Char('W')).toDouble();
            c.insert("powerCH", std::abs(watts - HighWatts) <= std::abs(watts - LowWatts));
        } else if (!matched) {
            c.insert("powerCH", true);
        }
        if (!matched)
            c.insert("refFreq", 1), c.insert("vox", false);
        c.insert("typeChannel", digital);
        if (digital) {
            bool ok = true;
            const QString cc = get("ColorCode");
            const int colour = cc.isEmpty() ? 1 : cc.toInt(&ok);
            if (!ok || colour < 0 || colour > 15) {
                error(QStringLiteral("ColorCode"),
                    QStringLiteral("\"%1\" is not a colour code 0 to 15").arg(cc));
                continue;
            }
            int refs[3] = { 0, 0, 0 };
            const char *refColumns[3] = { "RxGroup", "Contact", "Encryption" };
            const QHash<QString, int> *tables[3] = { &groupByName, &contactByName, &keyByName };
            bool bad = false;
            for (int k = 0; k < 3; ++k) {
                const QString v = get(refColumns[k]);
                if (v.isEmpty())
                    continue;
                bool isNumber = false;
                refs[k] = v.toInt(&isNumber);
                if (!isNumber && !tables[k]->contains(v)) {
                    error(QLatin1String(refColumns[k]),
                        QStringLiteral("there is no %1 named \"%2\" in the base image")
                            .arg(QLatin1String(refColumns[k]), v));
                    bad = true;
                } else if (!isNumber) {
                    refs[k] = tables[k]->value(v);
                }
            }
            if (bad)
                continue;
            c.insert("colorCod", colour), c.insert("rxGroup", refs[0]),
                c.insert("contact", refs[1]), c.insert("encrypt", refs[2]);
            c.insert("chanelBand", -1), c.insert("recvQtDqt", -1), c.insert("sendQtDqt", -1);
            c.remove("QtDqtTypeRcv"), c.remove("QtDqtTypeTrasm");
        } else {
            c.insert("chanelBand", mode == QLatin1String("NFM") ? 1 : 0);
            c.insert("colorCod", -1), c.insert("rxGroup", -1), c.insert("contact", -1),
                c.insert("encrypt", -1);
            QString txTone = QStringLiteral("none"), rxTone = QStringLiteral("none");
            const QString tone = get("Tone");
            const QString pol
                = get("DtcsPolarity").isEmpty() ? QStringLiteral("NN") : get("DtcsPolarity");
            const auto dcs = [](const QString &code, QChar p) {
                return QStringLiteral("DCS %1%2")
                    .arg(code, p == QLatin1Char('R') ? QStringLiteral("I") : QStringLiteral("N"));
            };
            if (tone == QLatin1String("Tone")) {
                txTone = QStringLiteral("CTCSS ") + get("rToneFreq");
            } else if (tone == QLatin1String("TSQL")) {
                txTone = rxTone = QStringLiteral("CTCSS ") + get("cToneFreq");
            } else if (tone == QLatin1String("DTCS")) {
                txTone = dcs(get("DtcsCode"), pol.at(0));
                rxTone = dcs(get("DtcsCode"), pol.size() > 1 ? pol.at(1) : QLatin1Char('N'));
            } else if (tone == QLatin1String("Cross")) {
                const QStringList sides = get("CrossMode").split(QStringLiteral("->"));
                const auto side = [&](const QString &kind, bool transmit) {
                    if (kind == QLatin1String("Tone"))
                        return QStringLiteral("CTCSS ") + get(transmit ? "rToneFreq" : "cToneFreq");
                    if (kind == QLatin1String("DTCS"))
                        return dcs(get(transmit ? "DtcsCode" : "RxDtcsCode"),
                            pol.size() > 1 ? pol.at(transmit ? 0 : 1) : QLatin1Char('N'));
                    return kind.isEmpty() ? QStringLiteral("none") : QString();
                };
                if (sides.size() == 2) {
                    txTone = side(sides.at(0), true);
                    rxTone = side(sides.at(1), false);
                } else {
                    txTone.clear();
                }
            } else if (!tone.isEmpty()) {
                txTone.clear();
            }
            int types[2] = {}, words[2] = {};
            if (!CodeplugText::parseTone(txTone, &types[0], &words[0])
                || !CodeplugText::parseTone(rxTone, &types[1], &words[1])) {
                error(QStringLiteral("Tone"),
                    QStringLiteral("the tone setting (%1 %2) cannot be represented")
                        .arg(tone, get("CrossMode")));
                continue;
            }
            c.insert("QtDqtTypeTrasm", types[0]), c.insert("sendQtDqt", words[0]);
            c.insert("QtDqtTypeRcv", types[1]), c.insert("recvQtDqt", words[1]);
        }
        if (matched)
            c.insert("origin", position);
        else
            c.remove("origin");
        channels << c;
    }
    if (channels.size() == first && result.errors.isEmpty())
        result.errors << Issue { 0, 0, QString(), QStringLiteral("the file holds no channels") };
    if (!result.errors.isEmpty())
        return result;
    b.map.insert(DecodedKey::FreqList, channels);
    result.image = CodeplugText::applyCollections(base, b.map, b.keys);
    result.ok = true;
    return result;
}

} // namespace ChannelCsv
