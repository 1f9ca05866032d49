#include "gps/nmeareader.h"

#include <QList>

#include "gps/gpspoint.h"

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool allDigits(const QByteArray &s, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        if (s.at(i) < '0' || s.at(i) > '9')
            return false;
    }
    return true;
}

int twoDigits(const QByteArray &s, int at) { return (s.at(at) - '0') * 10 + (s.at(at + 1) - '0'); }

// hhmmss with an optional fraction, which is dropped.
bool timeOfDay(const QByteArray &field, int *secs)
{
    if (field.size() < 6 || !allDigits(field, 0, 6))
        return false;
    if (field.size() > 6 && (field.at(6) != '.' || !allDigits(field, 7, field.size() - 7)))
        return false;
    const int h = twoDigits(field, 0), m = twoDigits(field, 2), s = twoDigits(field, 4);
    if (h > 23 || m > 59 || s > 59)
        return false;
    *secs = h * 3600 + m * 60 + s;
    return true;
}

// ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3), within range; the value as
// written, for the same conversion the device log uses.
bool coordinate(const QByteArray &field, int degreeDigits, int maxDegrees, double *value)
{
    const int dot = field.indexOf('.');
    const int whole = dot < 0 ? field.size() : dot;
    if (whole != degreeDigits + 2 || !allDigits(field, 0, whole))
        return false;
    if (dot >= 0 && !allDigits(field, dot + 1, field.size() - dot - 1))
        return false;
    bool ok = false;
    const double v = field.toDouble(&ok);
    if (!ok)
        return false;
    const int degrees = field.left(degreeDigits).toInt();
    const double minutes = v - degrees * 100.0;
    if (minutes >= 60.0 || degrees > maxDegrees || (degrees == maxDegrees && minutes > 0.0))
        return false;
    *value = v;
    return true;
}

bool hemisphere(const QByteArray &field, char a, char b, int *code)
{
    if (field.size() != 1 || (field.at(0) != a && field.at(0) != b))
        return false;
    *code = field.at(0);
    return true;
}

} // namespace

void NmeaReader::reset()
{
    pending.clear();
    haveRmc = false;
    lastRmcSecs = 0;
}

QVariantList NmeaReader::feed(const QByteArray &chunk, int localOffset, int numId)
{
    QVariantList points;
    pending.append(chunk);
    int start = 0;
    for (;;) {
        const int end = pending.indexOf('\n', start);
        if (end < 0)
            break;
        QByteArray line = pending.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        QVariantMap point;
        if (sentence(line, localOffset, numId, &point))
            points.append(point);
    }
    pending.remove(0, start);
    if (pending.size() > MaxLine) {
        // No line end for too long: keep only a sentence start that still fits.
        const int dollar = pending.lastIndexOf('$');
        if (dollar >= 0 && pending.size() - dollar <= MaxLine)
            pending.remove(0, dollar);
        else
            pending.clear();
    }
    return points;
}

bool NmeaReader::sentence(const QByteArray &raw, int localOffset, int numId, QVariantMap *point)
{
    // A sentence starts at its '$'; anything before it is noise.
    const int dollar = raw.lastIndexOf('$');
    if (dollar < 0)
        return false;
    const QByteArray line = raw.mid(dollar);
    const int star = line.indexOf('*');
    if (star < 0 || line.size() != star + 3)
        return false;
    const int high = hexDigit(line.at(star + 1)), low = hexDigit(line.at(star + 2));
    if (high < 0 || low < 0)
        return false;
    unsigned char sum = 0;
    for (int i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line.at(i));
    if (sum != high * 16 + low)
        return false;

    const QList<QByteArray> f = line.mid(1, star - 1).split(',');
    const QByteArray &address = f.at(0);
    if (address.size() != 5 || address.at(0) == 'P')
        return false;
    const QByteArray type = address.mid(2);

    double latValue = 0, lngValue = 0;
    int sn = 0, ew = 0, clock = 0;
    qint64 secs = 0;
    if (type == "RMC") {
        if (f.size() < 10 || f.at(2) != "A")
            return false;
        if (!timeOfDay(f.at(1), &clock) || !coordinate(f.at(3), 2, 90, &latValue)
            || !hemisphere(f.at(4), 'N', 'S', &sn) || !coordinate(f.at(5), 3, 180, &lngValue)
            || !hemisphere(f.at(6), 'E', 'W', &ew))
            return false;
        const QByteArray &date = f.at(9);
        if (date.size() != 6 || !allDigits(date, 0, 6))
            return false;
        // The two-digit year is taken literally, as in the radio's own log.
        if (!GpsPoint::instant(
                twoDigits(date, 0), twoDigits(date, 2), twoDigits(date, 4), 0, 0, 0, &secs))
            return false;
        secs += clock;
        haveRmc = true;
        lastRmcSecs = secs;
    } else if (type == "GGA") {
        if (f.size() < 7 || !haveRmc)
            return false;
        bool ok = false;
        if (f.at(6).toInt(&ok) <= 0 || !ok)
            return false;
        if (!timeOfDay(f.at(1), &clock) || !coordinate(f.at(2), 2, 90, &latValue)
            || !hemisphere(f.at(3), 'N', 'S', &sn) || !coordinate(f.at(4), 3, 180, &lngValue)
            || !hemisphere(f.at(5), 'E', 'W', &ew))
            return false;
        // The date of the last RMC, moved by a day where the clock has passed
        // midnight between the two (whichever day lies nearest to that RMC).
        const qint64 rmcDay = lastRmcSecs - (lastRmcSecs % 86400 + 86400) % 86400;
        secs = rmcDay + clock;
        if (secs - lastRmcSecs > 43200)
            secs -= 86400;
        else if (lastRmcSecs - secs > 43200)
            secs += 86400;
    } else {
        return false;
    }

    GpsPoint::PointMaker make(localOffset, numId);
    *point = make(
        GpsPoint::degreesFromNmea(latValue), GpsPoint::degreesFromNmea(lngValue), sn, ew, secs);
    return true;
}
