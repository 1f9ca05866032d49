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
    function refs() {
        var g = Helper.groupTitles(groupList)
        var c = Helper.contactNames(contactList)
        var k = Helper.keyNames(encryptList, freqTable.noneMarker)
        return {
            "groups": g,
            "groupPos": Helper.positionIndex(g.titles),
            "contacts": c,
            "contactPos": Helper.positionIndex(c),
            "keys": k,
            "keyPos": Helper.positionIndex(k)
        }
    }

    function updateChoices() {
        var r = refs()
        freqTable.groupChoices = r.groups.titles
        freqTable.contactChoices = r.contacts
        freqTable.encryptChoices = r.keys
    }

    // Decoded channel map -> table row.
    function rowFromChannel(ch, r) {
        var none = freqTable.noneMarker
        var rx = Helper.toInt(ch.rxGroup, -1)
        var rxText = ""
        if (rx !== -1) {
            if (r.groups.byNumber[rx] !== undefined)
                rxText = r.groups.byNumber[rx]
            else if (rx === 0)
                rxText = none
        }
        var ct = Helper.toInt(ch.contact, -1)
        var contactText = ct === -1 ? "" : ct === 0 ? none
                                                    : (ct <= r.contacts.length ? r.contacts[ct - 1] : "")
        var en = Helper.toInt(ch.encrypt, -1)
        var keyText = en === -1 ? "" : en === 0 ? none : (en <= r.keys.length ? r.keys[en - 1] : "")
        return {
            "channel": Helper.toInt(ch.channel, -1),
            "name": ch.name !== undefined ? String(ch.name) : "",
            "type_channel": !!ch.typeChannel,
            "recv_freq": Helper.freqToText(ch.recvFreq),
            "send_freq": Helper.freqToText(ch.sendFreq),
            "power_ch": !!ch.powerCH,
            "gps": 1,
            "color_cod": Helper.toInt(ch.colorCod, -1),
            "rx_groupe": rxText,
            "contact": contactText,
            "width_ch": Helper.toInt(ch.chanelBand, -1),
            "encrypt": keyText,
            "recv_qt_dqt": Helper.toInt(ch.recvQtDqt, -1),
            "send_qt_dqt": Helper.toInt(ch.sendQtDqt, -1),
            "qt_dqt_type_rcv": Helper.toInt(ch.QtDqtTypeRcv, 0),
            "qt_dqt_type_trasm": Helper.toInt(ch.QtDqtTypeTrasm, 0),
            "send_ptt_id": Helper.toInt(ch.sendPttId, -1)
        }
    }

    // Position (1-based) of a shown reference text, 0 for none or no match.
    function refPosition(text, pos) {
        if (text === "" || text === freqTable.noneMarker)
            return 0
        return pos[text] !== undefined ? pos[text] : 0
    }

    // Table row -> decoded channel map (the form fillTable takes), so that
    // the list handed on with elementAdded / elementRemoved fills back the same.
    function channelFromRow(row, r) {
        var none = freqTable.noneMarker
        var gp = refPosition(row.rx_groupe, r.groupPos)
        return {
            "channel": row.channel,
            "name": row.name,
            "typeChannel": row.type_channel,
            "recvFreq": Helper.textToFreq(row.recv_freq),
            "sendFreq": Helper.textToFreq(row.send_freq),
            "powerCH": row.power_ch,
            "colorCod": row.color_cod,
            "rxGroup": row.rx_groupe === "" ? -1 : gp > 0 ? r.groups.numbers[gp - 1] : 0,
            "contact": row.contact === "" ? -1 : refPosition(row.contact, r.contactPos),
            "encrypt": row.encrypt === "" ? -1 : refPosition(row.encrypt, r.keyPos),
            "chanelBand": row.width_ch,
            "recvQtDqt": row.recv_qt_dqt,
            "sendQtDqt": row.send_qt_dqt,
            "QtDqtTypeRcv": row.qt_dqt_type_rcv,
            "QtDqtTypeTrasm": row.qt_dqt_type_trasm,
            "sendPttId": row.send_ptt_id
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
        m.clear()
        var r = refs()
        var list = freqList || []
        for (var i = 0; i < list.length; ++i)
            m.append(rowFromChannel(list[i] || {}, r))
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
                "rx_groupe": refPosition(row.rx_groupe, r.groupPos),
                "contact": refPosition(row.contact, r.contactPos),
                "chanelBand": row.width_ch,
                "encrypt": refPosition(row.encrypt, r.keyPos),
                "recv_qt_dqt": row.recv_qt_dqt,
                "send_qt_dqt": row.send_qt_dqt,
                "qt_dqt_type_rcv": row.qt_dqt_type_rcv,
                "qt_dqt_type_trasm": row.qt_dqt_type_trasm,
                "send_ptt_id": row.send_ptt_id
            })
        }
        return out
    }

    function sendContactModel(list) {
        contactList = list || []
        updateChoices()
    }
    function sendRxGroupModel(list) {
        groupList = list || []
        updateChoices()
    }
    function sendEncryptModel(list) {
        encryptList = list || []
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
            "encrypt": 1, "chanelBand": -1, "powerCH": false
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
