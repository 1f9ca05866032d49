import QtQuick 2.7
import QtTest 1.2
import QtQuick.Dialogs 1.2

// The whole window against a stub Manager that records every call.
TestCase {
    id: testCase
    name: "MainScreen"
    when: windowShown

    property var window: null
    property var screen: null
    property var startupCalls: []

    function sampleMap(channels) {
        var freq = []
        for (var i = 0; i < channels; ++i)
            freq.push({ "channel": i, "name": "К" + i, "typeChannel": true,
                        "recvFreq": 435000000 + i * 12500, "sendFreq": 435000000 + i * 12500,
                        "powerCH": true, "colorCod": 1, "rxGroup": 1, "contact": 1, "encrypt": 0,
                        "chanelBand": -1, "recvQtDqt": -1, "sendQtDqt": -1, "sendPttId": -1,
                        "origin": i })
        return {
            "freqList": freq,
            "zoneList": [{ "title": "Зона", "selectedChannels": [2, 3, 5], "origin": 0 }],
            "basicSettings": { "radio_id": 1 },
            "buttonsSettings": { "long_press_duration": 4, "type_radio": 0 },
            "contactList": [{ "name": "Иван", "pos": 0, "number": "1", "type": 1, "tone": 0 }],
            "encryptList": { "k1": "7e2b" },
            "RxGroupsList": [{ "title": "Группа", "groups": 1, "selectedContacts": [1] }],
            "rxGroupNames": {},
            "GPSSetup": { "activated": true, "indication": false, "save_interval": 5 },
            "serialNumber": "SN-0042",
            "nameModel": "KR4000",
            "hwVersion": "1.0"
        }
    }

    function child(name) {
        var c = findChild(window, name)
        verify(c !== null, "no object named " + name)
        return c
    }
    function calls() { return withoutPortList(Manager.calls()) }
    // The GPS tab asks for the serial ports when it is created; that call is
    // the tab's own business, not the main screen's. The questions whether
    // there are unsaved edits change nothing.
    function withoutPortList(list) {
        return list.filter(function (c) {
            return c.name !== "getPortsList" && c.name !== "hasUnsavedChanges"
        })
    }
    function callNames() {
        var names = []
        var c = calls()
        for (var i = 0; i < c.length; ++i)
            names.push(c[i].name)
        return names
    }
    function text() { return child("loadingText").text }

    // Replaces the window (the old one must be gone before the new one asks
    // Manager for the language).
    function recreate() {
        window.aboutWindow.visible = false
        window.destroy()
        wait(0)
        window = makeWindow()
        screen = window.mainScreen
        waitForRendering(screen)
    }
    function makeWindow() {
        var component = Qt.createComponent("qrc:/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        var w = component.createObject(null)
        verify(w !== null)
        return w
    }

    function init() {
        Manager.emulated = false
        Manager.fileResult = true
        Manager.defaultResult = 0
        Manager.languageIndex = 0
        Manager.hasImage = true
        Manager.unsaved = false
        Manager.backups = []
        Manager.clearCalls()
        window = makeWindow()
        screen = window.mainScreen
        startupCalls = withoutPortList(Manager.calls())
        Manager.clearCalls()
        // Short holds keep the tests fast; their defaults are checked below.
        screen.readHoldMs = 100
        screen.writeHoldMs = 100
        waitForRendering(screen)
    }
    function cleanup() {
        window.aboutWindow.visible = false
        window.destroy()
        window = null
        wait(0)
    }
    function closeAbout() {
        window.aboutWindow.close()
        tryCompare(screen, "enabled", true)
    }
    function fill(n) {
        Manager.dataReadyReadFromDevice(true, sampleMap(n))
        compare(screen.state, "state_work")
        Manager.clearCalls()
    }
    function toolsEnabled(expected) {
        var names = ["buttonRead", "buttonWrite", "buttonOpen", "buttonSave", "buttonDefaultSettings"]
        for (var i = 0; i < names.length; ++i)
            compare(child(names[i]).enabled, expected, names[i])
    }

    function test_startState() {
        compare(window.title, "Orvane 2.7")
        verify(window.aboutWindow.visible)
        verify(!screen.enabled)
        compare(screen.state, "state_start")
        compare(text(), "Для начала работы \nнажмите 'Cчитать'")
        verify(!child("tabView").visible)
        verify(!child("loadingProgress").visible)
        // The top panel asked for the stored language and applied it.
        compare(startupCalls.length, 2)
        compare(startupCalls[0].name, "getSettings")
        compare(startupCalls[1].name, "setTranslation")
        compare(startupCalls[1].args, ["ru", 0])
        compare(child("tabFrequency").title, "    Настройки частот    ")
        compare(child("tabZone").title, "    Зоны    ")
        compare(child("tabMainSettings").title, "    Основные настройки    ")
        compare(child("tabButtons").title, "    Настройка кнопок    ")
        compare(child("tabDMR").title, "Настройки DMR")
        compare(child("tabGPS").title, "Навигация")
        verify(!child("emulatorBadge").visible)
        closeAbout()
    }

    function test_emulatedRadioIsShown() {
        Manager.emulated = true
        recreate()
        verify(window.title.indexOf("ЭМУЛЯТОР") > 0)
        verify(window.title.indexOf("Orvane 2.7") === 0)
        verify(child("emulatorBadge").visible)
    }

    function test_readUntilOutcome() {
        closeAbout()
        compare(screen.readHoldMs, 100)
        mouseClick(child("buttonRead"))
        compare(callNames(), ["readDataFromDevice"])
        compare(screen.state, "state_read_loading")
        verify(!child("tabView").visible)
        verify(child("loadingProgress").visible)
        Manager.readProgressChanged(42)
        compare(text(), "Загрузка данных с радиостанции: 42%")
        compare(child("loadingProgress").value, 42)
        toolsEnabled(false)
        // The hold has passed, but the read has not reported yet.
        wait(250)
        tryCompare(screen.holdTimer, "running", false) // a loaded machine may draw late
        toolsEnabled(false)
        mouseClick(child("buttonRead"))
        compare(callNames(), ["readDataFromDevice"])
        // Factory settings are ignored during a read.
        child("buttonDefaultSettings").clicked()
        compare(callNames(), ["readDataFromDevice"])
        Manager.dataReadyReadFromDevice(true, sampleMap(4))
        compare(screen.state, "state_work")
        verify(child("tabView").visible)
        verify(child("tabView").enabled)
        verify(!child("loadingIndicator").visible)
        toolsEnabled(true)
        // Every tab was filled.
        compare(screen.channelTab.table.model.count, 4)
        compare(screen.zoneTab.zonesList[0].title, "Зона")
        compare(screen.zoneTab.channels.length, 4)
        compare(screen.dmrTab.getData()[0].name, "Иван")
        compare(screen.dmrTab.getEncryptData()[0].name, "k1")
        compare(screen.settingsTab.getSettings().radio_id, 1)
        compare(screen.settingsTab.getSettings().gps_interval, 5)
        compare(screen.settingsTab.getSettings().gps_activation, 1)
        compare(screen.buttonsTab.getSettings().long_press_duration, 4)
        compare(child("serialNumberInput").text, "SN-0042")
    }

    function test_holdLastsAtLeastTheFixedTime() {
        closeAbout()
        screen.readHoldMs = 400
        mouseClick(child("buttonRead"))
        Manager.dataReadyReadFromDevice(true, sampleMap(1))
        toolsEnabled(false)
        tryVerify(function() { return child("buttonRead").enabled }, 2000)
        toolsEnabled(true)
    }

    function test_defaultHolds() {
        recreate()
        compare(screen.readHoldMs, 5000)
        compare(screen.writeHoldMs, 33000)
        closeAbout()
        fill(3)
        mouseClick(child("buttonWrite"))
        compare(screen.holdTimer.interval, 33000)
        verify(screen.holdTimer.running)
        Manager.dataWroteToDevice(true)
        toolsEnabled(false)
        screen.holdTimer.stop()
        toolsEnabled(true)
        mouseClick(child("buttonRead"))
        compare(screen.holdTimer.interval, 5000)
        verify(screen.holdTimer.running)
    }

    // A failed or cancelled read, or a failed open, changes nothing: the tabs,
    // and what Save and Write hand over, stay as they were, edits included.
    function test_failureKeepsEverything_data() {
        return [
            { tag: "read fails", act: "read", cancel: false, state: "state_no_device" },
            { tag: "read cancelled", act: "read", cancel: true, state: "state_cancelled" },
            { tag: "open fails", act: "open", cancel: false, state: "state_reading_failed" }
        ]
    }
    function test_failureKeepsEverything(data) {
        closeAbout()
        Manager.dataReadyReadFromDevice(true, sampleMap(5))
        // The baseline is what the screens collect right after the fill.
        var base = calls().filter(function (c) { return c.name === "setEditBaseline" })
        compare(base.length, 1)
        var c0 = screen.collect()
        compare(base[0].args, [c0.data, c0.zones, c0.rxGroups, c0.contacts, c0.settings, c0.encrypt])
        compare(c0.data[4].origin, 4)
        compare(c0.zones[0].origin, 0)
        screen.channelTab.table.applyChoice(0, "color_cod", 7, "7")
        var before = screen.collect()
        Manager.clearCalls()
        if (data.act === "read") {
            mouseClick(child("buttonRead"))
            verify(child("cancelOperation").visible)
            Manager.signalRetryConnect(10)
            if (data.cancel) {
                mouseClick(child("cancelOperation"))
                compare(callNames(), ["readDataFromDevice", "cancelDeviceOperation"])
            }
            Manager.dataReadyReadFromDevice(false, undefined)
        } else {
            screen.fileChosen("open_config", "file:///tmp/broken.ovc")
            compare(calls(), [{ "name": "readDataFromFile", "args": ["file:///tmp/broken.ovc"] }])
            Manager.dataReadyReadFromFile(false, undefined)
            compare(text(), "Ошибка чтения данных\nиз файла")
        }
        compare(screen.state, data.state)
        tryCompare(screen, "state", "state_work", 2500)
        compare(screen.collect(), before)
        screen.holdTimer.stop()
        Manager.clearCalls()
        mouseClick(child("buttonWrite"))
        var a = calls()[0].args
        compare([a[0], a[1], a[2], a[3], a[4], a[5]],
                [before.data, before.zones, before.rxGroups, before.contacts, before.settings,
                 before.encrypt])
    }

    // With no image in memory there is nothing to save or write.
    function test_noImageNoSaveOrWrite() {
        closeAbout()
        Manager.hasImage = false
        verify(!child("buttonSave").enabled)
        verify(!child("buttonWrite").enabled)
        verify(child("buttonRead").enabled)
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

    // Read, Open, factory settings, restoring a backup and closing the window
    // ask first when there are unsaved edits: Cancel does nothing, Discard
    // goes on, Save saves and then goes on.
    function test_unsavedChangesAreAskedAbout_data() {
        return [
            { tag: "read, discard", act: "read", answer: StandardButton.Discard, then: "readDataFromDevice" },
            { tag: "read, cancel", act: "read", answer: StandardButton.Cancel, then: "" },
            { tag: "default, discard", act: "default", answer: StandardButton.Discard, then: "slotDefaultSettings" },
            { tag: "backup, discard", act: "backup", answer: StandardButton.Discard, then: "backupList" },
            { tag: "open, save first", act: "open", answer: StandardButton.Save, then: "writeEditedDataToFile" },
            { tag: "close, cancel", act: "close", answer: StandardButton.Cancel, then: "" },
            { tag: "close, discard", act: "close", answer: StandardButton.Discard, then: "" }
        ]
    }
    function test_unsavedChangesAreAskedAbout(data) {
        closeAbout()
        fill(3)
        Manager.backups = [{ "url": "file:///b/1.ovc", "time": "2026-01-01T10:00:00", "model": "KR4000", "radioId": "7" }]
        Manager.unsaved = true
        if (data.act === "close")
            window.close()
        else
            mouseClick(child({ "read": "buttonRead", "default": "buttonDefaultSettings",
                               "backup": "buttonRestore", "open": "buttonOpen" }[data.act]))
        compare(callNames(), [])
        compare(screen.dialogs.kind, "unsaved")
        verify(screen.dialogs.visible)
        Manager.clearCalls()
        screen.dialogs.answered(data.answer)
        if (data.answer === StandardButton.Save) {
            compare(screen.fileDialog.mode, "save_config")
            screen.fileDialog.dialog.close()
            screen.fileChosen("save_config", "file:///tmp/s.ovc")
            compare(screen.fileDialog.mode, "open_config") // then the open goes on
            screen.fileDialog.dialog.close()
        }
        var names = callNames()
        compare(names.length, data.then === "" ? 0 : 1)
        if (data.then !== "")
            compare(names[0], data.then)
        if (data.act === "backup") {
            verify(screen.backupPicker.visible)
            screen.backupPicker.openCurrent()
            compare(calls()[1].name, "readDataFromFile")
            compare(calls()[1].args, ["file:///b/1.ovc"])
        }
        // Once agreed, the window's close goes through.
        compare(screen.closeApproved, data.act === "close" && data.answer === StandardButton.Discard)
        Manager.unsaved = false
    }

    // What a refused or failed write reports, and the answers that write again.
    function test_writeProblems_data() {
        return [
            { tag: "incomplete", kind: 1, answer: StandardButton.Ok, then: [] },
            { tag: "other model, write anyway", kind: 2, answer: StandardButton.Yes,
              then: ["allowModelMismatchOnce", "writeDataToDevice"] },
            { tag: "other model, no", kind: 2, answer: StandardButton.No, then: [] },
            { tag: "verify", kind: 3, answer: StandardButton.Ok, then: [] },
            { tag: "cancelled, again", kind: 4, answer: StandardButton.Yes, then: ["writeDataToDevice"] }
        ]
    }
    function test_writeProblems(data) {
        closeAbout()
        fill(2)
        mouseClick(child("buttonWrite"))
        verify(child("cancelOperation").visible)
        Manager.writeProblem(data.kind, "DETAIL-" + data.kind)
        Manager.dataWroteToDevice(false)
        compare(screen.state, "state_write_failed")
        compare(text(), "Запись данных\nзавершилась ошибкой")
        verify(child("tabView").visible)
        verify(!child("tabView").enabled)
        verify(screen.dialogs.visible)
        if (data.kind !== 4)
            verify(screen.dialogs.text.indexOf("DETAIL-" + data.kind) >= 0, screen.dialogs.text)
        Manager.clearCalls()
        screen.dialogs.answered(data.answer)
        compare(callNames(), data.then)
    }

    function test_backupFailedAndVerifySetting() {
        closeAbout()
        Manager.backupFailed("/nowhere/backups")
        verify(screen.dialogs.visible)
        verify(screen.dialogs.text.indexOf("/nowhere/backups") >= 0)
        compare(screen.state, "state_start")
        var box = child("verifyWrites")
        verify(box.checked)
        mouseClick(box)
        compare(Manager.verifyWrites, false)
    }

    function test_accessDeniedInsteadOfNotFound() {
        closeAbout()
        var box = child("usbAccessDenied")
        mouseClick(child("buttonRead"))
        // Each attempt: refused for lack of permission, or the radio absent.
        var refused = [true, false, true]
        for (var i = 0; i < refused.length; ++i) {
            if (refused[i])
                Manager.usbAccessDenied()
            Manager.signalRetryConnect(10 - i)
            compare(box.visible, refused[i], "attempt " + i)
        }
        verify(child("usbAccessDeniedText").text.indexOf("60-orvane.rules") > 0)
        Manager.dataReadyReadFromDevice(false, undefined)
        compare(screen.state, "state_no_device")
        verify(box.visible)
        Manager.dataReadyReadFromDevice(true, sampleMap(1))
        verify(!box.visible)
    }

    function test_radioFoundAfterRetries() {
        closeAbout()
        mouseClick(child("buttonRead"))
        Manager.signalRetryConnect(10)
        Manager.signalRetryConnect(9)
        compare(screen.state, "state_reconnect")
        Manager.readProgressChanged(3)
        compare(screen.state, "state_read_loading")
        compare(text(), "Загрузка данных с радиостанции: 3%")
        verify(child("loadingProgress").visible)
    }

    function test_writeCollectsSixCollectionsInOrder() {
        closeAbout()
        fill(4)
        screen.channelTab.table.applyChoice(0, "color_cod", 7, "7")
        mouseClick(child("buttonWrite"))
        var c = calls()
        compare(c.length, 1)
        compare(c[0].name, "writeDataToDevice")
        var a = c[0].args
        compare(a.length, 6)
        compare(a[0], screen.channelTab.getData())
        compare(a[0][0].color_cod, 7)
        compare(a[0][0].recv_freq, 435000000)
        compare(a[1], screen.zoneTab.zonesList)
        compare(a[2], screen.dmrTab.rxGroupsList)
        compare(a[3], screen.dmrTab.getData())
        compare(a[4].radio_id, 1)
        compare(a[4].buttonsSettings, screen.buttonsTab.getSettings())
        compare(a[5], [{ "name": "k1", "number": "7e2b" }])
        // The settings tab's own map is not changed by adding the buttons.
        verify(screen.settingsTab.getSettings().buttonsSettings === undefined)

        compare(screen.state, "state_write_loading")
        verify(child("tabView").visible)
        verify(!child("tabView").enabled)
        verify(child("loadingProgress").visible)
        Manager.writeProgressChanged(55)
        compare(text(), "Не выключайте радиостанцию до звукового сигнала! \n \n Запись данных на радиостанцию: 55%")
        toolsEnabled(false)
        wait(250)
        tryCompare(screen.holdTimer, "running", false) // a loaded machine may draw late
        toolsEnabled(false)
        Manager.dataWroteToDevice(true)
        compare(screen.state, "state_write_success")
        compare(text(), "Запись данных завершена!")
        verify(!child("loadingProgress").visible)
        toolsEnabled(true)
        wait(1500)
        compare(screen.state, "state_write_success")
        tryCompare(screen, "state", "state_work", 1500)
    }

    function test_openAndSaveDialogs_data() {
        return [
            { tag: "open", button: "buttonOpen", mode: "open_config", title: "Выберите файл для открытия",
              existing: true, filter: "Orvane Configuration (*.ovc *.dcc)" },
            { tag: "save", button: "buttonSave", mode: "save_config", title: "Выберите файл для сохранения",
              existing: false, filter: "Orvane Configuration (*.ovc)" }
        ]
    }
    function test_openAndSaveDialogs(data) {
        closeAbout()
        fill(2)
        mouseClick(child(data.button))
        var dialog = screen.fileDialog.dialog
        verify(dialog !== null)
        verify(dialog.visible)
        compare(screen.fileDialog.mode, data.mode)
        compare(dialog.title, data.title)
        compare(dialog.selectExisting, data.existing)
        compare(dialog.selectMultiple, false)
        compare(dialog.nameFilters, [data.filter])
        compare(calls().length, 0) // nothing happens until a file is chosen
        dialog.close()
    }

    function test_saveWritesWhatTheScreenShows_data() {
        return [
            { tag: "saved", result: true, state: "state_saving_successed", text: "Данные успешно\nсохранены" },
            { tag: "failed", result: false, state: "state_saving_failed", text: "Сохранение\nзавершилось ошибкой" }
        ]
    }
    function test_saveWritesWhatTheScreenShows(data) {
        closeAbout()
        fill(3)
        screen.channelTab.table.applyChoice(1, "type_channel", 0, "АНАЛОГОВЫЙ")
        Manager.fileResult = data.result
        screen.fileChosen("save_config", "file:///tmp/b.ovc")
        var c = calls()
        compare(c.length, 1)
        compare(c[0].name, "writeEditedDataToFile")
        var a = c[0].args
        compare(a.length, 7)
        compare(a[0], "file:///tmp/b.ovc")
        compare(a[1], screen.channelTab.getData())
        compare(a[1][1].type_channel, false)
        compare(a[2], screen.zoneTab.zonesList)
        compare(a[3], screen.dmrTab.rxGroupsList)
        compare(a[4], screen.dmrTab.getData())
        compare(a[5].buttonsSettings, screen.buttonsTab.getSettings())
        compare(a[6], screen.dmrTab.getEncryptData())
        compare(screen.state, data.state)
        compare(text(), data.text)
        tryCompare(screen, "state", "state_work", 2500)
    }

    function test_defaultSettings() {
        closeAbout()
        mouseClick(child("buttonDefaultSettings"))
        compare(callNames(), ["slotDefaultSettings"])
        compare(screen.state, "state_start")
        Manager.clearCalls()
        // A radio that cannot be reached is reported for 2 s.
        Manager.defaultResult = -1
        mouseClick(child("buttonDefaultSettings"))
        compare(callNames(), ["slotDefaultSettings"])
        compare(screen.state, "state_no_device")
        verify(!child("tabView").visible)
        tryCompare(screen, "state", "state_start", 2500)
        fill(2)
        mouseClick(child("buttonDefaultSettings"))
        compare(screen.state, "state_no_device")
        tryCompare(screen, "state", "state_work", 2500)
    }

    function test_defaultSettingsIgnoredDuringWrite() {
        closeAbout()
        fill(2)
        mouseClick(child("buttonWrite"))
        Manager.clearCalls()
        screen.holdTimer.stop()
        screen.operation = ""    // even with the buttons free again
        screen.defaultSettingsClicked()
        compare(calls().length, 0)
    }

    function test_gpsRead() {
        closeAbout()
        fill(2)
        screen.tabView.currentIndex = 5 // the GPS tab is made when shown
        screen.gpsTab.readGPSClicked()
        compare(callNames(), ["readGPSData"])
        toolsEnabled(false)
        screen.gpsTab.readGPSClicked()
        compare(callNames(), ["readGPSData"])
        Manager.signalGPSRead()
        compare(screen.state, "state_read_loading")
        Manager.readProgressChanged(100)
        compare(text(), "Загрузка данных с радиостанции: 100%")
        Manager.signalGPSReadyRead([{ "lat": 1 }, { "lat": 2 }])
        compare(screen.state, "state_work")
        compare(screen.gpsTab.pointModel.pointCount, 2)
        toolsEnabled(true)
    }

    function test_gpsOutcomes_data() {
        return [
            { tag: "empty", signal: "signalGPSEmpty", state: "state_no_gps", text: "Данных нет" },
            { tag: "failed", signal: "signalGPSReadFailed", state: "state_no_device",
              text: "Устройство не найдено.\nПроверьте подключение устройства" }
        ]
    }
    function test_gpsOutcomes(data) {
        closeAbout()
        fill(2)
        screen.tabView.currentIndex = 5 // the GPS tab is made when shown
        screen.gpsTab.readGPSClicked()
        Manager[data.signal]()
        compare(screen.state, data.state)
        compare(text(), data.text)
        verify(!child("tabView").visible)
        toolsEnabled(true)
        wait(1500)
        compare(screen.state, data.state)
        tryCompare(screen, "state", "state_work", 1500)
    }

    function test_gpsFiles() {
        closeAbout()
        fill(2)
        screen.tabView.currentIndex = 5 // the GPS tab is made when shown
        screen.gpsTab.saveGPSClicked()
        compare(screen.fileDialog.mode, "save_gps")
        compare(screen.fileDialog.dialog.nameFilters, ["CDC (*.cdc)"])
        compare(screen.fileDialog.dialog.selectExisting, false)
        screen.fileDialog.dialog.close()
        Manager.fileResult = false
        screen.fileChosen("save_gps", "file:///tmp/g.cdc")
        compare(callNames(), ["writeGPSDataToFile"])
        compare(calls()[0].args, ["file:///tmp/g.cdc"])
        compare(screen.state, "state_saving_failed")
        tryCompare(screen, "state", "state_work", 2500)
        Manager.clearCalls()
        screen.gpsTab.openGPSClicked()
        compare(screen.fileDialog.mode, "open_gps")
        compare(screen.fileDialog.dialog.selectExisting, true)
        compare(screen.fileDialog.dialog.title, "Выберите файл для открытия")
        screen.fileDialog.dialog.close()
        screen.fileChosen("open_gps", "file:///tmp/g.cdc")
        compare(callNames(), ["readGPSDataFromFile"])
    }

    function test_typeRadioSwitchesTheGpsTab() {
        closeAbout()
        Manager.signalTypeRadio(1)
        verify(!child("tabGPS").enabled)
        Manager.signalTypeRadio(0)
        verify(child("tabGPS").enabled)
    }

    function test_removingAChannelAdjustsZones() {
        closeAbout()
        fill(10)
        var tab = screen.channelTab
        tab.table.selectedRow = 3
        verify(tab.removeSelected())
        compare(screen.zoneTab.zonesList[0].selectedChannels, [2, 4])
        compare(screen.zoneTab.channels.length, 9)
        compare(screen.zoneTab.channels[3].name, "К4")
    }

    function test_addingAChannelRefillsBoth() {
        closeAbout()
        fill(3)
        screen.channelTab.table.applyChoice(0, "color_cod", 9, "9")
        verify(screen.channelTab.addChannel("Новый"))
        compare(screen.channelTab.table.model.count, 4)
        compare(screen.zoneTab.channels.length, 4)
        compare(screen.zoneTab.zonesList[0].selectedChannels, [2, 3, 5])
        compare(screen.channelTab.getData()[0].color_cod, 9) // the edit survived the refill
        compare(screen.channelTab.getData()[3].name, "Новый")
    }

    function test_dmrListsReachTheChannelSelectors() {
        closeAbout()
        fill(2)
        var dmr = screen.dmrTab
        var table = screen.channelTab.table
        dmr.elementContactAdded([{ "name": "Иван" }, { "name": "Мария" }])
        compare(table.choicesFor("contact"), ["НЕТ", "Иван", "Мария"])
        dmr.elementRemovedContact([{ "name": "Мария" }])
        compare(table.choicesFor("contact"), ["НЕТ", "Мария"])
        dmr.elementRxGroupAdded([{ "title": "Г1" }, { "title": "Г2" }])
        compare(table.choicesFor("rx_groupe"), ["НЕТ", "Г1", "Г2"])
        dmr.elementRemovedRxGroup([{ "title": "Г2" }])
        compare(table.choicesFor("rx_groupe"), ["НЕТ", "Г2"])
        dmr.elementEncryptAdded([{ "name": "НЕТ" }, { "name": "k1" }, { "name": "Key 2" }])
        compare(table.choicesFor("encrypt"), ["НЕТ", "k1", "Key 2"])
    }

    function test_switchingToEnglish() {
        closeAbout()
        var selector = child("languageSelector")
        Manager.clearCalls()
        selector.activated(1)
        compare(callNames(), ["setTranslation"])
        compare(calls()[0].args, ["en", 1])
        compare(child("buttonRead").text, "Read")
        compare(child("buttonWrite").text, "Write")
        compare(child("buttonOpen").text, "Open")
        compare(child("buttonSave").text, "Save")
        compare(child("buttonDefaultSettings").text, "Factory settings")
        compare(child("tabFrequency").title, "    Channels    ")
        compare(child("tabGPS").title, "Navigation")
        compare(text(), "To start, \npress 'Read'")
        screen.ensureTabs() // tabs made after the switch speak English too
        compare(screen.channelTab.table.choicesFor("type_channel"), ["ANALOGUE", "DIGITAL"])
        selector.activated(0)
        compare(child("buttonRead").text, "Считать")
        compare(child("tabFrequency").title, "    Настройки частот    ")
    }

    function test_storedLanguageIsApplied() {
        Manager.languageIndex = 1
        window.aboutWindow.visible = false
        window.destroy()
        wait(0)
        Manager.clearCalls()
        window = makeWindow()
        screen = window.mainScreen
        compare(callNames(), ["getSettings", "setTranslation"])
        compare(calls()[1].args, ["en", 1])
        compare(child("languageSelector").currentIndex, 1)
        compare(window.languageIndex, 1)
        compare(child("buttonRead").text, "Read")
        Manager.languageIndex = 0
        child("languageSelector").activated(0)
    }
}
