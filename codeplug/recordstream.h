#pragma once

#include <QByteArray>

#include "codeplug/blockmap.h"

// Fixed-length records laid end to end over the content bytes of consecutive
// blocks: a record that does not fit before offset 2060 continues at offset 12
// of the next block. Positions follow this geometry whatever the stored blocks
// hold, so a short or missing block cannot shift the records after it.
class RecordStream {
public:
    RecordStream(int firstBlock, int lastBlock, int offset, int length);

    // Moves to the next record (the first one on the first call); false when
    // the table has no further record within its blocks.
    bool next();

    // The current record: all its bytes, or the bytes before the first one
    // that is not stored (so a short result means an incomplete record).
    QByteArray read(const BlockMap &blocks) const;
    // Writes the current record over the bytes that are stored; bytes of
    // missing blocks are dropped, no block grows.
    void write(BlockMap *blocks, const QByteArray &record) const;

    int block() const { return curBlock; }
    int offset() const { return curOffset; }

private:
    int lastBlock;
    int length;
    int nextBlock;
    int nextOffset;
    int curBlock = -1;
    int curOffset = 0;
};
