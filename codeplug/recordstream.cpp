#include "codeplug/recordstream.h"

#include "codeplug/fieldcodecs.h"

#include <algorithm>

RecordStream::RecordStream(int firstBlock, int lastBlock, int offset, int length)
    : lastBlock(lastBlock), length(std::clamp(length, 0, int(Block::ContentSize))),
      nextBlock(firstBlock), nextOffset(offset)
{
}

bool RecordStream::next()
{
    if (length <= 0 || nextBlock > lastBlock || nextOffset < Block::ContentBegin
        || nextOffset > Block::ContentEnd) {
        curBlock = -1;
        return false;
    }
    const int first = Block::ContentEnd - nextOffset;
    if (first < length && nextBlock + 1 > lastBlock) {
        curBlock = -1; // would continue past the table's last block
        return false;
    }
    curBlock = nextBlock;
    curOffset = nextOffset;
    if (first >= length) {
        nextOffset += length;
    } else {
        nextBlock += 1;
        nextOffset = Block::ContentBegin + (length - first);
    }
    return true;
}

QByteArray RecordStream::read(const BlockMap &blocks) const
{
    if (curBlock < 0)
        return QByteArray();
    const int first = std::min(length, Block::ContentEnd - curOffset);
    const QByteArray a = blocks.value(quint16(curBlock));
    QByteArray out = rawField(a, curOffset, first);
    if (out.size() < first || first == length)
        return out;
    const QByteArray b = blocks.value(quint16(curBlock + 1));
    out.append(rawField(b, Block::ContentBegin, length - first));
    return out;
}

void RecordStream::write(BlockMap *blocks, const QByteArray &record) const
{
    if (curBlock < 0)
        return;
    const int n = std::min(length, int(record.size()));
    const int first = std::min(n, Block::ContentEnd - curOffset);
    BlockEdit a(blocks, curBlock);
    a.setBytes(curOffset, record.left(first));
    if (n > first) {
        BlockEdit b(blocks, curBlock + 1);
        b.setBytes(Block::ContentBegin, record.mid(first, n - first));
    }
}
