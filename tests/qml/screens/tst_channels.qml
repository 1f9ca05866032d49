import QtQuick 2.7
import QtTest 1.2
import "qrc:/qml/Tabs"
import "qrc:/qml/Helper.js" as Helper
import "Helpers.js" as H

// The channel tab alone, with stub reference lists.
TestCase {
    id: testCase
    name: "ChannelTab"
    when: windowShown
    width: 1100
    height: 600
    visible: true // the tab is created inside and must be shown for clicks

    property var groups: [{ "title": "Группа А", "groups": 1, "selectedContacts": [1] },
                          { "title": "Группа Б", "groups": 3, "selectedContacts": [2] }]
    property var contacts: [{ "name": "Иван", "pos": 0, "number": "100", "type": 1, "tone": 0 },
                            { "name": "Пётр", "pos": 1, "number": "200", "type": 0, "tone": 0 },
                            { "name": "Сидор", "pos": 2, "number": "300", "type": 0, "tone": 1 }]
    property var keys: ({ "alpha": "7e2b", "beta": "1234" })

    function digital(id, name, freq, rx, contact, key) {
        return { "channel": id, "name": name, "typeChannel": true, "recvFreq": freq, "sendFreq": freq + 500000,
                 "powerCH": true, "colorCod": 1, "rxGroup": rx, "contact": contact, "encrypt": key, "chanelBand": -1,
                 "recvQtDqt": -1, "sendQtDqt": -1, "sendPttId": -1, "refFreq": 1, "vox": false }
    }
    function analogue(id, name, freq, rxTone, rxKind, txTone, txKind, band) {
        return { "channel": id, "name": name, "typeChannel": false, "recvFreq": freq, "sendFreq": freq,
                 "powerCH": false, "colorCod": -1, "rxGroup": -1, "contact": -1, "encrypt": -1, "chanelBand": band,
                 "recvQtDqt": rxTone, "sendQtDqt": txTone, "QtDqtTypeRcv": rxKind, "QtDqtTypeTrasm": txKind }
    }
    function sampleList() {
        return [digital(0, "Канал 1", 435000000, 3, 3, 2), analogue(1, "Аналог", 446006250, 0x670, 1, 0xC754, 3, 1),
                digital(2, "Без ссылок", 436012500, 0, 0, 0), analogue(3, "Без тонов", 437000000, 65535, 0, 65535, 0, 2)]
    }
    function numbered(n, firstFreq) {
        return H.range(n).map(function (i) {
            return Object.assign(digital(i, "К" + i, firstFreq + i * 12500, 1, 1, 0), { "origin": i })
        })
    }

    Component { id: tabComponent; TabFrequency { width: 1100; height: 600 } }
    SignalSpy { id: addedSpy; signalName: "elementAdded" }
    SignalSpy { id: removedSpy; signalName: "elementRemoved" }

    property var tab: null
    function init() {
        tab = createTemporaryObject(tabComponent, testCase)
        addedSpy.target = removedSpy.target = tab
        addedSpy.clear()
        removedSpy.clear()
        tab.fillTable(sampleList(), groups, contacts, keys)
    }
    function row(i) { return tab.table.model.get(i) }
    function shown(i, role) { return tab.table.cellText(role, row(i)) }

    // References are shown by name (group matched by its "groups" number, contact by position, key by order) and
    // written back as places in the current lists; analogue rows have none (empty, greyed), zero means "none".
    function test_fillAndGetData() {
        var roles = ["rx_groupe", "contact", "encrypt"]
        compare([0, 1, 2].map(function (i) { return roles.map(function (r) { return shown(i, r) }) }),
                [["Группа Б", "Сидор", "beta"], ["", "", ""], ["НЕТ", "НЕТ", "НЕТ"]])
        compare([row(0).recv_freq, row(0).send_freq, row(0).gps, row(1).recv_freq], ["435.00000", "435.50000", 1, "446.00625"])
        compare([row(1).rx_groupe, row(1).contact, row(1).encrypt, row(1).color_cod, row(2).rx_groupe], [-1, -1, -1, -1, 0])
        var out = tab.getData()
        compare([out.length, out[0].gps], [4, undefined])
        var fields = ["channel", "name", "type_channel", "recv_freq", "send_freq", "power_ch", "color_cod", "rx_groupe",
                      "contact", "encrypt", "chanelBand", "send_ptt_id", "recv_qt_dqt", "qt_dqt_type_rcv", "send_qt_dqt",
                      "qt_dqt_type_trasm"]
        function written(d) { return fields.map(function (f) { return d[f] }) }
        // The group is written as its place in the list (2), not its number 3.
        compare(written(out[0]).slice(0, 12), [0, "Канал 1", true, 435000000, 435500000, true, 1, 2, 3, 2, -1, -1])
        compare(written(out[1]), [1, "Аналог", false, 446006250, 446006250, false, -1, 0, 0, 0, 1, -1, 0x670, 1, 0xC754, 3])
        compare(written(out[2]).slice(7, 10), [0, 0, 0])
        compare([out[3].recv_qt_dqt, out[3].qt_dqt_type_rcv, out[3].chanelBand], [65535, 0, 2])
    }

    // Two contacts of one name: each channel keeps the one it named.
    function test_duplicateNamesKeepTheirPosition() {
        var dupContacts = [{ "name": "Иван" }, { "name": "Пётр" }, { "name": "Иван" }]
        tab.fillTable([digital(0, "a", 150000000, 1, 1, 0), digital(1, "b", 150000000, 1, 3, 0)],
                      groups, dupContacts, keys)
        compare([shown(0, "contact"), shown(1, "contact")], ["Иван", "Иван"])
        compare(tab.getData().map(function (c) { return c.contact }), [1, 3])
        // A name typed into the editor takes the last entry of that name; an unknown name is refused.
        var t = tab.table
        compare([t.applyChoice(1, "contact", -1, "Пётр"), t.applyChoice(0, "contact", -1, "Иван"),
                 t.applyChoice(0, "contact", -1, "Никто"), tab.getData().map(function (c) { return c.contact })],
                [true, true, false, [3, 2]])
    }

    // The sample channel 0 names group "Группа Б" (2nd, number 3), contact "Сидор" (3rd) and key "beta"
    // (2nd). The lists come as the DMR tab sends them, every entry with its identity: [name, uid, ...] (null:
    // names only); the key list is led by "НЕТ", a group's number (3) is kept where given.
    function test_referencesFollowRenamesAndRemovals_data() {
        function row(tag, role, entries, shown, written) {
            return { tag: tag, role: role, shown: shown, written: written, entries: entries }
        }
        return [
            row("contact renamed", "contact", ["Иван", 1, "Пётр", 2, "Сидоров", 3], "Сидоров", 3),
            row("earlier contact removed", "contact", ["Иван", 1, "Сидор", 3], "Сидор", 2),
            row("earlier contact removed, later renamed like it", "contact", ["Сидор", 3, "Пётр", 2], "Сидор", 1),
            row("its contact removed", "contact", ["Иван", 1, "Пётр", 2], "НЕТ", 0),
            row("its contact removed, another takes the name", "contact", ["Иван", 1, "Сидор", 2], "НЕТ", 0),
            row("contact added", "contact", ["Иван", 1, "Пётр", 2, "Сидор", 3, "Новый Контакт 3", 4], "Сидор", 3),
            row("key renamed", "encrypt", ["alpha", 1, "gamma", 2], "gamma", 2),
            row("earlier key removed", "encrypt", ["beta", 2], "beta", 1),
            row("its key removed", "encrypt", ["alpha", 1], "НЕТ", 0),
            row("earlier group removed", "rx_groupe", ["Группа Б", 2], "Группа Б", 1),
            row("its group removed", "rx_groupe", ["Группа А", 1], "НЕТ", 0),
            row("group added at the place of a group number", "rx_groupe", ["Группа А", 1, "Группа Б", 2, "Группа В", 3],
                "Группа Б", 2),
            row("contacts by name only", "contact", ["Сидор", null, "Иван", null], "Сидор", 1),
            row("keys by name only", "encrypt", ["beta", null], "beta", 1),
            row("groups by name only", "rx_groupe", ["Группа Б", null], "Группа Б", 1)
        ]
    }
    function test_referencesFollowRenamesAndRemovals(data) {
        var list = data.role === "encrypt" ? [{ "name": "НЕТ" }] : []
        for (var i = 0; i < data.entries.length; i += 2) {
            var name = data.entries[i], uid = data.entries[i + 1]
            var number = uid === null ? undefined : { "Группа А": 1, "Группа Б": 3 }[name]
            var entry = data.role !== "rx_groupe" ? { "name": name } : { "title": name, "groups": number, "selectedContacts": [1] }
            list.push(uid === null ? entry : Object.assign(entry, { "uid": uid }))
        }
        ({ "contact": tab.sendContactModel, "encrypt": tab.sendEncryptModel, "rx_groupe": tab.sendRxGroupModel })[data.role](list)
        // Rows that named nothing still name nothing; analogue rows stay greyed.
        compare([shown(0, data.role), tab.getData()[0][data.role], tab.getData()[2][data.role], row(1)[data.role]],
                [data.shown, data.written, 0, -1])
        // A channel added now and the refill the main screen then makes keep the reference.
        var before = JSON.stringify(tab.getData())
        tab.nameField.text = "Новый"
        mouseClick(tab.addButton)
        tab.fillTable.apply(tab, addedSpy.signalArguments[0])
        compare([shown(0, data.role), JSON.stringify(tab.getData().slice(0, 4))], [data.shown, before])
    }

    // What the tone cells show for every kind of stored value, and the editors' choices.
    function test_toneTextsAndChoiceLists() {
        compare([[0x670, 1], [0x2545, 1], [0x8023, 2], [0xC754, 3], [-1, 0], [0, 1], [65535, 0], [undefined, 0]].map(function (t) {
            return Helper.squelchToText(t[0], t[1], "НЕТ") }), ["67.0", "254.5", "D023N", "D754I", "НЕТ", "НЕТ", "НЕТ", "НЕТ"])
        var list = tab.table.choicesFor("recv_qt_dqt")
        compare(list.length, 424)
        compare([0, 1, 2, 3, 200, 201, 202, 256, 257, 258, 340, 341, 423].map(function (i) { return list[i] }),
                ["НЕТ_", "60.0", "60.7", "61.4", "199.3", "200.0", "200.5", "254.5", "254.9", "D023N", "D754N", "D023I", "D754I"])
        compare(tab.table.choicesFor("color_cod"), H.range(16).map(String))
    }

    // A choice in a value editor (picked from the list, or typed: index -1) -> what the row holds and getData
    // writes; a refused one changes nothing (tones typed into the real window: the end-to-end test).
    function test_editorChoices_data() {
        return [
            { tag: "code D023N", row: 1, role: "recv_qt_dqt", text: "D023N", out: { recv_qt_dqt: 0x8023, qt_dqt_type_rcv: 2 }, shown: "D023N" },
            { tag: "typed tone", row: 1, role: "recv_qt_dqt", text: "100.0", typed: true, out: { recv_qt_dqt: 0x1000, qt_dqt_type_rcv: 1 }, shown: "100.0" },
            { tag: "typed code", row: 1, role: "send_qt_dqt", text: "d031i", typed: true, out: { send_qt_dqt: 0xC031, qt_dqt_type_trasm: 3 }, shown: "D031I" },
            { tag: "no tone", row: 1, role: "recv_qt_dqt", text: "НЕТ_", out: { recv_qt_dqt: -1, qt_dqt_type_rcv: 0 }, shown: "НЕТ" },
            { tag: "width 12.5", row: 1, role: "width_ch", text: "12.5", out: { chanelBand: 1 } },
            { tag: "width 20", row: 1, role: "width_ch", text: "20", out: { chanelBand: 2 } },
            { tag: "width 25", row: 1, role: "width_ch", text: "25", out: { chanelBand: 0 } },
            { tag: "colour 15", row: 0, role: "color_cod", text: "15", out: { color_cod: 15 } },
            { tag: "contact", row: 0, role: "contact", text: "Пётр", out: { contact: 2 } },
            { tag: "no contact", row: 0, role: "contact", text: "НЕТ", out: { contact: 0 } },
            { tag: "group", row: 0, role: "rx_groupe", text: "Группа А", out: { rx_groupe: 1 } },
            { tag: "key", row: 0, role: "encrypt", text: "alpha", out: { encrypt: 1 } },
            // A new type resets what belongs to the other kind of channel.
            { tag: "type analogue", row: 0, role: "type_channel", text: "АНАЛОГОВЫЙ",
              out: { type_channel: false, recv_qt_dqt: 0, send_qt_dqt: 0, qt_dqt_type_rcv: 0, send_ptt_id: 0,
                     chanelBand: 0, color_cod: -1, rx_groupe: 0 } },
            { tag: "type digital", row: 1, role: "type_channel", text: "ЦИФРОВОЙ",
              out: { type_channel: true, recv_qt_dqt: -1, send_qt_dqt: -1, send_ptt_id: -1, chanelBand: -1,
                     color_cod: 1, rx_groupe: 0, contact: 0, encrypt: 0 } },
            { tag: "garbage tone", row: 1, role: "recv_qt_dqt", text: "abc", typed: true },
            { tag: "tone too low", row: 1, role: "recv_qt_dqt", text: "12.0", typed: true },
            { tag: "octal digit 8", row: 1, role: "send_qt_dqt", text: "D028N", typed: true },
            { tag: "colour 16", row: 0, role: "color_cod", text: "16", typed: true },
            { tag: "width 30", row: 1, role: "width_ch", text: "30", typed: true }
        ]
    }
    function test_editorChoices(data) {
        var before = JSON.stringify(tab.getData())
        var index = data.typed ? -1 : tab.table.choicesFor(data.role).indexOf(data.text)
        compare(tab.table.applyChoice(data.row, data.role, index, data.text), data.out !== undefined)
        if (data.out === undefined) {
            compare(JSON.stringify(tab.getData()), before)
            return
        }
        var out = tab.getData()[data.row]
        for (var k in data.out)
            compare(out[k], data.out[k], k)
        if (data.shown)
            compare(shown(data.row, data.role), data.shown)
    }

    // A frequency typed is kept within the band of the first channel, which also gives the start of a new
    // channel (136 MHz for an empty list: the clearAll case below).
    function test_bandRule_data() {
        var uhf = 400000000, vhf = 136000000
        return [
            { tag: "uhf in band", first: 435e6, typed: "401.1250", stored: "401.1250", hz: 401125000, start: uhf },
            { tag: "6.25 kHz raster", first: 435e6, typed: "401.12625", stored: "401.12625", hz: 401126250, start: uhf },
            { tag: "uhf just above", first: 435e6, typed: "470.0001", stored: "435.00000", hz: 435e6, start: uhf },
            { tag: "uhf upper edge", first: 435e6, typed: "470.0000", stored: "470.0000", hz: 470e6, start: uhf },
            { tag: "vhf refuses uhf", first: 150e6, typed: "435.0000", stored: "150.00000", hz: 150e6, start: vhf },
            { tag: "vhf below", first: 150e6, typed: "135.9000", stored: "150.00000", hz: 150e6, start: vhf },
            { tag: "vhf top", first: 174e6, typed: "173.5000", stored: "173.5000", hz: 173500000, start: vhf }
        ]
    }
    function test_bandRule(data) {
        tab.fillTable([digital(0, "a", data.first, 1, 1, 0)], groups, contacts, keys)
        tab.table.editFrequency(0, "recv_freq")
        var input = tab.table.frequencyEditor
        verify(input.activeFocus)
        compare(input.text, (data.first / 1e6).toFixed(5)) // the editor opens with all five decimals
        input.text = data.typed
        // Each key press stores the text at once.
        compare(row(0).recv_freq, data.typed)
        tab.table.commitFrequency()
        compare([row(0).recv_freq, tab.getData()[0].recv_freq], [data.stored, data.hz])
        verify(tab.addChannel("новый"))
        var ch = addedSpy.signalArguments[0][0][1]
        compare([ch.recvFreq, ch.sendFreq], [data.start, data.start])
    }

    // Escape drops what was typed.
    function test_frequencyEditorEscape() {
        tab.table.editFrequency(1, "recv_freq")
        keyClick(Qt.Key_Home)
        H.typeText(testCase, "45")
        compare(row(1).recv_freq, "456.00625")
        keyClick(Qt.Key_Escape)
        compare([row(1).recv_freq, tab.getData()[1].recv_freq], ["446.00625", 446006250])
    }

    function test_valueEditorWithMouse() {
        waitForRendering(tab)
        var t = tab.table, editor = t.valueEditor
        // The edit mark sits at the right edge of the type cell of row 0; the panel opens under the cell, not over
        // the header, showing the cell's value (a value picked and confirmed: the end-to-end test).
        mouseClick(t, t.colX[2] + t.colW[2] - 10, 40 + 12)
        compare([editor.visible, editor.role, editor.combo.currentText], [true, "type_channel", "ЦИФРОВОЙ"])
        verify(Math.abs(editor.panel.x - t.colX[2]) <= 2 && editor.panel.y >= 40 + 25, editor.panel.x + "," + editor.panel.y)
        // A click outside the panel closes it without change.
        editor.combo.currentIndex = 0
        mouseClick(t, 5, t.height - 5)
        compare([editor.visible, row(0).type_channel], [false, true])
        // The power check box switches with a click.
        mouseClick(t, t.colX[5] + t.colW[5] / 2, 40 + 12)
        compare(tab.getData()[0].power_ch, false)
        mouseClick(t, t.colX[5] + t.colW[5] / 2, 40 + 12)
        compare(tab.getData()[0].power_ch, true)
    }

    function test_addChannel() {
        verify(!tab.addButton.enabled)
        tab.table.selectedRow = 2
        tab.nameField.text = "Новый"
        mouseClick(tab.addButton)
        compare([addedSpy.count, tab.nameField.text, tab.table.selectedRow, tab.table.model.count], [1, "", -1, 5])
        var args = addedSpy.signalArguments[0], list = args[0], ch = list[4]
        compare([ch.name, ch.channel, ch.typeChannel, ch.colorCod, ch.rxGroup, ch.contact, ch.encrypt, ch.chanelBand,
                 ch.recvQtDqt, ch.sendPttId, ch.QtDqtTypeRcv], ["Новый", 4, true, 1, 1, 1, 1, -1, -1, -1, 0])
        // The list handed on fills back the same rows (edits included).
        var before = JSON.stringify(tab.getData())
        tab.fillTable(list, args[1], args[2], args[3])
        compare(JSON.stringify(tab.getData()), before)
        compare([shown(4, "rx_groupe"), shown(4, "contact")], ["Группа А", "Иван"])
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
        if (data.count !== 4)
            tab.fillTable(numbered(data.count, 400000000), groups, contacts, keys)
        verify(!tab.addChannel(data.name))
        compare([tab.table.model.count, addedSpy.count, tab.messageBox.visible, tab.messageBox.title, tab.messageBox.text],
                [data.count, 0, true, data.title, data.text])
        mouseClick(findChild(tab.messageBox, "messageOk"))
        verify(!tab.messageBox.visible)
    }

    function test_removeRenumbers() {
        tab.fillTable(numbered(10, 435000000), groups, contacts, keys)
        verify(!tab.removeButton.enabled)
        tab.table.selectedRow = 5
        mouseClick(tab.removeButton)
        compare(removedSpy.signalArguments[0][1], 5)
        var list = removedSpy.signalArguments[0][0]
        compare(H.names(list, "channel"), H.range(9))
        compare(H.names(list), ["К0", "К1", "К2", "К3", "К4", "К6", "К7", "К8", "К9"])
        compare([tab.table.model.count, row(5).channel, row(5).name, tab.table.selectedRow], [9, 5, "К6", 5])
        // Removing the last row selects the new last row.
        tab.table.selectedRow = 8
        compare([tab.removeSelected(), removedSpy.signalArguments[1][1], tab.table.selectedRow], [true, 8, 7])
        // Each channel keeps its place in the decoded list; a new one has -1.
        verify(tab.addChannel("Новый"))
        compare(tab.getData().map(function (c) { return c.origin }), [0, 1, 2, 3, 4, 6, 7, 8, -1])
        // A shorter image filled in after a longer one leaves no rows behind.
        tab.fillTable(sampleList().slice(0, 2), groups, contacts, keys)
        compare([tab.table.model.count, H.names(tab.getData())], [2, ["Канал 1", "Аналог"]])
        tab.clearAll()
        compare([tab.table.model.count, tab.getData().length, tab.table.choicesFor("contact")], [0, 0, ["НЕТ"]])
        verify(tab.addChannel("Новый"))
        compare([tab.getData()[0].recv_freq, tab.getData()[0].send_freq], [136000000, 136000000])
    }
}
