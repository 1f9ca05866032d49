#include "gps/nmeareader.h"

#include <cstring>

#include "gps/gpspoint.h"

namespace {

constexpr int MaxFields = 32;
constexpr qint64 DayMs = 86400000;

// Position sources, best last.
enum Rank { NoSource = 0, FromGll, FromRmc, FromGns, FromGga };

struct Field {
    const char *p = nullptr;
    int n = 0;
    bool is(char c) const { return n == 1 && p[0] == c; }
};

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

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(const char *p, int n)
{
    for (int i = 0; i < n; ++i) {
        if (!isDigit(p[i]))
            return false;
    }
    return true;
}

int digits(const char *p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

// hhmmss with an optional fraction: milliseconds since midnight (the fraction
// cut to milliseconds).
bool timeOfDay(const Field &f, int *ms)
{
    if (f.n < 6 || !allDigits(f.p, 6))
        return false;
    int frac = 0;
    if (f.n > 6) {
        if (f.p[6] != '.' || !allDigits(f.p + 7, f.n - 7))
            return false;
        int scale = 100;
        for (int i = 7; i < f.n && scale > 0; ++i, scale /= 10)
            frac += (f.p[i] - '0') * scale;
    }
    const int h = digits(f.p, 2), m = digits(f.p + 2, 2), s = digits(f.p + 4, 2);
    if (h > 23 || m > 59 || s > 59)
        return false;
    *ms = ((h * 60 + m) * 60 + s) * 1000 + frac;
    return true;
}

// ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3), within range, in degrees.
bool coordinate(const Field &f, int degreeDigits, int maxDegrees, double *degrees)
{
    const char *dot = static_cast<const char *>(std::memchr(f.p, '.', size_t(f.n)));
    const int whole = dot ? int(dot - f.p) : f.n;
    if (whole != degreeDigits + 2 || !allDigits(f.p, whole))
        return false;
    const int fracDigits = dot ? f.n - whole - 1 : 0;
    if (fracDigits > 15 || !allDigits(f.p + whole + 1, fracDigits))
        return false;
    qint64 frac = 0, scale = 1;
    for (int i = 0; i < fracDigits; ++i) {
        frac = frac * 10 + (f.p[whole + 1 + i] - '0');
        scale *= 10;
    }
    const int deg = digits(f.p, degreeDigits);
    const double minutes = digits(f.p + degreeDigits, 2) + double(frac) / double(scale);
    if (minutes >= 60.0 || deg > maxDegrees || (deg == maxDegrees && minutes > 0.0))
        return false;
    *degrees = deg + minutes / 60.0;
    return true;
}

bool hemisphere(const Field &f, char a, char b, int *code)
{
    if (f.n != 1 || (f.p[0] != a && f.p[0] != b))
        return false;
    *code = f.p[0];
    return true;
}

// A plain decimal number, optionally signed.
bool number(const Field &f, double *value)
{
    if (f.n == 0 || f.n > 20)
        return false;
    int i = (f.p[0] == '-' || f.p[0] == '+') ? 1 : 0;
    double v = 0, scale = 0;
    bool any = false;
    for (; i < f.n; ++i) {
        const char c = f.p[i];
        if (c == '.' && scale == 0) {
            scale = 1;
        } else if (isDigit(c)) {
            v = v * 10 + (c - '0');
            if (scale != 0)
                scale *= 10;
            any = true;
        } else {
            return false;
        }
    }
    if (!any)
        return false;
    v = scale != 0 ? v / scale : v;
    *value = f.p[0] == '-' ? -v : v;
    return true;
}

int satelliteCount(const Field &f)
{
    return f.n > 0 && f.n <= 3 && allDigits(f.p, f.n) ? digits(f.p, f.n) : -1;
}

// A mode indicator (RMC, GLL) that names no real fix: none, estimated (dead
// reckoning), manual input, simulator.
bool noFixMode(const Field &f)
{
    return f.n >= 1 && (f.p[0] == 'N' || f.p[0] == 'E' || f.p[0] == 'M' || f.p[0] == 'S');
}

bool fixModeLetter(char c) { return c == 'A' || c == 'D' || c == 'P' || c == 'R' || c == 'F'; }

} // namespace

void NmeaReader::reset() { *this = NmeaReader(); }

bool NmeaReader::lastFix(qint64 *secs, int *msec) const
{
    if (!haveFix)
        return false;
    *secs = lastFixMs / 1000 - (lastFixMs % 1000 < 0);
    *msec = int(lastFixMs - *secs * 1000);
    return true;
}

QVariantList NmeaReader::feed(const QByteArray &chunk, int localOffset, int numId)
{
    QVariantList points;
    const char *p = chunk.constData();
    const char *const end = p + chunk.size();
    while (p < end) {
        if (!inLine) {
            // Skip to the next sentence start.
            const void *dollar = std::memchr(p, '$', size_t(end - p));
            if (!dollar)
                break;
            p = static_cast<const char *>(dollar) + 1;
            inLine = true;
            lineLength = 0;
            continue;
        }
        // The run of sentence characters up to a line end or a new start.
        const char *q = p;
        while (q < end && *q != '\r' && *q != '\n' && *q != '$')
            ++q;
        const int run = int(q - p);
        if (lineLength + run > MaxLine) {
            inLine = false; // too long for a sentence: wait for the next '$'
            lineLength = 0;
            p = q;
            continue;
        }
        std::memcpy(line + lineLength, p, size_t(run));
        lineLength += run;
        p = q;
        if (p == end)
            break;
        if (*p++ == '$') {
            lineLength = 0; // a new sentence starts; the cut one is dropped
        } else {
            sentence(line, lineLength, &points, localOffset, numId);
            inLine = false;
            lineLength = 0;
        }
    }
    return points;
}

QVariantList NmeaReader::flush(int localOffset, int numId)
{
    QVariantList points;
    finishEpoch(&points, localOffset, numId);
    return points;
}

void NmeaReader::sentence(
    const char *text, int length, QVariantList *out, int localOffset, int numId)
{
    // Only the sentences read below are worth their checksum: the address
    // (two letters of the talker, three of the type) comes first.
    if (length < 6 || text[5] != ',')
        return;
    sentenceSeen = true;
    if (text[0] == 'P')
        return;
    const char *type = text + 2;
    const auto isType = [type](const char *name) { return std::memcmp(type, name, 3) == 0; };
    if (!isType("RMC") && !isType("GGA") && !isType("GNS") && !isType("GLL") && !isType("ZDA"))
        return;
    // The checksum, when there is one, covers everything between '$' and '*'.
    const char *star = static_cast<const char *>(std::memchr(text, '*', size_t(length)));
    int bodyLength = length;
    if (star) {
        bodyLength = int(star - text);
        if (length - bodyLength != 3)
            return;
        const int high = hexDigit(star[1]), low = hexDigit(star[2]);
        if (high < 0 || low < 0)
            return;
        unsigned char sum = 0;
        for (int i = 0; i < bodyLength; ++i)
            sum ^= static_cast<unsigned char>(text[i]);
        if (sum != high * 16 + low)
            return;
    }

    Field f[MaxFields];
    int count = 0;
    const char *field = text;
    const char *const bodyEnd = text + bodyLength;
    for (const char *q = text;; ++q) {
        if (q == bodyEnd || *q == ',') {
            if (count == MaxFields)
                return;
            f[count].p = field;
            f[count].n = int(q - field);
            ++count;
            field = q + 1;
            if (q == bodyEnd)
                break;
        }
    }

    int timeField, latField, ewField;
    bool valid;
    Rank rank;
    double alt = 0;
    bool haveAlt = false;
    int satellites = -1;
    bool dated = false;
    qint64 day = 0;
    if (isType("RMC")) {
        // time, status, lat, N/S, lng, E/W, speed, course, date, variation, E/W, mode
        if (count < 10)
            return;
        timeField = 1;
        latField = 3;
        ewField = 6;
        rank = FromRmc;
        valid = f[2].is('A') && !(count > 12 && noFixMode(f[12]));
        const Field &d = f[9];
        if (valid && d.n == 6 && allDigits(d.p, 6)) {
            const int yy = digits(d.p + 4, 2);
            qint64 secs;
            if (GpsPoint::instant(digits(d.p, 2), digits(d.p + 2, 2),
                    yy < 80 ? 2000 + yy : 1900 + yy, 0, 0, 0, &secs)) {
                dated = true;
                day = secs / 86400;
            }
        }
    } else if (isType("GGA")) {
        // time, lat, N/S, lng, E/W, quality, satellites, hdop, altitude, M, ...
        if (count < 7)
            return;
        timeField = 1;
        latField = 2;
        ewField = 5;
        rank = FromGga;
        valid = f[6].n == 1 && f[6].p[0] >= '1' && f[6].p[0] <= '5';
        satellites = count > 7 ? satelliteCount(f[7]) : -1;
        haveAlt = count > 9 && number(f[9], &alt);
    } else if (isType("GNS")) {
        // time, lat, N/S, lng, E/W, mode letters, satellites, hdop, altitude, ...
        if (count < 7)
            return;
        timeField = 1;
        latField = 2;
        ewField = 5;
        rank = FromGns;
        valid = false;
        for (int i = 0; i < f[6].n; ++i)
            valid = valid || fixModeLetter(f[6].p[i]);
        satellites = count > 7 ? satelliteCount(f[7]) : -1;
        haveAlt = count > 9 && number(f[9], &alt);
    } else if (isType("GLL")) {
        // lat, N/S, lng, E/W, time, status, mode
        if (count < 7)
            return;
        timeField = 5;
        latField = 1;
        ewField = 4;
        rank = FromGll;
        valid = f[6].is('A') && !(count > 7 && noFixMode(f[7]));
    } else if (isType("ZDA")) {
        // time, day, month, four-digit year, zone hours, zone minutes
        int clock;
        if (count < 5 || !timeOfDay(f[1], &clock) || f[2].n != 2 || f[3].n != 2 || f[4].n != 4
            || !allDigits(f[2].p, 2) || !allDigits(f[3].p, 2) || !allDigits(f[4].p, 4))
            return;
        qint64 secs;
        if (!GpsPoint::instant(
                digits(f[2].p, 2), digits(f[3].p, 2), digits(f[4].p, 4), 0, 0, 0, &secs))
            return;
        if (epoch.clockMs != clock)
            finishEpoch(out, localOffset, numId);
        epoch.clockMs = clock;
        epoch.haveDate = true;
        epoch.day = secs / 86400;
        return;
    } else {
        return;
    }

    int clock;
    if (!timeOfDay(f[timeField], &clock))
        return;
    if (epoch.clockMs != clock)
        finishEpoch(out, localOffset, numId);
    epoch.clockMs = clock;
    if (dated && !epoch.haveDate) {
        epoch.haveDate = true;
        epoch.day = day;
    }
    if (satellites >= 0 && (epoch.satellites < 0 || rank == FromGga))
        epoch.satellites = satellites;
    if (!valid)
        return; // the sentence says there is no fix
    double lat, lng;
    int sn, ew;
    if (!coordinate(f[latField], 2, 90, &lat) || !hemisphere(f[latField + 1], 'N', 'S', &sn)
        || !coordinate(f[ewField - 1], 3, 180, &lng) || !hemisphere(f[ewField], 'E', 'W', &ew))
        return;
    if (rank > epoch.rank) {
        epoch.rank = rank;
        epoch.lat = lat;
        epoch.lng = lng;
        epoch.sn = sn;
        epoch.ew = ew;
    }
    if (haveAlt && !epoch.haveAlt) {
        epoch.haveAlt = true;
        epoch.alt = alt;
    }
}

void NmeaReader::finishEpoch(QVariantList *out, int localOffset, int numId)
{
    const Epoch done = epoch;
    epoch = Epoch();
    if (done.clockMs < 0)
        return;
    lastSatellites = done.satellites;
    lastEpochFix = done.rank != NoSource;
    qint64 ms;
    if (done.haveDate) {
        ms = done.day * DayMs + done.clockMs;
    } else if (haveDate) {
        // The day of the last dated epoch, moved over midnight when the clock
        // has passed it since (whichever day lies nearest).
        const qint64 datedDay = datedMs / DayMs - (datedMs % DayMs < 0);
        ms = datedDay * DayMs + done.clockMs;
        if (ms - datedMs > DayMs / 2)
            ms -= DayMs;
        else if (datedMs - ms > DayMs / 2)
            ms += DayMs;
    } else {
        return; // no date yet
    }
    if (done.haveDate || lastEpochFix) {
        haveDate = true;
        datedMs = ms;
    }
    if (!lastEpochFix)
        return;
    haveFix = true;
    lastFixMs = ms;

    const qint64 secs = ms / 1000 - (ms % 1000 < 0);
    GpsPoint::PointMaker make(localOffset, numId);
    QVariantMap point = make(done.lat, done.lng, done.sn, done.ew, secs);
    point.insert(QStringLiteral("msec"), int(ms - secs * 1000));
    if (done.haveAlt)
        point.insert(QStringLiteral("alt"), done.alt);
    out->append(point);
}
