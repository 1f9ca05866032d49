.pragma library

// Table rows, filtering and track splitting for the GPS tab. Pure functions,
// so that they can be tested and timed without a map.

// Two neighbouring points this many seconds apart or more start a new track.
var trackGap = 1000

// Track colours, used in turn.
var trackColors = ["blue", "red", "black", "darkgreen", "brown"]

// Colours of the stations heard on the serial port, apart from the log's.
var stationColors = ["darkorange", "purple", "deeppink", "teal", "olive"]

function colorAt(i) {
    return trackColors[i % trackColors.length]
}

function stationColorAt(i) {
    return stationColors[i % stationColors.length]
}

// A row of the point table. "latitude" and "longitude" are the signed
// coordinates the map draws (a row serves as a path coordinate as it is);
// the texts of the table ("lat", "lng", "sn", "ew") are made only for the
// rows a view shows.
function Row(point, index, letters) {
    var lat = Number(point.lat)
    var lng = Number(point.lng)
    this.num = index + 1
    this.date = String(point.date)
    this.time = String(point.time)
    this.time_unx = Number(point.time_unx)
    this.north = Number(point.sn) === 0x4E
    this.west = Number(point.ew) === 0x57
    this.latitude = this.north ? lat : -lat
    this.longitude = this.west ? -lng : lng
    this.letters = letters
}
Row.prototype = {
    get lat() { return Math.abs(this.latitude).toFixed(6) },
    get lng() { return Math.abs(this.longitude).toFixed(6) },
    get sn() { return this.north ? this.letters.north : this.letters.south },
    get ew() { return this.west ? this.letters.west : this.letters.east },
    get ident() { return "" }
}

function toRow(point, index, letters) {
    return new Row(point, index, letters)
}

// "31.12.2018" -> "31.12.18", the form of a point's "date".
function dateKey(dateText) {
    var s = String(dateText)
    return s.substr(0, 6) + s.substr(8, 2)
}

// "14:00" -> "14".
function hourKey(hourText) {
    return String(hourText).substr(0, 2)
}

// Rows of every point, sorted by time, then filtered. An empty date keeps
// everything; a date with an empty hour keeps that day; both keep that hour
// of that day.
function buildRows(points, date, hour, letters) {
    var rows = new Array(points.length)
    for (var i = 0; i < points.length; ++i)
        rows[i] = toRow(points[i], i, letters)
    // A log usually arrives in time order; sort only when it does not.
    for (var k = 1; k < rows.length; ++k) {
        if (rows[k].time_unx < rows[k - 1].time_unx) {
            rows.sort(function (a, b) { return a.time_unx - b.time_unx || a.num - b.num })
            break
        }
    }
    if (!date)
        return rows
    var kept = []
    for (var j = 0; j < rows.length; ++j) {
        var r = rows[j]
        if (r.date !== date)
            continue
        if (hour && r.time.substr(0, hour.length) !== hour)
            continue
        kept.push(r)
    }
    return kept
}

// Whether a row can be put on the map: a record with a broken coordinate
// (infinite, or beyond the poles or the date line) stays in the table but
// would make the map refuse the whole track it belongs to.
function drawable(r) {
    return r.latitude >= -90 && r.latitude <= 90 && r.longitude >= -180 && r.longitude <= 180
}

// Splits time-sorted rows into tracks, each a list of rows. A gap of
// trackGap seconds or more ends the current track, unless it holds two
// points or fewer: such a short piece carries on into the next one. Rows
// that cannot be drawn are left out.
function splitTracks(rows) {
    var tracks = []
    var track = []
    var previous = null
    for (var i = 0; i < rows.length; ++i) {
        var r = rows[i]
        if (!drawable(r))
            continue
        if (previous !== null && r.time_unx - previous.time_unx >= trackGap && track.length > 2) {
            tracks.push(track)
            track = []
        }
        track.push(r)
        previous = r
    }
    if (track.length > 0)
        tracks.push(track)
    return tracks
}
