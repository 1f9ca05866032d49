#include "radiojournal.h"

QList<BotCommand> botCommands(const QList<RadioEmulator::Transfer> &journal)
{
    QList<BotCommand> commands;
    for (const RadioEmulator::Transfer &t : journal) {
        if (t.result != 0)
            continue;
        if (t.kind == RadioEmulator::Transfer::Out) {
            if (t.data.size() == 31 && t.data.startsWith("USBC")) {
                BotCommand c;
                c.wrapper = t.data;
                const auto *p = reinterpret_cast<const unsigned char *>(t.data.constData());
                c.tag = quint32(p[4]) | quint32(p[5]) << 8 | quint32(p[6]) << 16
                    | quint32(p[7]) << 24;
                c.opcode = p[15];
                c.vendorOp = p[16];
                commands.append(c);
            } else if (!commands.isEmpty()) {
                commands.last().dataOut += t.data;
            }
        } else if (t.kind == RadioEmulator::Transfer::In && t.data.size() == 13
            && t.data.startsWith("USBS") && !commands.isEmpty()) {
            ++commands.last().statusReads;
        }
    }
    return commands;
}

QList<QByteArray> framesSent(const QList<RadioEmulator::Transfer> &journal)
{
    QList<QByteArray> frames;
    for (const BotCommand &c : botCommands(journal))
        if (c.opcode == 0xFF && c.vendorOp == 0x2A)
            frames.append(c.dataOut);
    return frames;
}

int countTransfers(const QList<RadioEmulator::Transfer> &journal,
    RadioEmulator::Transfer::Kind kind, quint8 endpoint)
{
    int n = 0;
    for (const RadioEmulator::Transfer &t : journal)
        if (t.kind == kind && t.endpoint == endpoint)
            ++n;
    return n;
}

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}
