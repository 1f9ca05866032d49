#include "codeplug/fieldcodecs.h"

#include <algorithm>

namespace {

int contentLimit(const QByteArray &block) { return std::min(block.size(), int(Block::ContentEnd)); }

} // namespace

QByteArray encodeUtf16Field(const QString &text)
{
    // What a UTF-16 text codec gives after its byte-order mark, in
    // little-endian order whatever the host.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    const QChar *units = text.constData();
    for (int i = 0; i < text.size(); ++i) {
        const ushort u = units[i].unicode();
        out[2 * i] = char(u & 0xFF);
        out[2 * i + 1] = char(u >> 8);
    }
    return out;
}

QByteArray encodeTextField(const QString &text, int fieldBytes)
{
    int units = std::min(text.size(), fieldBytes / 2);
    if (units < text.size() && units > 0 && text.at(units - 1).isHighSurrogate()
        && text.at(units).isLowSurrogate())
        --units;
    QByteArray out = encodeUtf16Field(text.left(units));
    out.append(QByteArray(fieldBytes - out.size(), '\0'));
    return out;
}

QString decodeTextField(const QByteArray &block, int offset, int length)
{
    return decodeUtf16Units(rawField(block, offset, length));
}

QString decodeUtf16Units(const QByteArray &raw)
{
    const uchar *d = reinterpret_cast<const uchar *>(raw.constData());
    int units = 0;
    while (units < raw.size() / 2 && (d[2 * units] | d[2 * units + 1]))
        ++units;
    QString out(units, Qt::Uninitialized);
    QChar *o = out.data();
    for (int i = 0; i < units; ++i)
        o[i] = QChar(ushort(d[2 * i] | (d[2 * i + 1] << 8)));
    return out;
}

QByteArray rawField(const QByteArray &block, int offset, int length)
{
    if (offset < Block::ContentBegin)
        return QByteArray();
    const int end = std::min(offset + length, contentLimit(block));
    if (end <= offset)
        return QByteArray();
    return block.mid(offset, end - offset);
}

bool bitFlag(quint8 byte, quint8 mask) { return (byte & mask) != 0; }

int twoBitField(quint8 byte, quint8 mask)
{
    int v = byte & mask;
    for (int i = 0; i < 3 && v > 3; ++i)
        v >>= 2;
    return v;
}

quint8 maskedInsert(quint8 old, quint8 mask, int value)
{
    if (mask == 0)
        return old;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    return quint8((old & ~mask) | ((unsigned(value) << shift) & mask));
}

bool hasBytes(const QByteArray &block, int offset, int length)
{
    return offset >= Block::ContentBegin && length >= 0 && offset + length <= contentLimit(block);
}

quint8 u8(const QByteArray &block, int offset)
{
    return hasBytes(block, offset, 1) ? quint8(block.at(offset)) : 0;
}

qint8 s8(const QByteArray &block, int offset) { return qint8(u8(block, offset)); }

quint16 u16le(const QByteArray &block, int offset)
{
    return quint16(u8(block, offset) | (u8(block, offset + 1) << 8));
}

quint32 u32le(const QByteArray &block, int offset)
{
    return quint32(u16le(block, offset)) | (quint32(u16le(block, offset + 2)) << 16);
}

BlockEdit::BlockEdit(BlockMap *blocks, int number)
{
    if (!blocks || number < 0 || number > 0xFFFF)
        return;
    auto it = blocks->find(quint16(number));
    if (it == blocks->end() || it->isEmpty())
        return;
    data = it->data(); // detaches once; the stored block is changed in place
    end = contentLimit(*it);
}

quint8 BlockEdit::get(int offset) const { return inside(offset) ? quint8(data[offset]) : 0; }

void BlockEdit::set8(int offset, int value)
{
    if (inside(offset))
        data[offset] = char(value & 0xFF);
}

void BlockEdit::set16le(int offset, int value)
{
    set8(offset, value);
    set8(offset + 1, value >> 8);
}

void BlockEdit::set32le(int offset, quint32 value)
{
    set16le(offset, int(value & 0xFFFF));
    set16le(offset + 2, int(value >> 16));
}

void BlockEdit::setBytes(int offset, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        set8(offset + i, bytes.at(i));
}

void BlockEdit::fill(int offset, int length, char value)
{
    for (int i = 0; i < length; ++i)
        set8(offset + i, value);
}

void BlockEdit::insert(int offset, quint8 mask, int value)
{
    if (inside(offset))
        data[offset] = char(maskedInsert(quint8(data[offset]), mask, value));
}

void refreshAnswerChecksum(QByteArray &block)
{
    if (block.size() != Block::Size)
        return;
    quint16 sum = 0;
    const uchar *d = reinterpret_cast<const uchar *>(block.constData());
    for (int i = 5; i < Block::ContentEnd; ++i)
        sum = quint16(sum + d[i]);
    block[Block::ContentEnd] = char(sum >> 8);
    block[Block::ContentEnd + 1] = char(sum);
}
