import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.1
import QtQuick.Dialogs 1.2
import QtQuick.Window 2.2
import QtLocation 5.6
import QtPositioning 5.3
import Orvane.Quick 1.0

// The GPS tab: the radio's position log as a table and as tracks on a map,
// a date and hour filter, the log read and file buttons, and a serial GPS
// receiver whose stations are listed and drawn live.
Item {
    id: tab

    // The map plugin; "itemsoverlay" draws the tracks without fetching tiles.
    property string mapPluginName: "osm"
    property var defaultCenter: QtPositioning.coordinate(55.755826, 37.6173)

    // The log as received, the table's rows (sorted by time, filtered), the
    // log's tracks and the live ones. The main screen hands in its own, which
    // takes the logs from the back end directly.
    property GpsPointModel pointModel: ownPoints
    // A model handed in later (the tab is made when first needed) may hold a
    // log already.
    onPointModelChanged: {
        pointModel.letters = [qsTr("С"), qsTr("Ю"), qsTr("З"), qsTr("В")]
        centreOnLog()
    }
    property bool portOpen: false
    property var receiverState: ({ state: "nodata", satellites: -1, lastFix: "" })
    // The map plugin's set-up from the back end (user agent, tile server,
    // disk cache, attribution); none without one (tests).
    readonly property var mapSetup: typeof Manager !== "undefined" && Manager.mapSettings ? Manager.mapSettings() : null
    property int langTick: 0          // bumped to re-evaluate every text

    property alias map: map
    property alias trackLayer: trackLayer
    property alias pointTable: pointTable
    property alias identModel: identModel
    property alias filterCheck: filterCheck
    property alias dateField: dateField
    property alias hourField: hourField
    property alias dateDialog: dateDialog
    property alias hourDialog: hourDialog
    property alias portButton: portButton
    property alias portCombo: portCombo
    property alias portMessage: portMessage
    property alias readButton: readButton
    property alias dateButton: dateButton
    property alias baudCombo: baudCombo
    property alias receiverText: receiverText
    property alias attribution: attribution

    signal readGPSClicked()
    signal saveGPSClicked()
    signal openGPSClicked()

    readonly property string dialogTitle: (langTick, qsTr("Варлин ДМР Орвейн 2.4"))

    function retranslateUi() {
        var hourIndex = hourCombo.currentIndex
        langTick++
        hourCombo.currentIndex = hourIndex
        // The hemisphere letters of the table.
        pointModel.letters = [qsTr("С"), qsTr("Ю"), qsTr("З"), qsTr("В")]
    }

    // Colours of the stations heard on the serial port, apart from the log's.
    readonly property var stationColors: ["darkorange", "purple", "deeppink", "teal", "olive"]

    function setGpsModel(list) {
        pointModel.setPoints(list ? list : [])
        centreOnLog()
    }

    // A new log: the map goes to its second point as received.
    function centreOnLog() {
        if (pointModel.pointCount >= 2) {
            var p = pointModel.received(1)
            map.center = QtPositioning.coordinate(p.latitude, p.longitude)
            map.zoomLevel = 15
        }
    }

    // "31.12.2018" -> "31.12.18" (a point's date), "14:00" -> "14".
    function applyFilter() {
        var on = filterCheck.checked
        var d = String(dateField.text)
        pointModel.setFilter(on ? d.substr(0, 6) + d.substr(8, 2) : "",
                             on ? String(hourField.text).substr(0, 2) : "")
    }

    // Points from the serial receiver: one identifier row per station, and
    // each station's positions drawn as its own track.
    function addSerialPoints(list) {
        if (!list)
            return
        if (list.length === undefined)
            list = [list]
        for (var i = 0; i < list.length; ++i) {
            var p = list[i]
            if (!p || p.lat === undefined || p.lng === undefined)
                continue
            var id = String(p.num_id)
            var row = identRow(id)
            if (row < 0) {
                row = identModel.count
                identModel.append({ num: row + 1, on: false, color: stationColors[row % stationColors.length], ident: id })
            }
            // On the map the hemisphere gives the sign.
            var lat = Number(p.sn) === 0x4E ? Number(p.lat) : -Number(p.lat)
            var lng = Number(p.ew) === 0x57 ? -Number(p.lng) : Number(p.lng)
            if (!pointModel.addLivePoint(id, lat, lng, identModel.get(row).color))
                continue
            if (identModel.get(row).on)
                map.center = QtPositioning.coordinate(lat, lng)
        }
    }

    function identRow(id) {
        for (var i = 0; i < identModel.count; ++i)
            if (identModel.get(i).ident === id)
                return i
        return -1
    }

    function clearSerialTracks() { pointModel.clearLive() }

    function receiverSummary(s) {
        if (!s || s.state === "nodata")
            return qsTr("Приёмник: нет данных")
        var text = s.state === "fix" ? qsTr("Приёмник: есть решение") : qsTr("Приёмник: нет решения")
        if (s.satellites >= 0)
            text += qsTr(", спутников: %1").arg(s.satellites)
        if (s.lastFix)
            text += qsTr(", последнее: %1").arg(s.lastFix)
        return text
    }

    // What a chosen file is for: "gpx_log", "gpx_live" or "capture".
    function fileChosen(mode, url) {
        if (typeof Manager === "undefined")
            return
        if (mode === "capture") {
            clearSerialTracks()
            if (!Manager.openCapture(url))
                showPortMessage(qsTr("В записи нет ни одного решения"))
            return
        }
        var name = String(url)
        if (!/\.gpx$/i.test(name))
            name += ".gpx"
        var ok = mode === "gpx_log" ? Manager.exportGpx(name, pointModel.shownPoints()) : Manager.exportLiveGpx(name)
        showPortMessage(ok ? qsTr("Файл GPX сохранён") : qsTr("Файл GPX не сохранён: нет точек или нет доступа"))
    }

    function chooseFile(mode) {
        fileLoader.active = true
        var d = fileLoader.item
        d.mode = mode
        d.selectExisting = mode === "capture"
        d.title = mode === "capture" ? qsTr("Открыть запись") : qsTr("Экспорт GPX")
        d.nameFilters = mode === "capture" ? [qsTr("Записи NMEA (*.nmea *.log *.txt)"), qsTr("Все файлы (*)")]
                                           : ["GPX (*.gpx)"]
        if (mode === "capture" && typeof Manager !== "undefined")
            d.folder = "file://" + Manager.captureFolder()
        d.open()
    }

    function setPorts(list) {
        var names = []
        for (var i = 0; list && i < list.length; ++i) {
            var e = list[i]
            names.push(typeof e === "object" && e !== null ? String(e.name || e.portName || "") : String(e))
        }
        portCombo.model = names
    }

    function togglePort() {
        if (portOpen) {
            if (typeof Manager !== "undefined")
                Manager.closeSerialPort()
            portOpen = false
            return
        }
        var name = portCombo.count > 0 ? portCombo.currentText : ""
        if (name === "") {
            showPortMessage(qsTr("Порт не выбран"))
            return
        }
        var baud = Number(baudCombo.currentText)
        var result = typeof Manager !== "undefined" ? Manager.openSerialPortAt(name, baud) : -1
        if (result === 0) {
            clearSerialTracks() // a new live track
            portOpen = true
        } else {
            showPortMessage(qsTr("Не удалось открыть порт %1").arg(name))
        }
    }

    function showPortMessage(text) {
        portMessage.text = text
        portMessage.open()
    }

    Component.onCompleted: {
        retranslateUi()
        applyFilter()
        if (typeof Manager !== "undefined")
            Manager.getPortsList()
    }

    Connections {
        target: typeof Manager !== "undefined" ? Manager : null
        ignoreUnknownSignals: true
        function onLanguageChanged() { tab.retranslateUi() }
        function onSignalSerialPortsList(data) { tab.setPorts(data) }
        function onSignalSerialData(data) { tab.addSerialPoints(data) }
        function onSignalReceiverState(state) { tab.receiverState = state }
        function onSignalSerialPortLost(message) {
            tab.portOpen = false
            tab.showPortMessage(qsTr("Порт закрыт: приёмник отключён (%1). Принятое сохранено.").arg(message))
        }
    }

    GpsPointModel { id: ownPoints }
    Connections {
        target: tab.pointModel
        function onLogReceived() { tab.centreOnLog() }
    }

    ListModel { id: identModel }

    Component {
        id: headerCell
        Rectangle {
            height: 22
            color: "#EAEAEA"
            Text {
                anchors.fill: parent
                anchors.margins: 2
                text: styleData.value
                font.pixelSize: 12
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 8
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            Rectangle { anchors.right: parent.right; width: 1; height: parent.height; color: "#9F9F9F" }
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: "#9F9F9F" }
        }
    }

    // Buttons along the top.
    RowLayout {
        id: topRow
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 8 }
        height: 28
        spacing: 8
        Button {
            id: readButton
            text: (tab.langTick, qsTr(" Считать данные "))
            onClicked: {
                if (filterCheck.checked)
                    filterCheck.checked = false // rebuilds without filter
                tab.readGPSClicked()
            }
        }
        Button {
            text: (tab.langTick, qsTr(" Открыть "))
            onClicked: tab.openGPSClicked()
        }
        Button {
            text: (tab.langTick, qsTr(" Сохранить "))
            onClicked: tab.saveGPSClicked()
        }
        Button {
            // What the table shows, the filter applied.
            text: (tab.langTick, qsTr("Экспорт GPX…"))
            onClicked: tab.chooseFile("gpx_log")
        }
        Item { Layout.fillWidth: true }
        CheckBox {
            id: pollCheck
            text: (tab.langTick, qsTr("Опрос"))
        }
        Button {
            id: portButton
            text: tab.portOpen ? (tab.langTick, qsTr("Закрыть")) : (tab.langTick, qsTr("Открыть"))
            onClicked: tab.togglePort()
        }
        ComboBox {
            id: portCombo
            Layout.preferredWidth: 100
            enabled: !tab.portOpen
            model: []
        }
        ComboBox {
            id: baudCombo
            Layout.preferredWidth: 80
            enabled: !tab.portOpen
            model: ["4800", "9600", "19200", "38400", "57600", "115200"]
            currentIndex: 1
        }
    }

    // The filter.
    RowLayout {
        id: filterRow
        anchors { left: parent.left; top: topRow.bottom; topMargin: 6; leftMargin: 8 }
        height: 28
        spacing: 6
        CheckBox {
            id: filterCheck
            text: (tab.langTick, qsTr("Фильтрация:"))
            onCheckedChanged: tab.applyFilter()
        }
        TextField {
            id: dateField
            Layout.preferredWidth: 100
            readOnly: true
            enabled: filterCheck.checked
            horizontalAlignment: Text.AlignHCenter
            text: Qt.formatDate(new Date(), "dd.MM.yyyy")
        }
        Button {
            id: dateButton
            Layout.preferredWidth: 30
            text: "..."
            enabled: filterCheck.checked
            onClicked: {
                // Open on the day in the field.
                var p = dateField.text.split(".")
                var day = new Date(Number(p[2]), Number(p[1]) - 1, Number(p[0]))
                calendarLoader.active = true
                dateDialog.calendar.selectedDate = isNaN(day.getTime()) ? new Date() : day
                dateDialog.show()
            }
        }
        TextField {
            id: hourField
            Layout.preferredWidth: 70
            enabled: filterCheck.checked
            horizontalAlignment: Text.AlignHCenter
            text: Qt.formatTime(new Date(), "hh:mm")
            onEditingFinished: tab.applyFilter()
        }
        Button {
            Layout.preferredWidth: 30
            text: "..."
            enabled: filterCheck.checked
            onClicked: hourDialog.show()
        }
        Text {
            id: receiverText
            Layout.leftMargin: 20
            font.pixelSize: 12
            color: tab.receiverState.state === "fix" ? "darkgreen" : "#333333"
            text: (tab.langTick, tab.receiverSummary(tab.receiverState))
        }
        // The receiver's track: a capture replayed into it, or saved as GPX.
        Button {
            Layout.leftMargin: 12
            text: (tab.langTick, qsTr("Открыть запись…"))
            onClicked: tab.chooseFile("capture")
        }
        Button {
            text: (tab.langTick, qsTr("GPX приёмника…"))
            onClicked: tab.chooseFile("gpx_live")
        }
    }

    // Points on the left, the map on the right.
    Item {
        id: leftPane
        anchors { left: parent.left; top: filterRow.bottom; bottom: parent.bottom; margins: 8 }
        width: 458

        // The points, as a light list: a Controls 1 TableView makes a loader
        // and a style object for every cell, and making them for a new log
        // kept the script engine's garbage collector busy.
        Rectangle {
            id: pointTable
            anchors { left: parent.left; right: parent.right; top: parent.top; bottom: identTable.top; bottomMargin: 8 }
            border.color: "#9F9F9F"
            readonly property int rowCount: tab.pointModel.count
            // Column widths; a header divider dragged sideways changes one.
            property var widths: [50, 50, 55, 70, 35, 70, 35, 70]
            readonly property int minimumWidth: 16
            readonly property var xs: {
                var x = [0]
                for (var i = 0; i < widths.length; ++i)
                    x.push(x[i] + widths[i])
                return x
            }
            property alias currentRow: pointList.currentIndex
            function resizeColumn(column, width) {
                var w = widths.slice()
                w[column] = Math.max(minimumWidth, Math.round(width))
                widths = w
            }

            // Header and column lines scroll sideways with the rows.
            Item {
                anchors { fill: parent; margins: 1 }
                clip: true
                Row {
                    id: pointHeader
                    x: -pointList.contentX
                    Repeater {
                        model: ["№", (tab.langTick, qsTr("Дата")), (tab.langTick, qsTr("Время")),
                            (tab.langTick, qsTr("Долгота")), (tab.langTick, qsTr("З/В")),
                            (tab.langTick, qsTr("Широта")), (tab.langTick, qsTr("С/Ю")),
                            (tab.langTick, qsTr("Идентификатор"))]
                        Loader {
                            width: pointTable.widths[index]
                            sourceComponent: headerCell
                            property var styleData: ({ value: modelData })
                            // The divider at the column's right edge.
                            MouseArea {
                                objectName: "pointColumnDivider" + index
                                x: parent.width - 4
                                width: 8
                                height: parent.height
                                cursorShape: Qt.SplitHCursor
                                property real pressX: 0
                                property int pressWidth: 0
                                onPressed: {
                                    pressX = mapToItem(pointTable, mouse.x, 0).x
                                    pressWidth = pointTable.widths[index]
                                }
                                onPositionChanged: pointTable.resizeColumn(index,
                                    pressWidth + mapToItem(pointTable, mouse.x, 0).x - pressX)
                            }
                        }
                    }
                }
                // The column lines, once for the whole list.
                Repeater {
                    model: pointTable.widths.length
                    Rectangle {
                        x: pointTable.xs[index + 1] - 1 - pointList.contentX
                        y: pointHeader.height
                        width: 1
                        height: pointTable.height - y - 2
                        color: "#9F9F9F"
                    }
                }
            }
            ScrollView {
                anchors { left: parent.left; right: parent.right; top: parent.top; bottom: parent.bottom; margins: 1 }
                anchors.topMargin: pointHeader.height + 1
                ListView {
                    id: pointList
                    objectName: "pointList"
                    model: tab.pointModel
                    clip: true
                    contentWidth: Math.max(width, pointTable.xs[pointTable.widths.length])
                    boundsBehavior: Flickable.StopAtBounds
                    currentIndex: -1
                    delegate: Rectangle {
                        readonly property var xs: pointTable.xs
                        width: pointList.contentWidth
                        height: 20
                        color: ListView.isCurrentItem ? "#CFE3FF" : "white"
                        PointCell { x: xs[0]; width: xs[1] - xs[0]; text: model.num }
                        PointCell { x: xs[1]; width: xs[2] - xs[1]; text: model.date }
                        PointCell { x: xs[2]; width: xs[3] - xs[2]; text: model.time }
                        PointCell { x: xs[3]; width: xs[4] - xs[3]; text: model.lng }
                        PointCell { x: xs[4]; width: xs[5] - xs[4]; text: model.ew }
                        PointCell { x: xs[5]; width: xs[6] - xs[5]; text: model.lat }
                        PointCell { x: xs[6]; width: xs[7] - xs[6]; text: model.sn }
                        PointCell { x: xs[7]; width: xs[8] - xs[7]; text: model.ident }
                        Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: "#9F9F9F" }
                        MouseArea { anchors.fill: parent; onClicked: pointList.currentIndex = index }
                    }
                }
            }
        }

        TableView {
            id: identTable
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 130
            model: identModel
            frameVisible: true
            headerDelegate: headerCell
            TableViewColumn { role: "num"; title: "№"; width: 50 }
            TableViewColumn {
                role: "on"; title: (tab.langTick, qsTr("ВКЛ")); width: 50
                delegate: CheckBox {
                    anchors.centerIn: parent
                    checked: styleData.value === true
                    onClicked: identModel.setProperty(styleData.row, "on", checked)
                }
            }
            TableViewColumn {
                role: "color"; title: (tab.langTick, qsTr("Цвет")); width: 60
                delegate: Item {
                    Rectangle {
                        anchors.centerIn: parent
                        width: 30; height: 12
                        color: styleData.value ? styleData.value : "transparent"
                    }
                }
            }
            TableViewColumn { role: "ident"; title: (tab.langTick, qsTr("Идентификатор")); width: 200 }
        }
    }

    // Tiles from the configured server (the plugin asks BASE/z/x/y.png) with
    // the program's own User-Agent, kept on disk in the cache folder; the
    // plugin's provider-redirect service is not asked.
    Plugin {
        id: mapPlugin
        name: tab.mapPluginName
        PluginParameter { name: "osm.useragent"; value: tab.mapSetup ? tab.mapSetup.userAgent : "Orvane" }
        PluginParameter { name: "osm.mapping.providersrepository.disabled"; value: true }
        PluginParameter {
            name: "osm.mapping.custom.host"
            value: tab.mapSetup ? tab.mapSetup.tileServer : "https://tile.openstreetmap.org/"
        }
        PluginParameter { name: "osm.mapping.cache.directory"; value: tab.mapSetup ? tab.mapSetup.cacheFolder : "" }
        PluginParameter { name: "osm.mapping.highdpi_tiles"; value: false }
    }

    Map {
        id: map
        anchors { left: leftPane.right; right: parent.right; top: filterRow.bottom; bottom: parent.bottom; margins: 8 }
        plugin: mapPlugin
        center: tab.defaultCenter
        zoomLevel: 15
        minimumZoomLevel: 3
        maximumZoomLevel: 19
        copyrightsVisible: false
        // The custom tile server's map type is the plugin's last one.
        activeMapType: supportedMapTypes.length > 0 ? supportedMapTypes[supportedMapTypes.length - 1] : activeMapType

        // The log's tracks and the live ones, drawn by every Qt Quick backend.
        TrackLayer {
            id: trackLayer
            anchors.fill: parent
            map: map
            model: tab.pointModel
            lineWidth: 4
            opacity: 0.8
        }

        Text {
            id: attribution
            anchors { right: parent.right; bottom: parent.bottom; margins: 2 }
            visible: tab.mapPluginName === "osm"
            text: tab.mapSetup ? tab.mapSetup.attribution : "© OpenStreetMap contributors"
            font.pixelSize: 11
            color: "#333333"
            Rectangle { anchors.fill: parent; anchors.margins: -2; z: -1; color: "#B0FFFFFF" }
        }
    }

    Loader {
        id: fileLoader
        active: false
        sourceComponent: FileDialog {
            property string mode
            folder: shortcuts.home
            selectMultiple: false
            selectFolder: false
            onAccepted: tab.fileChosen(mode, fileUrl)
        }
    }

    LazyMessageDialog {
        id: portMessage
        host: tab
        title: tab.dialogTitle
        icon: StandardIcon.Warning
    }

    Window {
        id: dateDialog
        width: 400; height: 370
        minimumWidth: 400; maximumWidth: 400; minimumHeight: 370; maximumHeight: 370
        title: tab.dialogTitle
        modality: Qt.ApplicationModal
        flags: Qt.Dialog
        color: "#F0F0F0"

        // The calendar is made when the dialog is first opened: it is costly
        // to create and most sessions never filter by date.
        readonly property var calendar: calendarLoader.item
        onVisibleChanged: if (visible) calendarLoader.active = true

        function apply() {
            dateField.text = Qt.formatDate(calendar.selectedDate, "dd.MM.yyyy")
            close()
            tab.applyFilter()
        }

        Text {
            id: dateText
            width: parent.width - 20
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            anchors { top: parent.top; topMargin: 12; horizontalCenter: parent.horizontalCenter }
            font.pixelSize: 14
            text: (tab.langTick, qsTr("Выберите дату для фильтрации треков:"))
        }
        Loader {
            id: calendarLoader
            anchors { top: dateText.bottom; topMargin: 10; horizontalCenter: parent.horizontalCenter }
            width: 360; height: 250
            active: false
            sourceComponent: Calendar {
                // The calendar speaks the language of the window.
                locale: Qt.locale((tab.langTick, qsTr("ru_RU")))
            }
        }
        Row {
            anchors { bottom: parent.bottom; bottomMargin: 12; horizontalCenter: parent.horizontalCenter }
            spacing: 20
            Button { text: (tab.langTick, qsTr(" Применить ")); onClicked: dateDialog.apply() }
            Button { text: (tab.langTick, qsTr(" Закрыть ")); onClicked: dateDialog.close() }
        }
    }

    Window {
        id: hourDialog
        width: 310; height: 190
        minimumWidth: 310; maximumWidth: 310; minimumHeight: 190; maximumHeight: 190
        title: tab.dialogTitle
        modality: Qt.ApplicationModal
        flags: Qt.Dialog
        color: "#F0F0F0"

        property alias combo: hourCombo

        function apply() {
            hourField.text = hourCombo.currentText
            close()
            tab.applyFilter()
        }

        Text {
            id: hourText
            width: parent.width - 20
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            anchors { top: parent.top; topMargin: 16; horizontalCenter: parent.horizontalCenter }
            font.pixelSize: 14
            text: (tab.langTick, qsTr("Выберите время для фильтрации треков:"))
        }
        ComboBox {
            id: hourCombo
            anchors { top: hourText.bottom; topMargin: 20; horizontalCenter: parent.horizontalCenter }
            width: 120
            model: {
                var hours = []
                for (var h = 0; h < 24; ++h)
                    hours.push((h < 10 ? "0" : "") + h + ":00")
                return hours
            }
            currentIndex: 12
        }
        Row {
            anchors { bottom: parent.bottom; bottomMargin: 16; horizontalCenter: parent.horizontalCenter }
            spacing: 20
            Button { text: (tab.langTick, qsTr(" Применить ")); onClicked: hourDialog.apply() }
            Button { text: (tab.langTick, qsTr(" Закрыть ")); onClicked: hourDialog.close() }
        }
    }
}
