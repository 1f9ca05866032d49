import QtQuick 2.7
import QtQuick.Controls 1.4
import "../Helper.js" as Helper
import "../UI"

// The channel table: one row per channel, the frequency editor and the value
// editor. The rows hold what the cells show; TabFrequency converts to and
// from Manager's maps.
Item {
    id: table

    property alias model: channelModel
    property alias view: listView
    property alias frequencyEditor: freqInput
    property alias valueEditor: valueEditor
    property int selectedRow: -1

    // Band of the table (set by the tab from the first channel).
    property var band: Helper.bandOf(undefined)
    // Texts offered by the reference editors (without the leading "none"),
    // and the identities of the entries they name, which the reference roles
    // of the rows hold (0 for none, -1 where the reference does not apply).
    property var groupChoices: []
    property var contactChoices: []
    property var encryptChoices: []
    property var groupIds: []
    property var contactIds: []
    property var encryptIds: []
    readonly property var squelchChoices: Helper.squelchChoices()

    // Untranslated name of the "none" entry in key lists.
    readonly property string noneMarker: "НЕТ"

    // Translated texts, re-assigned by retranslateUi.
    property var tr: ({})
    property var titles: []

    // Columns in display order. A column is `units` thirteenths of the table
    // width plus `px`, but never narrower than `min`, so that its title and
    // values stay readable in the smallest window; where that makes the
    // columns wider than the table, the wide ones give up their surplus.
    readonly property var columns: [
        { "role": "channel", "units": 0.5, "px": 0, "min": 52, "kind": "text" },
        { "role": "name", "units": 2, "px": 0, "min": 92, "kind": "text" },
        { "role": "type_channel", "units": 1, "px": 0, "min": 108, "kind": "choice" },
        { "role": "recv_freq", "units": 1, "px": 0, "min": 82, "kind": "freq" },
        { "role": "send_freq", "units": 1, "px": 0, "min": 82, "kind": "freq" },
        { "role": "power_ch", "units": 1, "px": -20, "min": 62, "kind": "check" },
        { "role": "color_cod", "units": 1, "px": -20, "min": 62, "kind": "choice" },
        { "role": "rx_groupe", "units": 2, "px": -30, "min": 84, "kind": "choice" },
        { "role": "contact", "units": 2, "px": -30, "min": 84, "kind": "choice" },
        { "role": "width_ch", "units": 1, "px": -20, "min": 74, "kind": "choice" },
        { "role": "encrypt", "units": 2, "px": -30, "min": 84, "kind": "choice" },
        { "role": "recv_qt_dqt", "units": 1, "px": 0, "min": 70, "kind": "choice" },
        { "role": "send_qt_dqt", "units": 1, "px": 0, "min": 70, "kind": "choice" }
    ]
    property var colX: []
    property var colW: []
    property real contentWidth: 0

    readonly property color gridColor: "#9F9F9F"
    readonly property color textColor: "#333333"

    signal rowClicked(int row)

    function retranslateUi() {
        tr = {
            "none": qsTr("НЕТ"),
            "squelchNone": qsTr("НЕТ_"),
            "digital": qsTr("ЦИФРОВОЙ"),
            "analog": qsTr("АНАЛОГОВЫЙ")
        }
        titles = [qsTr("Канал"), qsTr("Имя"), qsTr("Вид канала"), qsTr("Принимающая\nчастота"),
                  qsTr("Передающая\nчастота"), qsTr("Высокая\nмощность"), qsTr("Цветовой код"),
                  qsTr("Группа приема"), qsTr("Контакт"), qsTr("Ширина\nканала кГц"),
                  qsTr("Шифрование"), qsTr("Прием\nQT/DQT"), qsTr("Передача\nQT/DQT"),
                  // Columns kept in the model but not shown.
                  qsTr("Навигация"), qsTr("Передача\nPTT-ID")]
        valueEditor.retranslateUi()
    }

    function layoutColumns() {
        var available = Math.max(Math.floor(scroll.viewport.width), 700)
        var unit = available / 13
        var ws = [], total = 0, surplus = 0, i
        for (i = 0; i < columns.length; ++i) {
            var w = Math.max(columns[i].min, columns[i].units * unit + columns[i].px)
            ws.push(w)
            total += w
            surplus += w - columns[i].min
        }
        // Too wide: take the excess from the columns above their minimum.
        var excess = total - available
        var keep = excess > 0 && surplus > 0 ? Math.max(0, 1 - excess / surplus) : 1
        var xs = [], x = 0
        for (i = 0; i < columns.length; ++i) {
            var c = Math.floor(columns[i].min + (ws[i] - columns[i].min) * keep)
            xs.push(x)
            ws[i] = c
            x += c
        }
        // Rounding leftovers go to the name column.
        if (x < available) {
            ws[1] += available - x
            for (i = 2; i < xs.length; ++i)
                xs[i] += available - x
            x = available
        }
        colX = xs
        colW = ws
        contentWidth = x
    }

    function columnAt(x) {
        for (var i = colX.length - 1; i >= 0; --i)
            if (x >= colX[i])
                return i
        return 0
    }

    // --- display of the roles ---
    function refNames(role) {
        return role === "rx_groupe" ? groupChoices : role === "contact" ? contactChoices
                                                                        : encryptChoices
    }
    function refIds(role) {
        return role === "rx_groupe" ? groupIds : role === "contact" ? contactIds : encryptIds
    }
    // The shown name of a reference: "" where it does not apply.
    function refText(role, v) {
        if (v === undefined || v === null || v === -1)
            return ""
        var at = v > 0 ? refIds(role).indexOf(v) : -1
        return at >= 0 ? String(refNames(role)[at]) : tr.none
    }
    // A reference chosen in the editor: by index into [none] + names, or by
    // a typed name (the last entry of that name); undefined when no entry
    // has that name.
    function refFromChoice(role, index, text) {
        if (index === 0 || text === tr.none || text === noneMarker)
            return 0
        var ids = refIds(role)
        if (index > 0 && index <= ids.length)
            return ids[index - 1]
        var at = refNames(role).lastIndexOf(String(text))
        return at >= 0 ? ids[at] : undefined
    }
    function widthText(v) {
        return v === 0 ? "25" : v === 1 ? "12.5" : v === 2 ? "20" : ""
    }

    // The text a cell of row `r` shows for `role`.
    function cellText(role, r) {
        switch (role) {
        case "channel": return r.channel === -1 ? tr.none : String(r.channel + 1)
        case "type_channel": return r.type_channel ? tr.digital : tr.analog
        case "color_cod": return r.color_cod === -1 ? "" : String(r.color_cod)
        case "width_ch": return widthText(r.width_ch)
        case "rx_groupe":
        case "contact":
        case "encrypt": return refText(role, r[role])
        case "recv_qt_dqt": return Helper.squelchToText(r.recv_qt_dqt, r.qt_dqt_type_rcv, tr.none)
        case "send_qt_dqt": return Helper.squelchToText(r.send_qt_dqt, r.qt_dqt_type_trasm, tr.none)
        }
        return r[role] === undefined ? "" : String(r[role])
    }

    // --- editing ---
    function selectRow(row) {
        commitFrequency()
        selectedRow = row
        rowClicked(row)
    }

    property int editRow: -1
    property string editRole: ""
    property string editBefore: ""
    // Whether the input was typed into since it opened: an untouched value is
    // kept as it was, whatever the mask would make of it.
    property bool editTyped: false

    // Opens the frequency input over a cell of the given row.
    function editFrequency(row, role) {
        commitFrequency()
        var col = -1
        for (var i = 0; i < columns.length; ++i)
            if (columns[i].role === role)
                col = i
        if (col < 0 || row < 0 || row >= channelModel.count)
            return
        editBefore = channelModel.get(row)[role]
        freqInput.text = editBefore
        editTyped = false
        editRow = row
        editRole = role
        var p = listView.contentItem.mapToItem(table, colX[col], row * 25)
        freqEditor.x = p.x
        freqEditor.y = p.y
        freqEditor.width = colW[col]
        freqEditor.visible = true
        freqInput.forceActiveFocus()
        freqInput.cursorPosition = 0
    }

    // Ends a frequency edit: text outside the band (or incomplete) brings the
    // text from before the edit back.
    function commitFrequency() {
        if (editRow < 0)
            return
        var row = editRow, role = editRole
        editRow = -1
        freqEditor.visible = false
        if (row >= channelModel.count)
            return
        var text = freqInput.text
        if (!editTyped || !freqInput.acceptableInput || !Helper.freqInBand(text, band))
            text = editBefore
        channelModel.setProperty(row, role, text)
    }

    function openValueEditor(row, role) {
        commitFrequency()
        if (row < 0 || row >= channelModel.count)
            return
        selectedRow = row
        var col = 0
        for (var i = 0; i < columns.length; ++i)
            if (columns[i].role === role)
                col = i
        var r = channelModel.get(row)
        var choices = choicesFor(role)
        var current = currentChoice(role, r)
        var p = listView.contentItem.mapToItem(table, colX[col], (row + 1) * 25)
        var panel = valueEditor.panel
        valueEditor.open(row, role, choices, current,
                         Math.max(0, Math.min(p.x, table.width - panel.width)),
                         p.y + panel.height > table.height ? p.y - 25 - panel.height : p.y)
    }

    function choicesFor(role) {
        switch (role) {
        case "type_channel": return [tr.analog, tr.digital]
        case "color_cod":
            var cc = []
            for (var i = 0; i < 16; ++i)
                cc.push(String(i))
            return cc
        case "width_ch": return ["12.5", "20", "25"]
        case "rx_groupe": return [tr.none].concat(groupChoices)
        case "contact": return [tr.none].concat(contactChoices)
        case "encrypt": return [tr.none].concat(encryptChoices)
        case "recv_qt_dqt":
        case "send_qt_dqt": return [tr.squelchNone].concat(squelchChoices)
        }
        return []
    }

    function currentChoice(role, r) {
        switch (role) {
        case "type_channel": return r.type_channel ? tr.digital : tr.analog
        case "color_cod": return String(r.color_cod)
        case "width_ch": return widthText(r.width_ch)
        case "rx_groupe":
        case "contact":
        case "encrypt": return refText(role, r[role])
        case "recv_qt_dqt":
            return Helper.squelchToText(r.recv_qt_dqt, r.qt_dqt_type_rcv, tr.squelchNone)
        case "send_qt_dqt":
            return Helper.squelchToText(r.send_qt_dqt, r.qt_dqt_type_trasm, tr.squelchNone)
        }
        return ""
    }

    // Stores a choice of the value editor (index into the offered list, or -1
    // with a typed text). Returns false when the text is not a valid value.
    function applyChoice(row, role, index, text) {
        if (row < 0 || row >= channelModel.count)
            return false
        var choices = choicesFor(role)
        if (index < 0 || index >= choices.length || (text !== undefined && text !== choices[index])) {
            index = -1
            for (var i = 0; i < choices.length; ++i)
                if (choices[i] === text)
                    index = i
        } else {
            text = choices[index]
        }
        var m = channelModel
        switch (role) {
        case "type_channel":
            if (index === 0 || text === "АНАЛОГОВЫЙ") {
                m.setProperty(row, "type_channel", false)
                m.setProperty(row, "recv_qt_dqt", 0)
                m.setProperty(row, "send_qt_dqt", 0)
                m.setProperty(row, "qt_dqt_type_rcv", 0)
                m.setProperty(row, "qt_dqt_type_trasm", 0)
                m.setProperty(row, "send_ptt_id", 0)
                m.setProperty(row, "width_ch", 0)
                m.setProperty(row, "color_cod", -1)
                m.setProperty(row, "rx_groupe", -1)
                m.setProperty(row, "contact", -1)
                m.setProperty(row, "encrypt", -1)
            } else if (index === 1 || text === "ЦИФРОВОЙ") {
                m.setProperty(row, "type_channel", true)
                m.setProperty(row, "color_cod", 1)
                m.setProperty(row, "rx_groupe", 0)
                m.setProperty(row, "contact", 0)
                m.setProperty(row, "encrypt", 0)
                m.setProperty(row, "recv_qt_dqt", -1)
                m.setProperty(row, "send_qt_dqt", -1)
                m.setProperty(row, "send_ptt_id", -1)
                m.setProperty(row, "width_ch", -1)
            } else {
                return false
            }
            return true
        case "width_ch":
            var w = { "12.5": 1, "20": 2, "25": 0 }[String(text).trim()]
            if (w === undefined)
                return false
            m.setProperty(row, "width_ch", w)
            return true
        case "color_cod":
            var s = String(text).trim()
            if (!/^\d{1,2}$/.test(s) || parseInt(s, 10) > 15)
                return false
            m.setProperty(row, "color_cod", parseInt(s, 10))
            return true
        case "rx_groupe":
        case "contact":
        case "encrypt":
            var ref = refFromChoice(role, index, text)
            if (ref === undefined)
                return false
            m.setProperty(row, role, ref)
            return true
        case "recv_qt_dqt":
        case "send_qt_dqt":
            var sq = index === 0 ? { "value": -1, "kind": 0 }
                                 : Helper.squelchFromText(text, [tr.squelchNone, "НЕТ_", tr.none, "НЕТ"])
            if (!sq)
                return false
            m.setProperty(row, role, sq.value)
            m.setProperty(row, role === "recv_qt_dqt" ? "qt_dqt_type_rcv" : "qt_dqt_type_trasm", sq.kind)
            return true
        }
        return false
    }

    onWidthChanged: layoutColumns()
    Component.onCompleted: {
        retranslateUi()
        layoutColumns()
    }

    ListModel { id: channelModel }
    Connections {
        target: scroll.viewport
        function onWidthChanged() { table.layoutColumns() }
    }

    // Header: 40 px, wrapped centred titles.
    Rectangle {
        id: header
        width: parent.width
        height: 40
        color: "#E6E6E6"
        clip: true
        Item {
            x: -listView.contentX
            width: table.contentWidth
            height: parent.height
            Repeater {
                model: table.columns.length
                Item {
                    x: table.colX[index] || 0
                    width: table.colW[index] || 0
                    height: 40
                    Text {
                        objectName: "columnTitle_" + index
                        anchors.fill: parent
                        anchors.margins: 2
                        text: table.titles[index] || ""
                        wrapMode: Text.WordWrap
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        font.pixelSize: 10
                        // A word wider than its column is made smaller rather
                        // than run into the next title.
                        fontSizeMode: Text.Fit
                        minimumPixelSize: 7
                        font.bold: true
                        color: table.textColor
                    }
                    Rectangle { anchors.right: parent.right; width: 1; height: parent.height; color: table.gridColor }
                }
            }
        }
        Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: table.gridColor }
        Rectangle { anchors.top: parent.top; width: parent.width; height: 1; color: table.gridColor }
    }

    ScrollView {
        id: scroll
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        frameVisible: true
        onWidthChanged: table.layoutColumns()

        ListView {
            id: listView
            objectName: "channelListView"
            model: channelModel
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            contentWidth: table.contentWidth
            flickableDirection: Flickable.VerticalFlick
            cacheBuffer: 0
            onContentYChanged: table.commitFrequency()

            delegate: Rectangle {
                id: rowItem
                width: table.contentWidth
                height: 25
                color: index === table.selectedRow ? "#fa7d7d" : (index % 2 ? "#F5F5F5" : "white")

                readonly property var xs: table.colX
                readonly property var ws: table.colW
                readonly property var t: table.tr

                TableCell { x: xs[0]; width: ws[0]; text: model.channel === -1 ? t.none : model.channel + 1 }
                TableCell { x: xs[1]; width: ws[1]; text: model.name; alignLeft: true }
                TableCell { x: xs[2]; width: ws[2]; editable: true
                    text: model.type_channel ? t.digital : t.analog }
                TableCell { x: xs[3]; width: ws[3]; text: model.recv_freq }
                TableCell { x: xs[4]; width: ws[4]; text: model.send_freq }
                TableCell { x: xs[5]; width: ws[5]; checkBox: true; checked: model.power_ch }
                TableCell { x: xs[6]; width: ws[6]; editable: true
                    greyed: model.color_cod === -1; text: model.color_cod }
                TableCell { x: xs[7]; width: ws[7]; editable: true
                    greyed: model.rx_groupe === -1; text: table.refText("rx_groupe", model.rx_groupe) }
                TableCell { x: xs[8]; width: ws[8]; editable: true
                    greyed: model.contact === -1; text: table.refText("contact", model.contact) }
                TableCell { x: xs[9]; width: ws[9]; editable: true
                    greyed: model.width_ch === -1; text: table.widthText(model.width_ch) }
                TableCell { x: xs[10]; width: ws[10]; editable: true
                    greyed: model.encrypt === -1; text: table.refText("encrypt", model.encrypt) }
                TableCell { x: xs[11]; width: ws[11]; editable: true
                    greyed: model.recv_qt_dqt === -1
                    text: Helper.squelchToText(model.recv_qt_dqt, model.qt_dqt_type_rcv, t.none) }
                TableCell { x: xs[12]; width: ws[12]; editable: true
                    greyed: model.send_qt_dqt === -1
                    text: Helper.squelchToText(model.send_qt_dqt, model.qt_dqt_type_trasm, t.none) }
                Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: table.gridColor }

                // One mouse area per row: the column is found from x.
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        var col = table.columnAt(mouse.x)
                        var c = table.columns[col]
                        var wasSelected = table.selectedRow === index
                        table.selectRow(index)
                        if (c.kind === "check") {
                            channelModel.setProperty(index, "power_ch", !model.power_ch)
                        } else if (c.kind === "freq" && wasSelected) {
                            table.editFrequency(index, c.role)
                        } else if (c.kind === "choice"
                                   && mouse.x >= xs[col] + ws[col] - 22) {
                            table.openValueEditor(index, c.role)
                        }
                    }
                }
            }
        }
    }

    // Frequency input, shown over the cell being edited.
    Rectangle {
        id: freqEditor
        visible: false
        height: 25
        color: "white"
        border.color: "#3c8dde"
        border.width: 1
        TextInput {
            id: freqInput
            objectName: "frequencyInput"
            anchors.fill: parent
            anchors.margins: 2
            verticalAlignment: TextInput.AlignVCenter
            horizontalAlignment: TextInput.AlignHCenter
            // Up to five decimals: the 6.25 kHz raster (e.g. 446.00625 MHz).
            inputMask: "999.99990"
            font.pixelSize: 12
            color: table.textColor
            selectByMouse: true
            onTextChanged: {
                if (table.editRow >= 0) {
                    table.editTyped = true
                    channelModel.setProperty(table.editRow, table.editRole, text)
                }
            }
            onEditingFinished: table.commitFrequency()
            Keys.onEscapePressed: {
                table.editTyped = false // back to the text from before the edit
                table.commitFrequency()
            }
        }
    }

    ValueEditor {
        id: valueEditor
        anchors.fill: parent
        onAccepted: {
            if (table.applyChoice(row, role, index, text))
                close()
        }
    }
}
