#include "collections.h"

#include "codeplug/editmerge.h"
#include "manager/decodedkeys.h"

#include <algorithm>

namespace Collections {

namespace {
QVariantMap channelForWrite(const QVariantMap &c)
{
    return { { "name", c.value("name") }, { "channel", c.value("channel") },
        { "origin", c.value("origin") }, { "send_freq", c.value("sendFreq") },
        { "recv_freq", c.value("recvFreq") }, { "type_channel", c.value("typeChannel") },
        { "power_ch", c.value("powerCH") }, { "chanelBand", c.value("chanelBand") },
        { "recv_qt_dqt", c.value("recvQtDqt") }, { "send_qt_dqt", c.value("sendQtDqt") },
        { "qt_dqt_type_rcv", c.value("QtDqtTypeRcv") },
        { "qt_dqt_type_trasm", c.value("QtDqtTypeTrasm") }, { "color_cod", c.value("colorCod") },
        { "rx_groupe", c.value("rxGroup") }, { "contact", c.value("contact") },
        { "encrypt", c.value("encrypt") } };
}
} // namespace

QVariantList fromDecoded(const QVariantMap &decoded)
{
    QVariantList channels;
    for (const QVariant &c : decoded.value(DecodedKey::FreqList).toList())
        channels << channelForWrite(c.toMap());
    QVariantList keys;
    const QVariantMap keyMap = decoded.value(DecodedKey::EncryptList).toMap();
    for (auto it = keyMap.cbegin(); it != keyMap.cend(); ++it)
        keys << QVariantMap { { "name", it.key() }, { "number", it.value() } };
    QVariantMap settings = decoded.value(DecodedKey::BasicSettings).toMap();
    settings.insert("buttonsSettings", decoded.value(DecodedKey::ButtonsSettings));
    const QVariantMap gps = decoded.value(DecodedKey::GPSSetup).toMap();
    settings.insert("gps_activation", gps.value("activated"));
    settings.insert("gps_indication", gps.value("indication"));
    settings.insert("gps_interval", gps.value("save_interval"));

    // In the order of EditMerge::Collection.
    return { channels, decoded.value(DecodedKey::ZoneList), decoded.value(DecodedKey::RxGroupsList),
        decoded.value(DecodedKey::ContactList), settings, keys };
}

QVariantList clamped(const QVariantMap &decoded)
{
    QVariantList out = fromDecoded(decoded);
    const auto clamp = [](QVariantMap m) {
        for (QVariant &v : m) {
            if (v.userType() == QMetaType::Int)
                v = std::clamp(v.toInt(), 0, 15);
        }
        return m;
    };
    QVariantMap settings = clamp(out[EditMerge::Settings].toMap());
    settings.insert("buttonsSettings", clamp(settings.value("buttonsSettings").toMap()));
    out[EditMerge::Settings] = settings;
    return out;
}

Edit setIn(int collection, int index, const char *key, const QVariant &value)
{
    return [=](QVariantList &c) {
        QVariantList list = c[collection].toList();
        QVariantMap record = index < 0 ? c[collection].toMap() : list[index].toMap();
        record[key] = value;
        if (index >= 0)
            list[index] = record;
        c[collection] = index < 0 ? QVariant(record) : QVariant(list);
    };
}

} // namespace Collections
