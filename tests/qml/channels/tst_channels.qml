import QtQuick 2.7
import QtTest 1.2
import "qrc:/qml/Tabs"
import "qrc:/qml/Helper.js" as Helper

// The channel tab alone, with stub reference lists.
Item {
    id: root
    width: 1100
    height: 600

TestCase {
    id: testCase
    name: "ChannelTab"
    when: windowShown

    property var groups: [
        { "title": "Группа А", "groups": 1, "selectedContacts": [1] },
        { "title": "Группа Б", "groups": 3, "selectedContacts": [2] }
    ]
    property var contacts: [
        { "name": "Иван", "pos": 0, "number": "100", "type": 1, "tone": 0 },
        { "name": "Пётр", "pos": 1, "number": "200", "type": 0, "tone": 0 },
        { "name": "Сидор", "pos": 2, "number": "300", "type": 0, "tone": 1 }
    ]
    property var keys: ({ "alpha": "7e2b", "beta": "1234" })

    function digital(id, name, freq, rx, contact, key) {
        return { "channel": id, "name": name, "typeChannel": true, "recvFreq": freq,
                 "sendFreq": freq + 500000, "powerCH": true, "colorCod": 1, "rxGroup": rx,
                 "contact": contact, "encrypt": key, "chanelBand": -1, "recvQtDqt": -1,
                 "sendQtDqt": -1, "sendPttId": -1, "refFreq": 1, "vox": false }
    }
    function analogue(id, name, freq, rxTone, rxKind, txTone, txKind, band) {
        return { "channel": id, "name": name, "typeChannel": false, "recvFreq": freq,
                 "sendFreq": freq, "powerCH": false, "colorCod": -1, "rxGroup": -1,
                 "contact": -1, "encrypt": -1, "chanelBand": band, "recvQtDqt": rxTone,
                 "sendQtDqt": txTone, "QtDqtTypeRcv": rxKind, "QtDqtTypeTrasm": txKind }
    }
    function sampleList() {
        return [digital(0, "Канал 1", 435000000, 3, 3, 2),
                analogue(1, "Аналог", 446006250, 0x670, 1, 0xC754, 3, 1),
                digital(2, "Без ссылок", 436012500, 0, 0, 0),
                analogue(3, "Без тонов", 437000000, 65535, 0, 65535, 0, 2)]
    }
    function numbered(n, firstFreq) {
        var list = []
        for (var i = 0; i < n; ++i) {
            list.push(digital(i, "К" + i, firstFreq + i * 12500, 1, 1, 0))
            list[i].origin = i
        }
        return list
    }

    Component {
        id: tabComponent
        TabFrequency { width: 1100; height: 600 }
    }
    SignalSpy { id: addedSpy; signalName: "elementAdded" }
    SignalSpy { id: removedSpy; signalName: "elementRemoved" }

    property var tab: null
    function init() {
        tab = createTemporaryObject(tabComponent, root)
        verify(tab !== null)
        addedSpy.target = tab
        removedSpy.target = tab
        addedSpy.clear()
        removedSpy.clear()
    }
    function row(i) { return tab.table.model.get(i) }
    // What the reference cell of a row shows.
    function shown(i, role) { return tab.table.cellText(role, row(i)) }

    function test_fillShowsReferencesByNameAndNumber() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        compare(tab.table.model.count, 4)
        // Group matched by its "groups" number, contact by position, key by order.
        compare(shown(0, "rx_groupe"), "Группа Б")
        compare(shown(0, "contact"), "Сидор")
        compare(shown(0, "encrypt"), "beta")
        compare(row(0).recv_freq, "435.00000")
        compare(row(0).send_freq, "435.50000")
        compare(row(0).gps, 1)
        // Analogue channels: references do not apply (empty, greyed).
        compare(row(1).rx_groupe, -1)
        compare(row(1).contact, -1)
        compare(row(1).encrypt, -1)
        compare(shown(1, "contact"), "")
        compare(row(1).color_cod, -1)
        compare(row(1).recv_freq, "446.00625")
        // Zero references show "none".
        compare(row(2).rx_groupe, 0)
        compare(shown(2, "rx_groupe"), "НЕТ")
        compare(shown(2, "contact"), "НЕТ")
        compare(shown(2, "encrypt"), "НЕТ")
    }

    function test_getDataConvertsEveryRole() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var out = tab.getData()
        compare(out.length, 4)
        var d = out[0]
        compare(d.channel, 0)
        compare(d.name, "Канал 1")
        compare(d.type_channel, true)
        compare(d.recv_freq, 435000000)
        compare(d.send_freq, 435500000)
        compare(d.power_ch, true)
        compare(d.color_cod, 1)
        compare(d.rx_groupe, 2)      // position of "Группа Б" in the list, not its number 3
        compare(d.contact, 3)
        compare(d.encrypt, 2)
        compare(d.chanelBand, -1)
        compare(d.send_ptt_id, -1)
        verify(d.gps === undefined)
        var a = out[1]
        compare(a.type_channel, false)
        compare(a.recv_freq, 446006250)
        compare(a.recv_qt_dqt, 0x670)
        compare(a.qt_dqt_type_rcv, 1)
        compare(a.send_qt_dqt, 0xC754)
        compare(a.qt_dqt_type_trasm, 3)
        compare(a.chanelBand, 1)
        compare(a.rx_groupe, 0)
        compare(a.contact, 0)
        compare(a.encrypt, 0)
        compare(out[2].rx_groupe, 0)
        compare(out[2].contact, 0)
        compare(out[2].encrypt, 0)
        compare(out[3].recv_qt_dqt, 65535)
        compare(out[3].qt_dqt_type_rcv, 0)
        compare(out[3].chanelBand, 2)
    }

    // Two contacts of one name: each channel keeps the one it named.
    function test_duplicateNamesKeepTheirPosition() {
        var dupContacts = [{ "name": "Иван" }, { "name": "Пётр" }, { "name": "Иван" }]
        tab.fillTable([digital(0, "a", 150000000, 1, 1, 0), digital(1, "b", 150000000, 1, 3, 0)],
                      groups, dupContacts, keys)
        compare(shown(0, "contact"), "Иван")
        compare(shown(1, "contact"), "Иван")
        compare(tab.getData()[0].contact, 1)
        compare(tab.getData()[1].contact, 3)
        // A name typed into the editor takes the last entry of that name.
        verify(tab.table.applyChoice(1, "contact", -1, "Пётр"))
        compare(tab.getData()[1].contact, 2)
        verify(tab.table.applyChoice(0, "contact", -1, "Иван"))
        compare(tab.getData()[0].contact, 3)
        verify(!tab.table.applyChoice(0, "contact", -1, "Никто"), "an unknown name is refused")
        compare(tab.getData()[0].contact, 3)
    }

    // The lists as the DMR tab sends them: every entry with its identity.
    function dmrContacts(names, uids) {
        return names.map(function (n, i) { return { "name": n, "uid": uids[i] } })
    }

    function test_referencesFollowRenamesAndRemovals_data() {
        // The sample channel 0 names group "Группа Б" (2nd), contact "Сидор"
        // (3rd) and key "beta" (2nd).
        return [
            { tag: "contact renamed", role: "contact",
              list: dmrContacts(["Иван", "Пётр", "Сидоров"], [1, 2, 3]),
              shown: "Сидоров", written: 3 },
            { tag: "earlier contact removed", role: "contact",
              list: dmrContacts(["Иван", "Сидор"], [1, 3]), shown: "Сидор", written: 2 },
            { tag: "earlier contact removed, later renamed like it", role: "contact",
              list: dmrContacts(["Сидор", "Пётр"], [3, 2]), shown: "Сидор", written: 1 },
            { tag: "its contact removed", role: "contact",
              list: dmrContacts(["Иван", "Пётр"], [1, 2]), shown: "НЕТ", written: 0 },
            { tag: "its contact removed, another takes the name", role: "contact",
              list: dmrContacts(["Иван", "Сидор"], [1, 2]), shown: "НЕТ", written: 0 },
            { tag: "contact added", role: "contact",
              list: dmrContacts(["Иван", "Пётр", "Сидор", "Новый Контакт 3"], [1, 2, 3, 4]),
              shown: "Сидор", written: 3 },
            { tag: "key renamed", role: "encrypt",
              list: [{ "name": "НЕТ" }, { "name": "alpha", "uid": 1 }, { "name": "gamma", "uid": 2 }],
              shown: "gamma", written: 2 },
            { tag: "earlier key removed", role: "encrypt",
              list: [{ "name": "НЕТ" }, { "name": "beta", "uid": 2 }], shown: "beta", written: 1 },
            { tag: "its key removed", role: "encrypt",
              list: [{ "name": "НЕТ" }, { "name": "alpha", "uid": 1 }], shown: "НЕТ", written: 0 },
            { tag: "earlier group removed", role: "rx_groupe",
              list: [{ "title": "Группа Б", "groups": 3, "selectedContacts": [1], "uid": 2 }],
              shown: "Группа Б", written: 1 },
            { tag: "its group removed", role: "rx_groupe",
              list: [{ "title": "Группа А", "groups": 1, "selectedContacts": [1], "uid": 1 }],
              shown: "НЕТ", written: 0 },
            { tag: "group added at the place of a group number", role: "rx_groupe",
              list: [{ "title": "Группа А", "groups": 1, "selectedContacts": [1], "uid": 1 },
                     { "title": "Группа Б", "groups": 3, "selectedContacts": [1], "uid": 2 },
                     { "title": "Группа В", "selectedContacts": [1], "uid": 3 }],
              shown: "Группа Б", written: 2 }
        ]
    }
    function test_referencesFollowRenamesAndRemovals(data) {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var send = { "contact": tab.sendContactModel, "encrypt": tab.sendEncryptModel,
                     "rx_groupe": tab.sendRxGroupModel }[data.role]
        send(data.list)
        compare(shown(0, data.role), data.shown)
        compare(tab.getData()[0][data.role], data.written)
        // Rows that named nothing still name nothing; analogue rows stay greyed.
        compare(tab.getData()[2][data.role], 0)
        compare(row(1)[data.role], -1)
        // A channel added now and the refill the main screen then makes keep
        // the reference.
        var before = JSON.stringify(tab.getData())
        tab.nameField.text = "Новый"
        mouseClick(tab.addButton)
        var args = addedSpy.signalArguments[0]
        tab.fillTable(args[0], args[1], args[2], args[3])
        compare(shown(0, data.role), data.shown)
        compare(JSON.stringify(tab.getData().slice(0, 4)), before)
    }

    function test_referencesFollowTheCurrentLists() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        // The DMR tab sends names only; the key list comes led by "НЕТ".
        tab.sendContactModel([{ "name": "Сидор" }, { "name": "Иван" }])
        tab.sendEncryptModel([{ "name": "НЕТ" }, { "name": "beta" }])
        tab.sendRxGroupModel([{ "title": "Группа Б", "selectedContacts": [1] }])
        compare(tab.table.choicesFor("contact"), ["НЕТ", "Сидор", "Иван"])
        compare(tab.table.choicesFor("encrypt"), ["НЕТ", "beta"])
        compare(tab.table.choicesFor("rx_groupe"), ["НЕТ", "Группа Б"])
        var d = tab.getData()[0]
        compare(d.contact, 1)
        compare(d.encrypt, 1)
        compare(d.rx_groupe, 1)
    }

    function test_displayTexts_data() {
        return [
            { tag: "tone", value: 0x670, kind: 1, text: "67.0" },
            { tag: "high tone", value: 0x2545, kind: 1, text: "254.5" },
            { tag: "normal code", value: 0x8023, kind: 2, text: "D023N" },
            { tag: "inverted code", value: 0xC754, kind: 3, text: "D754I" },
            { tag: "none -1", value: -1, kind: 0, text: "НЕТ" },
            { tag: "none 0", value: 0, kind: 1, text: "НЕТ" },
            { tag: "none ffff", value: 65535, kind: 0, text: "НЕТ" },
            { tag: "undefined", value: undefined, kind: 0, text: "НЕТ" }
        ]
    }
    function test_displayTexts(data) {
        compare(Helper.squelchToText(data.value, data.kind, "НЕТ"), data.text)
    }

    function test_squelchList() {
        var list = tab.table.choicesFor("recv_qt_dqt")
        compare(list.length, 424)
        compare(list[0], "НЕТ_")
        compare(list[1], "60.0")
        compare(list[2], "60.7")
        compare(list[3], "61.4")
        compare(list[200], "199.3")
        compare(list[201], "200.0")
        compare(list[202], "200.5")
        compare(list[256], "254.5")
        compare(list[257], "254.9")
        compare(list[258], "D023N")
        compare(list[340], "D754N")
        compare(list[341], "D023I")
        compare(list[423], "D754I")
        compare(tab.table.choicesFor("width_ch"), ["12.5", "20", "25"])
        compare(tab.table.choicesFor("type_channel"), ["АНАЛОГОВЫЙ", "ЦИФРОВОЙ"])
        var cc = tab.table.choicesFor("color_cod")
        compare(cc.length, 16)
        compare(cc[0], "0")
        compare(cc[15], "15")
    }

    function test_editorChoices_data() {
        return [
            { tag: "tone 67.0", role: "recv_qt_dqt", text: "67.0", value: 0x670, kind: 1, shown: "67.0" },
            { tag: "code D754I", role: "send_qt_dqt", text: "D754I", value: 0xC754, kind: 3, shown: "D754I" },
            { tag: "code D023N", role: "recv_qt_dqt", text: "D023N", value: 0x8023, kind: 2, shown: "D023N" },
            { tag: "typed tone", role: "recv_qt_dqt", text: "100.0", value: 0x1000, kind: 1, shown: "100.0", typed: true },
            { tag: "typed code", role: "send_qt_dqt", text: "d031i", value: 0xC031, kind: 3, shown: "D031I", typed: true },
            { tag: "none", role: "recv_qt_dqt", text: "НЕТ_", value: -1, kind: 0, shown: "НЕТ" }
        ]
    }
    function test_editorChoices(data) {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var list = tab.table.choicesFor(data.role)
        var index = data.typed ? -1 : list.indexOf(data.text)
        verify(tab.table.applyChoice(1, data.role, index, data.text))
        var kindRole = data.role === "recv_qt_dqt" ? "qt_dqt_type_rcv" : "qt_dqt_type_trasm"
        compare(row(1)[data.role], data.value)
        compare(row(1)[kindRole], data.kind)
        compare(Helper.squelchToText(row(1)[data.role], row(1)[kindRole], "НЕТ"), data.shown)
        var out = tab.getData()[1]
        compare(out[data.role], data.value)
        compare(out[kindRole], data.kind)
    }

    function test_invalidTypedValuesAreRefused_data() {
        return [
            { tag: "garbage tone", role: "recv_qt_dqt", text: "abc" },
            { tag: "tone too low", role: "recv_qt_dqt", text: "12.0" },
            { tag: "octal digit 8", role: "send_qt_dqt", text: "D028N" },
            { tag: "colour 16", role: "color_cod", text: "16" },
            { tag: "width 30", role: "width_ch", text: "30" }
        ]
    }
    function test_invalidTypedValuesAreRefused(data) {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var before = JSON.stringify(tab.getData())
        verify(!tab.table.applyChoice(1, data.role, -1, data.text))
        compare(JSON.stringify(tab.getData()), before)
    }

    function test_widthColourAndReferences() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var t = tab.table
        verify(t.applyChoice(1, "width_ch", 0, "12.5"))
        compare(tab.getData()[1].chanelBand, 1)
        verify(t.applyChoice(1, "width_ch", 1, "20"))
        compare(tab.getData()[1].chanelBand, 2)
        verify(t.applyChoice(1, "width_ch", 2, "25"))
        compare(tab.getData()[1].chanelBand, 0)
        verify(t.applyChoice(0, "color_cod", 15, "15"))
        compare(tab.getData()[0].color_cod, 15)
        verify(t.applyChoice(0, "contact", 2, "Пётр"))
        compare(tab.getData()[0].contact, 2)
        verify(t.applyChoice(0, "contact", 0, "НЕТ"))
        compare(tab.getData()[0].contact, 0)
        verify(t.applyChoice(0, "rx_groupe", 1, "Группа А"))
        compare(tab.getData()[0].rx_groupe, 1)
        verify(t.applyChoice(0, "encrypt", 1, "alpha"))
        compare(tab.getData()[0].encrypt, 1)
    }

    function test_typeChangeResetsTheRow() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        var t = tab.table
        verify(t.applyChoice(0, "type_channel", 0, "АНАЛОГОВЫЙ"))
        var a = tab.getData()[0]
        compare(a.type_channel, false)
        compare(a.recv_qt_dqt, 0)
        compare(a.send_qt_dqt, 0)
        compare(a.qt_dqt_type_rcv, 0)
        compare(a.send_ptt_id, 0)
        compare(a.chanelBand, 0)
        compare(a.color_cod, -1)
        compare(a.rx_groupe, 0)
        compare(row(0).contact, -1)
        compare(shown(0, "contact"), "")
        verify(t.applyChoice(1, "type_channel", 1, "ЦИФРОВОЙ"))
        var d = tab.getData()[1]
        compare(d.type_channel, true)
        compare(d.color_cod, 1)
        compare(d.recv_qt_dqt, -1)
        compare(d.send_qt_dqt, -1)
        compare(d.send_ptt_id, -1)
        compare(d.chanelBand, -1)
        compare(d.rx_groupe, 0)
        compare(d.contact, 0)
        compare(d.encrypt, 0)
    }

    function test_bandRule_data() {
        return [
            { tag: "uhf out of band", first: 435000000, typed: "480.0000", stored: "435.00000", hz: 435000000 },
            { tag: "uhf in band", first: 435000000, typed: "401.1250", stored: "401.1250", hz: 401125000 },
            { tag: "uhf just above", first: 435000000, typed: "470.0001", stored: "435.00000", hz: 435000000 },
            { tag: "uhf upper edge", first: 435000000, typed: "470.0000", stored: "470.0000", hz: 470000000 },
            { tag: "vhf refuses uhf", first: 150000000, typed: "435.0000", stored: "150.00000", hz: 150000000 },
            { tag: "vhf below", first: 150000000, typed: "135.9000", stored: "150.00000", hz: 150000000 },
            { tag: "vhf in band", first: 150000000, typed: "173.5000", stored: "173.5000", hz: 173500000 }
        ]
    }
    function test_bandRule(data) {
        tab.fillTable([digital(0, "a", data.first, 1, 1, 0)], groups, contacts, keys)
        tab.table.editFrequency(0, "recv_freq")
        var input = tab.table.frequencyEditor
        verify(input.activeFocus)
        input.text = data.typed
        // Each key press stores the text at once.
        compare(row(0).recv_freq, data.typed)
        tab.table.commitFrequency()
        compare(row(0).recv_freq, data.stored)
        compare(tab.getData()[0].recv_freq, data.hz)
    }

    function test_openingTheEditorKeepsFiveDecimals() {
        tab.fillTable([analogue(0, "a", 446006250, -1, 0, -1, 0, 1)], groups, contacts, keys)
        tab.table.editFrequency(0, "recv_freq")
        compare(row(0).recv_freq, "446.00625")
        tab.table.commitFrequency()
        compare(row(0).recv_freq, "446.00625")
        compare(tab.getData()[0].recv_freq, 446006250)
        // Escape drops what was typed.
        tab.table.editFrequency(0, "recv_freq")
        keyClick(Qt.Key_Home)
        keyClick("4")
        keyClick("5")
        compare(row(0).recv_freq, "456.00625")
        keyClick(Qt.Key_Escape)
        compare(row(0).recv_freq, "446.00625")
    }

    function test_frequencyTypedWithKeys() {
        tab.fillTable([digital(0, "a", 435000000, 1, 1, 0)], groups, contacts, keys)
        waitForRendering(tab)
        // Click the selected row's frequency cell to open the input.
        var t = tab.table
        var x = t.colX[4] + t.colW[4] / 2
        var y = 40 + 12
        mouseClick(t, x, y)
        compare(t.selectedRow, 0)
        mouseClick(t, x, y)
        verify(t.frequencyEditor.activeFocus)
        keyClick(Qt.Key_Home)
        var digits = "40112625" // five decimals: the 6.25 kHz raster
        for (var i = 0; i < digits.length; ++i)
            keyClick(digits.charAt(i))
        keyClick(Qt.Key_Return)
        compare(row(0).send_freq, "401.12625")
        compare(tab.getData()[0].send_freq, 401126250)
    }

    function test_bandStartsNewChannels_data() {
        return [
            { tag: "uhf", first: 435000000, start: 400000000 },
            { tag: "vhf", first: 174000000, start: 136000000 },
            { tag: "empty", first: 0, start: 136000000 }
        ]
    }
    function test_bandStartsNewChannels(data) {
        tab.fillTable(data.first ? [digital(0, "a", data.first, 1, 1, 0)] : [], groups, contacts, keys)
        verify(tab.addChannel("новый"))
        var last = addedSpy.signalArguments[0][0]
        var ch = last[last.length - 1]
        compare(ch.recvFreq, data.start)
        compare(ch.sendFreq, data.start)
    }

    function test_valueEditorWithMouse() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        waitForRendering(tab)
        var t = tab.table
        // The edit mark sits at the right edge of the type cell of row 0.
        mouseClick(t, t.colX[2] + t.colW[2] - 10, 40 + 12)
        var editor = t.valueEditor
        verify(editor.visible)
        compare(editor.role, "type_channel")
        // The panel opens under the cell, not over the header.
        verify(Math.abs(editor.panel.x - t.colX[2]) <= 2, "panel at x " + editor.panel.x)
        verify(editor.panel.y >= 40 + 25, "panel at " + editor.panel.y)
        compare(editor.combo.currentText, "ЦИФРОВОЙ")
        editor.combo.currentIndex = 0
        mouseClick(findChild(editor, "valueOk"))
        verify(!editor.visible)
        compare(row(0).type_channel, false)
        // A click outside the panel closes it without change.
        mouseClick(t, t.colX[11] + t.colW[11] - 10, 40 + 25 + 12)
        verify(editor.visible)
        compare(editor.role, "recv_qt_dqt")
        compare(editor.combo.currentText, "67.0")
        editor.combo.currentIndex = 0
        mouseClick(t, 5, t.height - 5)
        verify(!editor.visible)
        compare(row(1).recv_qt_dqt, 0x670)
    }

    function test_powerCheckBox() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        waitForRendering(tab)
        var t = tab.table
        mouseClick(t, t.colX[5] + t.colW[5] / 2, 40 + 12)
        compare(tab.getData()[0].power_ch, false)
        mouseClick(t, t.colX[5] + t.colW[5] / 2, 40 + 12)
        compare(tab.getData()[0].power_ch, true)
    }

    function test_addChannel() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        tab.table.selectedRow = 2
        tab.nameField.text = "Новый"
        verify(tab.addButton.enabled)
        mouseClick(tab.addButton)
        compare(addedSpy.count, 1)
        compare(tab.nameField.text, "")
        compare(tab.table.selectedRow, -1)
        compare(tab.table.model.count, 5)
        var args = addedSpy.signalArguments[0]
        var list = args[0]
        compare(list.length, 5)
        var ch = list[4]
        compare(ch.name, "Новый")
        compare(ch.channel, 4)
        compare(ch.typeChannel, true)
        compare(ch.colorCod, 1)
        compare(ch.rxGroup, 1)
        compare(ch.contact, 1)
        compare(ch.encrypt, 1)
        compare(ch.chanelBand, -1)
        compare(ch.recvQtDqt, -1)
        compare(ch.sendPttId, -1)
        compare(ch.QtDqtTypeRcv, 0)
        compare(args[1], groups)
        compare(args[2], contacts)
        // The list handed on fills back the same rows (edits included).
        compare(list[0].rxGroup, 3)
        compare(list[0].contact, 3)
        compare(list[0].encrypt, 2)
        compare(list[1].recvQtDqt, 0x670)
        var before = JSON.stringify(tab.getData())
        tab.fillTable(list, args[1], args[2], args[3])
        compare(JSON.stringify(tab.getData()), before)
        compare(shown(4, "rx_groupe"), "Группа А")
        compare(shown(4, "contact"), "Иван")
    }

    function test_addRefused_data() {
        return [
            { tag: "duplicate", name: "Аналог", count: 4, title: "Недопустимое имя канала",
              text: "Введение имя канала уже используется. Введите другое имя." },
            { tag: "too long", name: "12345678901234567", count: 4, title: "Недопустимое имя канала",
              text: "Имя канала может содержать не более 16 символов." },
            { tag: "full", name: "Новый", count: 999, title: "Список каналов заполнен",
              text: "В радиостанции помещается не более 999 каналов. Удалите ненужный канал, чтобы добавить новый." }
        ]
    }
    function test_addRefused(data) {
        tab.fillTable(data.count === 4 ? sampleList() : numbered(data.count, 400000000),
                      groups, contacts, keys)
        verify(!tab.addChannel(data.name))
        compare(tab.table.model.count, data.count)
        compare(addedSpy.count, 0)
        verify(tab.messageBox.visible)
        compare(tab.messageBox.title, data.title)
        compare(tab.messageBox.text, data.text)
        mouseClick(findChild(tab.messageBox, "messageOk"))
        verify(!tab.messageBox.visible)
    }

    function test_nameFieldTakesSixteenCharacters() {
        compare(tab.nameField.maximumLength, 16)
        verify(!tab.addButton.enabled)
    }

    function test_removeRenumbers() {
        tab.fillTable(numbered(10, 435000000), groups, contacts, keys)
        verify(!tab.removeButton.enabled)
        tab.table.selectedRow = 5
        verify(tab.removeButton.enabled)
        mouseClick(tab.removeButton)
        compare(removedSpy.count, 1)
        compare(removedSpy.signalArguments[0][1], 5)
        var list = removedSpy.signalArguments[0][0]
        compare(list.length, 9)
        for (var i = 0; i < 9; ++i)
            compare(list[i].channel, i)
        compare(list[5].name, "К6")
        compare(list[8].name, "К9")
        compare(tab.table.model.count, 9)
        compare(row(5).channel, 5)
        compare(row(5).name, "К6")
        compare(tab.table.selectedRow, 5)
        // Removing the last row selects the new last row.
        tab.table.selectedRow = 8
        verify(tab.removeSelected())
        compare(removedSpy.signalArguments[1][1], 8)
        compare(tab.table.selectedRow, 7)
        // Each channel keeps its place in the decoded list; a new one has -1.
        verify(tab.addChannel("Новый"))
        compare(tab.getData().map(function (c) { return c.origin }), [0, 1, 2, 3, 4, 6, 7, 8, -1])
    }

    function test_zonesWithoutChannel() {
        var zones = [{ "title": "Z1", "selectedChannels": [2, 3, 5] },
                     { "title": "Z2", "selectedChannels": [0, 1] }]
        var out = Helper.zonesWithoutChannel(zones, 3)
        compare(out[0].title, "Z1")
        compare(out[0].selectedChannels, [2, 4])
        compare(out[1].selectedChannels, [0, 1])
        compare(zones[0].selectedChannels, [2, 3, 5]) // the input is not changed
    }

    function test_clearAll() {
        tab.fillTable(sampleList(), groups, contacts, keys)
        tab.clearAll()
        compare(tab.table.model.count, 0)
        compare(tab.getData(), [])
        compare(tab.table.choicesFor("contact"), ["НЕТ"])
    }
}
}
