#include "gps/gpspoint.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

namespace GpsPoint {

namespace {

bool isLeapYear(qint64 year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(qint64 year, int month)
{
    static const int days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Euclidean division: the remainder is never negative.
qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void putTwoDigits(QChar *out, qint64 value)
{
    value %= 100;
    if (value < 0)
        value = -value;
    out[0] = QLatin1Char(char('0' + value / 10));
    out[1] = QLatin1Char(char('0' + value % 10));
}

QString decimal(qint64 value)
{
    if (value < 0)
        return QString::number(value);
    char digits[20];
    int at = sizeof digits;
    do {
        digits[--at] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return QString::fromLatin1(digits + at, int(sizeof digits) - at);
}

// A point with every key in place: copying it and overwriting the values is
// much cheaper than building the map key by key (no lookups, no rebalancing).
// Its values are plain ints, which QVariant copies and destroys without help
// from the type system.
const QVariantMap &prototype()
{
    static const QVariantMap map = {
        { QStringLiteral("lat"), 0 },
        { QStringLiteral("lng"), 0 },
        { QStringLiteral("sn"), 0 },
        { QStringLiteral("ew"), 0 },
        { QStringLiteral("date"), 0 },
        { QStringLiteral("time"), 0 },
        { QStringLiteral("time_unx"), 0 },
        { QStringLiteral("num_id"), 0 },
    };
    return map;
}

} // namespace

qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = floorDiv(year, 400);
    const qint64 yoe = year - era * 400;
    const qint64 doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(qint64 days, qint64 *year, int *month, int *day)
{
    days += 719468;
    const qint64 era = floorDiv(days, 146097);
    const qint64 doe = days - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    *day = int(doy - (153 * mp + 2) / 5 + 1);
    *month = int(mp < 10 ? mp + 3 : mp - 9);
    *year = yoe + era * 400 + (*month <= 2);
}

bool instant(int day, int month, int year, int hour, int minute, int second, qint64 *secs)
{
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    *secs = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

int localStandardOffset()
{
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTimeUtc());
}

double degreesFromNmea(double value)
{
    const double whole = std::fmod(std::trunc(value / 100.0), 65536.0);
    return whole + (value - 100.0 * whole) / 60.0;
}

PointMaker::PointMaker(int localOffset, int numId) : offset(localOffset), id(numId) { }

QVariantMap PointMaker::operator()(double lat, double lng, int sn, int ew, qint64 utcSecs)
{
    const qint64 local = utcSecs + offset;
    const qint64 days = floorDiv(local, 86400);
    const qint64 clock = local - days * 86400;
    // Neighbouring points mostly share their day: their "date" texts are shared.
    if (days != dateDays || date.isNull()) {
        qint64 year;
        int month, day;
        civilFromDays(days, &year, &month, &day);
        date = QString(8, QLatin1Char('.'));
        putTwoDigits(date.data(), day);
        putTwoDigits(date.data() + 3, month);
        putTwoDigits(date.data() + 6, year);
        dateDays = days;
    }
    QString time(8, QLatin1Char(':'));
    putTwoDigits(time.data(), clock / 3600);
    putTwoDigits(time.data() + 3, clock / 60 % 60);
    putTwoDigits(time.data() + 6, clock % 60);

    // The keys in map order: date, ew, lat, lng, num_id, sn, time, time_unx.
    QVariantMap point = prototype();
    auto it = point.begin();
    *it++ = date;
    *it++ = ew;
    *it++ = lat;
    *it++ = lng;
    *it++ = id;
    *it++ = sn;
    *it++ = time;
    *it = decimal(utcSecs + TimeKeyOffset);
    return point;
}

} // namespace GpsPoint
