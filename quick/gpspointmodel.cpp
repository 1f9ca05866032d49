#include "quick/gpspointmodel.h"

#include <QJSValue>
#include <QMetaMethod>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

// Track colours, used in turn.
const char *const trackColours[] = { "blue", "red", "black", "darkgreen", "brown" };

double number(const QVariant &v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0;
}

} // namespace

GpsPointModel::GpsPointModel(QObject *parent)
    : QAbstractListModel(parent), hemispheres { QStringLiteral("N"), QStringLiteral("S"),
          QStringLiteral("W"), QStringLiteral("E") }
{
}

int GpsPointModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

QHash<int, QByteArray> GpsPointModel::roleNames() const
{
    return { { Num, "num" }, { Date, "date" }, { Time, "time" }, { Lng, "lng" }, { Ew, "ew" },
        { Lat, "lat" }, { Sn, "sn" }, { Ident, "ident" }, { Latitude, "latitude" },
        { Longitude, "longitude" } };
}

QVariant GpsPointModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows.size())
        return {};
    const int i = rows[index.row()];
    const Point &p = points[i];
    switch (role) {
    case Num:
        return i + 1;
    case Date:
        return p.date;
    case Time:
        return p.time;
    case Lng:
        return QString::number(std::fabs(p.longitude), 'f', 6);
    case Lat:
        return QString::number(std::fabs(p.latitude), 'f', 6);
    case Ew:
        return hemispheres.value(p.west ? 2 : 3);
    case Sn:
        return hemispheres.value(p.north ? 0 : 1);
    case Ident:
        return QString();
    case Latitude:
        return p.latitude;
    case Longitude:
        return p.longitude;
    }
    return {};
}

void GpsPointModel::setLetters(const QStringList &letters)
{
    if (letters == hemispheres || letters.size() != 4)
        return;
    hemispheres = letters;
    if (!rows.isEmpty())
        emit dataChanged(index(0), index(rows.size() - 1), { Ew, Sn });
    emit lettersChanged();
}

void GpsPointModel::setSource(QObject *object)
{
    if (object == sourceObject)
        return;
    if (sourceObject)
        disconnect(sourceObject, nullptr, this, nullptr);
    sourceObject = object;
    if (object) {
        const QMetaObject *mo = object->metaObject();
        const int signal = mo->indexOfSignal("signalGPSReadyRead(QVariant)");
        const int slot = metaObject()->indexOfMethod("onSourceLog(QVariant)");
        if (signal >= 0 && slot >= 0)
            connect(object, mo->method(signal), this, metaObject()->method(slot));
    }
    emit sourceChanged();
}

void GpsPointModel::onSourceLog(const QVariant &list)
{
    setPoints(list);
    emit logReceived();
}

GpsPointModel::Point GpsPointModel::parse(const QVariant &value)
{
    const QVariantMap m = value.toMap();
    Point p;
    const double lat = number(m.value(QStringLiteral("lat")));
    const double lng = number(m.value(QStringLiteral("lng")));
    p.north = number(m.value(QStringLiteral("sn"))) == 0x4E;
    p.west = number(m.value(QStringLiteral("ew"))) == 0x57;
    p.latitude = p.north ? lat : -lat;
    p.longitude = p.west ? -lng : lng;
    p.date = m.value(QStringLiteral("date")).toString();
    p.time = m.value(QStringLiteral("time")).toString();
    p.timeUnx = number(m.value(QStringLiteral("time_unx")));
    if (!std::isfinite(p.timeUnx))
        p.timeUnx = 0;
    return p;
}

// A record with a broken coordinate (infinite, or beyond the poles or the
// date line) stays in the table but is left out of the tracks.
bool GpsPointModel::drawable(const Point &p)
{
    return p.latitude >= -90 && p.latitude <= 90 && p.longitude >= -180 && p.longitude <= 180;
}

QPointF GpsPointModel::toMercator(double latitude, double longitude)
{
    // Close to the poles the projection runs off to infinity; the map stops
    // at about 85.05 degrees anyway.
    const double lat = qBound(-89.9, latitude, 89.9) * M_PI / 180;
    return { (longitude + 180) / 360,
        (1 - std::log(std::tan(lat) + 1 / std::cos(lat)) / M_PI) / 2 };
}

void GpsPointModel::setPoints(const QVariant &list)
{
    QVariant v = list;
    if (v.userType() == qMetaTypeId<QJSValue>())
        v = v.value<QJSValue>().toVariant();
    received_ = v.toList();
    points.clear();
    points.reserve(received_.size());
    for (const QVariant &p : qAsConst(received_))
        points.append(parse(p));
    // A log usually arrives in time order; sort only when it does not.
    sorted.resize(points.size());
    for (int i = 0; i < sorted.size(); ++i)
        sorted[i] = i;
    const auto earlier = [this](int a, int b) { return points[a].timeUnx < points[b].timeUnx; };
    if (!std::is_sorted(sorted.begin(), sorted.end(), earlier))
        std::stable_sort(sorted.begin(), sorted.end(), earlier);
    rebuild();
}

void GpsPointModel::setFilter(const QString &date, const QString &hour)
{
    if (date == filterDate && hour == filterHour)
        return;
    filterDate = date;
    filterHour = hour;
    rebuild();
}

void GpsPointModel::rebuild()
{
    QVector<int> shown;
    shown.reserve(sorted.size());
    for (int i : qAsConst(sorted)) {
        const Point &p = points[i];
        if (!filterDate.isEmpty()
            && (p.date != filterDate || (!filterHour.isEmpty() && !p.time.startsWith(filterHour))))
            continue;
        shown.append(i);
    }
    // The rows the view has keep their places and change their values; only
    // the rows beyond are added or taken away. So a new log does not make the
    // view build its rows' items anew (each made and dropped item is work
    // for the script engine's garbage collector).
    const int before = rows.size(), after = shown.size();
    if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        rows.resize(after);
        endRemoveRows();
    }
    const int kept = std::min(before, after);
    for (int r = 0; r < kept; ++r)
        rows[r] = shown[r];
    if (kept > 0)
        emit dataChanged(index(0), index(kept - 1));
    if (after > before) {
        beginInsertRows(QModelIndex(), before, after - 1);
        rows = shown;
        endInsertRows();
    }

    // Tracks: a gap of trackGap seconds or more ends the current track,
    // unless it holds two points or fewer (such a short piece carries on into
    // the next one); a single point makes no line.
    logTracks.clear();
    Track track;
    const Point *previous = nullptr;
    const auto finish = [&] {
        if (track.mercator.size() >= 2) {
            track.color = QColor(trackColours[logTracks.size() % 5]);
            logTracks.append(track);
        }
        track = Track();
    };
    for (int i : qAsConst(rows)) {
        const Point &p = points[i];
        if (!drawable(p))
            continue;
        if (previous && p.timeUnx - previous->timeUnx >= trackGap && track.mercator.size() > 2)
            finish();
        track.mercator.append(toMercator(p.latitude, p.longitude));
        track.coordinates.append({ p.latitude, p.longitude });
        previous = &p;
    }
    finish();
    if (before != after)
        emit countChanged();
    emit tracksChanged();
}

QVariantMap GpsPointModel::rowMap(const Point &p, int index) const
{
    return { { "num", index + 1 }, { "date", p.date }, { "time", p.time },
        { "lat", QString::number(std::fabs(p.latitude), 'f', 6) },
        { "lng", QString::number(std::fabs(p.longitude), 'f', 6) },
        { "sn", hemispheres.value(p.north ? 0 : 1) }, { "ew", hemispheres.value(p.west ? 2 : 3) },
        { "ident", QString() }, { "latitude", p.latitude }, { "longitude", p.longitude },
        { "time_unx", p.timeUnx } };
}

QVariantMap GpsPointModel::get(int row) const
{
    return row >= 0 && row < rows.size() ? rowMap(points[rows[row]], rows[row]) : QVariantMap();
}

QVariantMap GpsPointModel::received(int index) const
{
    return index >= 0 && index < points.size() ? rowMap(points[index], index) : QVariantMap();
}

QVariantList GpsPointModel::shownPoints() const
{
    QVariantList out;
    out.reserve(rows.size());
    for (int i : rows)
        out.append(received_.at(i));
    return out;
}

QVariantMap GpsPointModel::trackMap(const Track &t) const
{
    QVariantList path;
    for (const QPointF &c : t.coordinates)
        path.append(QVariantMap { { "latitude", c.x() }, { "longitude", c.y() } });
    return { { "color", t.color }, { "path", path } };
}

QVariantMap GpsPointModel::track(int index) const
{
    return index >= 0 && index < logTracks.size() ? trackMap(logTracks[index]) : QVariantMap();
}

QVector<const GpsPointModel::Track *> GpsPointModel::tracks() const
{
    QVector<const Track *> all;
    for (const Track &t : logTracks)
        all.append(&t);
    for (const auto &l : live)
        all.append(&l.second);
    return all;
}

bool GpsPointModel::addLivePoint(
    const QString &station, double latitude, double longitude, const QColor &color)
{
    Point p;
    p.latitude = latitude;
    p.longitude = longitude;
    if (!drawable(p))
        return false;
    auto it
        = std::find_if(live.begin(), live.end(), [&](const auto &l) { return l.first == station; });
    if (it == live.end()) {
        live.append({ station, Track { color, {}, {} } });
        it = live.end() - 1;
    }
    it->second.mercator.append(toMercator(latitude, longitude));
    it->second.coordinates.append({ latitude, longitude });
    emit tracksChanged();
    return true;
}

void GpsPointModel::clearLive()
{
    live.clear();
    emit tracksChanged();
}

QVariantMap GpsPointModel::liveTrack(const QString &station) const
{
    for (const auto &l : live)
        if (l.first == station)
            return trackMap(l.second);
    return {};
}
