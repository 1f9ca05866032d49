#pragma once

#include <QString>
#include <QVariantMap>

// GPS point maps and the time rules they share: a UTC instant given by a
// two-digit year taken literally (year 19 is the year 19 of the proleptic
// Gregorian calendar), shown in local standard time without daylight saving.
namespace GpsPoint {

// Offset added to the seconds since 1970 to make the "time_unx" key.
constexpr qint64 TimeKeyOffset = 63709551616LL;

// Seconds since 1970-01-01T00:00:00 UTC of the given UTC date and time; false
// when the fields do not form a valid instant (day 0, month 13, hour 24, year
// below 1, ...).
bool instant(int day, int month, int year, int hour, int minute, int second, qint64 *secs);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
qint64 daysFromCivil(qint64 year, int month, int day);
void civilFromDays(qint64 days, qint64 *year, int *month, int *day);

// The local zone's standard offset from UTC in seconds, daylight saving left out.
int localStandardOffset();

// ddmm.mmmm (or dddmm.mmmm) to decimal degrees: whole degrees taken modulo 65536.
double degreesFromNmea(double value);

// Makes point maps with the keys "lat", "lng", "sn", "ew", "date", "time",
// "time_unx" and "num_id"; "date" and "time" are shown at localOffset seconds
// from UTC.
class PointMaker {
public:
    PointMaker(int localOffset, int numId);
    QVariantMap operator()(double lat, double lng, int sn, int ew, qint64 utcSecs);

private:
    int offset;
    int id;
    qint64 dateDays = 0;
    QString date;
};

} // namespace GpsPoint
