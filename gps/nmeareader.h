#pragma once

#include <QByteArray>
#include <QVariantList>

// Reads NMEA 0183 position sentences from a serial byte stream: RMC with
// status A and GGA with a fix quality above 0, from any talker. Sentences may
// arrive split across chunks; those with a wrong or missing checksum, other
// sentence types and line noise are dropped. A GGA carries no date and takes
// the date of the last valid RMC; before one it is dropped.
class NmeaReader {
public:
    // Longest line kept while waiting for its end; NMEA allows 82 characters.
    static constexpr int MaxLine = 256;

    // Feeds one chunk; returns a GPS point (with the given "num_id") for every
    // fix completed by it, "date" and "time" shown at localOffset seconds.
    QVariantList feed(const QByteArray &chunk, int localOffset, int numId);

    // Forgets the partial line and the date of the last RMC.
    void reset();

    int pendingSize() const { return int(pending.size()); }

private:
    bool sentence(const QByteArray &line, int localOffset, int numId, QVariantMap *point);

    QByteArray pending;
    bool haveRmc = false;
    qint64 lastRmcSecs = 0;
};
