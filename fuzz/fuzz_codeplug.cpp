// The image decoders on a structurally valid image (a factory-style blank
// image, either model) whose blocks carry the fuzzer's bytes, then the round
// trip a read-edit-write makes: the decoded collections handed back to the
// encoders as the screens hand them, decoded again. The model must come back
// the same, and blocks no encoder writes must stay byte for byte.
#include "codeplug/channel.h"
#include "emulator/radioemulator.h"
#include "fuzz/fuzzsupport.h"
#include "gps/datagps.h"

#include <cstdio>

using FuzzSupport::check;

namespace {

// Blocks the six encoders of a write may change: settings and keys (4),
// contacts (6, 7), receive groups (28, 41), channels and their names (42 to
// 73), zones (74, 75), emergency settings (122).
bool encoderBlock(int block)
{
    return block == 4 || block == 6 || block == 7 || block == 28 || block == 41
        || (block >= 42 && block <= 75) || block == 122;
}

// A decoded channel as the channel table hands it to the encoder.
QVariantMap screenChannel(const QVariantMap &m)
{
    return { { "name", m.value("name") }, { "send_freq", m.value("sendFreq") },
        { "recv_freq", m.value("recvFreq") }, { "type_channel", m.value("typeChannel") },
        { "power_ch", m.value("powerCH") }, { "chanelBand", m.value("chanelBand") },
        { "recv_qt_dqt", m.value("recvQtDqt") }, { "send_qt_dqt", m.value("sendQtDqt") },
        { "qt_dqt_type_rcv", m.value("QtDqtTypeRcv") },
        { "qt_dqt_type_trasm", m.value("QtDqtTypeTrasm") }, { "color_cod", m.value("colorCod") },
        { "rx_groupe", m.value("rxGroup") }, { "contact", m.value("contact") },
        { "encrypt", m.value("encrypt") } };
}

QVariantMap decodeAll(Channel &codec, dataGps &gps, const BlockMap &blocks)
{
    QVariantMap decoded = codec.decodeAll(blocks);
    decoded.insert(QStringLiteral("GPSSetup"), gps.decodeGpsSettings(blocks));
    return decoded;
}

void report(const QVariantMap &a, const QVariantMap &b)
{
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (b.value(it.key()) != it.value())
            std::fprintf(stderr, "differs: %s\n", qPrintable(it.key()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    const bool kr4700 = in.byte() & 1;
    const QVariantList image = RadioEmulator::blankImage(kr4700, 0);
    BlockMap blocks;
    for (int i = 1; i < image.size(); ++i)
        blocks.insert(quint16(i - 1), image.at(i).toByteArray());
    // Patches: block, content offset, length, bytes.
    while (!in.empty()) {
        const quint16 block = in.byte() % Block::Count;
        const int offset = Block::ContentBegin + in.u16() % Block::ContentSize;
        const QByteArray bytes = in.take(std::min<size_t>(in.byte(), Block::ContentEnd - offset));
        blocks[block].replace(offset, bytes.size(), bytes);
    }
    const int radioType = kr4700 ? 1 : 0;
    Channel codec;
    codec.setRadioType(radioType);
    dataGps gps;
    const QVariantMap first = decodeAll(codec, gps, blocks);

    QVariantList channels;
    for (const QVariant &c : first.value("freqList").toList())
        channels.append(screenChannel(c.toMap()));
    QVariantList keys;
    const QVariantMap keyMap = first.value("encryptList").toMap();
    for (auto it = keyMap.cbegin(); it != keyMap.cend(); ++it)
        keys.append(QVariantMap { { "name", it.key() }, { "number", it.value() } });
    QVariantMap settings = first.value("basicSettings").toMap();
    settings.insert("buttonsSettings", first.value("buttonsSettings"));
    const QVariantMap setup = first.value("GPSSetup").toMap();
    settings.insert("gps_activation", setup.value("activated").toBool() ? 1 : 0);
    settings.insert("gps_indication", setup.value("indication").toBool() ? 1 : 0);
    settings.insert("gps_interval", setup.value("save_interval"));

    BlockMap written = blocks;
    Channel encoder;
    encoder.setRadioType(radioType);
    encoder.WriteChanells(channels, &written);
    encoder.WriteZones(first.value("zoneList"), &written);
    encoder.encodeRxGroups(first.value("RxGroupsList"), &written);
    encoder.encodeContacts(first.value("contactList"), &written);
    encoder.WriteEncrypts(keys, &written);
    encoder.encodeSettings(settings, &written);

    check(written.keys() == blocks.keys(), "the encoders add or drop no block");
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        check(written.value(it.key()).size() == Block::Size, "blocks keep their size");
        if (!encoderBlock(it.key()))
            check(written.value(it.key()) == it.value(), "a block no encoder owns is untouched");
    }
    Channel again;
    again.setRadioType(radioType);
    const QVariantMap second = decodeAll(again, gps, written);
    if (second != first) {
        report(first, second);
        FuzzSupport::fail("decode, encode, decode gives the same model");
    }
    return 0;
}
