// Decode and encode of a full image: decodeAll, and the six encoders of a
// write in their order. Prints medians of several runs as FIGURE lines.
#include <QCoreApplication>

#include "bench/benchtiming.h"
#include "codeplug/channel.h"

using namespace BenchTiming;

namespace {

BlockMap blankImage()
{
    BlockMap blocks;
    for (int b = 0; b < Block::Count; ++b) {
        QByteArray block(Block::Size, '\0');
        block[Block::NumberOffset] = char(b);
        blocks.insert(quint16(b), block);
    }
    return blocks;
}

struct Write {
    QVariantList channels, zones, groups, contacts, keys;
    QVariantMap settings;
};

Write fullWrite()
{
    Write w;
    for (int p = 0; p < 999; ++p) {
        const bool digital = p % 2;
        QVariantMap m { { "name", QStringLiteral("Channel %1").arg(p) },
            { "send_freq", 400000000 + 12500 * p }, { "recv_freq", 400000000 + 12500 * p },
            { "type_channel", digital }, { "power_ch", p % 3 == 0 } };
        if (digital) {
            m.insert(
                { { "color_cod", 1 }, { "rx_groupe", 1 }, { "contact", 2 }, { "encrypt", 3 } });
        } else {
            m.insert({ { "qt_dqt_type_rcv", p % 4 }, { "recv_qt_dqt", 0x0670 },
                { "qt_dqt_type_trasm", 2 }, { "send_qt_dqt", 0x8023 }, { "chanelBand", p % 3 } });
        }
        w.channels.append(m);
    }
    for (int z = 0; z < 20; ++z) {
        QVariantList members;
        for (int j = 0; j < 16; ++j)
            members.append(z * 16 + j);
        w.zones.append(QVariantMap {
            { "title", QStringLiteral("Zone %1").arg(z) }, { "selectedChannels", members } });
    }
    for (int g = 0; g < 6; ++g) {
        QVariantList members;
        for (int j = 0; j < 32; ++j)
            members.append(j + 1);
        w.groups.append(QVariantMap {
            { "title", QStringLiteral("Group %1").arg(g) }, { "selectedContacts", members } });
    }
    for (int k = 0; k < 43; ++k)
        w.contacts.append(QVariantMap { { "name", QStringLiteral("Contact %1").arg(k) },
            { "number", 1000 + k }, { "type", 1 }, { "tone", 1 } });
    for (int k = 0; k < 40; ++k)
        w.keys.append(QVariantMap { { "name", QStringLiteral("Key %1").arg(k) },
            { "number", QString::number(k * 997, 16) } });
    QVariantMap buttons;
    for (const char *key :
        { "long_press_duration", "orange_button_short_press", "purple_button_long_press" })
        buttons[key] = 3;
    w.settings
        = QVariantMap { { "radio_id", 1 }, { "digital_voice_level", 3 }, { "gps_activation", 1 },
              { "gps_interval", 60 }, { "des_channel", 5 }, { "buttonsSettings", buttons } };
    return w;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int runs = 51;
    Channel codec;
    codec.setRadioType(0);
    const Write w = fullWrite();
    BlockMap full = blankImage();
    codec.WriteChanells(w.channels, &full);
    codec.WriteZones(w.zones, &full);
    codec.encodeRxGroups(w.groups, &full);
    codec.encodeContacts(w.contacts, &full);
    codec.WriteEncrypts(w.keys, &full);
    codec.encodeSettings(w.settings, &full);

    QVariantMap decoded;
    figure("codecs_decodeAll_full_image",
        median(
            runs, [&] { decoded.clear(); }, [&] { decoded = codec.decodeAll(full); }));
    if (decoded["freqList"].toList().size() != 999)
        return 1;

    BlockMap blocks;
    const auto fresh = [&] { blocks = blankImage(); };
    figure("codecs_encode_write_full_image", median(runs, fresh, [&] {
        codec.WriteChanells(w.channels, &blocks);
        codec.WriteZones(w.zones, &blocks);
        codec.encodeRxGroups(w.groups, &blocks);
        codec.encodeContacts(w.contacts, &blocks);
        codec.WriteEncrypts(w.keys, &blocks);
        codec.encodeSettings(w.settings, &blocks);
    }));
    figure("codecs_WriteChanells_999",
        median(runs, fresh, [&] { codec.WriteChanells(w.channels, &blocks); }));
    figure("codecs_WriteZones_20x16",
        median(runs, fresh, [&] { codec.WriteZones(w.zones, &blocks); }));
    figure("codecs_encodeRxGroups_6x32",
        median(runs, fresh, [&] { codec.encodeRxGroups(w.groups, &blocks); }));
    figure("codecs_encodeContacts_43",
        median(runs, fresh, [&] { codec.encodeContacts(w.contacts, &blocks); }));
    figure("codecs_WriteEncrypts_40",
        median(runs, fresh, [&] { codec.WriteEncrypts(w.keys, &blocks); }));
    figure("codecs_encodeSettings",
        median(runs, fresh, [&] { codec.encodeSettings(w.settings, &blocks); }));
    return 0;
}
