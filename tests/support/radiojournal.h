#pragma once

#include <QByteArray>
#include <QList>

#include "emulator/radioemulator.h"

// The transfers a radio saw, regrouped as Bulk-Only commands.
struct BotCommand {
    QByteArray wrapper; // the 31-byte command wrapper
    quint32 tag = 0;
    quint8 opcode = 0;
    quint8 vendorOp = 0; // byte 1 of a vendor (0xFF) command block
    QByteArray dataOut; // bytes the host sent in the data phase
    int statusReads = 0; // status wrapper reads that returned a wrapper
};

QList<BotCommand> botCommands(const QList<RadioEmulator::Transfer> &journal);
// Radio frames the host sent (data of FF 2A commands), in order.
QList<QByteArray> framesSent(const QList<RadioEmulator::Transfer> &journal);
int countTransfers(const QList<RadioEmulator::Transfer> &journal,
    RadioEmulator::Transfer::Kind kind, quint8 endpoint);
QByteArray hex(const char *spaced); // "A1 00 04" -> bytes
