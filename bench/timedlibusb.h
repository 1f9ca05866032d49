// The time a read spends inside the bulk transfers, measured at the libusb
// seam: a table that forwards every call to another one (the emulated
// radio's) and clocks each bulk transfer. What a benchmark takes off its
// total with it is the wire and the scheduler's sleep overshoot, so that the
// rest is our own time. One table per process (the counters are shared).
#pragma once

#include <QElapsedTimer>

#include "usb/libusbapi.h"

class TimedLibusb {
public:
    explicit TimedLibusb(const LibusbApi *inner) : m_table(*inner)
    {
        s_inner = inner;
        m_table.bulk_transfer = &bulkTransfer;
    }
    const LibusbApi *api() const { return &m_table; }
    // Nanoseconds spent inside bulk transfers, and their number, since start.
    static qint64 transferNanoseconds() { return s_nanoseconds; }
    static int transfers() { return s_transfers; }
    // What the caller does between a mark and the next bulk transfer (e.g.
    // passing a progress value on), summed over all marks since start.
    static void mark() { s_markedAt = clock().nsecsElapsed(); }
    static qint64 markedNanoseconds() { return s_marked; }
    // Since the end of the last bulk transfer.
    static qint64 sinceLastTransferNanoseconds() { return clock().nsecsElapsed() - s_lastEnd; }

private:
    static int bulkTransfer(libusb_device_handle *handle, unsigned char endpoint,
        unsigned char *data, int length, int *actual, unsigned int timeout)
    {
        const qint64 start = clock().nsecsElapsed();
        if (s_markedAt >= 0) {
            s_marked += start - s_markedAt;
            s_markedAt = -1;
        }
        const int result = s_inner->bulk_transfer(handle, endpoint, data, length, actual, timeout);
        s_lastEnd = clock().nsecsElapsed();
        s_nanoseconds += s_lastEnd - start;
        ++s_transfers;
        return result;
    }
    static QElapsedTimer &clock()
    {
        static QElapsedTimer c = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return c;
    }

    LibusbApi m_table;
    static inline const LibusbApi *s_inner = nullptr;
    static inline qint64 s_nanoseconds = 0;
    static inline int s_transfers = 0;
    static inline qint64 s_markedAt = -1;
    static inline qint64 s_marked = 0;
    static inline qint64 s_lastEnd = 0;
};
