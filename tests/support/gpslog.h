#pragma once

#include <QByteArray>
#include <QMap>
#include <QVector>
#include <QtEndian>
#include <cstring>

// The radio's GPS log as its answers carry it.
namespace GpsLog {

inline quint32 bitsOf(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// One 16-byte record: float bits of the position, hemisphere bytes, the date
// and time bytes.
inline QByteArray record(quint32 lat, char sn, quint32 lng, char ew, const QVector<int> &when)
{
    QByteArray r(10, '\0');
    qToLittleEndian(lat, r.data());
    qToLittleEndian(lng, r.data() + 5);
    r[4] = sn, r[9] = ew;
    for (int v : when)
        r.append(char(v));
    return r;
}

// A log answer of 2063 bytes: head with the block number, erased content
// (0xFF), checksum and end byte; records placed at the given slots.
inline QByteArray logBlock(int number, const QMap<int, QByteArray> &records = {})
{
    QByteArray b(2063, char(0xFF));
    for (int i = 0; i < 12; ++i)
        b[i] = char(i == 7 ? number : 0x10 + i);
    b.replace(2060, 3, "\x5A\xA5\x16");
    for (auto it = records.begin(); it != records.end(); ++it)
        b.replace(12 + it.key() * 16, 16, it.value());
    return b;
}

} // namespace GpsLog
