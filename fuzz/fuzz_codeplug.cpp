// The image decoders on a structurally valid image (a factory-style blank
// image, either model) whose blocks carry the fuzzer's bytes, then the round
// trip a read-write makes: the decoded collections handed back to the
// encoders as the screens hand them, decoded again. Blocks no encoder writes
// stay byte for byte; after the first write (which puts fields into the form
// the encoders write) writing what was read leaves the model as it was.
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

// Hands a decoded model back to the six encoders of a write, in a write's
// order, as the screens hand it over.
void encodeAll(const QVariantMap &model, int radioType, BlockMap *blocks)
{
    QVariantList channels;
    for (const QVariant &c : model.value("freqList").toList())
        channels.append(screenChannel(c.toMap()));
    QVariantList keys;
    const QVariantMap keyMap = model.value("encryptList").toMap();
    for (auto it = keyMap.cbegin(); it != keyMap.cend(); ++it)
        keys.append(QVariantMap { { "name", it.key() }, { "number", it.value() } });
    QVariantMap settings = model.value("basicSettings").toMap();
    settings.insert("buttonsSettings", model.value("buttonsSettings"));
    const QVariantMap setup = model.value("GPSSetup").toMap();
    settings.insert("gps_activation", setup.value("activated").toBool() ? 1 : 0);
    settings.insert("gps_indication", setup.value("indication").toBool() ? 1 : 0);
    settings.insert("gps_interval", setup.value("save_interval"));

    Channel encoder;
    encoder.setRadioType(radioType);
    encoder.WriteChanells(channels, blocks);
    encoder.WriteZones(model.value("zoneList"), blocks);
    encoder.encodeRxGroups(model.value("RxGroupsList"), blocks);
    encoder.encodeContacts(model.value("contactList"), blocks);
    encoder.WriteEncrypts(keys, blocks);
    encoder.encodeSettings(settings, blocks);
}

// Names what differs, down to the field of a list element.
void report(const QVariantMap &a, const QVariantMap &b, const QString &where = QString())
{
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const QVariant other = b.value(it.key());
        if (other == it.value())
            continue;
        const QString at = where + '/' + it.key();
        if (it.value().userType() == QMetaType::QVariantMap) {
            report(it.value().toMap(), other.toMap(), at);
        } else if (it.value().userType() == QMetaType::QVariantList) {
            const QVariantList x = it.value().toList(), y = other.toList();
            if (x.size() != y.size())
                std::fprintf(stderr, "differs: %s: %d vs %d elements\n", qPrintable(at),
                    int(x.size()), int(y.size()));
            for (int i = 0; i < std::min(x.size(), y.size()); ++i) {
                if (x.at(i) != y.at(i)) {
                    report(x.at(i).toMap(), y.at(i).toMap(), at + '/' + QString::number(i));
                    break;
                }
            }
        } else {
            std::fprintf(stderr, "differs: %s: %s vs %s\n", qPrintable(at),
                qPrintable(it.value().toString()), qPrintable(other.toString()));
        }
    }
}

// The decoded model must also come back the same after a second write;
// ORVANE_FUZZ_MODEL=0 leaves that comparison out.
bool modelChecked = true;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    modelChecked = qEnvironmentVariable("ORVANE_FUZZ_MODEL") != QLatin1String("0");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    const bool kr4700 = in.byte() & 1;
    static const QVariantList blank[2]
        = { RadioEmulator::blankImage(false, 0), RadioEmulator::blankImage(true, 0) };
    const QVariantList &image = blank[kr4700 ? 1 : 0];
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

    // The first write may put fields into the form the encoders write (a
    // tone code with its type's marker bits, the fixed channel fields).
    BlockMap written = blocks;
    encodeAll(first, radioType, &written);
    check(written.keys() == blocks.keys(), "the encoders add or drop no block");
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        check(written.value(it.key()).size() == Block::Size, "blocks keep their size");
        if (!encoderBlock(it.key()))
            check(written.value(it.key()) == it.value(), "a block no encoder owns is untouched");
    }
    Channel reader;
    reader.setRadioType(radioType);
    const QVariantMap second = decodeAll(reader, gps, written);

    // From then on a write of what was read changes nothing in the model.
    BlockMap again = written;
    encodeAll(second, radioType, &again);
    Channel last;
    last.setRadioType(radioType);
    const QVariantMap third = decodeAll(last, gps, again);
    if (modelChecked && third != second) {
        report(second, third);
        FuzzSupport::fail("decode, encode, decode gives the same model");
    }
    return 0;
}
