// The GPS tab's data in C++: the radio's log as received, the rows the point
// table shows (sorted by time, filtered by day and hour), the log split into
// tracks, and the live tracks of the stations heard on the serial port.
// Holding them here, not as script objects, lets a log of 31 370 points reach
// the table and the map without making work for the script engine's
// garbage collector.
#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QPointF>
#include <QStringList>
#include <QVector>

class GpsPointModel : public QAbstractListModel {
    Q_OBJECT
    // Rows the table shows.
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // Points received, filtered or not.
    Q_PROPERTY(int pointCount READ pointCount NOTIFY countChanged)
    Q_PROPERTY(int trackCount READ trackCount NOTIFY tracksChanged)
    // Hemisphere letters: north, south, west, east.
    Q_PROPERTY(QStringList letters READ letters WRITE setLetters NOTIFY lettersChanged)
    // An object with the signal signalGPSReadyRead(QVariant) (the back end):
    // its logs are taken in directly, without passing through a script.
    Q_PROPERTY(QObject *source READ source WRITE setSource NOTIFY sourceChanged)

public:
    enum Role { Num = Qt::UserRole + 1, Date, Time, Lng, Ew, Lat, Sn, Ident, Latitude, Longitude };

    // A line on the map: the points in Web Mercator units (x and y from 0 to
    // 1 over the world, y growing southwards).
    struct Track {
        QColor color;
        QVector<QPointF> mercator;
        QVector<QPointF> coordinates; // latitude, longitude
    };

    // Two neighbouring points this many seconds apart or more start a new track.
    static constexpr double trackGap = 1000;

    explicit GpsPointModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return rows.size(); }
    int pointCount() const { return points.size(); }
    int trackCount() const { return logTracks.size(); }
    QStringList letters() const { return hemispheres; }
    void setLetters(const QStringList &letters);
    QObject *source() const { return sourceObject; }
    void setSource(QObject *object);

    // Every track to draw: the log's, then the live ones.
    QVector<const Track *> tracks() const;

    // Takes a new log: a list of point maps (lat, lng, sn, ew, date, time,
    // time_unx), from C++ or a script array.
    Q_INVOKABLE void setPoints(const QVariant &list);
    // Keeps only one day ("31.12.18"), and of it one hour ("14") when not
    // empty; an empty day keeps everything.
    Q_INVOKABLE void setFilter(const QString &date, const QString &hour);
    // The row the table shows at `row`, with the roles as keys.
    Q_INVOKABLE QVariantMap get(int row) const;
    // The received point at `index` as a row (for centring the map).
    Q_INVOKABLE QVariantMap received(int index) const;
    // The points the table shows, as received.
    Q_INVOKABLE QVariantList shownPoints() const;
    // A track for inspection: color, path (latitude, longitude maps).
    Q_INVOKABLE QVariantMap track(int index) const;

    // Live tracks, one per station.
    Q_INVOKABLE bool addLivePoint(
        const QString &station, double latitude, double longitude, const QColor &color);
    Q_INVOKABLE void clearLive();
    Q_INVOKABLE QVariantMap liveTrack(const QString &station) const;
    Q_INVOKABLE int liveTrackCount() const { return live.size(); }

    static QPointF toMercator(double latitude, double longitude);

signals:
    void countChanged();
    void tracksChanged();
    void lettersChanged();
    void sourceChanged();
    // A log from the source has been taken in.
    void logReceived();

private:
    struct Point {
        QString date, time;
        double timeUnx = 0;
        double latitude = 0, longitude = 0;
        bool north = true, west = false;
    };
    static Point parse(const QVariant &value);
    static bool drawable(const Point &p);
    QVariantMap rowMap(const Point &p, int index) const;
    QVariantMap trackMap(const Track &t) const;
    void rebuild();

private slots:
    void onSourceLog(const QVariant &list);

private:
    QVariantList received_;
    QVector<Point> points;
    QVector<int> sorted; // indices into points, by time
    QVector<int> rows; // what the table shows
    QString filterDate, filterHour;
    QVector<Track> logTracks;
    QVector<QPair<QString, Track>> live;
    QStringList hemispheres;
    QObject *sourceObject = nullptr;
};
