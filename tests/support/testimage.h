#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

#include "codeplug/blockmap.h"

// Images for tests: block maps and the image lists a file or a radio read holds.
namespace TestImage {

// The 177 memory blocks, 2063 bytes each, every byte `fill` (or random bytes
// from a generator started at `start`) except byte 7, the block number.
BlockMap blankBlocks(quint8 fill = 0);
BlockMap randomBlocks(quint32 start);

// A 265-byte identity answer; `kr4700` puts "KR4700" into it where the
// model name sits, bandCode goes to bytes 94 and 95.
QByteArray identity(quint16 bandCode = 0, bool kr4700 = false);

// Element 0 the identity answer, then the blocks 0 to 176 in order (blocks
// missing from the map are left out).
QVariantList imageListFrom(const BlockMap &blocks, const QByteArray &identity);

// At most `limit` places where two block maps differ, as "block:offset", for failure messages.
QStringList differences(const BlockMap &a, const BlockMap &b, int limit = 10);

// A factory default image the build generated beside the test programs, as
// its image list; empty when absent.
QVariantList factoryImage(const QString &name = QStringLiteral("default400-470.dcc"));

// The factory default image with stored values no screen offers and bits no
// field describes: see the comments in hostileImage().
QVariantList hostileImage();

} // namespace TestImage
