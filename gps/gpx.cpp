#include "gps/gpx.h"

#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "gps/gpspoint.h"
#include "gps/nmeareader.h"

namespace {

struct Fix {
    qint64 secs; // UTC, since 1970
    int msec; // -1: not known
    double lat, lng; // signed
    bool hasAlt;
    double alt;
};

bool toFix(const QVariantMap &p, Fix *fix)
{
    bool ok = false;
    const qint64 key = p.value(QStringLiteral("time_unx")).toString().toLongLong(&ok);
    if (!ok)
        return false;
    fix->secs = key - GpsPoint::TimeKeyOffset;
    const QVariant msec = p.value(QStringLiteral("msec"));
    fix->msec = msec.isValid() ? qBound(0, msec.toInt(), 999) : -1;
    const double lat = p.value(QStringLiteral("lat")).toDouble();
    const double lng = p.value(QStringLiteral("lng")).toDouble();
    // As the window reads them: 'N' north, anything else south; 'W' west,
    // anything else east.
    fix->lat = p.value(QStringLiteral("sn")).toInt() == 'N' ? lat : -lat;
    fix->lng = p.value(QStringLiteral("ew")).toInt() == 'W' ? -lng : lng;
    if (!std::isfinite(fix->lat) || !std::isfinite(fix->lng) || std::abs(fix->lat) > 90
        || std::abs(fix->lng) > 180)
        return false;
    if (fix->lng == 180)
        fix->lng = -180; // the schema's range ends below 180
    const QVariant alt = p.value(QStringLiteral("alt"));
    fix->hasAlt = alt.isValid() && std::isfinite(alt.toDouble());
    fix->alt = fix->hasAlt ? alt.toDouble() : 0;
    return true;
}

void appendDigits(QByteArray &out, qint64 value, int width)
{
    char digits[24];
    int at = sizeof digits;
    do {
        digits[--at] = char('0' + value % 10);
        value /= 10;
    } while (value != 0 || int(sizeof digits) - at < width);
    out.append(digits + at, int(sizeof digits) - at);
}

void appendTime(QByteArray &out, const Fix &f)
{
    const qint64 days = f.secs / 86400 - (f.secs % 86400 < 0);
    const qint64 clock = f.secs - days * 86400;
    qint64 year;
    int month, day;
    GpsPoint::civilFromDays(days, &year, &month, &day);
    if (year < 100) // the radio's two-digit year
        year += year < 80 ? 2000 : 1900;
    appendDigits(out, year, 4);
    out.append('-');
    appendDigits(out, month, 2);
    out.append('-');
    appendDigits(out, day, 2);
    out.append('T');
    appendDigits(out, clock / 3600, 2);
    out.append(':');
    appendDigits(out, clock / 60 % 60, 2);
    out.append(':');
    appendDigits(out, clock % 60, 2);
    if (f.msec >= 0) {
        out.append('.');
        appendDigits(out, f.msec, 3);
    }
    out.append('Z');
}

void appendFixed(QByteArray &out, double value, int decimals)
{
    char text[64];
    const auto r
        = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, int(r.ptr - text));
}

QByteArray escaped(const QString &text) { return text.toHtmlEscaped().toUtf8(); }

} // namespace

namespace Gpx {

QString creator() { return QStringLiteral("Orvane " ORVANE_VERSION); }

QByteArray document(
    const QVariantList &points, bool splitAtPauses, const QString &trackName, int *written)
{
    std::vector<Fix> fixes;
    fixes.reserve(size_t(points.size()));
    for (const QVariant &v : points) {
        Fix f;
        if (toFix(v.toMap(), &f))
            fixes.push_back(f);
    }
    const auto earlier = [](const Fix &a, const Fix &b) {
        return a.secs != b.secs ? a.secs < b.secs : a.msec < b.msec;
    };
    if (!std::is_sorted(fixes.begin(), fixes.end(), earlier))
        std::stable_sort(fixes.begin(), fixes.end(), earlier);

    QByteArray out;
    out.reserve(int(fixes.size()) * 110 + 512);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"";
    out += escaped(creator());
    out += "\" xmlns=\"http://www.topografix.com/GPX/1/1\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
           " http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
           "  <trk>\n    <name>";
    out += escaped(trackName);
    out += "</name>\n";
    int inSegment = 0;
    for (size_t i = 0; i < fixes.size(); ++i) {
        const Fix &f = fixes[i];
        if (splitAtPauses && inSegment > 2 && f.secs - fixes[i - 1].secs >= PauseSeconds) {
            out += "    </trkseg>\n";
            inSegment = 0;
        }
        if (inSegment == 0)
            out += "    <trkseg>\n";
        ++inSegment;
        out += "      <trkpt lat=\"";
        appendFixed(out, f.lat, 9);
        out += "\" lon=\"";
        appendFixed(out, f.lng, 9);
        out += "\">";
        if (f.hasAlt) {
            out += "<ele>";
            appendFixed(out, f.alt, 3);
            out += "</ele>";
        }
        out += "<time>";
        appendTime(out, f);
        out += "</time></trkpt>\n";
    }
    if (inSegment > 0)
        out += "    </trkseg>\n";
    out += "  </trk>\n</gpx>\n";
    if (written)
        *written = int(fixes.size());
    return out;
}

bool save(const QString &path, const QVariantList &points, bool splitAtPauses,
    const QString &trackName, QString *error)
{
    int written = 0;
    const QByteArray gpx = document(points, splitAtPauses, trackName, &written);
    if (written == 0) {
        *error = QStringLiteral("no point to export");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(gpx) != gpx.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool looksLikeNmea(const QByteArray &head)
{
    return !head.isEmpty() && head.at(0) != '\0' && head.contains('$');
}

QVariantList readCapture(const QByteArray &capture)
{
    NmeaReader reader;
    const int offset = GpsPoint::localStandardOffset();
    QVariantList points = reader.feed(capture, offset, 1);
    points += reader.flush(offset, 1);
    return points;
}

} // namespace Gpx
