#pragma once

#include <QByteArray>
#include <QMap>

// The radio's memory blocks by block number (byte 7 of each block).
using BlockMap = QMap<quint16, QByteArray>;

namespace Block {
constexpr int Size = 2063; // a whole block as exchanged with the radio
constexpr int ContentBegin = 12; // first content byte
constexpr int ContentEnd = 2060; // one past the last content byte
constexpr int ContentSize = 2048;
constexpr int NumberOffset = 7; // byte holding the block number
constexpr int Count = 177; // memory blocks 0 to 176
} // namespace Block
