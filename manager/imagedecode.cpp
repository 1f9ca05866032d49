#include "manager/imagedecode.h"

#include "codeplug/channel.h"
#include "gps/datagps.h"
#include "manager/decodedkeys.h"

namespace ImageDecode {

namespace {
// Text up to the first zero byte (all bytes when there is none), as UTF-8.
QString identityText(const QByteArray &block, int offset, int size)
{
    QByteArray field = block.mid(offset, size);
    const int zero = field.indexOf('\0');
    if (zero >= 0)
        field.truncate(zero);
    return QString::fromUtf8(field);
}
} // namespace

BlockMap blocksOf(const QVariantList &image)
{
    BlockMap blocks;
    for (int i = 1; i < image.size(); ++i) {
        const QByteArray block = image.at(i).toByteArray();
        if (block.size() > Block::NumberOffset)
            blocks.insert(quint8(block.at(Block::NumberOffset)), block);
    }
    return blocks;
}

int radioTypeOf(const QVariantList &image)
{
    return image.value(1).toByteArray().contains("KR4700") ? 1 : 0;
}

QVariantMap decodedMap(Channel &codec, const BlockMap &blocks)
{
    QVariantMap decoded = codec.decodeAll(blocks);
    dataGps gps;
    decoded.insert(DecodedKey::GPSSetup, gps.decodeGpsSettings(blocks));
    const QByteArray settings = blocks.value(4);
    decoded.insert(DecodedKey::SerialNumber, identityText(settings, 60, 16));
    decoded.insert(DecodedKey::NameModel, identityText(settings, 12, 16));
    decoded.insert(DecodedKey::HwVersion, identityText(settings, 76, 8));
    return decoded;
}

} // namespace ImageDecode
