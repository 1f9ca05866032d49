#pragma once

#include <QByteArray>
#include <QString>

#include "codeplug/blockmap.h"

// Field codecs shared by every image codec. Reads never go outside a block's
// content bytes (offsets 12 to 2059) nor past its stored length; bytes that
// are not there read as 0. Writes go only to content bytes that exist, so a
// block never changes length.

// UTF-16 little-endian code units without byte-order mark, not padded.
QByteArray encodeUtf16Field(const QString &text);

// The text cut to at most fieldBytes / 2 code units (a surrogate pair is never
// split), encoded and padded with 0x00 to exactly fieldBytes.
QByteArray encodeTextField(const QString &text, int fieldBytes);

// Code units up to the first zero unit of the field at offset, at most
// length / 2 of them; only bytes present in the block are read.
QString decodeTextField(const QByteArray &block, int offset, int length);

// Code units of raw field bytes up to the first zero unit.
QString decodeUtf16Units(const QByteArray &raw);

// The field's bytes as far as present (for byte-wise comparisons).
QByteArray rawField(const QByteArray &block, int offset, int length);

bool bitFlag(quint8 byte, quint8 mask);
int twoBitField(quint8 byte, quint8 mask);
// The value shifted to the mask's lowest set bit; bits outside the mask are
// kept, so an oversized value cannot reach a neighbouring field.
quint8 maskedInsert(quint8 old, quint8 mask, int value);

// Recomputes the answer checksum of a whole stored block (bytes 2060-2061:
// the sum of bytes 5 to 2059, big-endian), as the radio would answer it.
void refreshAnswerChecksum(QByteArray &block);

// True when bytes offset .. offset+length-1 are content bytes present in block.
bool hasBytes(const QByteArray &block, int offset, int length);

quint8 u8(const QByteArray &block, int offset);
qint8 s8(const QByteArray &block, int offset);
quint16 u16le(const QByteArray &block, int offset);
quint32 u32le(const QByteArray &block, int offset);

// A block fetched for change: writes land in the stored block itself, and
// only on content bytes that exist. A missing block takes no writes.
class BlockEdit {
public:
    BlockEdit(BlockMap *blocks, int number);

    bool exists() const { return data != nullptr; }
    quint8 get(int offset) const;
    void set8(int offset, int value);
    void set16le(int offset, int value);
    void set32le(int offset, quint32 value);
    void setBytes(int offset, const QByteArray &bytes);
    void fill(int offset, int length, char value);
    void insert(int offset, quint8 mask, int value);

private:
    bool inside(int offset) const { return offset >= Block::ContentBegin && offset < end; }

    char *data = nullptr;
    int end = 0;
};
