// The GPS log decoder on answers made of the fuzzer's bytes: any number of
// answers of any length. It keeps to the log's size (at most 128 + 246 * 127
// points) and every point has the keys the screens read.
#include "fuzz/fuzzsupport.h"
#include "gps/datagps.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    QVariantList log;
    // Each answer: a length byte (0 for a whole 2063-byte block, padded with
    // erased bytes), then its bytes; a whole block may be repeated many times.
    while (!in.empty() && log.size() < 400) {
        const int length = in.byte();
        const int copies = 1 + in.byte() % 8;
        QByteArray answer = in.take(length ? size_t(length) : 2063);
        if (length == 0)
            answer.append(QByteArray(2063 - answer.size(), char(0xFF)));
        for (int i = 0; i < copies; ++i)
            log.append(answer);
    }
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog(log).toList();
    check(points.size() <= 128 + 246 * 127, "no more points than the log holds");
    check(points == gps.pointList, "the result is pointList");
    for (const QVariant &p : points) {
        const QVariantMap m = p.toMap();
        check(m.value(QStringLiteral("date")).toString().size() == 8
                && m.value(QStringLiteral("time")).toString().size() == 8,
            "date and time are dd.MM.yy and hh:mm:ss");
        bool ok = false;
        m.value(QStringLiteral("time_unx")).toString().toLongLong(&ok);
        check(ok, "time_unx is a decimal number");
    }
    return 0;
}
