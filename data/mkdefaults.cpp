// Builds the four factory default images with the program's own encoders:
// plausible factory content for each band and model.
//   orvane-mkdefaults OUTPUT_FOLDER
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QSaveFile>
#include <cstdio>

#include "codeplug/channel.h"
#include "codeplug/fieldcodecs.h"
#include "emulator/radioemulator.h"

namespace {
struct Band {
    quint8 code; // identity byte 94
    quint32 base; // a frequency near the bottom of the band, in Hz
    const char *fileTail; // "400-470" or "136-174"
};

QVariantMap analogue(const QString &name, quint32 rx, quint32 tx, int band, int rxType, int rxCode,
    int txType, int txCode, bool power)
{
    return { { "name", name }, { "recv_freq", rx }, { "send_freq", tx }, { "type_channel", false },
        { "power_ch", power }, { "chanelBand", band }, { "qt_dqt_type_rcv", rxType },
        { "recv_qt_dqt", rxCode }, { "qt_dqt_type_trasm", txType }, { "send_qt_dqt", txCode } };
}

QVariantMap digital(const QString &name, quint32 rx, quint32 tx, int colour, int group, int contact,
    int key, bool power)
{
    return { { "name", name }, { "recv_freq", rx }, { "send_freq", tx }, { "type_channel", true },
        { "power_ch", power }, { "color_cod", colour }, { "rx_groupe", group },
        { "contact", contact }, { "encrypt", key } };
}

QVariantList channels(const Band &band)
{
    const quint32 f = band.base;
    return {
        digital(QStringLiteral("DMR 1"), f + 12500, f + 12500, 1, 1, 1, 0, true),
        digital(QStringLiteral("DMR 2"), f + 25000, f + 25000, 1, 1, 2, 0, true),
        digital(QStringLiteral("DMR 3 secure"), f + 37500, f + 37500, 2, 1, 3, 1, true),
        digital(QStringLiteral("DMR RPT"), f + 50000,
            f + 50000 + (band.code == 3 ? 600000 : 5000000), 1, 1, 1, 0, true),
        analogue(QStringLiteral("Analog 1"), f + 62500, f + 62500, 1, 0, 0, 0, 0, false),
        analogue(
            QStringLiteral("Analog CTCSS"), f + 75000, f + 75000, 1, 1, 0x0885, 1, 0x0885, false),
        analogue(QStringLiteral("Analog DCS"), f + 87500, f + 87500, 0, 2, 0x8023, 2, 0x8023, true),
        analogue(QStringLiteral("Analog 20k"), f + 100000, f + 100000, 2, 0, 0, 0, 0, true),
    };
}

QVariantMap settings()
{
    const QVariantMap buttons = {
        { "long_press_duration", 4 },
        { "long_press_duration_emg_off", 3 },
        { "orange_button_short_press", 1 },
        { "orange_button_long_press", 2 },
        { "side_button1_short_press", 11 },
        { "side_button1_long_press", 3 },
        { "side_button2_short_press", 5 },
        { "side_button2_long_press", 12 },
        { "purple_button_short_press", 20 },
        { "purple_button_long_press", 21 },
    };
    return {
        { "radio_id", 1 },
        { "unique_radio_id", 1 },
        { "squelch_normal_level", 3 },
        { "squelch_tight_level", 6 },
        { "preamble_duration", 10 },
        { "digital_voice_level", 8 },
        { "group_call_hang_time", 6 },
        { "private_call_hang_time", 8 },
        { "analog_hang_time", 6 },
        { "digital_hang_time", 6 },
        { "repeater_group_call_hang", 6 },
        { "repeater_private_call_hang", 8 },
        { "mic_gain_level", 10 },
        { "vox_sensitivity", 3 },
        { "vox_hold_time", 15 },
        { "man_down_trig_entry", 10 },
        { "man_down_trig_exit", 10 },
        { "man_down_prealert", 5 },
        { "man_down_activation", false },
        { "man_down_trigger", 0 },
        { "man_down_tilt", 0 },
        { "gps_activation", true },
        { "gps_indication", true },
        { "gps_interval", 30 },
        { "des_type", 1 },
        { "des_mode", 0 },
        { "des_channel", 0xFFFF },
        { "buttonsSettings", buttons },
    };
}

void putText(QByteArray *block, int offset, int size, const QByteArray &text)
{
    QByteArray field = text.left(size);
    field.append(QByteArray(size - field.size(), '\0'));
    block->replace(offset, size, field);
}

bool build(const QString &path, const Band &band, bool kr4700)
{
    // A blank memory with its block heads, the model name in block 4 and
    // "KR4700" in block 0 for that model; then the factory content.
    const QVariantList blank = RadioEmulator::blankImage(kr4700, band.code);
    BlockMap blocks;
    for (int i = 1; i < blank.size(); ++i)
        blocks.insert(quint16(i - 1), blank.at(i).toByteArray());
    putText(&blocks[4], 60, 16, QByteArray("0000000000000000"));

    Channel codec;
    codec.setRadioType(kr4700 ? 1 : 0);
    const QVariantList list = channels(band);
    QVariantList all;
    for (int i = 0; i < list.size(); ++i)
        all << i;
    codec.WriteChanells(list, &blocks);
    codec.WriteZones(QVariantList { QVariantMap {
                         { "title", QStringLiteral("Zone 1") }, { "selectedChannels", all } } },
        &blocks);
    codec.encodeRxGroups(QVariantList { QVariantMap { { "title", QStringLiteral("RX Group 1") },
                             { "selectedContacts", QVariantList { 1, 2 } } } },
        &blocks);
    codec.encodeContacts(QVariantList { QVariantMap { { "name", QStringLiteral("Group 1") },
                                            { "type", 1 }, { "number", 1 }, { "tone", 0 } },
                             QVariantMap { { "name", QStringLiteral("Dispatcher") }, { "type", 0 },
                                 { "number", 100 }, { "tone", 1 } },
                             QVariantMap { { "name", QStringLiteral("All Call") }, { "type", 2 },
                                 { "number", 16777215 }, { "tone", 0 } } },
        &blocks);
    codec.WriteEncrypts(
        QVariantList { QVariantMap { { "name", QStringLiteral("Key 1") }, { "number", "7E2B" } } },
        &blocks);
    codec.encodeSettings(settings(), &blocks);
    // Each block as the radio would answer it.
    for (QByteArray &block : blocks)
        refreshAnswerChecksum(block);

    QVariantList image;
    image << blank.first();
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it)
        image << it.value();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out << image;
    return out.status() == QDataStream::Ok && file.commit();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-mkdefaults OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const Band uhf { 0, 446000000, "400-470" };
    const Band vhf { 3, 145000000, "136-174" };
    bool ok = true;
    for (const Band &band : { uhf, vhf }) {
        for (bool kr4700 : { false, true }) {
            const QString name = QStringLiteral("default%1%2.dcc")
                                     .arg(kr4700 ? QStringLiteral("4700_") : QString())
                                     .arg(QLatin1String(band.fileTail));
            if (!build(out.filePath(name), band, kr4700)) {
                std::fprintf(stderr, "orvane-mkdefaults: cannot write %s\n", qPrintable(name));
                ok = false;
            }
        }
    }
    return ok ? 0 : 1;
}
