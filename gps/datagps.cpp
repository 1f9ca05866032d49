#include "gps/datagps.h"

#include <QtEndian>
#include <cstring>

#include "gps/gpspoint.h"
#include "gps/gpx.h"

namespace {

constexpr quint16 SettingsBlock = 4;
constexpr int ActivationOffset = 700;
constexpr int WorkChannelOffset = 702;
constexpr int IntervalOffset = 708;
constexpr int IndicationOffset = 710;

constexpr int LogBlocks = 247;
constexpr int SlotSize = 16;
constexpr int SlotsPerBlock = Block::ContentSize / SlotSize;

// Serial fixes come from the receiver on the port; log records carry no identifier.
constexpr int LogNumId = 0;
constexpr int SerialNumId = 1;

// A log coordinate, or false when the slot is not a position: below 1.0 in the
// ddmm.mmmm form, or an exponent of all ones (an infinity of either sign, never
// read as a NaN; a position cannot be infinite).
bool logCoordinate(const char *bytes, float *value)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes);
    if (((bits >> 23) & 0xFF) == 0xFF)
        return false;
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (!(v >= 1.0f))
        return false;
    *value = v;
    return true;
}

bool decodeSlot(const char *r, GpsPoint::PointMaker &make, QVariantMap *point)
{
    float lat, lng;
    if (!logCoordinate(r, &lat) || !logCoordinate(r + 5, &lng))
        return false;
    const auto sn = static_cast<qint8>(r[4]);
    const auto ew = static_cast<qint8>(r[9]);
    if (sn == 0 || ew == 0)
        return false;
    const auto field = [r](int i) { return int(static_cast<qint8>(r[i])); };
    qint64 secs;
    // A date or time that names no instant (day 0, month 13, hour 24, year 0,
    // bytes of 128 and more) cannot be placed on a track: the slot is dropped.
    if (!GpsPoint::instant(field(10), field(11), field(12), field(13), field(14), field(15), &secs))
        return false;
    *point = make(GpsPoint::degreesFromNmea(lat), GpsPoint::degreesFromNmea(lng), sn, ew, secs);
    return true;
}

} // namespace

dataGps::dataGps(QObject *parent) : QObject(parent) { }

QVariant dataGps::decodeGpsSettings(const BlockMap &blocks)
{
    const QByteArray block = blocks.value(SettingsBlock);
    // A missing or cut block reads as all settings off.
    const auto byte = [&block](int offset) {
        return offset < block.size() ? int(static_cast<quint8>(block.at(offset))) : 0;
    };
    QVariantMap setup;
    setup.insert(QStringLiteral("activated"), bool((byte(ActivationOffset) >> 3) & 1));
    setup.insert(QStringLiteral("indication"), bool(byte(IndicationOffset) & 1));
    setup.insert(
        QStringLiteral("save_interval"), byte(IntervalOffset) + 256 * byte(IntervalOffset + 1));
    setup.insert(
        QStringLiteral("workCh"), byte(WorkChannelOffset) + 256 * byte(WorkChannelOffset + 1));
    return setup;
}

QVariant dataGps::decodeGpsLog(const QVariantList &log)
{
    // Held only here, the list keeps its storage for the new points; shared
    // (the caller keeps the last result), it lets go of it.
    if (pointList.isDetached())
        pointList.erase(pointList.begin(), pointList.end());
    else
        pointList.clear();
    GpsPoint::PointMaker make(GpsPoint::localStandardOffset(), LogNumId);
    const int count = qMin(int(log.size()), LogBlocks);
    pointList.reserve(count * SlotsPerBlock);
    bool first = true;
    for (int b = 0; b < count; ++b) {
        const QByteArray answer = log.at(b).toByteArray();
        if (answer.size() != Block::Size)
            continue;
        const char *content = answer.constData() + Block::ContentBegin;
        // Slot 0 of the later blocks is skipped: its bytes are taken up by the
        // walk's carry-over from the block before, whose layout is unknown, and
        // reading them again as a record of their own could list one twice.
        for (int s = first ? 0 : 1; s < SlotsPerBlock; ++s) {
            QVariantMap point;
            if (decodeSlot(content + s * SlotSize, make, &point)) {
                // Appended empty and then filled: a QVariant holding a map is
                // moved in place instead of copied through the type system.
                pointList.append(QVariant());
                pointList.last() = QVariant(point);
            }
        }
        first = false;
    }
    return pointList;
}

void dataGps::deliver(const QVariantList &points)
{
    // A receiver left running for days at 10 fixes a second stays within
    // memory: the oldest fixes of the live track give way.
    constexpr int MaxLiveTrack = 2000000;
    liveTrack += points;
    if (liveTrack.size() > MaxLiveTrack)
        liveTrack.erase(liveTrack.begin(), liveTrack.begin() + (liveTrack.size() - MaxLiveTrack));
    if (!points.isEmpty())
        emit signalSerialData(points);
    emit signalReceiverState(receiverState());
}

void dataGps::slotReadDataFromSerial(QByteArray data)
{
    deliver(nmea.feed(data, GpsPoint::localStandardOffset(), SerialNumId));
}

void dataGps::startStream()
{
    nmea.reset();
    liveTrack.clear();
    emit signalReceiverState(receiverState());
}

void dataGps::finishStream() { deliver(nmea.flush(GpsPoint::localStandardOffset(), SerialNumId)); }

bool dataGps::replayCapture(const QByteArray &capture)
{
    const QVariantList points = Gpx::readCapture(capture);
    if (points.isEmpty())
        return false;
    liveTrack = points;
    emit signalSerialData(points);
    return true;
}

QVariantMap dataGps::receiverState() const
{
    QVariantMap state;
    state.insert(QStringLiteral("state"),
        !nmea.hadSentence() ? QStringLiteral("nodata")
            : nmea.hasFix() ? QStringLiteral("fix")
                            : QStringLiteral("nofix"));
    state.insert(QStringLiteral("satellites"), nmea.satellites());
    qint64 secs;
    int msec;
    QString last;
    if (nmea.lastFix(&secs, &msec)) {
        GpsPoint::PointMaker make(GpsPoint::localStandardOffset(), SerialNumId);
        last = make(0, 0, 0, 0, secs).value(QStringLiteral("time")).toString();
    }
    state.insert(QStringLiteral("lastFix"), last);
    return state;
}
