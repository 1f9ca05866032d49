import QtQuick 2.7
import QtTest 1.2
import QtQuick.Dialogs 1.2
import "../screens/Helpers.js" as H

// The whole window against the real Manager and the emulated radio: what a user does with the tool buttons
// and the tabs reaches the radio's memory, and what the radio holds comes back onto the screen.
TestCase {
    id: testCase
    name: "EndToEnd"
    when: windowShown

    property var window: null
    property var screen: null

    // Cancel the read at the first retry.
    property bool cancelOnRetry: false
    // What Manager reported, in order.
    property var decoded: []
    property var readResults: []
    property var wrote: []
    // (state, indicator text) pairs the screen went through.
    property var shown: []

    SignalSpy { id: languageSpy; target: Manager; signalName: "signalLanguageSettings" }
    Connections {
        target: Manager
        function onDataReadyReadFromDevice(success, data) {
            testCase.readResults.push(success)
            if (success)
                testCase.decoded.push(data)
        }
        function onDataWroteToDevice(success) { testCase.wrote.push(success) }
        function onSignalRetryConnect(count) {
            if (testCase.cancelOnRetry)
                testCase.screen.cancelClicked()
        }
    }

    function record() {
        if (!screen)
            return
        var entry = screen.state + "|" + child("loadingText").text
        if (shown.length === 0 || shown[shown.length - 1] !== entry)
            shown.push(entry)
    }
    // Recorded once per pass of the event loop: what the user gets to see.
    Connections {
        target: testCase.screen
        ignoreUnknownSignals: true
        function onStateChanged() { Qt.callLater(testCase.record) }
        function onReconnectCountChanged() { Qt.callLater(testCase.record) }
        function onProgressChanged() { Qt.callLater(testCase.record) }
    }
    // The shown entries of one state, without their text.
    function shownTexts(state) {
        return shown.filter(function (e) { return e.indexOf(state + "|") === 0 })
                    .map(function (e) { return e.substring(state.length + 1) })
    }

    function child(name, parent) {
        var c = findChild(parent === undefined ? window : parent, name)
        verify(c !== null, "no object named " + name)
        return c
    }
    function lastDecoded() { return decoded[decoded.length - 1] }
    function copy(v) { return JSON.parse(JSON.stringify(v)) }

    // Every path at which two decoded values differ.
    function differences(a, b, path, out) {
        out = out || []
        var obj = function (v) { return v !== null && typeof v === "object" }
        if (!obj(a) || !obj(b) || Array.isArray(a) !== Array.isArray(b)) {
            if (JSON.stringify(a) !== JSON.stringify(b))
                out.push(path + ": " + JSON.stringify(a) + " -> " + JSON.stringify(b))
            return out
        }
        var keys = Object.keys(a).concat(Object.keys(b).filter(function (k) { return !(k in a) }))
        keys.forEach(function (k) { differences(a[k], b[k], path + "." + k, out) })
        return out
    }

    function clickTool(name) {
        var b = child(name)
        verify(b.enabled, name + " is disabled")
        mouseClick(b)
    }
    function read() {
        var before = decoded.length
        clickTool("buttonRead")
        if (screen.dialogs.kind === "unsaved") { // edits an earlier step did not write
            screen.dialogs.close()
            screen.dialogs.answered(StandardButton.Discard)
        }
        compare([decoded.length, screen.state], [before + 1, "state_work"], "the read delivered no data")
        return lastDecoded()
    }
    function write() {
        var before = wrote.length
        clickTool("buttonWrite")
        compare([wrote.length, wrote[wrote.length - 1], screen.state, child("loadingText").text],
                [before + 1, true, "state_write_success", "Запись данных завершена!"])
        tryCompare(screen, "state", "state_work", 1000)
    }
    function stepDown(combo) {
        combo.forceActiveFocus()
        keyClick(Qt.Key_Down)
        return combo.currentIndex
    }
    function showTab(index) {
        child("tabView").currentIndex = index
        waitForRendering(child("tabView"))
    }

    function table() { return screen.channelTab.table }
    function clickCell(row, role, onEditMark) {
        var t = table()
        var col = t.columns.map(function (c) { return c.role }).indexOf(role)
        verify(col >= 0, "no column " + role)
        var x = onEditMark ? t.colX[col] + t.colW[col] - 10 : t.colX[col] + t.colW[col] / 2
        var view = child("channelListView", t)
        view.positionViewAtIndex(row, 0 /* ListView.Beginning */)
        var p = view.contentItem.mapToItem(view, x, row * 25 + 12)
        mouseClick(view, p.x, p.y)
    }
    // A new frequency typed into a cell (the row is selected by the first click).
    function typeFrequency(row, role, text) {
        clickCell(row, role, false)
        clickCell(row, role, false)
        var input = child("frequencyInput", table())
        verify(input.activeFocus, "the frequency input is not open")
        input.cursorPosition = 0
        H.typeText(testCase, text.replace(".", ""))
        keyClick(Qt.Key_Return)
    }
    // A value chosen in the value editor by typing it into its combo box.
    function chooseValue(row, role, text) {
        clickCell(row, role, true)
        var editor = table().valueEditor
        verify(editor.visible, "the value editor did not open")
        var combo = child("valueCombo", editor)
        combo.editText = ""
        combo.forceActiveFocus()
        H.typeText(testCase, text)
        compare(combo.editText, text)
        mouseClick(child("valueOk", editor))
        verify(!editor.visible, "the value editor refused " + text)
    }

    function initTestCase() {
        var component = Qt.createComponent("qrc:/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        screen = window.mainScreen
        waitForRendering(screen)
        // The document asked Manager for the stored language while completing; the About window is in
        // front, and closing it enables the main screen.
        compare([window.title, languageSpy.count, screen.enabled, window.aboutWindow.visible],
                ["Orvane 2.7 — ЭМУЛЯТОР РАДИОСТАНЦИИ", 1, false, true])
        mouseClick(child("aboutCloseButton", window.aboutWindow))
        tryCompare(screen, "enabled", true)
        // Keys go to the window that has the focus.
        window.requestActivate()
        tryCompare(window, "active", true)
        compare(screen.state, "state_start")
        // The tool buttons' fixed hold and the transient states' 2 s are not the subject here.
        Object.assign(screen, { readHoldMs: 0, writeHoldMs: 0 })
        screen.stateTimer.interval = 50
    }
    function cleanupTestCase() { window.destroy() }

    function init() {
        verify(Radio.reset())
        decoded = [], readResults = [], wrote = [], shown = [], cancelOnRetry = false
        if (window.languageIndex !== 0)
            screen.topPanel.applyLanguage(0)
        screen.stateTimer.stop()
        // A message box of an earlier test may have taken the focus.
        window.requestActivate()
        tryCompare(window, "active", true)
        showTab(0)
    }

    // The language selector relabels the tools, tabs and table and keeps every value on every tab; in the
    // smallest window every column title of the channel table stays inside its column, in both languages.
    function test_language() {
        read()
        var before = copy(screen.collect())
        compare(window.width, window.minimumWidth)
        var selector = child("languageSelector")
        selector.forceActiveFocus()
        for (var lang = 0; lang < 2; ++lang) {
            if (lang === 1) {
                keyClick(Qt.Key_Down)
                compare([selector.currentIndex, window.languageIndex], [1, 1])
            }
            var t = table()
            for (var i = 0; i < t.columns.length; ++i) {
                var title = child("columnTitle_" + i, t)
                verify(title.text.length > 0 && title.paintedWidth <= title.width + 0.5
                       && title.paintedHeight <= title.height + 0.5, JSON.stringify(title.text) + " is empty or too wide")
            }
        }
        compare(["buttonRead", "buttonWrite", "buttonOpen", "buttonSave", "buttonDefaultSettings"].map(function (n) {
            return child(n).text }), ["Read", "Write", "Open", "Save", "Factory settings"])
        var tv = child("tabView")
        compare([0, 1, 2, 3, 4, 5].map(function (i) { return tv.getTab(i).title.trim() }).concat([table().titles[0]]),
                ["Channels", "Zones", "Basic settings", "Buttons", "DMR settings", "Navigation", "Channel"])
        compare(differences(before, copy(screen.collect()), "collected"), [])
        keyClick(Qt.Key_Up)
        compare([window.languageIndex, child("buttonRead").text, tv.getTab(5).title], [0, "Считать", "Навигация"])
        compare(differences(before, copy(screen.collect()), "collected"), [])
    }

    // Read (its progress shown), one change on every tab through the tabs' own controls, write (its progress shown):
    // read back, the radio holds those changes and nothing else. Saved with one more edit, the file opens with both,
    // after the unsaved-changes question; factory settings then replace what the tabs show, not what the radio holds.
    function test_readEditWriteSaveOpen() {
        var before = copy(read())
        wait(0) // the last state is recorded on the next pass of the event loop
        var loading = shownTexts("state_read_loading")
        verify(loading.length >= 2, "the read showed no progress")
        compare(loading[loading.length - 1], "Загрузка данных с радиостанции: 99%") // an image read ends at 99
        compare(shown[shown.length - 1], "state_work|")
        var t = table()
        var serial = child("serialNumberInput")
        compare(child("serialNumberField").text, before.serialNumber)
        verify(before.serialNumber.length >= 16 && serial.contentWidth <= serial.width, "the serial number is cut")
        var expected = copy(before)

        // Channel: frequencies and tones, through the table's own editors.
        typeFrequency(1, "recv_freq", "446.1875")
        expected.freqList[1].recvFreq = 446187500
        typeFrequency(0, "send_freq", "446.5000")
        expected.freqList[0].sendFreq = 446500000
        var analogue = before.freqList.map(function (c) { return c.typeChannel }).indexOf(false)
        chooseValue(analogue, "recv_qt_dqt", "67.0")
        chooseValue(analogue, "send_qt_dqt", "D754I")
        Object.assign(expected.freqList[analogue], { recvQtDqt: 0x670, QtDqtTypeRcv: 1, sendQtDqt: 0xC754, QtDqtTypeTrasm: 3 })

        // Zone: a new one, which starts with channel 0.
        showTab(1)
        H.typeInto(testCase, child("newZoneField", screen.zoneTab), "Зона 2")
        expected.zoneList.push({ "title": "Зона 2", "selectedChannels": [0], "origin": before.zoneList.length })

        showTab(4)
        H.typeInto(testCase, child("contactNumber_1", screen.dmrTab), "4242")
        expected.contactList[1].number = 4242

        // Receive group: every free contact joins group 1.
        var free = child("freeContactList", screen.dmrTab)
        verify(free.count > 0, "group 1 has no free contact to add")
        while (free.count > 0) {
            var ref = free.model[0].ref
            free.currentIndex = 0
            mouseClick(child("addMemberButton", screen.dmrTab))
            expected.RxGroupsList[0].selectedContacts.push(ref)
        }

        H.typeInto(testCase, child("keyValue_0", screen.dmrTab), "A1B2")
        expected.encryptList[Object.keys(expected.encryptList)[0]] = "a1b2"

        showTab(2)
        compare(stepDown(child("mic_gain_level", screen.settingsTab)), before.basicSettings.mic_gain_level + 1)
        expected.basicSettings.mic_gain_level += 1

        H.typeInto(testCase, child("gps_interval", screen.settingsTab), "45")
        expected.GPSSetup.save_interval = 45

        showTab(3)
        stepDown(child("orange_button_short_press", screen.buttonsTab))
        expected.buttonsSettings.orange_button_short_press += 1

        shown = []
        write()
        var writing = shownTexts("state_write_loading")
        verify(writing.length >= 3, "the write showed no progress")
        compare(writing[writing.length - 1], "Не выключайте радиостанцию до звукового сигнала! \n \n"
                + " Запись данных на радиостанцию: 100%")
        compare([shownTexts("state_write_success"), Radio.protocolErrors()], [["Запись данных завершена!"], []])
        var after = read()
        compare(differences(expected, after, "decoded"), [])
        compare(t.model.get(1).recv_freq, "446.18750")

        // Save what the screen shows, with one more change not yet written.
        showTab(0)
        typeFrequency(2, "send_freq", "447.5000")
        var url = Radio.fileUrl("saved.ovc")
        screen.fileChosen("save_config", url)
        compare([screen.state, child("loadingText").text], ["state_saving_successed", "Данные успешно\nсохранены"])
        tryCompare(screen, "state", "state_work", 1000)

        // An edit not saved: Open asks first; Cancel keeps the edit, Discard opens the file, which holds both
        // changes.
        typeFrequency(2, "send_freq", "448.0000")
        for (var answer = 0; answer < 2; ++answer) {
            clickTool("buttonOpen")
            compare([screen.dialogs.kind, screen.dialogs.visible], ["unsaved", true])
            screen.dialogs.close()
            screen.dialogs.answered(answer === 0 ? StandardButton.Cancel : StandardButton.Discard)
            tryVerify(function () { return window.activeFocusItem !== null }, 1000, "the keys reach no item")
            var chooser = screen.fileDialog.dialog
            compare([chooser !== null && chooser.visible, t.model.get(2).send_freq], [answer === 1, "448.00000"])
        }
        screen.fileDialog.dialog.close()
        screen.fileChosen("open_config", url)
        var fromFile = lastDecoded()
        compare([decoded.length, fromFile.freqList[1].recvFreq, fromFile.freqList[2].sendFreq, fromFile.freqList[analogue].recvQtDqt,
                 t.model.get(2).send_freq], [3, 446187500, 447500000, 0x670, "447.50000"])

        // Factory settings: the default image for the radio's band on the screen; the radio is not written.
        var written = Radio.blocksWritten()
        mouseClick(child("buttonDefaultSettings"))
        compare([lastDecoded().freqList[1].recvFreq, t.model.get(1).recv_freq, screen.state, Radio.blocksWritten()],
                [before.freqList[1].recvFreq, (before.freqList[1].recvFreq / 1000000).toFixed(5), "state_work", written])
        // The radio still holds what was written, not the saved edit.
        var last = read()
        compare([last.freqList[1].recvFreq, last.freqList[2].sendFreq], [446187500, before.freqList[2].sendFreq])
    }

    // Read -> Save and Read -> Write with no edit give back the bytes of the image read (as
    // Manager.writeDataToFile stores it), also for an image holding values the screens cannot offer, with a
    // failed or cancelled read in between; one edit changes one byte.
    function test_untouchedValuesGoBackByteForByte_data() {
        return [
            { tag: "factory, failed read", hostile: false, cancel: false },
            { tag: "hostile, failed read", hostile: true, cancel: false },
            { tag: "factory, cancelled read", hostile: false, cancel: true }
        ]
    }
    // The bytes of two image files: the same, or `count` content bytes apart.
    function compareFiles(a, b, count) {
        var diff = Radio.fileDifferences(a, b, count !== undefined)
        compare(diff.length, count === undefined ? 0 : count, diff.join(" "))
    }
    function test_untouchedValuesGoBackByteForByte(data) {
        if (data.hostile)
            verify(Radio.loadHostileImage())
        var tag = data.hostile ? "h" : "f"
        read()
        var raw = Radio.fileUrl("raw-" + tag + ".ovc")
        verify(Manager.writeDataToFile(raw))
        var before = copy(screen.collect())

        Radio.unplug()
        cancelOnRetry = data.cancel
        shown = []
        clickTool("buttonRead")
        cancelOnRetry = false
        wait(0)
        compare(readResults.slice(-1), [false])
        var expected = []
        for (var n = 10; n >= (data.cancel ? 10 : 1); --n)
            expected.push("state_reconnect|Устройство не найдено.\nПроверьте подключение устройства."
                          + "\n\nПовторное подключение  " + n)
        expected.push(data.cancel ? "state_cancelled|Операция отменена"
                                  : "state_no_device|Устройство не найдено.\nПроверьте подключение устройства")
        compare([shown, child("tabView").visible], [expected, false]) // no tabs without a radio
        tryCompare(screen, "state", "state_work", 1000)
        Radio.plug()
        compare(differences(before, copy(screen.collect()), "collected"), [])

        var saved = Radio.fileUrl("saved-" + tag + ".ovc")
        screen.fileChosen("save_config", saved)
        compareFiles(raw, saved)
        write()
        read()
        var back = Radio.fileUrl("back-" + tag + ".ovc")
        verify(Manager.writeDataToFile(back))
        // Content only: bytes 2060-2061 of a block (its answer checksum) come back as the write computed
        // them, not as the image carried them.
        compareFiles(raw, back, 0)

        showTab(2)
        var squelch = child("squelch_tight_level", screen.settingsTab)
        squelch.currentIndex = squelch.currentIndex > 0 ? squelch.currentIndex - 1 : 1 // a pick
        var edited = Radio.fileUrl("edited-" + tag + ".ovc")
        screen.fileChosen("save_config", edited)
        compareFiles(raw, edited, 1)
    }

    // Writes the back end refuses or finds wrong are explained; a radio of another band is written only after
    // "write anyway".
    function test_refusedAndFailedWrites_data() {
        return [
            { tag: "other band", kind: "mismatch", text: "band 136-174 MHz" },
            { tag: "incomplete file", kind: "", text: "block" },
            { tag: "writes ignored", kind: "", text: "Проверка после записи нашла отличия в блоках: " }
        ]
    }
    function test_refusedAndFailedWrites(data) {
        read()
        if (data.tag === "other band")
            Radio.setBandCode(3)
        else if (data.tag === "incomplete file")
            screen.fileChosen("open_config", Radio.incompleteFile("two.ovc"))
        else {
            Radio.ignoreWrites(1000)
            typeFrequency(0, "recv_freq", "446.1875") // a write the radio then drops
        }
        var written = Radio.blocksWritten()
        clickTool("buttonWrite")
        var dialogs = screen.dialogs
        compare([wrote, dialogs.visible, dialogs.kind], [[false], true, data.kind])
        verify(dialogs.text.indexOf(data.text) >= 0, dialogs.text)
        dialogs.close()
        if (data.kind !== "mismatch")
            return
        compare(Radio.blocksWritten(), written)
        dialogs.answered(StandardButton.Yes)
        compare([wrote, Radio.blocksWritten() > written], [[false, true], true])
    }

    // The window's import: a bad document is listed line by line in the dialog and changes nothing; a good
    // one replaces the image and counts as unsaved.
    function test_import() {
        read()
        var menu = child("interchangeMenu"), count = decoded.length
        menu.importFrom(Qt.resolvedUrl("bad-document.yaml"))
        var dialog = child("interchangeDialog")
        compare([dialog.shown, dialog.lines.length], [true, 2])
        verify(dialog.lines[0].indexOf("line 3, column 19: channels[0].rx_frequency") === 0, dialog.lines[0])
        verify(dialog.lines[1].indexOf("line 4, column 12: channels[0].power") === 0, dialog.lines[1])
        compare([decoded.length, Manager.diffWithFile("default400-470.dcc")], [count, ""])
        child("interchangeClose").clicked()
        verify(!dialog.shown)
        menu.importFrom(Qt.resolvedUrl("good-document.yaml"))
        compare([dialog.shown, decoded.length, Manager.hasUnsavedChanges([], [], [], [], {}, [])], [false, count + 1, true])
        verify(Manager.diffWithFile("default400-470.dcc").indexOf("channels:") >= 0)
    }

    // The GPS log read from the radio draws one track (its points are 10 s apart); saved as a point file it comes
    // back from that file, and opening it as a configuration fails and says so.
    function test_gpsReadSaveAndOpen() {
        read()
        showTab(5)
        var gps = screen.gpsTab
        mouseClick(gps.readButton)
        compare(screen.state, "state_work")
        var n = Radio.gpsPoints()
        compare([gps.pointModel.pointCount, gps.pointTable.rowCount, gps.pointModel.trackCount, gps.pointModel.track(0).path.length],
                [n, n, 1, n])
        tryVerify(function () { return gps.trackLayer.drawnPieces > 0 })

        var url = Radio.fileUrl("points.cdc")
        screen.fileChosen("save_gps", url)
        compare(screen.state, "state_saving_successed")
        tryCompare(screen, "state", "state_work", 1000)
        // The failed open keeps what the tabs hold, edits included.
        showTab(0)
        typeFrequency(0, "recv_freq", "446.1875")
        var count = decoded.length, kept = copy(screen.collect())
        screen.fileChosen("open_config", url)
        compare([decoded.length, screen.state, child("loadingText").text], [count, "state_reading_failed", "Ошибка чтения данных\nиз файла"])
        tryCompare(screen, "state", "state_work", 1000)
        compare(differences(kept, copy(screen.collect()), "collected"), [])
        gps.setGpsModel([])
        screen.fileChosen("open_gps", url)
        compare(gps.pointModel.count, n)
        tryCompare(screen, "state", "state_work", 1000)
    }
}
