#include "testimage.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QtEndian>
#include <functional>

#include "manager/imagedecode.h"
#include "manager/variantfile.h"

namespace TestImage {

namespace {
BlockMap blocksOf(const std::function<char()> &next)
{
    BlockMap blocks;
    for (int b = 0; b < Block::Count; ++b) {
        QByteArray block(Block::Size, Qt::Uninitialized);
        for (char &c : block)
            c = next();
        block[Block::NumberOffset] = char(b);
        blocks.insert(quint16(b), block);
    }
    return blocks;
}
} // namespace

BlockMap blankBlocks(quint8 fill)
{
    return blocksOf([fill] { return char(fill); });
}

BlockMap randomBlocks(quint32 start)
{
    QRandomGenerator gen(start);
    return blocksOf([&gen] { return char(gen.bounded(256)); });
}

QByteArray identity(quint16 bandCode, bool kr4700)
{
    QByteArray id(265, '\0');
    qToLittleEndian<quint16>(bandCode, id.data() + 94);
    id.replace(20, 6, kr4700 ? "KR4700" : "KR4600");
    return id;
}

QVariantList imageListFrom(const BlockMap &blocks, const QByteArray &identity)
{
    QVariantList list { identity };
    for (auto it = blocks.cbegin(); it != blocks.cend() && it.key() < Block::Count; ++it)
        list.append(it.value());
    return list;
}

QStringList differences(const BlockMap &a, const BlockMap &b, int limit)
{
    QStringList out;
    BlockMap both = a;
    both.insert(b);
    for (auto it = both.cbegin(); it != both.cend() && out.size() < limit; ++it) {
        const QByteArray x = a.value(it.key()), y = b.value(it.key());
        if (x.size() != y.size())
            out << QStringLiteral("%1:size %2/%3").arg(it.key()).arg(x.size()).arg(y.size());
        for (int i = 0; x.size() == y.size() && i < x.size() && out.size() < limit; ++i) {
            if (x.at(i) != y.at(i))
                out << QStringLiteral("%1:%2").arg(it.key()).arg(i);
        }
    }
    return out;
}

QVariantList factoryImage(const QString &name)
{
    QVariantList image;
    VariantFile::read(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name,
        VariantFile::Kind::Image, &image);
    return image;
}

namespace {
void put(QByteArray &block, int offset, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        block[offset++] = char(b);
}
} // namespace

QVariantList hostileImage()
{
    QVariantList image = factoryImage();
    if (image.size() != 1 + Block::Count)
        return {};
    BlockMap blocks = ImageDecode::blocksOf(image);
    QByteArray &settings = blocks[4];
    put(settings, 892, { 244, 13, 40 }); // durations, orange short press
    put(settings, 688, { 12 }); // squelch
    put(settings, 654, { 200 }); // preamble
    put(settings, 680, { 100 }); // group-call hang
    put(settings, 690, { 25, 0 }); // digital, analogue hang
    put(settings, 814, { 5 }); // VOX hold
    put(settings, 708, { 0 }); // GPS interval
    put(settings, 828, { 0x60, 0xFF }); // man-down byte and entry
    put(blocks[122], 76, { 0x5A, 0x3C, 0x12, 0x34 });

    // Channel records from block 58 offset 1452: 0 is digital, the factory
    // image has analogue ones further on.
    QByteArray &records = blocks[58];
    const int r0 = 1452;
    records[r0 + 9] = char(quint8(records[r0 + 9]) | 0x08 | 0x01 | 0x20); // VOX, ack, unknown
    records[r0 + 16] = char(0x24); // colour code without 0x40
    records[r0 + 21] = char(5); // emergency system
    for (int p = 1; p < 8; ++p) {
        const int r = r0 + 32 * p;
        if (!(quint8(records[r + 8]) & 0x01))
            continue;
        records[r + 8] = char(quint8(records[r + 8]) | 0x0C | 0x70); // reference 3, unknown
        records[r + 9] = char(quint8(records[r + 9]) ^ 0x48); // squelch, VOX
        put(records, r + 16, { 0xFF, 0x00 });
        records[r + 27] = char((quint8(records[r + 27]) & ~0x03) | 0x02 | 0xF0);
        break;
    }
    // Channel 1's name: U+0378 (unassigned), then bytes after the end.
    put(blocks[43], 172 + 32, { 'A', 0, 0x78, 0x03, 'B', 0, 0, 0, 0x55, 0xAA });

    // Zones: record 0 copied to records 1..19 with their own titles, then two
    // older zones and no end record after the twentieth.
    QByteArray table = blocks[74].mid(12, 2048) + blocks[75].mid(12, 2048);
    for (int z = 1; z < 22; ++z) {
        QByteArray rec = table.mid(640, 80);
        const QByteArray title = (z < 20 ? "Z" : "Old") + QByteArray::number(z + 1);
        rec.replace(0, 32, QByteArray(32, '\0'));
        for (int i = 0; i < title.size(); ++i)
            rec[2 * i] = title[i];
        table.replace(640 + 80 * z, 80, rec);
    }
    table.replace(640 + 80 * 22, 80, QByteArray(80, '\0'));
    blocks[74].replace(12, 2048, table.left(2048));
    blocks[75].replace(12, 2048, table.mid(2048));

    blocks[41][365] = char(1); // receive-group count 257
    return imageListFrom(blocks, image.first().toByteArray());
}

} // namespace TestImage
