import QtQuick 2.7
import QtTest 1.2
import QtPositioning 5.3
import "Helpers.js" as H

TestCase {
    id: testCase
    name: "GpsTab"
    when: windowShown
    width: 1080
    height: 600
    visible: true // the tabs are created inside and must be shown for clicks

    // 25.11.19 12:00:00 UTC as the radio's time key.
    readonly property real noon: 2170330816

    Component {
        id: tabComponent
        Loader {
            width: 1080; height: 600
            Component.onCompleted: setSource("qrc:/qml/Tabs/TabGPS.qml", { mapPluginName: "itemsoverlay" })
        }
    }

    SignalSpy { id: readSpy; signalName: "readGPSClicked" }

    property var tab: null
    function init() {
        var loader = createTemporaryObject(tabComponent, testCase)
        tryCompare(loader, "status", Loader.Ready)
        tab = loader.item
        tab.filterCheck.checked = false
    }

    function callsOf(name) { return Manager.calls().filter(function (c) { return c.name === name }) }
    function lastArgs(name) { var c = callsOf(name); return c.length ? c[c.length - 1].args : [] }

    // A point at the given seconds after 12:00:00 on the given date.
    function point(offset, date, lat, lng) {
        var t = new Date((12 * 3600 + offset) * 1000).toISOString().substr(11, 8)
        return { lat: lat === undefined ? 55.75 + offset / 1e5 : lat, lng: lng === undefined ? 37.61 + offset / 1e5 : lng,
                 sn: 0x4E, ew: 0x45, date: date || "25.11.19", time: t, time_unx: String(noon + offset), num_id: 0 }
    }

    function at(hms) { return point(Date.parse("1970-01-01T" + hms + "Z") / 1000 - 12 * 3600) }

    function trackSizes(tab) {
        return H.range(tab.pointModel.trackCount).map(function (i) { return tab.pointModel.track(i).path.length })
    }
    function rows(tab) { return H.range(tab.pointModel.count).map(function (i) { return tab.pointModel.get(i) }) }

    // How the log is cut into tracks; a broken coordinate is left out of the drawing without cutting the
    // track or a live station's track.
    function test_trackSplitting_data() {
        return [
            { tag: "two points then a gap carry on", times: ["10:00:00", "10:05:00", "12:00:00", "12:01:00"], sizes: [4] },
            { tag: "three points then a gap split", times: ["10:00:00", "10:01:00", "10:02:00", "12:00:00", "12:01:00"], sizes: [3, 2] },
            { tag: "999 s apart is one track", times: ["10:00:00", "10:16:39", "10:33:18"], sizes: [3] },
            { tag: "1000 s after three points splits", times: ["10:00:00", "10:00:01", "10:00:02", "10:16:42", "10:16:43"], sizes: [3, 2] },
            { tag: "gap at the second point keeps the first", times: ["08:00:00", "10:00:00", "10:00:10", "10:00:20"], sizes: [4] },
            { tag: "received out of order", times: ["12:01:00", "10:05:00", "12:00:00", "10:00:00"], sizes: [4] },
            { tag: "single point draws nothing", times: ["10:00:00"], sizes: [] },
            { tag: "empty", times: [], sizes: [] },
            { tag: "infinite latitude", bad: [Infinity, 37.6] },
            { tag: "latitude beyond the pole", bad: [9959.5, 37.6] },
            { tag: "longitude beyond the date line", bad: [55.7, 181] }
        ]
    }
    function test_trackSplitting(data) {
        if (data.bad) {
            tab.setGpsModel([point(0), point(10), point(20, "25.11.19", data.bad[0], data.bad[1]), point(30)])
            compare([tab.pointModel.count, trackSizes(tab)], [4, [3]])
            Manager.signalSerialData([serialPoint(3, data.bad[0], data.bad[1]), serialPoint(3, 48, 11)])
            compare(tab.pointModel.liveTrack("3").path.length, 1)
            return
        }
        tab.setGpsModel(data.times.map(at))
        compare([tab.pointModel.count, trackSizes(tab)], [data.times.length, data.sizes])
    }

    // Tracks in time order, their colours going round every five.
    function test_trackOrderAndColours() {
        var m = tab.pointModel
        tab.setGpsModel(H.range(18).reverse().map(function (i) { return point(Math.floor(i / 3) * 5000 + (i % 3) * 10) }))
        compare(trackSizes(tab), [3, 3, 3, 3, 3, 3])
        compare(H.range(6).map(function (k) { return Qt.colorEqual(m.track(k).color, m.track(k > 0 ? k - 1 : 5).color) }),
                [true, false, false, false, false, false])
        fuzzyCompare(m.track(1).path[0].latitude, 55.75 + 0.05, 1e-9)
    }

    // The tracks reach the drawn frame (the software backend included): their colour lies under the
    // points and between them, also after the map has moved, and not away from the track.
    function test_tracksDrawn_data() {
        return [
            { tag: "log", live: false, colour: "blue", zoom: 15 },
            { tag: "live station", live: true, colour: "darkorange", zoom: 15 },
            { tag: "log after a pan and zoom", live: false, colour: "blue", zoom: 16, lng: 37.616 }
        ]
    }
    function test_tracksDrawn(data) {
        var c = [[55.750, 37.610], [55.752, 37.614], [55.751, 37.619]]
        if (data.live)
            Manager.signalSerialData(c.map(function (x) { return serialPoint(2, x[0], x[1]) }))
        else
            tab.setGpsModel(c.map(function (x, i) { return point(i * 10, "25.11.19", x[0], x[1]) }))
        Frame.colours(tab.map, []) // a frame drawn before the map moves
        tab.map.zoomLevel = data.zoom
        tab.map.center = QtPositioning.coordinate(55.751, data.lng || 37.614)
        var on = [], prev = null
        for (var i = 0; i < c.length; ++i) {
            var p = tab.map.fromCoordinate(QtPositioning.coordinate(c[i][0], c[i][1]), false)
            if (prev)
                on.push(Qt.point((p.x + prev.x) / 2, (p.y + prev.y) / 2))
            on.push(p)
            prev = p
        }
        var off = [Qt.point(10, 10), Qt.point(10, tab.map.height - 10)]
        var got = Frame.colours(tab.map, off.concat(on))
        // The line is drawn at 0.8 opacity over the map's background.
        var bg = got[0], want = Qt.lighter(data.colour, 1)
        var near = function (x) {
            return ["r", "g", "b"].every(function (k) { return Math.abs(x[k] - (0.8 * want[k] + 0.2 * bg[k])) < 0.1 })
        }
        verify(!near(got[1]), "track colour away from the track")
        for (var k = 0; k < on.length; ++k)
            verify(near(got[off.length + k]), "point " + k + ": " + got[off.length + k])
    }

    function test_rowsSortedAndFormatted() {
        // One point alone moves the map nowhere; two or more centre it on the second point received.
        Object.assign(tab.map, { center: QtPositioning.coordinate(10, 20), zoomLevel: 10 })
        tab.setGpsModel([point(0, "25.11.19", 50, 30)])
        fuzzyCompare(tab.map.center.latitude + tab.map.center.longitude, 30, 1e-6)
        compare(tab.map.zoomLevel, 10)
        var south = Object.assign(point(30, "25.11.19", 33.5, 151.25), { sn: 0x53, ew: 0x57 })
        tab.setGpsModel([point(60), south, point(0)])
        var r = rows(tab)
        compare([tab.pointTable.rowCount, r.map(function (x) { return x.num })], [3, [3, 2, 1]])
        compare([r[1].time, r[1].lat, r[1].lng, r[1].sn, r[1].ew, r[0].sn, r[0].ew, r[0].ident],
                ["12:00:30", "33.500000", "151.250000", "Ю", "З", "С", "В", ""])
        // The cells in sight show the rows' texts.
        waitForRendering(tab)
        compare(["33.500000", "151.250000", "12:00:30", "Ю"].map(function (t) { return H.countText(tab.pointTable, t) }),
                [1, 1, 1, 1])
        // On the map the hemisphere gives the sign.
        var p = tab.pointModel.track(0).path[1], c = tab.map.center
        compare([p.latitude, p.longitude, c.latitude, c.longitude, tab.map.zoomLevel].map(function (v) {
            return v.toFixed(5) }), ["-33.50000", "-151.25000", "-33.50000", "-151.25000", "15.00000"])
        // The tab's texts and the hemisphere letters follow the language (the other tabs: the window's end-to-end
        // test).
        verify(Manager.setLanguage("en"), "QmlLanguage_en.qm is missing")
        var en = rows(tab)
        compare([tab.readButton.text, tab.portButton.text, en[1].sn, en[1].ew, en[0].sn, en[0].ew],
                [" Read data ", "Open", "S", "W", "N", "E"])
        Manager.setLanguage("ru")
    }

    function filterList() {
        return [
            point(2 * 3600, "31.12.18"),        // 14:00:00
            point(2 * 3600 + 1800, "31.12.18"), // 14:30:00
            point(3 * 3600, "31.12.18"),        // 15:00:00
            point(2 * 3600 + 60, "01.01.19"),   // 14:01:00
            point(-10 * 3600, "31.12.18")       // 02:00:00
        ]
    }

    // The filter by day and hour, set in the fields, the calendar, the hour list or typed; the tracks are
    // drawn again from what is shown (unfiltered, 02:00 alone carries on into 14:00 and 14:01).
    function test_filterTable_data() {
        return [
            { tag: "off", on: false, date: "31.12.2018", hour: "14:00", times: ["02:00:00", "14:00:00", "14:01:00", "14:30:00", "15:00:00"], tracks: [3, 2] },
            { tag: "date and hour", on: true, date: "31.12.2018", hour: "14:00", times: ["14:00:00", "14:30:00"], tracks: [2] },
            { tag: "date only", on: true, date: "31.12.2018", hour: "", times: ["02:00:00", "14:00:00", "14:30:00", "15:00:00"] },
            { tag: "other day", on: true, date: "01.01.2019", hour: "14", times: ["14:01:00"], tracks: [] },
            { tag: "hour 02", on: true, date: "31.12.2018", hour: "02:00", times: ["02:00:00"], tracks: [] },
            { tag: "no match", on: true, date: "30.12.2018", hour: "", times: [] },
            { tag: "calendar", on: true, date: "15.03.2019", hour: "", via: "date", times: ["02:00:00", "14:00:00", "14:30:00", "15:00:00"] },
            { tag: "hour list", on: true, date: "31.12.2018", hour: "", via: "hour", times: ["15:00:00"] },
            { tag: "hour typed", on: true, date: "31.12.2018", hour: "", via: "typed", times: ["02:00:00"] }
        ]
    }
    function test_filterTable(data) {
        tab.setGpsModel(filterList())
        tab.dateField.text = data.date
        tab.hourField.text = data.hour
        tab.filterCheck.checked = data.on
        if (data.via === "date") {
            mouseClick(tab.dateButton)
            var cal = tab.dateDialog.calendar
            compare([cal.selectedDate.getDate(), cal.selectedDate.getMonth()], [15, 2])
            cal.selectedDate = new Date(2018, 11, 31)
            tab.dateDialog.apply()
            compare([tab.dateDialog.visible, tab.dateField.text], [false, "31.12.2018"])
        } else if (data.via === "hour") {
            tab.hourDialog.show()
            compare([tab.hourDialog.combo.currentText, tab.hourDialog.combo.count], ["12:00", 24])
            tab.hourDialog.combo.currentIndex = 15
            tab.hourDialog.apply()
            compare([tab.hourDialog.visible, tab.hourField.text], [false, "15:00"])
        } else if (data.via === "typed") {
            tab.hourField.forceActiveFocus()
            H.typeText(testCase, "02")
            keyClick(Qt.Key_Return)
        }
        compare([H.names(rows(tab), "time"), tab.pointTable.rowCount], [data.times, data.times.length])
        // The log exported as GPX holds what is shown.
        tab.fileChosen("gpx_log", "file:///tmp/track")
        var gpx = lastArgs("exportGpx")
        compare([gpx[0], gpx[1].map(function (p) { return p.time }).sort()], ["file:///tmp/track.gpx", data.times])
        tab.portMessage.close()
        if (data.tracks)
            compare(trackSizes(tab), data.tracks)
        compare([tab.dateField.enabled, tab.hourField.enabled], [data.on, data.on])
        // Switching off (or a read) shows everything again.
        if (data.tag === "no match") {
            readSpy.target = tab
            readSpy.clear()
            mouseClick(tab.readButton)
            compare([readSpy.count, tab.filterCheck.checked], [1, false])
        }
        tab.filterCheck.checked = false
        compare(tab.pointModel.count, 5)
    }

    function test_serialPort() {
        compare([tab.portCombo.count, tab.portCombo.currentText], [2, "ttyS0"])
        tab.portCombo.currentIndex = 1
        Manager.clearCalls()
        mouseClick(tab.portButton)
        compare(Manager.calls(), [{ "name": "openSerialPortAt", "args": ["ttyUSB0", 9600] }])
        compare([tab.portButton.text, tab.portCombo.enabled, tab.portMessage.visible], ["Закрыть", false, false])
        mouseClick(tab.portButton)
        compare([H.names(Manager.calls()), tab.portButton.text], [["openSerialPortAt", "closeSerialPort"], "Открыть"])
        // A port that does not open is named in a message.
        Manager.openResult = -1
        mouseClick(tab.portButton)
        compare([callsOf("openSerialPortAt").length, tab.portButton.text, tab.portMessage.visible], [2, "Открыть", true])
        verify(tab.portMessage.text.indexOf("ttyUSB0") >= 0, tab.portMessage.text)
        tab.portMessage.close()
        Manager.openResult = 0
        // The chosen rate goes to the port; the receiver's state is shown; an unplugged receiver closes
        // the port with a message.
        tab.baudCombo.currentIndex = 5
        mouseClick(tab.portButton)
        compare([lastArgs("openSerialPortAt")[1], tab.baudCombo.enabled], [115200, false])
        Manager.signalReceiverState({ state: "fix", satellites: 7, lastFix: "12:34:56" })
        compare(tab.receiverText.text, "Приёмник: есть решение, спутников: 7, последнее: 12:34:56")
        Manager.signalSerialPortLost("Input/output error")
        compare([tab.portButton.text, tab.portMessage.text.indexOf("Input/output error") >= 0], ["Открыть", true])
        tab.portMessage.close()
        // A new port list refills the box; with none there is nothing to open.
        Manager.signalSerialPortsList(["COM3", "COM7", "COM9"])
        compare([tab.portCombo.count, tab.portCombo.currentText], [3, "COM3"])
        Manager.signalSerialPortsList([])
        mouseClick(tab.portButton)
        verify(tab.portMessage.visible)
        tab.portMessage.close()
    }

    function serialPoint(id, lat, lng) { return Object.assign(point(0, "", lat, lng), { num_id: id }) }

    function test_serialPointsOwnTrack() {
        tab.setGpsModel([at("10:00:00"), at("10:00:10"), at("10:00:20")])
        compare(tab.pointModel.trackCount, 1)
        Manager.signalSerialData([serialPoint(1, 48.1, 11.5), serialPoint(1, 48.2, 11.6), serialPoint(7, 40, 20)])
        var m = tab.identModel
        compare([m.count, m.get(0).num, m.get(0).ident, m.get(0).on, m.get(1).num, m.get(1).ident], [2, 1, "1", false, 2, "7"])
        compare([tab.pointModel.liveTrack("1").path.length, tab.pointModel.liveTrack("7").path.length], [2, 1])
        fuzzyCompare(tab.pointModel.liveTrack("1").path[1].latitude, 48.2, 1e-9)
        // More positions of a known station extend its track, no new row.
        Manager.signalSerialData([serialPoint(1, 48.3, 11.7)])
        compare([m.count, tab.pointModel.liveTrack("1").path.length], [2, 3])
        // The log tracks are untouched by the stream and the stream by a new log.
        compare([tab.pointModel.trackCount, tab.pointModel.count], [1, 3])
        tab.setGpsModel([at("11:00:00"), at("11:00:10")])
        compare([tab.pointModel.liveTrack("1").path.length, tab.pointModel.liveTrackCount()], [3, 2])
        // A ticked station is followed.
        tab.identModel.setProperty(1, "on", true)
        Manager.signalSerialData([serialPoint(7, 41, 21)])
        compare([tab.map.center.latitude.toFixed(6), tab.map.center.longitude.toFixed(6)], ["41.000000", "21.000000"])
        // The live tracks exported as GPX: under the name given, the outcome said.
        tab.fileChosen("gpx_live", "file:///tmp/live.GPX")
        compare([lastArgs("exportLiveGpx"), tab.portMessage.text.length > 0], [["file:///tmp/live.GPX"], true])
        tab.portMessage.close()
    }

    // A header divider dragged sideways resizes its column, no narrower than the minimum; the cells and
    // the columns after it follow.
    function test_columnResizeByDragging() {
        tab.setGpsModel([point(0)])
        waitForRendering(tab)
        var table = tab.pointTable, divider = findChild(table, "pointColumnDivider1")
        var row = findChild(table, "pointList").itemAtIndex(0)
        var steps = [[30, 80, table.xs[2] + 30], [-200, table.minimumWidth, table.xs[2] - 50 + table.minimumWidth]]
        for (var i = 0; i < steps.length; ++i) {
            // Pressed and moved in the table's place: the divider moves along.
            var p = divider.mapToItem(table, 4, 10)
            mousePress(table, p.x, p.y)
            mouseMove(table, p.x + steps[i][0], p.y)
            mouseRelease(table, p.x + steps[i][0], p.y)
            compare([table.widths[1], row.children[1].width, row.children[2].x, row.children[2].text],
                    [steps[i][1], steps[i][1], steps[i][2], "12:00:00"])
        }
    }
}
