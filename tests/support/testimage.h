#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

#include "codeplug/blockmap.h"

// Images for tests: whole block maps and the image list a file or a radio
// read holds.
namespace TestImage {

// The 177 memory blocks, 2063 bytes each, every byte `fill` except byte 7,
// which holds the block number.
BlockMap blankBlocks(quint8 fill = 0);

// The same, with every byte taken from a generator started at `start` (byte 7
// still the block number), for checks that untouched bytes stay as they were.
BlockMap randomBlocks(quint32 start);

// A 265-byte identity answer; `kr4700` puts "KR4700" into it where the
// model name sits, bandCode goes to bytes 94 and 95.
QByteArray identity(quint16 bandCode = 0, bool kr4700 = false);

// Element 0 the identity answer, then the blocks 0 to 176 in order (blocks
// missing from the map are left out).
QVariantList imageListFrom(const BlockMap &blocks, const QByteArray &identity);

// Offsets where two block maps differ, as "block:offset" texts (at most
// `limit` of them), for readable failure messages.
QStringList differences(const BlockMap &a, const BlockMap &b, int limit = 10);

// A factory default image the build generated beside the test programs
// ("default400-470.dcc" and its siblings), as its image list; empty when absent.
QVariantList factoryImage(const QString &name = QStringLiteral("default400-470.dcc"));

// The factory default image with stored values no screen offers and bits no
// field describes: button durations 244 and 13, squelch 12, preamble 200,
// man-down bytes 0x60 and 0xFF, a colour-code byte without its 0x40 bit, a
// tone word 0x00FF typed DCS, VOX, squelch and reference bits, unknown bits in
// flag bytes, emergency-system bytes of block 122, a channel name with an
// unassigned code point and bytes after its end, 20 zones with no end record
// and two older zones after them, a receive-group count with a high byte.
QVariantList hostileImage();

} // namespace TestImage
