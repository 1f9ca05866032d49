#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

// GPX 1.1 export of GPS points (the maps of the radio's log and of the NMEA
// reader) and the reading of recorded NMEA captures.
namespace Gpx {

// Two neighbouring points this many seconds apart or more end a segment of
// a split track, as they end a track on the map.
constexpr qint64 PauseSeconds = 1000;

// The program's name and version, as written into the files it makes.
QString creator();

// A GPX 1.1 document with one track named trackName: the points sorted by
// time, in one segment, or (splitAtPauses) a new segment after every pause of
// PauseSeconds, where the segment so far holds more than two points (the
// rule the map draws its tracks by). Points without a usable position are left
// out. Times are UTC; "msec" adds milliseconds, "alt" an elevation. A
// two-digit year of the radio's log (below 100) is read as 1980-2079.
QByteArray document(const QVariantList &points, bool splitAtPauses, const QString &trackName,
    int *written = nullptr);

// Writes the document to path through a temporary file. False, with nothing
// written, when no point could be written or the file could not be saved.
bool save(const QString &path, const QVariantList &points, bool splitAtPauses,
    const QString &trackName, QString *error);

// Whether a file's first bytes are text of an NMEA capture rather than a
// GPS point file (a data stream, which starts with a zero byte).
bool looksLikeNmea(const QByteArray &head);

// The fixes of a whole NMEA capture, "num_id" 1, as the serial port gives them.
QVariantList readCapture(const QByteArray &capture);

} // namespace Gpx
