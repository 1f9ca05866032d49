#pragma once

#include <QtGlobal>
#include <array>

// The layout descriptor: every block number, offset, width and mask the codecs
// use, indexed by entry number. Both radio types share it except for a few
// entries (the button offsets and the power flag).
using Layout = std::array<quint16, 153>;

Layout layoutFor(int radioType);
