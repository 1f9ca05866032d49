// The NMEA reader on any text split at points the fuzzer chooses, through its
// feed() and reset() only: no fault, well-formed points, and the same fixes
// however the stream is cut.
#include "fuzz/fuzzsupport.h"
#include "gps/nmeareader.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    // The first byte gives the chunk lengths' pattern, the rest is the stream.
    const int step = 1 + in.byte();
    const QByteArray text = in.rest();
    NmeaReader reader;
    int offset = 0;
    int chunk = 0;
    while (offset < text.size()) {
        // Lengths vary from 1 to step bytes, so a sentence is cut anywhere.
        const int length = 1 + (chunk++ * 7919) % step;
        const QVariantList points = reader.feed(text.mid(offset, length), 3 * 3600, 1);
        offset += length;
        for (const QVariant &p : points) {
            const QVariantMap m = p.toMap();
            check(m.value(QStringLiteral("num_id")).toInt() == 1, "points carry the given id");
            check(m.value(QStringLiteral("date")).toString().size() == 8, "date is dd.MM.yy");
        }
    }
    reader.reset();
    check(reader.feed(QByteArray(), 0, 1).isEmpty(), "nothing after a reset");
    // The whole text in one chunk gives the same points as the text cut into
    // pieces, over-long lines included: a line is dropped by its length, not
    // by how it arrives.
    NmeaReader whole;
    const QVariantList once = whole.feed(text, 3 * 3600, 1);
    NmeaReader split;
    QVariantList pieces;
    for (int i = 0; i < text.size(); i += step)
        pieces += split.feed(text.mid(i, step), 3 * 3600, 1);
    check(once == pieces, "splitting a stream does not change its fixes");
    return 0;
}
