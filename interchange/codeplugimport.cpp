// Reading a codeplug document back: every value checked and bounded, records
// matched to the base image's records by position so that what the document
// leaves as it was keeps its stored bytes.
#include "interchange/codeplugtext.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include "codeplug/channel.h"
#include "codeplug/fieldcodecs.h"
#include "codeplug/layout.h"
#include "interchange/yamltree.h"
#include "manager/decodedkeys.h"

#include <functional>

namespace CodeplugText {

namespace {

using Node = YamlTree::Node;

struct Reader {
    QVector<Issue> errors, warnings;
    Issue at(const Node &n, const QString &path, const QString &message) const
    {
        Issue i;
        const YamlTree::Mark mark = n.mark();
        if (!mark.isNull()) {
            i.line = mark.line + 1;
            i.column = mark.column + 1;
        }
        i.path = path;
        i.message = message;
        return i;
    }
    void error(const Node &n, const QString &path, const QString &message)
    {
        errors << at(n, path, message);
    }
    void warn(const Node &n, const QString &path, const QString &message)
    {
        warnings << at(n, path, message);
    }

    // A scalar's text; quoted tells a quoted scalar (always a text) from a
    // plain one (a number or a word).
    bool scalar(const Node &n, const QString &path, QString *text, bool *quoted = nullptr)
    {
        if (!n.isScalar()) {
            error(n, path, QStringLiteral("expected a single value"));
            return false;
        }
        *text = n.scalar();
        if (quoted)
            *quoted = n.quoted();
        if (n.tag() == QLatin1String("!utf16") && !fromUtf16Hex(text->trimmed(), text)) {
            error(n, path, QStringLiteral("!utf16 needs groups of 4 hexadecimal digits"));
            return false;
        }
        return true;
    }
    bool integer(const Node &n, const QString &path, qint64 min, qint64 max, qint64 *out,
        const QVariant &base = QVariant())
    {
        QString t;
        if (!scalar(n, path, &t))
            return false;
        bool ok = false;
        const qint64 v = t.trimmed().toLongLong(&ok, 0);
        if (!ok) {
            error(n, path, QStringLiteral("\"%1\" is not a whole number").arg(t));
            return false;
        }
        // A value as stored in the base is always accepted: it is not written.
        if ((v < min || v > max) && !(base.isValid() && base.toLongLong() == v)) {
            error(n, path, QStringLiteral("%1 is outside %2 to %3").arg(v).arg(min).arg(max));
            return false;
        }
        *out = v;
        return true;
    }
    bool boolean(const Node &n, const QString &path, bool *out)
    {
        QString t;
        if (!scalar(n, path, &t))
            return false;
        if (t == QLatin1String("true") || t == QLatin1String("false")) {
            *out = t == QLatin1String("true");
            return true;
        }
        error(n, path, QStringLiteral("\"%1\" is not true or false").arg(t));
        return false;
    }
    // A text cut to the code units its field holds (a warning says so).
    bool text(const Node &n, const QString &path, int units, QString *out)
    {
        if (!scalar(n, path, out))
            return false;
        if (out->size() > units) {
            int keep = units;
            if (keep > 0 && out->at(keep - 1).isHighSurrogate())
                --keep;
            warn(n, path,
                QStringLiteral("\"%1\" is longer than %2 characters; cut to \"%3\"")
                    .arg(*out)
                    .arg(units)
                    .arg(out->left(keep)));
            out->truncate(keep);
        }
        return true;
    }
    // Checks the keys of a mapping; false (with an error) when not a mapping.
    bool mapping(const Node &n, const QString &path, const QStringList &known)
    {
        if (!n.isMap()) {
            error(n, path, QStringLiteral("expected a mapping of keys to values"));
            return false;
        }
        for (int k = 0; k < n.size(); ++k) {
            const QStringView key = n.key(k).view();
            bool twice = false;
            for (int j = 0; j < k && !twice; ++j)
                twice = n.key(j).view() == key;
            const bool unknown = !known.contains(key);
            if (!twice && !unknown)
                continue;
            const QString where
                = path.isEmpty() ? key.toString() : path + QLatin1Char('.') + key.toString();
            if (twice)
                error(n.key(k), where, QStringLiteral("the key is given twice"));
            if (unknown)
                error(n.key(k), where,
                    QStringLiteral("unknown key (known: %1)")
                        .arg(known.join(QStringLiteral(", "))));
        }
        return true;
    }
};

// Sets a value only when it differs: a record left as it was keeps sharing
// the base's data (and compares equal to it at once).
template <typename T> void put(QVariantMap &m, const QString &key, const T &value)
{
    const QVariant v = QVariant::fromValue(value);
    const auto it = m.constFind(key);
    if (it == m.cend() || it.value() != v)
        m.insert(key, v);
}

// The fields the write encoders do not store, as a stored channel record
// holds them.
QVariantMap readOnlyFields(const Layout &L, const QByteArray &rec)
{
    const auto at = [&rec](int i) { return quint8(rec.at(i)); };
    const auto flag = [&](int byte, int mask) { return bitFlag(at(L[byte]), L[mask]); };
    return { { "squelchLevel", flag(Entry::SquelchByte, Entry::SquelchMask) },
        { "rxOnly", flag(Entry::RxOnlyByte, Entry::RxOnlyMask) },
        { "emergencySystem", int(qint8(at(L[Entry::EmergencySystem]))) },
        { "emergencyAlarmAck", flag(Entry::AlarmAckByte, Entry::AlarmAckMask) },
        { "emergencyCallIndication", flag(Entry::CallIndicationByte, Entry::CallIndicationMask) },
        { "vox", flag(Entry::VoxByte, Entry::VoxMask) },
        { "refFreq", twoBitField(at(L[Entry::RefFreqByte]), L[Entry::RefFreqMask]) } };
}

// The "name" of a list element as a reference names it.
QString nameOf(const Node &e)
{
    const Node n = e.isMap() ? e["name"] : Node();
    if (!n.isDefined() || !n.isScalar())
        return QString();
    QString text = n.scalar();
    if (n.tag() == QLatin1String("!utf16") && !fromUtf16Hex(text.trimmed(), &text))
        return QString();
    return text;
}

QString sub(const QString &path, const QString &key) { return path + QLatin1Char('.') + key; }
QString item(const QString &path, int i) { return path + QStringLiteral("[%1]").arg(i); }

// A list element's "raw": the stored record, `length` bytes in hexadecimal.
bool rawRecord(Reader &r, const Node &e, const QString &path, int length, QByteArray *out)
{
    QString t;
    if (!e["raw"].isDefined() || !r.scalar(e["raw"], sub(path, "raw"), &t))
        return false;
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]*$"));
    if (t.size() != 2 * length || !hex.match(t).hasMatch()) {
        r.error(e["raw"], sub(path, "raw"),
            QStringLiteral("a stored record here is %1 hexadecimal digits").arg(2 * length));
        return false;
    }
    *out = QByteArray::fromHex(t.toLatin1());
    return true;
}

// A reference to an entry of a list, by name or number.
struct RefTable {
    QString what; // "channel"
    QHash<QString, QList<int>> numbersByName;
    QSet<int> numbers;
    void add(int number, const QString &name)
    {
        numbersByName[name] << number;
        numbers.insert(number);
    }
    bool resolve(Reader &r, const Node &n, const QString &path, const QString &noneWord, int *out,
        const QVariant &base = QVariant())
    {
        QString t;
        bool quoted = false;
        if (!r.scalar(n, path, &t, &quoted))
            return false;
        if (!quoted && !noneWord.isEmpty() && t == noneWord) {
            *out = 0;
            return true;
        }
        bool isNumber = false;
        const int v = t.toInt(&isNumber);
        if (!quoted && isNumber) {
            if (numbers.contains(v) || (base.isValid() && base.toInt() == v)) {
                *out = v;
                return true;
            }
            r.error(n, path, QStringLiteral("there is no %1 number %2").arg(what).arg(v));
            return false;
        }
        const QList<int> found = numbersByName.value(t);
        if (found.size() == 1) {
            *out = found.first();
            return true;
        }
        r.error(n, path,
            found.isEmpty() ? QStringLiteral("there is no %1 named \"%2\"").arg(what, t)
                            : QStringLiteral("%1 %2s are named \"%3\"; refer to one by number")
                                  .arg(found.size())
                                  .arg(what, t));
        return false;
    }
};

struct Band {
    quint32 low = 0, high = 0xFFFFFFFF;
    QString name;
};

Band bandOf(int code)
{
    if (code == 0)
        return { 400000000, 470000000, QStringLiteral("400–470 MHz") };
    if (code == 3)
        return { 136000000, 174000000, QStringLiteral("136–174 MHz") };
    return {};
}

bool frequency(Reader &r, const Node &n, const QString &path, const Band &band, quint32 *hz,
    const QVariant &base)
{
    QString t;
    if (!r.scalar(n, path, &t))
        return false;
    bool rounded = false;
    if (!parseMhz(t, hz, &rounded)) {
        r.error(n, path, QStringLiteral("\"%1\" is not a frequency in MHz").arg(t));
        return false;
    }
    if (rounded)
        r.warn(n, path,
            QStringLiteral("%1 MHz rounded to %2 MHz (the radio stores whole hertz)")
                .arg(t, mhz(*hz)));
    if ((*hz < band.low || *hz > band.high) && !(base.isValid() && base.toUInt() == *hz)) {
        r.error(n, path, QStringLiteral("%1 MHz is outside the band %2").arg(t, band.name));
        return false;
    }
    return true;
}

// Checks the count of a list against the radio's capacity (a list no longer
// than the base's is accepted: the base holds it already).
bool capacity(
    Reader &r, const Node &n, const QString &path, int max, int baseCount, const QString &what)
{
    if (int(n.size()) > max && int(n.size()) > baseCount) {
        r.error(n, path,
            QStringLiteral("%1 %2; the radio holds at most %3").arg(n.size()).arg(what).arg(max));
        return false;
    }
    return true;
}

// A map section (settings, buttons): every key must exist in the base, with
// the base's kind of value.
void settingsSection(Reader &r, const Node &n, const QString &path, QVariantMap *values,
    const std::function<QPair<qint64, qint64>(const QString &)> &range)
{
    if (!n.isDefined() || n.isNull())
        return;
    QStringList known = values->keys();
    known.removeAll(QStringLiteral("type_radio"));
    if (!r.mapping(n, path, known))
        return;
    for (int k = 0; k < n.size(); ++k) {
        const QString key = n.key(k).scalar();
        if (!known.contains(key))
            continue;
        const QVariant base = values->value(key);
        if (base.userType() == QMetaType::Bool) {
            bool b = false;
            if (r.boolean(n.value(k), sub(path, key), &b))
                values->insert(key, b);
        } else {
            const auto span = range(key);
            qint64 v = 0;
            if (r.integer(n.value(k), sub(path, key), span.first, span.second, &v, base))
                values->insert(key, int(v));
        }
    }
}

} // namespace

QString defaultImageName(const QByteArray &text, Issue *issue)
{
    const YamlTree::Document parsed = YamlTree::parse(text);
    if (!parsed.ok) {
        *issue = Issue { parsed.line, parsed.column, QString(), parsed.message };
        return {};
    }
    const Node root = parsed.root();
    const Node radio = root.isMap() ? root["radio"] : Node();
    const auto value = [&radio](const char *key) {
        const Node n = radio.isDefined() && radio.isMap() ? radio[key] : Node();
        return n.isDefined() && n.isScalar() ? n.scalar() : QString();
    };
    const QString model = value("model");
    const QString band = value("band");
    const bool kr4700 = model == QLatin1String("KR4700");
    if ((kr4700 || model == QLatin1String("KR4500"))
        && (band == QLatin1String("400-470") || band == QLatin1String("136-174")))
        return QStringLiteral("default%1%2.dcc")
            .arg(kr4700 ? QStringLiteral("4700_") : QString(), band);
    *issue = Issue { 0, 0, QStringLiteral("radio"),
        QStringLiteral("model (KR4500 or KR4700) and band (400-470 or 136-174) are needed to "
                       "choose a factory default image; or give a base image") };
    return {};
}

namespace {
ImportResult importChecked(const QByteArray &text, const QVariantList &base, bool strict)
{
    ImportResult result;
    Reader r;
    const YamlTree::Document parsed = YamlTree::parse(text);
    if (!parsed.ok) {
        result.errors << Issue { parsed.line, parsed.column, QString(), parsed.message };
        return result;
    }
    const Node root = parsed.root();
    const QStringList sections = { "format", "radio", "settings", "buttons", "gps", "channels",
        "zones", "contacts", "rx_groups", "keys" };
    if (!r.mapping(root, QString(), sections)) {
        result.errors = r.errors;
        return result;
    }

    const Decoded b = decode(base);
    const Layout L = layoutFor(b.radioType);
    const Band band = bandOf(b.bandCode);
    QVariantMap map = b.map;
    QVariantList keys = b.keys;

    if (root["format"].isDefined()) {
        QString f;
        if (r.scalar(root["format"], "format", &f) && f != QLatin1String("orvane-codeplug 1"))
            r.error(root["format"], "format",
                QStringLiteral("\"%1\" is not \"orvane-codeplug 1\"").arg(f));
    }
    // The radio section: model and band must be those of the base; the
    // identity texts are not written (the base keeps them).
    const Node radio = root["radio"];
    if (radio.isDefined()
        && r.mapping(
            radio, "radio", { "model", "band", "model_name", "serial_number", "hw_version" })) {
        const QString model = b.radioType ? QStringLiteral("KR4700") : QStringLiteral("KR4500");
        QString t;
        if (radio["model"].isDefined() && r.scalar(radio["model"], "radio.model", &t) && t != model)
            r.error(radio["model"], "radio.model",
                QStringLiteral("the document is for %1, the base image is a %2").arg(t, model));
        const QString bandText = b.bandCode == 0 ? QStringLiteral("400-470")
            : b.bandCode == 3                    ? QStringLiteral("136-174")
                                                 : QStringLiteral("code %1").arg(b.bandCode);
        if (radio["band"].isDefined() && r.scalar(radio["band"], "radio.band", &t) && t != bandText)
            r.error(radio["band"], "radio.band",
                QStringLiteral("the document is for the band %1, the base image is %2")
                    .arg(t, bandText));
        const std::pair<const char *, QString> identity[]
            = { { "model_name", DecodedKey::NameModel },
                  { "serial_number", DecodedKey::SerialNumber },
                  { "hw_version", DecodedKey::HwVersion } };
        for (const auto &id : identity) {
            if (radio[id.first].isDefined() && r.scalar(radio[id.first], sub("radio", id.first), &t)
                && t != map.value(id.second).toString())
                r.warn(radio[id.first], sub("radio", id.first),
                    QStringLiteral("the radio's identity is not written; the base keeps \"%1\"")
                        .arg(map.value(id.second).toString()));
        }
    }

    QVariantMap settings = map.value(DecodedKey::BasicSettings).toMap();
    settingsSection(r, root["settings"], "settings", &settings, [](const QString &key) {
        if (key.startsWith(QLatin1String("man_down_trig"))
            || key == QLatin1String("man_down_prealert"))
            return qMakePair(qint64(-128), qint64(127));
        if (key == QLatin1String("digital_voice_level"))
            return qMakePair(qint64(-2), qint64(253));
        return qMakePair(qint64(0), qint64(255));
    });
    map.insert(DecodedKey::BasicSettings, settings);
    QVariantMap buttons = map.value(DecodedKey::ButtonsSettings).toMap();
    settingsSection(r, root["buttons"], "buttons", &buttons,
        [](const QString &) { return qMakePair(qint64(0), qint64(255)); });
    map.insert(DecodedKey::ButtonsSettings, buttons);

    QVariantMap gps = map.value(DecodedKey::GPSSetup).toMap();
    const Node gpsNode = root["gps"];
    if (gpsNode.isDefined()
        && r.mapping(gpsNode, "gps", { "activated", "indication", "interval", "work_channel" })) {
        bool f = false;
        qint64 v = 0;
        if (gpsNode["activated"].isDefined()
            && r.boolean(gpsNode["activated"], "gps.activated", &f))
            gps.insert("activated", f);
        if (gpsNode["indication"].isDefined()
            && r.boolean(gpsNode["indication"], "gps.indication", &f))
            gps.insert("indication", f);
        // Only the low byte of the interval is written.
        if (gpsNode["interval"].isDefined()
            && r.integer(gpsNode["interval"], "gps.interval", 0, 255, &v,
                gps.value(QStringLiteral("save_interval"))))
            gps.insert("save_interval", int(v));
        if (gpsNode["work_channel"].isDefined()
            && r.integer(gpsNode["work_channel"], "gps.work_channel", 0, 65535, &v)
            && v != gps.value(QStringLiteral("workCh")).toInt())
            r.warn(gpsNode["work_channel"], "gps.work_channel",
                QStringLiteral("not written; the base keeps %1")
                    .arg(gps.value(QStringLiteral("workCh")).toInt()));
    }
    map.insert(DecodedKey::GPSSetup, gps);

    // Names of the lists references point into, taken from the document
    // (or from the base when the document leaves a list out).
    const auto names = [&](const char *section, const QString &key, const QVariantList &baseList) {
        QStringList out;
        const Node n = root[section];
        if (n.isDefined() && n.isSequence()) {
            for (int i = 0; i < n.size(); ++i)
                out << nameOf(n.at(i));
        } else {
            for (const QVariant &v : baseList)
                out << v.toMap().value(key).toString();
        }
        return out;
    };
    const QVariantList baseChannels = map.value(DecodedKey::FreqList).toList();
    const QVariantList baseZones = map.value(DecodedKey::ZoneList).toList();
    const QVariantList baseContacts = map.value(DecodedKey::ContactList).toList();
    const QVariantList baseGroups = map.value(DecodedKey::RxGroupsList).toList();
    RefTable channelRefs { QStringLiteral("channel"), {}, {} };
    RefTable contactRefs { QStringLiteral("contact"), {}, {} };
    RefTable groupRefs { QStringLiteral("receive group"), {}, {} };
    RefTable keyRefs { QStringLiteral("key"), {}, {} };
    {
        const QStringList c = names("channels", "name", baseChannels);
        for (int i = 0; i < c.size(); ++i)
            channelRefs.add(i + 1, c.at(i));
        const QStringList k = names("contacts", "name", baseContacts);
        for (int i = 0; i < k.size(); ++i)
            contactRefs.add(i + 1, k.at(i));
        const QStringList g = names("rx_groups", "title", baseGroups);
        for (int i = 0; i < g.size(); ++i) {
            // A group the base holds keeps its stored number.
            const int number = i < baseGroups.size()
                ? baseGroups.at(i).toMap().value(QStringLiteral("groups")).toInt()
                : i + 1;
            groupRefs.add(number, g.at(i));
        }
        QStringList keyNames;
        if (root["keys"].isDefined() && root["keys"].isSequence()) {
            for (int i = 0; i < root["keys"].size(); ++i)
                keyNames << nameOf(root["keys"].at(i));
        } else {
            for (const QVariant &v : keys)
                keyNames << v.toMap().value(QStringLiteral("name")).toString();
        }
        for (int i = 0; i < keyNames.size(); ++i)
            keyRefs.add(i + 1, keyNames.at(i));
    }

    // A list section: each element a mapping; element i is matched with the
    // base's record i.
    const auto listSection
        = [&](const char *section, int max, int baseCount, const QString &what,
              const QStringList &known,
              const std::function<void(const Node &, const QString &, int)> &each) {
              const Node n = root[section];
              if (!n.isDefined())
                  return false;
              if (!n.isSequence() && !n.isNull()) {
                  r.error(n, section, QStringLiteral("expected a list"));
                  return false;
              }
              if (!capacity(r, n, section, max, baseCount, what))
                  return false;
              for (int i = 0; i < n.size(); ++i) {
                  const QString path = item(section, i);
                  if (r.mapping(n.at(i), path, known))
                      each(n.at(i), path, i);
              }
              return true;
          };
    // Names that must be unique: a second use is refused unless the base has
    // the same name at that place (it is then not written).
    const auto uniqueName = [&](QHash<QString, int> &seen, const Node &n, const QString &path,
                                const QString &name, const QString &baseName) {
        if (seen.contains(name) && name != baseName)
            r.error(n, path,
                QStringLiteral("\"%1\" is already the name of entry %2; names must be unique")
                    .arg(name)
                    .arg(seen.value(name) + 1));
        seen.insert(name, seen.value(name, int(seen.size())));
    };

    // Channels.
    QVariantList channels;
    QHash<int, QByteArray> channelRaw;
    QVector<RawRecord> raw;
    const int nameUnits = L[Entry::NameLength] / 2;
    if (listSection("channels", Channel::MaxChannels, baseChannels.size(),
            QStringLiteral("channels"),
            { "name", "kind", "rx_frequency", "tx_frequency", "power", "bandwidth", "rx_tone",
                "tx_tone", "squelch", "colour_code", "rx_group", "contact", "encryption",
                "receive_only", "emergency_system", "alarm_ack", "call_indication", "vox",
                "reference_frequency", "raw" },
            [&](const Node &e, const QString &path, int i) {
                const bool matched = i < baseChannels.size();
                const QVariantMap baseRec = matched ? baseChannels.at(i).toMap() : QVariantMap();
                QVariantMap c = baseRec;
                bool digital = c.value(QStringLiteral("typeChannel")).toBool();
                QString t;
                if (e["kind"].isDefined() && r.scalar(e["kind"], sub(path, "kind"), &t)) {
                    if (t == QLatin1String("digital") || t == QLatin1String("analogue"))
                        digital = t == QLatin1String("digital");
                    else
                        r.error(e["kind"], sub(path, "kind"),
                            QStringLiteral("\"%1\" is not analogue or digital").arg(t));
                } else if (!matched) {
                    r.error(e, path,
                        QStringLiteral("a new channel needs a kind (analogue or digital)"));
                }
                if (!matched || digital != baseRec.value(QStringLiteral("typeChannel")).toBool()) {
                    // A new kind starts from the values its template stores.
                    c.insert("typeChannel", digital);
                    for (const char *k : { "QtDqtTypeRcv", "QtDqtTypeTrasm", "squelchLevel",
                             "autoScan", "rxOnly", "emergencySystem", "emergencyAlarmIndication",
                             "emergencyAlarmAck", "emergencyCallIndication", "sendPttId" })
                        c.remove(k);
                    if (digital) {
                        c.insert("colorCod", 1), c.insert("rxGroup", 0), c.insert("contact", 0),
                            c.insert("encrypt", 0);
                        c.insert("chanelBand", -1), c.insert("recvQtDqt", -1),
                            c.insert("sendQtDqt", -1);
                    } else {
                        c.insert("colorCod", -1), c.insert("rxGroup", -1), c.insert("contact", -1),
                            c.insert("encrypt", -1);
                        c.insert("chanelBand", 0), c.insert("recvQtDqt", 0xFFFF),
                            c.insert("sendQtDqt", 0xFFFF);
                        c.insert("QtDqtTypeRcv", 0), c.insert("QtDqtTypeTrasm", 0);
                    }
                }
                if (!matched) {
                    c.insert("powerCH", false);
                    c.insert("refFreq", 1), c.insert("vox", false);
                }
                if (e["name"].isDefined()) {
                    if (r.text(e["name"], sub(path, "name"), nameUnits, &t))
                        put(c, QStringLiteral("name"), t);
                } else if (!matched) {
                    put(c, QStringLiteral("name"), QString());
                }
                for (const auto &f : { std::make_pair("rx_frequency", "recvFreq"),
                         std::make_pair("tx_frequency", "sendFreq") }) {
                    quint32 hz = 0;
                    if (e[f.first].isDefined()) {
                        if (frequency(r, e[f.first], sub(path, f.first), band, &hz,
                                baseRec.value(f.second)))
                            put(c, QLatin1String(f.second), hz);
                    } else if (!matched) {
                        r.error(e, path, QStringLiteral("a new channel needs %1").arg(f.first));
                    }
                }
                if (e["power"].isDefined() && r.scalar(e["power"], sub(path, "power"), &t)) {
                    if (t == QLatin1String("high") || t == QLatin1String("low"))
                        put(c, QStringLiteral("powerCH"), t == QLatin1String("high"));
                    else
                        r.error(e["power"], sub(path, "power"),
                            QStringLiteral("\"%1\" is not high or low").arg(t));
                }
                const auto onlyFor = [&](const char *key, bool forDigital) {
                    if (e[key].isDefined() && digital != forDigital) {
                        r.error(e[key], sub(path, key),
                            QStringLiteral("only %1 channels have %2")
                                .arg(forDigital ? "digital" : "analogue", key));
                        return false;
                    }
                    return e[key].isDefined();
                };
                if (onlyFor("bandwidth", false)
                    && r.scalar(e["bandwidth"], sub(path, "bandwidth"), &t)) {
                    const int w = t == QLatin1String("25") ? 0
                        : t == QLatin1String("12.5")       ? 1
                        : t == QLatin1String("20")         ? 2
                                                           : -1;
                    if (w < 0)
                        r.error(e["bandwidth"], sub(path, "bandwidth"),
                            QStringLiteral("\"%1\" is not 12.5, 20 or 25 (kHz)").arg(t));
                    else
                        put(c, QStringLiteral("chanelBand"), w);
                }
                for (const auto &f : { std::make_tuple("rx_tone", "QtDqtTypeRcv", "recvQtDqt"),
                         std::make_tuple("tx_tone", "QtDqtTypeTrasm", "sendQtDqt") }) {
                    const char *key = std::get<0>(f);
                    if (onlyFor(key, false) && r.scalar(e[key], sub(path, key), &t)) {
                        int type = 0, word = 0;
                        if (!parseTone(t, &type, &word)) {
                            r.error(e[key], sub(path, key),
                                QStringLiteral(
                                    "\"%1\" is not a tone (none, CTCSS 88.5, DCS 023N, DCS 023I)")
                                    .arg(t));
                        } else {
                            put(c, QLatin1String(std::get<1>(f)), type);
                            put(c, QLatin1String(std::get<2>(f)), word);
                        }
                    }
                }
                qint64 v = 0;
                if (onlyFor("colour_code", true)
                    && r.integer(e["colour_code"], sub(path, "colour_code"), 0, 15, &v,
                        baseRec.value(QStringLiteral("colorCod"))))
                    put(c, QStringLiteral("colorCod"), int(v));
                int ref = 0;
                if (onlyFor("rx_group", true)
                    && groupRefs.resolve(r, e["rx_group"], sub(path, "rx_group"), "none", &ref,
                        baseRec.value(QStringLiteral("rxGroup"))))
                    put(c, QStringLiteral("rxGroup"), ref);
                if (onlyFor("contact", true)
                    && contactRefs.resolve(r, e["contact"], sub(path, "contact"), "none", &ref,
                        baseRec.value(QStringLiteral("contact"))))
                    put(c, QStringLiteral("contact"), ref);
                if (onlyFor("encryption", true)
                    && keyRefs.resolve(r, e["encryption"], sub(path, "encryption"), "off", &ref,
                        baseRec.value(QStringLiteral("encrypt"))))
                    put(c, QStringLiteral("encrypt"), ref);
                // The stored record: the bits no field writes come from it.
                QVariantMap kept = c;
                QByteArray rec;
                if (rawRecord(r, e, path, L[Entry::RecordLength], &rec)) {
                    if (bitFlag(quint8(rec.at(L[Entry::AnalogueByte])), L[Entry::AnalogueMask])
                        == digital) {
                        r.warn(e["raw"], sub(path, "raw"),
                            QStringLiteral("the record of %1 channel; not used for this one")
                                .arg(digital ? "an analogue" : "a digital"));
                    } else {
                        channelRaw.insert(i, rec);
                        kept = readOnlyFields(L, rec);
                    }
                }
                // Fields the write encoders do not store: accepted as they
                // are in the base (or the raw record), a different value is
                // reported.
                const std::pair<const char *, const char *> readOnly[]
                    = { { "squelch", "squelchLevel" }, { "receive_only", "rxOnly" },
                          { "emergency_system", "emergencySystem" },
                          { "alarm_ack", "emergencyAlarmAck" },
                          { "call_indication", "emergencyCallIndication" }, { "vox", "vox" },
                          { "reference_frequency", "refFreq" } };
                for (const auto &f : readOnly) {
                    if (!e[f.first].isDefined())
                        continue;
                    const bool forDigital = qstrcmp(f.first, "squelch") != 0;
                    const bool both = qstrcmp(f.first, "vox") == 0
                        || qstrcmp(f.first, "reference_frequency") == 0;
                    if (!both && !onlyFor(f.first, forDigital))
                        continue;
                    QString given;
                    r.scalar(e[f.first], sub(path, f.first), &given);
                    const QVariant value = kept.value(f.second);
                    const QString keptText = value.userType() == QMetaType::Bool
                        ? (value.toBool() ? "true" : "false")
                        : QString::number(value.toInt());
                    if (given != keptText)
                        r.warn(e[f.first], sub(path, f.first),
                            QStringLiteral("not written by an import; stays %1").arg(keptText));
                }
                if (matched)
                    put(c, QStringLiteral("origin"), i);
                else
                    c.remove("origin");
                put(c, QStringLiteral("channel"), i);
                channels << c;
            }))
        map.insert(DecodedKey::FreqList, channels);

    // Zones.
    QVariantList zones;
    QHash<QString, int> zoneNames;
    const int zoneUnits = L[Entry::ZoneTitleLength] / 2;
    if (listSection("zones", Channel::MaxZonesWritten, baseZones.size(), QStringLiteral("zones"),
            { "name", "channels", "raw" }, [&](const Node &e, const QString &path, int i) {
                const bool matched = i < baseZones.size();
                QVariantMap z = matched ? baseZones.at(i).toMap() : QVariantMap();
                QString t;
                if (e["name"].isDefined() && r.text(e["name"], sub(path, "name"), zoneUnits, &t)) {
                    if (t.isEmpty())
                        r.error(
                            e["name"], sub(path, "name"), QStringLiteral("a zone needs a name"));
                    uniqueName(zoneNames, e["name"], sub(path, "name"), t,
                        z.value(QStringLiteral("title")).toString());
                    z.insert("title", t);
                } else if (!matched) {
                    r.error(e, path, QStringLiteral("a new zone needs a name"));
                }
                const Node members = e["channels"];
                if (members.isDefined()) {
                    const QVariantList baseMembers
                        = z.value(QStringLiteral("selectedChannels")).toList();
                    if (!members.isSequence()) {
                        r.error(members, sub(path, "channels"), QStringLiteral("expected a list"));
                    } else if (capacity(r, members, sub(path, "channels"), Channel::MaxZoneMembers,
                                   baseMembers.size(), QStringLiteral("channels"))) {
                        QVariantList list;
                        for (int j = 0; j < members.size(); ++j) {
                            int ref = 0;
                            const QVariant baseRef = j < baseMembers.size()
                                ? QVariant(baseMembers.at(j).toInt() + 1)
                                : QVariant();
                            if (channelRefs.resolve(r, members.at(j),
                                    item(sub(path, "channels"), j), QString(), &ref, baseRef))
                                list << ref - 1;
                        }
                        z.insert("selectedChannels", list);
                    }
                } else if (!matched) {
                    z.insert("selectedChannels", QVariantList());
                }
                if (matched)
                    z.insert("origin", i);
                zones << z;
                RawRecord at = zonePlace(b.radioType, i);
                if (at.block >= 0 && rawRecord(r, e, path, L[Entry::ZoneRecordLength], &at.bytes)) {
                    at.fieldBits = zoneFieldBits(b.radioType);
                    raw << at;
                }
            }))
        map.insert(DecodedKey::ZoneList, zones);

    // Contacts.
    QVariantList contacts;
    QHash<QString, int> contactNames;
    const int contactUnits = L[Entry::ContactNameLength] / 2;
    if (listSection("contacts", Contacts::MaxContacts, baseContacts.size(),
            QStringLiteral("contacts"), { "name", "call_type", "number", "tone", "raw" },
            [&](const Node &e, const QString &path, int i) {
                const bool matched = i < baseContacts.size();
                QVariantMap c = matched ? baseContacts.at(i).toMap()
                                        : QVariantMap { { "name", QString() }, { "type", 0 },
                                              { "number", 0u }, { "tone", 0 } };
                QString t;
                if (e["name"].isDefined()
                    && r.text(e["name"], sub(path, "name"), contactUnits, &t)) {
                    uniqueName(contactNames, e["name"], sub(path, "name"), t,
                        c.value(QStringLiteral("name")).toString());
                    c.insert("name", t);
                }
                qint64 v = 0;
                if (e["call_type"].isDefined()
                    && r.integer(e["call_type"], sub(path, "call_type"), 0, 2, &v,
                        c.value(QStringLiteral("type"))))
                    c.insert("type", int(v));
                if (e["number"].isDefined()
                    && r.integer(e["number"], sub(path, "number"), 0, 0xFFFFFF, &v))
                    c.insert("number", uint(v));
                else if (!matched && !e["number"].isDefined())
                    r.error(e, path, QStringLiteral("a new contact needs a number"));
                bool f = false;
                if (e["tone"].isDefined() && r.boolean(e["tone"], sub(path, "tone"), &f))
                    c.insert("tone", f ? 1 : 0);
                c.insert("pos", i);
                RawRecord at = contactPlace(b.radioType, i);
                if (rawRecord(r, e, path, L[Entry::ContactStride], &at.bytes)) {
                    at.fieldBits = contactFieldBits(b.radioType);
                    raw << at;
                }
                if (matched)
                    c.insert("origin", i);
                contacts << c;
            }))
        map.insert(DecodedKey::ContactList, contacts);

    // Receive groups.
    QVariantList groups;
    QHash<QString, int> groupNames;
    const int groupUnits = L[Entry::GroupTitleLength] / 2;
    if (listSection("rx_groups", Contacts::MaxGroups, baseGroups.size(),
            QStringLiteral("receive groups"), { "name", "contacts" },
            [&](const Node &e, const QString &path, int i) {
                const bool matched = i < baseGroups.size();
                QVariantMap g = matched ? baseGroups.at(i).toMap()
                                        : QVariantMap { { "title", QString() }, { "groups", i + 1 },
                                              { "selectedContacts", QVariantList() } };
                QString t;
                if (e["name"].isDefined() && r.text(e["name"], sub(path, "name"), groupUnits, &t)) {
                    uniqueName(groupNames, e["name"], sub(path, "name"), t,
                        g.value(QStringLiteral("title")).toString());
                    g.insert("title", t);
                }
                const Node members = e["contacts"];
                if (members.isDefined()) {
                    const QVariantList baseMembers
                        = g.value(QStringLiteral("selectedContacts")).toList();
                    if (!members.isSequence()) {
                        r.error(members, sub(path, "contacts"), QStringLiteral("expected a list"));
                    } else if (capacity(r, members, sub(path, "contacts"),
                                   Contacts::MaxGroupMembers, baseMembers.size(),
                                   QStringLiteral("contacts"))) {
                        QVariantList list;
                        for (int j = 0; j < members.size(); ++j) {
                            int ref = 0;
                            const QVariant baseRef
                                = j < baseMembers.size() ? baseMembers.at(j) : QVariant();
                            if (contactRefs.resolve(r, members.at(j),
                                    item(sub(path, "contacts"), j), QString(), &ref, baseRef))
                                list << ref;
                        }
                        g.insert("selectedContacts", list);
                    }
                }
                if (matched)
                    g.insert("origin", i);
                groups << g;
            }))
        map.insert(DecodedKey::RxGroupsList, groups);

    // Keys.
    QVariantList newKeys;
    QHash<QString, int> keyNames;
    const int keyUnits = L[Entry::KeyNameLength] / 2;
    if (listSection("keys", Channel::MaxKeys, keys.size(), QStringLiteral("keys"),
            { "name", "value", "raw" }, [&](const Node &e, const QString &path, int i) {
                const bool matched = i < keys.size();
                QVariantMap k = matched
                    ? keys.at(i).toMap()
                    : QVariantMap { { "name", QString() }, { "number", QStringLiteral("0") } };
                QString t;
                if (e["name"].isDefined() && r.text(e["name"], sub(path, "name"), keyUnits, &t)) {
                    uniqueName(keyNames, e["name"], sub(path, "name"), t,
                        k.value(QStringLiteral("name")).toString());
                    k.insert("name", t);
                }
                if (e["value"].isDefined() && r.scalar(e["value"], sub(path, "value"), &t)) {
                    bool ok = false;
                    const uint v = t.toUInt(&ok, 16);
                    if (!ok || v > 0xFFFF || t.size() > 4)
                        r.error(e["value"], sub(path, "value"),
                            QStringLiteral("\"%1\" is not a key of 1 to 4 hexadecimal digits")
                                .arg(t));
                    else
                        k.insert("number", QString::number(v, 16));
                }
                if (matched)
                    k.insert("origin", i);
                newKeys << k;
                RawRecord at = keyPlace(b.radioType, i);
                if (rawRecord(r, e, path, L[Entry::KeyStride], &at.bytes)) {
                    at.fieldBits = keyFieldBits(b.radioType);
                    raw << at;
                }
            }))
        keys = newKeys;

    result.errors = r.errors;
    result.warnings = r.warnings;
    if (strict && !result.warnings.isEmpty()) {
        for (Issue w : result.warnings) {
            w.message += QStringLiteral(" (refused with --strict)");
            result.errors << w;
        }
    }
    std::stable_sort(
        result.errors.begin(), result.errors.end(), [](const Issue &a, const Issue &b) {
            return a.line < b.line || (a.line == b.line && a.column < b.column);
        });
    if (!result.errors.isEmpty())
        return result;
    if (!channelRaw.isEmpty()) {
        Channel codec;
        codec.setRadioType(b.radioType);
        const std::vector<Channel::Place> places
            = codec.recordPlaces(*std::max_element(channelRaw.keyBegin(), channelRaw.keyEnd()) + 1);
        for (auto it = channelRaw.cbegin(); it != channelRaw.cend(); ++it) {
            const Channel::Place at = places[size_t(it.key())];
            const bool digital
                = !bitFlag(quint8(it.value().at(L[Entry::AnalogueByte])), L[Entry::AnalogueMask]);
            raw << RawRecord { at.block, at.offset, channelFieldBits(b.radioType, digital),
                it.value() };
        }
    }
    result.image = withRawRecords(applyCollections(base, b, map, keys), raw);
    result.ok = true;
    return result;
}

} // namespace

ImportResult importYaml(const QByteArray &text, const QVariantList &base, bool strict)
{
    return importChecked(text, base, strict);
}

} // namespace CodeplugText
