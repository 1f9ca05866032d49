#pragma once

#include <QVariantList>
#include <QVariantMap>

#include "codeplug/blockmap.h"

class Channel;

// The decoded map of an image, as the screens and the text formats get it.
namespace ImageDecode {

// The blocks of an image list by their number (byte 7); a later block with
// the same number replaces an earlier one.
BlockMap blocksOf(const QVariantList &image);

// 1 for the KR4700 model ("KR4700" in the first block), else 0.
int radioTypeOf(const QVariantList &image);

// Everything the codecs decode, the GPS settings and the identity texts of
// block 4. The codec must have the image's radio type set.
QVariantMap decodedMap(Channel &codec, const BlockMap &blocks);

} // namespace ImageDecode
