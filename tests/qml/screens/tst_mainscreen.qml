import QtQuick 2.7
import QtTest 1.2
import QtQuick.Dialogs 1.2
import "Helpers.js" as H

// The whole window against the stand-in Manager that records every call.
TestCase {
    id: testCase
    name: "MainScreen"
    when: windowShown

    property var window: null
    property var screen: null
    property var startupCalls: []

    function sampleMap(channels) {
        return {
            "freqList": H.range(channels).map(function (i) {
                var f = 435000000 + i * 12500
                return { "channel": i, "name": "К" + i, "typeChannel": true, "recvFreq": f, "sendFreq": f, "powerCH": true,
                         "colorCod": 1, "rxGroup": 1, "contact": 1, "encrypt": 0, "chanelBand": -1, "recvQtDqt": -1,
                         "sendQtDqt": -1, "sendPttId": -1, "origin": i }
            }),
            "zoneList": [{ "title": "Зона", "selectedChannels": [2, 3, 5], "origin": 0 }], "rxGroupNames": {},
            "buttonsSettings": { "long_press_duration": 4, "type_radio": 0 }, "basicSettings": { "radio_id": 1 },
            "contactList": [{ "name": "Иван", "pos": 0, "number": "1", "type": 1, "tone": 0 }],
            "RxGroupsList": [{ "title": "Группа", "groups": 1, "selectedContacts": [1] }],
            "GPSSetup": { "activated": true, "indication": false, "save_interval": 5 },
            "serialNumber": "SN-0042", "nameModel": "KR4000", "hwVersion": "1.0", "encryptList": { "k1": "7e2b" }
        }
    }

    function child(name) {
        var c = findChild(window, name)
        verify(c !== null, "no object named " + name)
        return c
    }
    // Left out: the GPS tab's port list request when it is made, and the questions about unsaved edits.
    function calls() {
        return Manager.calls().filter(function (c) { return c.name !== "getPortsList" && c.name !== "hasUnsavedChanges" })
    }
    function callNames() { return H.names(calls()) }
    function text() { return child("loadingText").text }

    function makeWindow() {
        Manager.clearCalls()
        var component = Qt.createComponent("qrc:/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        screen = window.mainScreen
        startupCalls = calls()
        Manager.clearCalls()
        waitForRendering(screen)
    }
    function dropWindow() {
        window.aboutWindow.visible = false
        window.destroy()
        window = null
        wait(0) // the old window must be gone before a new one asks for the language
    }

    function init() {
        Object.assign(Manager, { emulated: false, fileResult: true, defaultResult: 0, languageIndex: 0, hasImage: true,
                                 unsaved: false, backups: [] })
        makeWindow()
        closeAbout() // the About window in front at the start: the end-to-end test
        // Short holds keep the tests fast; their defaults are checked below.
        Object.assign(screen, { readHoldMs: 100, writeHoldMs: 100 })
    }
    function cleanup() { dropWindow() }
    function closeAbout() {
        window.aboutWindow.close()
        tryCompare(screen, "enabled", true)
    }
    function fill(n) {
        Manager.dataReadyReadFromDevice(true, sampleMap(n))
        compare(screen.state, "state_work")
        Manager.clearCalls()
    }
    function toolsEnabled(on) {
        compare(["buttonRead", "buttonWrite", "buttonOpen", "buttonSave", "buttonDefaultSettings"].map(function (n) {
            return child(n).enabled }), [on, on, on, on, on])
    }

    function test_startLanguageAndEmulator() {
        compare([window.title, screen.state, child("tabView").visible, child("loadingProgress").visible,
                 child("emulatorBadge").visible], ["Orvane 2.7", "state_start", false, false, false])
        compare(text(), "Для начала работы \nнажмите 'Cчитать'")
        // The top panel asked for the stored language and applied it.
        compare(startupCalls, [{ "name": "getSettings", "args": [] }, { "name": "setTranslation", "args": ["ru", 0] }])
        child("languageSelector").activated(1)
        compare([calls(), text()], [[{ "name": "setTranslation", "args": ["en", 1] }], "To start, \npress 'Read'"])
        screen.ensureTabs() // tabs made after the switch speak English too
        compare(screen.channelTab.table.choicesFor("type_channel"), ["ANALOGUE", "DIGITAL"])

        // A new window applies the stored language; an emulated radio is said.
        Object.assign(Manager, { languageIndex: 1, emulated: true })
        dropWindow()
        makeWindow()
        compare(startupCalls[1], { "name": "setTranslation", "args": ["en", 1] })
        compare([child("languageSelector").currentIndex, window.languageIndex, child("buttonRead").text, window.title,
                 child("emulatorBadge").visible], [1, 1, "Read", "Orvane 2.7 — EMULATED RADIO", true])
        Manager.setLanguage("ru")
    }

    function test_readUntilOutcome() {
        mouseClick(child("buttonRead"))
        compare([callNames(), screen.state, child("tabView").visible], [["readDataFromDevice"], "state_read_loading", false])
        Manager.readProgressChanged(42)
        compare([text(), child("loadingProgress").value, child("loadingProgress").visible],
                ["Загрузка данных с радиостанции: 42%", 42, true])
        // The hold has passed, but the read has not reported yet: every tool stays off, factory settings included.
        tryCompare(screen.holdTimer, "running", false) // a loaded machine may draw late
        toolsEnabled(false)
        mouseClick(child("buttonRead"))
        child("buttonDefaultSettings").clicked()
        compare(callNames(), ["readDataFromDevice"])
        Manager.dataReadyReadFromDevice(true, sampleMap(4))
        compare([screen.state, child("tabView").visible, child("tabView").enabled, child("loadingIndicator").visible],
                ["state_work", true, true, false])
        toolsEnabled(true)
        // The radio found after retries: the countdown gives way to the read.
        mouseClick(child("buttonRead"))
        Manager.signalRetryConnect(10)
        compare(screen.state, "state_reconnect")
        Manager.readProgressChanged(3)
        compare([screen.state, text()], ["state_read_loading", "Загрузка данных с радиостанции: 3%"])
    }

    // The tools stay off for the fixed hold (5 s for a read, 33 s for a write) even when the radio answers
    // sooner; factory settings are ignored while a write runs, even with the buttons free again.
    function test_holds() {
        dropWindow()
        makeWindow()
        compare([screen.readHoldMs, screen.writeHoldMs], [5000, 33000])
        closeAbout()
        fill(3)
        mouseClick(child("buttonWrite"))
        compare([screen.holdTimer.interval, screen.holdTimer.running], [33000, true])
        screen.holdTimer.stop()
        screen.operation = ""
        screen.defaultSettingsClicked()
        compare(callNames(), ["writeDataToDevice"])
        screen.holdTimer.start()
        Manager.dataWroteToDevice(true)
        toolsEnabled(false)
        screen.holdTimer.stop()
        toolsEnabled(true)
        screen.readHoldMs = 400
        mouseClick(child("buttonRead"))
        Manager.dataReadyReadFromDevice(true, sampleMap(1))
        toolsEnabled(false)
        tryVerify(function () { return child("buttonRead").enabled }, 2000)
        toolsEnabled(true)
    }

    // With no image in memory there is nothing to save or write.
    function test_noImageNoSaveOrWrite() {
        Manager.hasImage = false
        compare([child("buttonSave").enabled, child("buttonWrite").enabled, child("buttonRead").enabled], [false, false, true])
        screen.writeClicked()
        screen.saveClicked()
        compare(calls().length, 0)
        // A failed open with no image goes back to the start.
        Manager.dataReadyReadFromFile(false, undefined)
        compare(screen.state, "state_reading_failed")
        tryCompare(screen, "state", "state_start", 2500)
        Manager.hasImage = true
        verify(child("buttonSave").enabled)
    }

    // Read, Open, factory settings, restoring a backup and closing the window ask first when there are
    // unsaved edits: Cancel does nothing, Discard goes on, Save saves and then goes on.
    function test_unsavedChangesAreAskedAbout_data() {
        return [
            { tag: "read, discard", act: "buttonRead", answer: StandardButton.Discard, then: ["readDataFromDevice"] },
            { tag: "default, discard", act: "buttonDefaultSettings", answer: StandardButton.Discard, then: ["slotDefaultSettings"] },
            { tag: "backup, discard", act: "buttonRestore", answer: StandardButton.Discard, then: ["backupList"] },
            { tag: "open, save first", act: "buttonOpen", answer: StandardButton.Save, then: ["writeEditedDataToFile"] },
            { tag: "close, cancel", act: "close", answer: StandardButton.Cancel, then: [] },
            { tag: "close, discard", act: "close", answer: StandardButton.Discard, then: [] }
        ]
    }
    function test_unsavedChangesAreAskedAbout(data) {
        fill(3)
        Manager.backups = [{ "url": "file:///b/1.ovc", "time": "2026-01-01T10:00:00", "model": "KR4000", "radioId": "7" }]
        Manager.unsaved = true
        if (data.act === "close")
            window.close()
        else
            mouseClick(child(data.act))
        compare([callNames(), screen.dialogs.kind, screen.dialogs.visible], [[], "unsaved", true])
        screen.dialogs.answered(data.answer)
        if (data.answer === StandardButton.Save) {
            compare(screen.fileDialog.mode, "save_config")
            screen.fileDialog.dialog.close()
            screen.fileChosen("save_config", "file:///tmp/s.ovc")
            compare(screen.fileDialog.mode, "open_config") // then the open goes on
            screen.fileDialog.dialog.close()
        }
        compare(callNames(), data.then)
        if (data.act === "buttonRestore") {
            verify(screen.backupPicker.visible)
            screen.backupPicker.openCurrent()
            compare(calls()[1], { "name": "readDataFromFile", "args": ["file:///b/1.ovc"] })
        }
        // Once agreed, the window's close goes through.
        compare(screen.closeApproved, data.act === "close" && data.answer === StandardButton.Discard)
    }

    // What a refused or failed write reports, and the answers that write again or not (an incomplete image, a
    // failed verify and "write anyway": the end-to-end test).
    function test_writeProblems_data() {
        return [
            { tag: "other model, no", kind: 2, answer: StandardButton.No, then: [] },
            { tag: "cancelled, again", kind: 4, answer: StandardButton.Yes, then: ["writeDataToDevice"] }
        ]
    }
    function test_writeProblems(data) {
        fill(2)
        mouseClick(child("buttonWrite"))
        verify(child("cancelOperation").visible)
        Manager.writeProblem(data.kind, "DETAIL-" + data.kind)
        Manager.dataWroteToDevice(false)
        compare([screen.state, text(), child("tabView").visible, child("tabView").enabled, screen.dialogs.visible],
                ["state_write_failed", "Запись данных\nзавершилась ошибкой", true, false, true])
        if (data.kind !== 4)
            verify(screen.dialogs.text.indexOf("DETAIL-" + data.kind) >= 0, screen.dialogs.text)
        Manager.clearCalls()
        screen.dialogs.answered(data.answer)
        compare(callNames(), data.then)
    }

    function test_backupFailedAccessDeniedAndVerifySetting() {
        Manager.backupFailed("/nowhere/backups")
        compare([screen.dialogs.visible, screen.dialogs.text.indexOf("/nowhere/backups") >= 0, screen.state], [true, true, "state_start"])
        screen.dialogs.close()
        var box = child("verifyWrites")
        verify(box.checked)
        mouseClick(box)
        compare(Manager.verifyWrites, false)
        // Each attempt: refused for lack of permission, or the radio absent; the permission line shows for
        // the refused ones only.
        var line = child("usbAccessDenied")
        mouseClick(child("buttonRead"))
        var refused = [true, false, true]
        for (var i = 0; i < refused.length; ++i) {
            if (refused[i])
                Manager.usbAccessDenied()
            Manager.signalRetryConnect(10 - i)
            compare(line.visible, refused[i], "attempt " + i)
        }
        verify(child("usbAccessDeniedText").text.indexOf("60-orvane.rules") > 0)
        Manager.dataReadyReadFromDevice(false, undefined)
        compare([screen.state, line.visible], ["state_no_device", true])
        Manager.dataReadyReadFromDevice(true, sampleMap(1))
        verify(!line.visible)
    }

    // Failures shown for 2 s, the tabs hidden where nothing is to be edited, then back to work (or to the
    // start with nothing read yet); the successes: the end-to-end test.
    function test_outcomesShownFor2s_data() {
        var failed = "Сохранение\nзавершилось ошибкой", absent = "Устройство не найдено.\nПроверьте подключение устройства"
        return [
            { tag: "save failed", file: "save_config", state: "state_saving_failed", text: failed, tabs: true },
            { tag: "GPS file not saved", file: "save_gps", state: "state_saving_failed", text: failed, tabs: true },
            { tag: "GPS empty", gps: "signalGPSEmpty", state: "state_no_gps", text: "Данных нет", tabs: false },
            { tag: "GPS failed", gps: "signalGPSReadFailed", state: "state_no_device", text: absent, tabs: false },
            { tag: "factory settings, no radio", state: "state_no_device", text: absent, tabs: false },
            { tag: "factory settings, no radio, nothing read", start: true, state: "state_no_device", text: absent, tabs: false }
        ]
    }
    function test_outcomesShownFor2s(data) {
        if (!data.start)
            fill(2)
        Object.assign(Manager, { fileResult: false, defaultResult: -1 })
        if (data.file) {
            screen.fileChosen(data.file, "file:///tmp/b")
        } else if (data.gps) {
            screen.ensureGpsTab()
            screen.gpsTab.readGPSClicked()
            Manager[data.gps]()
        } else {
            mouseClick(child("buttonDefaultSettings"))
            compare(callNames(), ["slotDefaultSettings"])
        }
        compare([screen.state, text(), child("tabView").visible], [data.state, data.text, data.tabs])
        toolsEnabled(true)
        wait(1500)
        compare(screen.state, data.state)
        tryCompare(screen, "state", data.start ? "state_start" : "state_work", 1500)
    }

    function test_fileDialogs_data() {
        return [
            { tag: "open", act: "buttonOpen", mode: "open_config", existing: true, filter: "Orvane Configuration (*.ovc *.dcc)" },
            { tag: "save", act: "buttonSave", mode: "save_config", existing: false, filter: "Orvane Configuration (*.ovc)" },
            { tag: "GPS open", act: "openGPSClicked", mode: "open_gps", existing: true, filter: "CDC (*.cdc)" },
            { tag: "GPS save", act: "saveGPSClicked", mode: "save_gps", existing: false, filter: "CDC (*.cdc)" }
        ]
    }
    function test_fileDialogs(data) {
        fill(2)
        if (data.act.indexOf("button") === 0)
            mouseClick(child(data.act))
        else {
            screen.ensureGpsTab()
            screen.gpsTab[data.act]()
        }
        var dialog = screen.fileDialog.dialog
        compare([dialog.visible, screen.fileDialog.mode], [true, data.mode])
        compare([dialog.selectExisting, dialog.selectMultiple, dialog.nameFilters], [data.existing, false, [data.filter]])
        compare(calls().length, 0) // nothing happens until a file is chosen (then: the end-to-end test)
        dialog.close()
    }

    function test_gpsRead() {
        fill(2)
        screen.tabView.currentIndex = 5 // the GPS tab is made when shown
        screen.gpsTab.readGPSClicked()
        toolsEnabled(false)
        screen.gpsTab.readGPSClicked()
        compare(callNames(), ["readGPSData"])
        Manager.signalGPSRead()
        Manager.readProgressChanged(100)
        compare([screen.state, text()], ["state_read_loading", "Загрузка данных с радиостанции: 100%"])
        Manager.signalGPSReadyRead([{ "lat": 1 }, { "lat": 2 }])
        compare([screen.state, screen.gpsTab.pointModel.pointCount], ["state_work", 2])
        toolsEnabled(true)
        // Radios of type 1 have no GPS.
        Manager.signalTypeRadio(1)
        verify(!child("tabGPS").enabled)
        Manager.signalTypeRadio(0)
        verify(child("tabGPS").enabled)
    }

    // The tabs keep each other current: a channel added or removed reaches the zones (edits kept; the channels
    // after a removed one move down one place), DMR lists the channel table's selectors.
    function test_tabsFollowEachOther() {
        fill(10)
        var tab = screen.channelTab
        tab.table.applyChoice(0, "color_cod", 9, "9")
        verify(tab.addChannel("Новый"))
        compare([screen.zoneTab.channels.length, screen.zoneTab.channels[10].name, tab.getData()[0].color_cod], [11, "Новый", 9])
        tab.table.selectedRow = 3
        verify(tab.removeSelected())
        var zones = screen.zoneTab
        compare([zones.zonesList[0].selectedChannels, H.names(zones.memberList.model)], [[2, 4], ["К2", "К5"]])
        compare([screen.zoneTab.channels.length, tab.getData()[0].color_cod], [10, 9])

        var dmr = screen.dmrTab
        dmr.elementContactAdded([{ "name": "Иван" }, { "name": "Мария" }])
        compare(tab.table.choicesFor("contact"), ["НЕТ", "Иван", "Мария"])
        dmr.elementRemovedContact([{ "name": "Мария" }])
        compare(tab.table.choicesFor("contact"), ["НЕТ", "Мария"])
        dmr.elementRxGroupAdded([{ "title": "Г1" }, { "title": "Г2" }])
        compare(tab.table.choicesFor("rx_groupe"), ["НЕТ", "Г1", "Г2"])
        dmr.elementRemovedRxGroup([{ "title": "Г2" }])
        compare(tab.table.choicesFor("rx_groupe"), ["НЕТ", "Г2"])
        dmr.elementEncryptAdded([{ "name": "НЕТ" }, { "name": "k1" }, { "name": "Key 2" }])
        compare(tab.table.choicesFor("encrypt"), ["НЕТ", "k1", "Key 2"])
    }
}
