#pragma once

#include <QByteArray>
#include <QVariantList>

// Reads NMEA 0183 position sentences from a serial byte stream and turns each
// epoch (the sentences a receiver sends for one instant, from any talker) into
// at most one fix.
//
// Framing: a sentence starts at '$' (a '$' anywhere starts over, so noise,
// binary protocols and sentences run together resynchronise on the next one)
// and ends at the first CR or LF; longer lines than MaxLine are dropped whole.
// A sentence with a checksum that does not match is dropped; one without a
// checksum is taken as it is (some receivers never send one).
//
// Positions: RMC with status A, GGA with fix quality 1 to 5 (6 dead reckoning,
// 7 manual input and 8 simulation are not fixes), GNS with a mode letter of a
// real fix (A, D, P, R, F) and GLL with status A. The sentences of one epoch
// share their time of day; the epoch ends when a sentence with another time
// arrives (or at flush). Its fix takes the position of the best source
// (GGA, then GNS, then RMC, then GLL; the first of equals), the altitude of a
// GGA or GNS, and the date of an RMC or ZDA of the same epoch, otherwise the
// date of the last dated epoch, moved over midnight to the day nearest to it.
// An epoch before any date is known gives no fix.
//
// RMC's two-digit year: 80 to 99 are 1980 to 1999, 00 to 79 are 2000 to 2079
// (GPS began in 1980).
class NmeaReader {
public:
    // Longest line kept while waiting for its end; NMEA allows 82 characters,
    // proprietary sentences run longer but carry no position we read.
    static constexpr int MaxLine = 256;

    // Feeds one chunk; returns a GPS point (with the given "num_id") for every
    // epoch completed by it, "date" and "time" shown at localOffset seconds.
    // A point has the keys of a log point with "lat" and "lng" as doubles, and
    // "msec" (int, the milliseconds of the second); "alt" (double, metres
    // above mean sea level) when the receiver sent one.
    QVariantList feed(const QByteArray &chunk, int localOffset, int numId);
    // Completes the epoch in progress (the end of a capture): its fix, if any.
    QVariantList flush(int localOffset, int numId);

    // Forgets the partial line, the epoch in progress and the date.
    void reset();

    int pendingSize() const { return lineLength; }

    // What the receiver said last: whether any sentence arrived, whether the
    // last epoch was a fix, its satellites in use (-1 unknown) and the UTC
    // instant of the last fix (seconds since 1970, milliseconds).
    bool hadSentence() const { return sentenceSeen; }
    bool hasFix() const { return lastEpochFix; }
    int satellites() const { return lastSatellites; }
    bool lastFix(qint64 *secs, int *msec) const;

private:
    struct Epoch {
        int clockMs = -1; // time of day; -1: no epoch in progress
        int rank = 0; // source of the position; 0: none
        double lat = 0, lng = 0; // degrees, without sign
        int sn = 0, ew = 0;
        bool haveAlt = false;
        double alt = 0;
        bool haveDate = false;
        qint64 day = 0; // days since 1970
        int satellites = -1;
    };

    void sentence(const char *begin, int length, QVariantList *out, int localOffset, int numId);
    void finishEpoch(QVariantList *out, int localOffset, int numId);

    char line[MaxLine];
    int lineLength = 0;
    bool inLine = false;

    Epoch epoch;
    bool haveDate = false;
    qint64 datedMs = 0; // UTC milliseconds since 1970 of the last dated epoch

    bool sentenceSeen = false;
    bool lastEpochFix = false;
    int lastSatellites = -1;
    bool haveFix = false;
    qint64 lastFixMs = 0;
};
