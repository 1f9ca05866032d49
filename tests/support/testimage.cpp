#include "testimage.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include "manager/variantfile.h"

namespace TestImage {

BlockMap blankBlocks(quint8 fill)
{
    BlockMap blocks;
    for (int b = 0; b < Block::Count; ++b) {
        QByteArray block(Block::Size, char(fill));
        block[Block::NumberOffset] = char(b);
        blocks.insert(quint16(b), block);
    }
    return blocks;
}

BlockMap randomBlocks(quint32 start)
{
    QRandomGenerator gen(start);
    BlockMap blocks;
    for (int b = 0; b < Block::Count; ++b) {
        QByteArray block(Block::Size, Qt::Uninitialized);
        for (int i = 0; i < block.size(); ++i)
            block[i] = char(gen.bounded(256));
        block[Block::NumberOffset] = char(b);
        blocks.insert(quint16(b), block);
    }
    return blocks;
}

QByteArray identity(quint16 bandCode, bool kr4700)
{
    QByteArray id(265, '\0');
    id[94] = char(bandCode & 0xFF);
    id[95] = char(bandCode >> 8);
    const QByteArray model = kr4700 ? QByteArrayLiteral("KR4700") : QByteArrayLiteral("KR4600");
    id.replace(20, model.size(), model);
    return id;
}

QVariantList imageListFrom(const BlockMap &blocks, const QByteArray &identity)
{
    QVariantList list;
    list.append(identity);
    for (int b = 0; b < Block::Count; ++b) {
        if (blocks.contains(quint16(b)))
            list.append(blocks.value(quint16(b)));
    }
    return list;
}

void markKr4700(BlockMap *blocks)
{
    QByteArray &block = (*blocks)[0];
    if (block.size() < Block::Size) {
        block = QByteArray(Block::Size, '\0');
        block[Block::NumberOffset] = 0;
    }
    block.replace(Block::ContentBegin + 20, 6, QByteArrayLiteral("KR4700"));
}

QStringList differences(const BlockMap &a, const BlockMap &b, int limit)
{
    QStringList out;
    QList<quint16> keys = a.keys();
    for (quint16 k : b.keys()) {
        if (!a.contains(k))
            keys.append(k);
    }
    for (quint16 k : keys) {
        const QByteArray x = a.value(k), y = b.value(k);
        if (x.size() != y.size()) {
            out << QStringLiteral("%1:size %2/%3").arg(k).arg(x.size()).arg(y.size());
            continue;
        }
        for (int i = 0; i < x.size() && out.size() < limit; ++i) {
            if (x.at(i) != y.at(i))
                out << QStringLiteral("%1:%2").arg(k).arg(i);
        }
        if (out.size() >= limit)
            break;
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

} // namespace TestImage
