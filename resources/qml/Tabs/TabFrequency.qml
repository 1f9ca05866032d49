import QtQuick 2.7
import QtQuick.Controls 1.4
import "../Helper.js" as Helper
import "../UI"

// Channel tab: converts Manager's channel maps into table rows and back, adds
// and removes channels.
Item {
    id: tab
    objectName: "channelTab"

    // The radio's channel table has room for this many channels.
    readonly property int maxChannels: 999
    readonly property int maxNameLength: 16

    property alias table: freqTable
    property alias nameField: nameField
    property alias messageBox: messageBox
    property alias addButton: addButton
    property alias removeButton: removeButton

    // Reference lists as last received.
    property var groupList: []
    property var contactList: []
    property var encryptList: ({})

    signal elementAdded(var newFreqList, var groupList, var contactList, var encryptList)
    signal elementRemoved(var newFreqList, int removedChannelId)

    function retranslateUi() {
        addButton.text = qsTr("Добавить")
        removeButton.text = qsTr("Удалить выбранный")
        nameField.placeholderText = qsTr("Имя нового канала")
        freqTable.retranslateUi()
        updateChoices()
    }

    // --- lookups built from the reference lists ---
    // The rows refer to groups, contacts and keys by entry identity (see
    // Helper.entryIds): -1 where the reference does not apply, 0 for none.
    // So a row keeps naming its entry when entries are renamed, removed or
    // share a name.
    function refs() {
        var g = Helper.groupTitles(groupList)
        var keys = Helper.keyEntries(encryptList, freqTable.noneMarker)
        return {
            "groups": g,
            "groupIds": Helper.entryIds(groupList).ids,
            "contacts": Helper.contactNames(contactList),
            "contactIds": Helper.entryIds(contactList).ids,
            "keys": keys.map(function (e) { return e.name }),
            "keyIds": Helper.entryIds(keys).ids
        }
    }

    function updateChoices() {
        var r = refs()
        freqTable.groupChoices = r.groups.titles
        freqTable.groupIds = r.groupIds
        freqTable.contactChoices = r.contacts
        freqTable.contactIds = r.contactIds
        freqTable.encryptChoices = r.keys
        freqTable.encryptIds = r.keyIds
    }

    // A 1-based position in a list -> the row reference (-1 when out of range).
    function refAt(n, ids) {
        return n === -1 ? -1 : n === 0 ? 0 : (n >= 1 && n <= ids.length ? ids[n - 1] : -1)
    }

    // Frequency texts by Hz, kept: an image read again makes no new strings.
    property var freqTexts: []
    property int freqTextCount: 0
    function freqText(hz) {
        var t = freqTexts[hz]
        if (t === undefined) {
            if (freqTextCount >= 4096) {
                freqTexts = []
                freqTextCount = 0
            }
            t = Helper.freqToText(hz)
            freqTexts[hz] = t
            ++freqTextCount
        }
        return t
    }

    // Decoded channel map -> table row, written into `row` (the model copies
    // it, so one object serves a whole fill: no script object per channel
    // for the garbage collector).
    function rowFromChannel(ch, r, row) {
        var rx = Helper.toInt(ch.rxGroup, -1)
        var rxRef = -1
        if (rx !== -1) {
            var at = r.groups.numbers.lastIndexOf(rx)
            rxRef = at >= 0 ? r.groupIds[at] : rx === 0 ? 0 : -1
        }
        var o = row || {}
        o.channel = Helper.toInt(ch.channel, -1)
        o.name = ch.name !== undefined ? String(ch.name) : ""
        o.type_channel = !!ch.typeChannel
        o.recv_freq = freqText(ch.recvFreq)
        o.send_freq = freqText(ch.sendFreq)
        o.power_ch = !!ch.powerCH
        o.gps = 1
        o.color_cod = Helper.toInt(ch.colorCod, -1)
        o.rx_groupe = rxRef
        o.contact = refAt(Helper.toInt(ch.contact, -1), r.contactIds)
        o.width_ch = Helper.toInt(ch.chanelBand, -1)
        o.encrypt = refAt(Helper.toInt(ch.encrypt, -1), r.keyIds)
        o.recv_qt_dqt = Helper.toInt(ch.recvQtDqt, -1)
        o.send_qt_dqt = Helper.toInt(ch.sendQtDqt, -1)
        o.qt_dqt_type_rcv = Helper.toInt(ch.QtDqtTypeRcv, 0)
        o.qt_dqt_type_trasm = Helper.toInt(ch.QtDqtTypeTrasm, 0)
        o.send_ptt_id = Helper.toInt(ch.sendPttId, -1)
        o.origin = Helper.toInt(ch.origin, -1)
        return o
    }

    // Position (1-based) of a row reference in its list, 0 for none,
    // not applicable or an entry that is gone.
    function refPosition(ref, ids) {
        return ref > 0 ? ids.indexOf(ref) + 1 : 0
    }

    // Table row -> decoded channel map (the form fillTable takes), so that
    // the list handed on with elementAdded / elementRemoved fills back the same.
    function channelFromRow(row, r) {
        var gp = refPosition(row.rx_groupe, r.groupIds)
        return {
            "channel": row.channel,
            "name": row.name,
            "typeChannel": row.type_channel,
            "recvFreq": Helper.textToFreq(row.recv_freq),
            "sendFreq": Helper.textToFreq(row.send_freq),
            "powerCH": row.power_ch,
            "colorCod": row.color_cod,
            "rxGroup": row.rx_groupe === -1 ? -1 : gp > 0 ? r.groups.numbers[gp - 1] : 0,
            "contact": row.contact === -1 ? -1 : refPosition(row.contact, r.contactIds),
            "encrypt": row.encrypt === -1 ? -1 : refPosition(row.encrypt, r.keyIds),
            "chanelBand": row.width_ch,
            "recvQtDqt": row.recv_qt_dqt,
            "sendQtDqt": row.send_qt_dqt,
            "QtDqtTypeRcv": row.qt_dqt_type_rcv,
            "QtDqtTypeTrasm": row.qt_dqt_type_trasm,
            "sendPttId": row.send_ptt_id,
            "origin": row.origin
        }
    }

    function channelList() {
        freqTable.commitFrequency()
        var r = refs()
        var m = freqTable.model
        var list = []
        for (var i = 0; i < m.count; ++i)
            list.push(channelFromRow(m.get(i), r))
        return list
    }

    // --- the interface used by the main screen ---
    function fillTable(freqList, groups, contacts, encrypt) {
        freqTable.valueEditor.close()
        freqTable.commitFrequency()
        freqTable.selectedRow = -1
        groupList = groups || []
        contactList = contacts || []
        encryptList = encrypt || ({})
        var m = freqTable.model
        var r = refs()
        var list = freqList || []
        // Rows the table has are overwritten in place and only the rest added
        // or removed, so that a new image does not make the view build its
        // rows' items anew.
        if (m.count > list.length)
            m.remove(list.length, m.count - list.length)
        var row = {}, blank = {}
        for (var i = 0; i < list.length; ++i) {
            rowFromChannel(list[i] || blank, r, row)
            if (i < m.count)
                m.set(i, row)
            else
                m.append(row)
        }
        updateChoices()
        freqTable.band = Helper.bandOf(list.length > 0 && list[0] ? list[0].recvFreq : undefined)
    }

    function clearAll() {
        freqTable.valueEditor.close()
        freqTable.commitFrequency()
        freqTable.selectedRow = -1
        freqTable.model.clear()
        groupList = []
        contactList = []
        encryptList = ({})
        updateChoices()
        freqTable.band = Helper.bandOf(undefined)
    }

    // The channel list as writeDataToDevice takes it.
    function getData() {
        freqTable.commitFrequency()
        var r = refs()
        var m = freqTable.model
        var out = []
        for (var i = 0; i < m.count; ++i) {
            var row = m.get(i)
            out.push({
                "channel": row.channel,
                "name": row.name,
                "type_channel": row.type_channel,
                "recv_freq": Helper.textToFreq(row.recv_freq),
                "send_freq": Helper.textToFreq(row.send_freq),
                "power_ch": row.power_ch,
                "color_cod": row.color_cod,
                "rx_groupe": refPosition(row.rx_groupe, r.groupIds),
                "contact": refPosition(row.contact, r.contactIds),
                "chanelBand": row.width_ch,
                "encrypt": refPosition(row.encrypt, r.keyIds),
                "recv_qt_dqt": row.recv_qt_dqt,
                "send_qt_dqt": row.send_qt_dqt,
                "qt_dqt_type_rcv": row.qt_dqt_type_rcv,
                "qt_dqt_type_trasm": row.qt_dqt_type_trasm,
                "send_ptt_id": row.send_ptt_id,
                "origin": row.origin
            })
        }
        return out
    }

    // A reference list was replaced: every row keeps referring to the same
    // entry (or to none when its entry is gone).
    function carryReferences(role, before, after) {
        var ids = before[role + "Ids"], names = before[role + "Names"]
        var m = freqTable.model
        for (var i = 0; i < m.count; ++i) {
            var ref = m.get(i)[role]
            var carried = Helper.carryReference(ref, ids, names, after.ids, after.names,
                                                after.identified)
            if (carried !== ref)
                m.setProperty(i, role, carried)
        }
    }
    function listState() {
        var r = refs()
        return { "rx_groupeIds": r.groupIds, "rx_groupeNames": r.groups.titles,
                 "contactIds": r.contactIds, "contactNames": r.contacts,
                 "encryptIds": r.keyIds, "encryptNames": r.keys }
    }

    function sendContactModel(list) {
        freqTable.commitFrequency()
        var before = listState()
        contactList = list || []
        var e = Helper.entryIds(contactList)
        carryReferences("contact", before,
                        { "ids": e.ids, "names": Helper.contactNames(contactList),
                          "identified": e.identified })
        updateChoices()
    }
    function sendRxGroupModel(list) {
        freqTable.commitFrequency()
        var before = listState()
        groupList = list || []
        var e = Helper.entryIds(groupList)
        carryReferences("rx_groupe", before,
                        { "ids": e.ids, "names": Helper.groupTitles(groupList).titles,
                          "identified": e.identified })
        updateChoices()
    }
    function sendEncryptModel(list) {
        freqTable.commitFrequency()
        var before = listState()
        encryptList = list || []
        var keys = Helper.keyEntries(encryptList, freqTable.noneMarker)
        var e = Helper.entryIds(keys)
        carryReferences("encrypt", before,
                        { "ids": e.ids, "names": keys.map(function (k) { return k.name }),
                          "identified": e.identified })
        updateChoices()
    }

    function showMessage(title, text) {
        messageBox.show(title, text)
    }

    // Adds a channel; false (with a message) when the name is taken, too
    // long, or the table is full.
    function addChannel(name) {
        name = String(name)
        if (name.length === 0)
            return false
        var m = freqTable.model
        if (name.length > maxNameLength) {
            showMessage(qsTr("Недопустимое имя канала"),
                        qsTr("Имя канала может содержать не более 16 символов."))
            return false
        }
        var maxId = -1
        for (var i = 0; i < m.count; ++i) {
            var row = m.get(i)
            if (row.name === name) {
                showMessage(qsTr("Недопустимое имя канала"),
                            qsTr("Введение имя канала уже используется. Введите другое имя."))
                return false
            }
            if (row.channel > maxId)
                maxId = row.channel
        }
        if (m.count >= maxChannels) {
            showMessage(qsTr("Список каналов заполнен"),
                        qsTr("В радиостанции помещается не более 999 каналов. Удалите ненужный канал, чтобы добавить новый."))
            return false
        }
        var start = freqTable.band.start
        var ch = {
            "name": name, "channel": maxId + 1, "QtDqtTypeTrasm": 0, "QtDqtTypeRcv": 0,
            "recvFreq": start, "sendFreq": start, "recvQtDqt": -1, "sendQtDqt": -1,
            "sendPttId": -1, "typeChannel": true, "colorCod": 1, "rxGroup": 1, "contact": 1,
            "encrypt": 1, "chanelBand": -1, "powerCH": false, "origin": -1
        }
        var r = refs()
        var list = channelList()
        list.push(ch)
        m.append(rowFromChannel(ch, r))
        nameField.text = ""
        freqTable.selectedRow = -1
        elementAdded(list, groupList, contactList, encryptList)
        return true
    }

    // Removes the selected channel; the following channels take the
    // identifiers of their predecessors.
    function removeSelected() {
        var m = freqTable.model
        var row = freqTable.selectedRow
        if (row < 0 || row >= m.count)
            return false
        freqTable.valueEditor.close()
        freqTable.commitFrequency()
        var removedId = m.get(row).channel
        var prev = removedId
        for (var i = row + 1; i < m.count; ++i) {
            var old = m.get(i).channel
            m.setProperty(i, "channel", prev)
            prev = old
        }
        m.remove(row)
        freqTable.selectedRow = m.count === 0 ? -1 : Math.min(row, m.count - 1)
        elementRemoved(channelList(), removedId)
        return true
    }

    Component.onCompleted: retranslateUi()
    Connections {
        target: typeof Manager !== "undefined" ? Manager : null
        ignoreUnknownSignals: true
        function onLanguageChanged() { tab.retranslateUi() }
    }

    FrequencyTable {
        id: freqTable
        objectName: "frequencyTable"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: controls.top
        anchors.margins: 6
    }

    Row {
        id: controls
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: 6
        spacing: 8
        height: 28
        TextField {
            id: nameField
            objectName: "channelNameField"
            width: 220
            maximumLength: tab.maxNameLength
            onAccepted: if (text.length > 0) tab.addChannel(text)
        }
        Button {
            id: addButton
            objectName: "addChannelButton"
            enabled: nameField.text.length > 0
            onClicked: tab.addChannel(nameField.text)
        }
        Button {
            id: removeButton
            objectName: "removeChannelButton"
            enabled: freqTable.selectedRow >= 0
            onClicked: tab.removeSelected()
        }
    }

    MessageBox {
        id: messageBox
        anchors.fill: parent
    }
}
