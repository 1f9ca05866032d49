import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Dialogs 1.2
import Orvane.Quick 1.0
import "Helper.js" as Helper
import "Tabs"
import "UI"

// The main screen: top panel, tool column, the six tabs, the loading
// indicator with its overlay states, and the file dialogs. Drives Manager
// and reacts to its signals.
Item {
    id: screen
    objectName: "mainScreen"

    property alias topPanel: topPanel
    property alias tabView: tabView
    property alias indicator: indicator
    property alias stateTimer: stateTimer
    property alias holdTimer: holdTimer
    property alias fileDialog: fileDialog
    property alias dialogs: dialogs
    property alias backupPicker: backupLoader.item

    readonly property var channelTab: tabFrequency.item
    readonly property var zoneTab: tabZone.item
    readonly property var settingsTab: tabMainSettings.item
    readonly property var buttonsTab: tabButtons.item
    readonly property var dmrTab: tabDMR.item
    readonly property var gpsTab: tabGPS.item

    // Minimum time the tool buttons stay disabled after Read and Write.
    property int readHoldMs: 5000
    property int writeHoldMs: 33000

    // The device operation under way ("" when none): the tool buttons and
    // the factory-settings button stay disabled until it has reported its
    // outcome, so that the event-loop passes during a transfer cannot start
    // a second one.
    property string operation: ""
    readonly property bool toolsEnabled: operation === "" && !holdTimer.running

    // Whether an image is in memory: Save and Write need one.
    readonly property bool hasImage: Manager.hasImage
    // A cancel was asked for the running device operation.
    property bool cancelRequested: false
    // What the last failed write reported through writeProblem ({kind, detail}).
    property var writeProblem: null
    // The action to run once the unsaved-changes question is answered, and
    // the one to run after the Save it may lead to.
    property string pendingAction: ""
    property string afterSave: ""
    // Set once the user has agreed to close the window.
    property bool closeApproved: false
    signal closeAccepted()

    property int progress: 0
    property int reconnectCount: 0
    property string targetState: "state_work"
    property var stateTexts: ({})
    property string saveError: ""
    property string cancelText: ""

    state: "state_start"

    function retranslateUi() {
        readButton.text = qsTr("Считать")
        writeButton.text = qsTr("Записать")
        openButton.text = qsTr("Открыть")
        saveButton.text = qsTr("Сохранить")
        tabFrequency.title = qsTr("    Настройки частот    ")
        tabZone.title = qsTr("    Зоны    ")
        tabMainSettings.title = qsTr("    Основные настройки    ")
        tabButtons.title = qsTr("    Настройка кнопок    ")
        tabDMR.title = qsTr("Настройки DMR")
        tabGPS.title = qsTr("Навигация")
        stateTexts = {
            "state_start": qsTr("Для начала работы \nнажмите 'Cчитать'"),
            "state_read_loading": qsTr("Загрузка данных с радиостанции:"),
            "state_write_loading": qsTr("Не выключайте радиостанцию до звукового сигнала! \n \n Запись данных на радиостанцию:"),
            "state_write_success": qsTr("Запись данных завершена!"),
            "state_write_failed": qsTr("Запись данных\nзавершилась ошибкой"),
            "state_work": "",
            "state_saving_successed": qsTr("Данные успешно\nсохранены"),
            "state_saving_failed": qsTr("Сохранение\nзавершилось ошибкой"),
            "state_reading_failed": qsTr("Ошибка чтения данных\nиз файла"),
            "state_reconnect": qsTr("Устройство не найдено.\nПроверьте подключение устройства.\n\nПовторное подключение  "),
            "state_no_device": qsTr("Устройство не найдено.\nПроверьте подключение устройства"),
            "state_no_gps": qsTr("Данных нет"),
            "state_cancelled": qsTr("Операция отменена")
        }
        cancelText = qsTr("Отмена")
        restoreButton.text = qsTr("Резервные копии")
        verifyBox.text = qsTr("Проверять запись")
        fileDialog.retitle()
    }

    // The indicator's text for the current state.
    function indicatorText() {
        var t = stateTexts[state] !== undefined ? stateTexts[state] : ""
        if (state === "state_reconnect")
            return t + reconnectCount
        if (state === "state_saving_failed" && saveError !== "")
            return t + "\n\n" + saveError
        if (indicator.progressVisible)
            return t + " " + progress + "%"
        return t
    }

    // A transient state: shown for 2000 ms, then the target state.
    function showFor2s(name, target) {
        targetState = target === undefined ? "state_work" : target
        state = name
        stateTimer.restart()
    }
    function enterState(name) {
        stateTimer.stop()
        state = name
    }

    function beginOperation(name, holdMs) {
        operation = name
        if (holdMs > 0) {
            holdTimer.interval = holdMs
            holdTimer.restart()
        }
    }
    function endOperation(name) {
        if (name === undefined || operation === name)
            operation = ""
    }

    // Reads a tab list that is a property in some tabs and a function in others.
    function listOf(item, name) {
        var v = item[name]
        return typeof v === "function" ? v.call(item) : v
    }

    // The tabs are made when first needed, not at start: the start screen
    // hides them. The five that hold the image are made together, when one
    // is filled or read; the GPS tab when it is shown or handed a log.
    function ensureTabs() {
        var tabs = [tabFrequency, tabZone, tabMainSettings, tabButtons, tabDMR]
        for (var i = 0; i < tabs.length; ++i)
            tabs[i].active = true
    }
    function ensureGpsTab() {
        tabGPS.active = true
    }

    // The six collections, in the order writeDataToDevice takes them.
    function collect() {
        ensureTabs()
        var settings = settingsTab.getSettings() || {}
        var copy = {}
        for (var k in settings)
            copy[k] = settings[k]
        copy["buttonsSettings"] = buttonsTab.getSettings()
        return {
            "data": channelTab.getData(),
            "zones": listOf(zoneTab, "zonesList"),
            "rxGroups": listOf(dmrTab, "rxGroupsList"),
            "contacts": dmrTab.getData(),
            "settings": copy,
            "encrypt": dmrTab.getEncryptData()
        }
    }

    // --- unsaved edits ---
    // Whether the screens hold edits that were neither saved nor written.
    function hasUnsavedChanges() {
        if (!hasImage)
            return false
        var c = collect()
        return Manager.hasUnsavedChanges(c.data, c.zones, c.rxGroups, c.contacts, c.settings,
                                         c.encrypt) === true
    }
    // Runs `action` now, or after the user has chosen to save or discard the
    // unsaved edits.
    function guardUnsaved(action) {
        if (!hasUnsavedChanges()) {
            runAction(action)
            return
        }
        pendingAction = action
        dialogs.ask("unsaved", qsTr("Несохранённые изменения"),
                    qsTr("Изменения не сохранены в файл и не записаны в радиостанцию. Сохранить их?"),
                    StandardButton.Save | StandardButton.Discard | StandardButton.Cancel)
    }
    function unsavedAnswered(button) {
        var action = pendingAction
        pendingAction = ""
        if (button === StandardButton.Discard) {
            runAction(action)
        } else if (button === StandardButton.Save) {
            afterSave = action
            fileDialog.openFor("save_config")
        }
    }
    function runAction(action) {
        switch (action) {
        case "read": startRead(); break
        case "open": fileDialog.openFor("open_config"); break
        case "default": startDefault(); break
        case "backup":
            backupLoader.active = true
            backupLoader.item.show(Manager.backupList())
            break
        case "close":
            closeApproved = true
            closeAccepted()
            break
        }
    }
    // Asked by the window before it closes: true when it may close now.
    function closeAllowed() {
        if (closeApproved || !hasUnsavedChanges())
            return true
        guardUnsaved("close")
        return false
    }

    // --- actions ---
    function readClicked() {
        if (toolsEnabled)
            guardUnsaved("read")
    }
    // The tabs keep what they show until a read has succeeded.
    function startRead() {
        progress = 0
        cancelRequested = false
        enterState("state_read_loading")
        beginOperation("read", readHoldMs)
        Manager.readDataFromDevice()
    }

    function writeClicked() {
        if (toolsEnabled && hasImage)
            startWrite()
    }
    function startWrite() {
        var c = collect()
        beginOperation("write", writeHoldMs)
        progress = 0
        cancelRequested = false
        writeProblem = null
        enterState("state_write_loading")
        Manager.writeDataToDevice(c.data, c.zones, c.rxGroups, c.contacts, c.settings, c.encrypt)
    }

    function cancelClicked() {
        cancelRequested = true
        Manager.cancelDeviceOperation()
    }

    function openClicked() {
        if (toolsEnabled)
            guardUnsaved("open")
    }
    function saveClicked() {
        if (toolsEnabled && hasImage)
            fileDialog.openFor("save_config")
    }
    function restoreClicked() {
        if (toolsEnabled)
            guardUnsaved("backup")
    }

    function defaultSettingsClicked() {
        if (state === "state_read_loading" || state === "state_write_loading" || !toolsEnabled)
            return
        guardUnsaved("default")
    }
    function startDefault() {
        var before = state
        beginOperation("default", 0)
        var result = Manager.slotDefaultSettings()
        endOperation("default")
        // Success fills the tabs through dataReadyReadFromDevice; a radio that
        // could not be reached is said so for 2 s.
        if (result === -1)
            showFor2s("state_no_device", before === "state_start" || before === "state_no_device"
                                         ? before : "state_work")
    }

    function gpsReadClicked() {
        if (!toolsEnabled)
            return
        beginOperation("gps", 0)
        Manager.readGPSData()
    }
    function gpsSaveClicked() { fileDialog.openFor("save_gps") }
    function gpsOpenClicked() { fileDialog.openFor("open_gps") }

    // A file was chosen in the dialog opened for `mode`.
    function fileChosen(mode, url) {
        url = String(url)
        switch (mode) {
        case "open_config":
            Manager.readDataFromFile(url)
            break
        case "save_config":
            var c = collect()
            var ok = Manager.writeEditedDataToFile(url, c.data, c.zones, c.rxGroups, c.contacts,
                                                   c.settings, c.encrypt)
            var next = afterSave
            afterSave = ""
            if (!ok) {
                // Why, where the back end says it.
                saveError = typeof Manager.lastFileError === "string" ? Manager.lastFileError : ""
                showFor2s("state_saving_failed")
            } else {
                showFor2s("state_saving_successed")
                runAction(next)
            }
            break
        case "open_gps":
            Manager.readGPSDataFromFile(url)
            break
        case "save_gps":
            showFor2s(Manager.writeGPSDataToFile(url) ? "state_saving_successed"
                                                      : "state_saving_failed")
            break
        }
    }

    // --- keeping zones and selectors in step with the channel table ---
    function channelAdded(newFreqList, groupList, contactList, encryptList) {
        channelTab.fillTable(newFreqList, groupList, contactList, encryptList)
        zoneTab.init(listOf(zoneTab, "zonesList"), newFreqList)
    }
    function channelRemoved(newFreqList, removedChannelId) {
        var zones = Helper.zonesWithoutChannel(listOf(zoneTab, "zonesList"), removedChannelId)
        zoneTab.init(zones, newFreqList)
    }

    Component.onCompleted: retranslateUi()

    // The GPS log: taken from the back end in C++ (a log of 31 370 points
    // made into script objects would keep the garbage collector busy).
    GpsPointModel {
        id: gpsPoints
        source: Manager
        onLogReceived: {
            screen.endOperation("gps")
            screen.ensureGpsTab()
            screen.enterState("state_work")
        }
    }

    Connections {
        target: Manager
        ignoreUnknownSignals: true
        function onDataReadyReadFromDevice(success, data) {
            screen.endOperation("read")
            screen.endOperation("default")
            if (!success) {
                // Nothing changes: the tabs keep the last good image and its edits.
                var back = screen.hasImage ? "state_work" : "state_start"
                if (screen.cancelRequested)
                    screen.showFor2s("state_cancelled", back)
                else if (screen.hasImage)
                    screen.showFor2s("state_no_device", back)
                else
                    screen.enterState("state_no_device")
                screen.cancelRequested = false
                return
            }
            var d = data || {}
            screen.ensureTabs()
            channelTab.fillTable(d.freqList, d.RxGroupsList, d.contactList, d.encryptList)
            zoneTab.init(d.zoneList, d.freqList)
            dmrTab.init(d.RxGroupsList, d.contactList, d.encryptList)
            settingsTab.initBasicSettings(d.basicSettings)
            settingsTab.initGPSSettings(d.GPSSetup)
            settingsTab.initServises(d.serialNumber, d.nameModel, d.hwVersion)
            buttonsTab.init(d.buttonsSettings)
            topPanel.serialNumber = d.serialNumber !== undefined ? d.serialNumber : ""
            // What the screens show now is what came in: Save and Write
            // change only what the user edits from here on.
            var c = screen.collect()
            Manager.setEditBaseline(c.data, c.zones, c.rxGroups, c.contacts, c.settings, c.encrypt)
            screen.enterState("state_work")
        }
        function onDataReadyReadFromFile(success, data) {
            if (!success)
                screen.showFor2s("state_reading_failed",
                                 screen.hasImage ? "state_work" : "state_start")
        }
        function onWriteProblem(kind, detail) {
            screen.writeProblem = { "kind": kind, "detail": String(detail) }
        }
        function onDataWroteToDevice(success) {
            screen.endOperation("write")
            screen.showFor2s(success ? "state_write_success" : "state_write_failed")
            if (!success && screen.writeProblem !== null)
                dialogs.explainWriteProblem(screen.writeProblem)
            screen.writeProblem = null
            screen.cancelRequested = false
        }
        function onBackupFailed(path) {
            dialogs.ask("backup", qsTr("Резервная копия не сохранена"),
                        qsTr("Не удалось сохранить резервную копию образа радиостанции:\n%1").arg(path),
                        StandardButton.Ok)
        }
        function onReadProgressChanged(value) {
            screen.progress = value
            // The radio answered after a failed attempt: show the read, not
            // the "not found" text.
            if (screen.state === "state_reconnect")
                screen.enterState("state_read_loading")
        }
        function onWriteProgressChanged(value) { screen.progress = value }
        function onSignalGPSRead() {
            screen.progress = 0
            screen.enterState("state_read_loading")
        }
        function onSignalGPSEmpty() {
            screen.endOperation("gps")
            screen.showFor2s("state_no_gps")
        }
        function onSignalGPSReadFailed() {
            screen.endOperation("gps")
            screen.showFor2s("state_no_device")
        }
        function onSignalTypeRadio(typeRadio) { tabGPS.enabled = typeRadio === 0 }
        function onSignalRetryConnect(count) {
            screen.reconnectCount = count
            screen.enterState("state_reconnect")
        }
        function onLanguageChanged() { screen.retranslateUi() }
    }

    Timer {
        id: stateTimer
        interval: 2000
        repeat: false
        onTriggered: screen.state = screen.targetState
    }

    // Questions and warnings in one message box: `kind` says what an answer
    // leads to.
    LazyMessageDialog {
        id: dialogs
        objectName: "screenDialogs"
        host: screen
        property string kind: ""
        function ask(k, t, body, buttons) {
            kind = k
            title = t
            text = body
            icon = buttons === StandardButton.Ok ? StandardIcon.Warning : StandardIcon.Question
            standardButtons = buttons
            open()
        }
        // The message for a refused or failed write.
        function explainWriteProblem(p) {
            switch (p.kind) {
            case 1:
                ask("", qsTr("Запись невозможна"),
                    qsTr("Образ неполный, в радиостанцию ничего не записано.\n%1").arg(p.detail),
                    StandardButton.Ok)
                break
            case 2:
                ask("mismatch", qsTr("Другая радиостанция"),
                    qsTr("Радиостанция другой модели или диапазона, чем образ:\n%1\n\nВсё равно записать?").arg(p.detail),
                    StandardButton.Yes | StandardButton.No)
                break
            case 3:
                ask("", qsTr("Запись не подтверждена"),
                    qsTr("Проверка после записи нашла отличия в блоках: %1").arg(p.detail),
                    StandardButton.Ok)
                break
            case 4:
                ask("rewrite", qsTr("Запись прервана"),
                    qsTr("Запись отменена на середине: в радиостанции может остаться неполный образ. Записать снова?"),
                    StandardButton.Yes | StandardButton.No)
                break
            }
        }
        onAnswered: {
            var k = kind
            kind = ""
            if (k === "unsaved")
                screen.unsavedAnswered(button)
            else if (k === "mismatch" && button === StandardButton.Yes) {
                Manager.allowModelMismatchOnce()
                screen.startWrite()
            } else if (k === "rewrite" && button === StandardButton.Yes)
                screen.startWrite()
        }
    }
    Timer {
        id: holdTimer
        interval: 5000
        repeat: false
    }

    TopPanel {
        id: topPanel
        anchors.top: parent.top
        width: parent.width
        defaultButton.enabled: screen.toolsEnabled
        onDefaultSettingsClicked: screen.defaultSettingsClicked()
    }

    // Tool column.
    Item {
        id: tools
        anchors.top: topPanel.bottom
        anchors.bottom: parent.bottom
        width: 120
        Column {
            y: 30
            width: parent.width - 1
            spacing: 10
            TopPanelButton {
                id: readButton
                objectName: "buttonRead"
                width: parent.width
                icon: "qrc:/img/buttons/pc.png"
                enabled: screen.toolsEnabled
                onClicked: screen.readClicked()
            }
            TopPanelButton {
                id: writeButton
                objectName: "buttonWrite"
                width: parent.width
                icon: "qrc:/img/buttons/pc.png"
                enabled: screen.toolsEnabled && screen.hasImage
                onClicked: screen.writeClicked()
            }
            TopPanelButton {
                id: openButton
                objectName: "buttonOpen"
                width: parent.width
                icon: "qrc:/img/buttons/open.png"
                enabled: screen.toolsEnabled
                onClicked: screen.openClicked()
            }
            TopPanelButton {
                id: saveButton
                objectName: "buttonSave"
                width: parent.width
                icon: "qrc:/img/buttons/save.png"
                enabled: screen.toolsEnabled && screen.hasImage
                onClicked: screen.saveClicked()
            }
            TopPanelButton {
                id: restoreButton
                objectName: "buttonRestore"
                width: parent.width
                icon: "qrc:/img/buttons/open.png"
                enabled: screen.toolsEnabled
                onClicked: screen.restoreClicked()
            }
            CheckLine {
                id: verifyBox
                objectName: "verifyWrites"
                x: 8
                width: parent.width - 8
                checked: Manager.verifyWrites
                onClicked: Manager.verifyWrites = checked
            }
        }
        Rectangle {
            anchors.right: parent.right
            width: 1
            height: parent.height
            color: "#575757"
        }
    }

    // Work area: the tabs and the loading indicator over them.
    Item {
        id: workArea
        anchors.top: topPanel.bottom
        anchors.left: tools.right
        anchors.right: parent.right
        anchors.bottom: parent.bottom

        TabView {
            id: tabView
            objectName: "tabView"
            anchors.fill: parent
            anchors.topMargin: 6
            // Tabs as wide as their titles, so that no title is cut.
            style: TabViewStyle {
                frameOverlap: 1
                tab: Rectangle {
                    implicitWidth: Math.round(tabText.implicitWidth + 16)
                    implicitHeight: 28
                    color: styleData.selected ? "white" : (styleData.hovered ? "#E4F1FF" : "#E6E6E6")
                    border.color: "#9F9F9F"
                    Text {
                        id: tabText
                        anchors.centerIn: parent
                        text: styleData.title
                        font.pixelSize: 13
                        color: styleData.enabled ? "#333333" : "#A0A0A0"
                    }
                    Rectangle {
                        visible: styleData.selected
                        anchors.bottom: parent.bottom
                        x: 1
                        width: parent.width - 2
                        height: 1
                        color: "white"
                    }
                }
                frame: Rectangle {
                    color: "white"
                    border.color: "#9F9F9F"
                }
            }
            // The tabs' documents are named, not used as types, so that
            // neither they nor the modules they import are loaded before a
            // tab is made.
            Tab {
                id: tabFrequency
                objectName: "tabFrequency"
                source: "Tabs/TabFrequency.qml"
            }
            Tab {
                id: tabZone
                objectName: "tabZone"
                source: "Tabs/TabZone.qml"
            }
            Tab {
                id: tabMainSettings
                objectName: "tabMainSettings"
                source: "Tabs/TabMainSettings.qml"
            }
            Tab {
                id: tabButtons
                objectName: "tabButtons"
                source: "Tabs/TabButtonsSettings.qml"
            }
            Tab {
                id: tabDMR
                objectName: "tabDMR"
                source: "Tabs/TabDMRSettings.qml"
            }
            Tab {
                id: tabGPS
                objectName: "tabGPS"
                source: "Tabs/TabGPS.qml"
                onLoaded: item.pointModel = gpsPoints
            }
        }
        Connections {
            target: tabFrequency.item
            function onElementAdded(newFreqList, groupList, contactList, encryptList) {
                screen.channelAdded(newFreqList, groupList, contactList, encryptList)
            }
            function onElementRemoved(newFreqList, removedChannelId) {
                screen.channelRemoved(newFreqList, removedChannelId)
            }
        }
        Connections {
            target: tabDMR.item
            function onElementContactAdded(newContactList) { channelTab.sendContactModel(newContactList) }
            function onElementRemovedContact(newContactList) { channelTab.sendContactModel(newContactList) }
            function onElementRxGroupAdded(newRxGroupList) { channelTab.sendRxGroupModel(newRxGroupList) }
            function onElementRemovedRxGroup(newRxGroupList) { channelTab.sendRxGroupModel(newRxGroupList) }
            function onElementEncryptAdded(newEncryptList) { channelTab.sendEncryptModel(newEncryptList) }
        }
        Connections {
            target: tabGPS.item
            function onReadGPSClicked() { screen.gpsReadClicked() }
            function onSaveGPSClicked() { screen.gpsSaveClicked() }
            function onOpenGPSClicked() { screen.gpsOpenClicked() }
        }

        Item {
            id: indicator
            objectName: "loadingIndicator"
            anchors.fill: parent
            property bool backgroundVisible: false
            property bool progressVisible: false
            property alias text: indicatorLabel.text
            property alias progressBar: progressBar

            Rectangle {
                anchors.fill: parent
                color: "white"
                opacity: 0.7
                visible: indicator.backgroundVisible
            }
            MouseArea { anchors.fill: parent; hoverEnabled: true; onWheel: {} }
            Text {
                id: indicatorLabel
                objectName: "loadingText"
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.bottom: parent.verticalCenter
                anchors.bottomMargin: 10
                width: parent.width - 40
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                font.pixelSize: 25
                color: "#333333"
                text: screen.indicatorText()
            }
            // A plain bar rather than the Controls one: it is shown only
            // during transfers and costs nothing at start-up.
            Rectangle {
                id: progressBar
                objectName: "loadingProgress"
                property real minimumValue: 0
                property real maximumValue: 100
                property real value: screen.progress
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: parent.verticalCenter
                anchors.topMargin: 10
                width: 300
                height: 30
                radius: 3
                color: "white"
                border.color: "#9F9F9F"
                visible: indicator.progressVisible
                Rectangle {
                    x: 2
                    y: 2
                    height: parent.height - 4
                    width: (parent.width - 4) * Math.max(0, Math.min(1, (progressBar.value - progressBar.minimumValue)
                                                                   / (progressBar.maximumValue - progressBar.minimumValue)))
                    radius: 2
                    color: "#4A90D9"
                }
            }
            // The cancel button is made the first time it is wanted.
            Loader {
                id: cancelLoader
                readonly property bool wanted: !screen.cancelRequested
                         && (screen.state === "state_read_loading" && screen.operation === "read"
                             || screen.state === "state_reconnect"
                             || screen.state === "state_write_loading")
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: progressBar.bottom
                anchors.topMargin: 20
                active: false
                visible: wanted
                onWantedChanged: if (wanted) active = true
                sourceComponent: Button {
                    objectName: "cancelOperation"
                    width: 120
                    text: screen.cancelText
                    visible: cancelLoader.wanted
                    onClicked: screen.cancelClicked()
                }
            }
        }
    }

    // The file dialog is made on first use: it is costly to create.
    QtObject {
        id: fileDialog
        property string mode: ""
        property string title: ""
        property var dialog: loader.item
        function retitle() {
            title = mode.indexOf("open") === 0 ? qsTr("Выберите файл для открытия")
                                               : qsTr("Выберите файл для сохранения")
            if (dialog)
                dialog.title = title
        }
        function openFor(m) {
            mode = m
            loader.active = true
            retitle()
            dialog.selectExisting = m.indexOf("open") === 0
            dialog.nameFilters = m.indexOf("gps") >= 0 ? ["CDC (*.cdc)"]
                               : m === "open_config" ? ["Orvane Configuration (*.ovc *.dcc)"]
                               : ["Orvane Configuration (*.ovc)"]
            dialog.open()
        }
    }
    // The list of backups, made when first asked for.
    Loader {
        id: backupLoader
        anchors.fill: parent
        active: false
        source: "UI/BackupPicker.qml"
    }
    Connections {
        target: backupLoader.item
        function onPicked(url) { Manager.readDataFromFile(url) }
    }

    Loader {
        id: loader
        active: false
        source: "UI/FileChooser.qml"
    }
    Connections {
        target: loader.item
        function onAccepted() { screen.fileChosen(fileDialog.mode, loader.item.fileUrl) }
        function onRejected() { screen.afterSave = "" }
    }

    states: [
        State {
            name: "state_start"
            PropertyChanges { target: tabView; visible: false }
        },
        State {
            name: "state_read_loading"
            PropertyChanges { target: tabView; visible: false }
            PropertyChanges { target: indicator; progressVisible: true }
        },
        State {
            name: "state_write_loading"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; progressVisible: true; backgroundVisible: true }
        },
        State {
            name: "state_write_success"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; backgroundVisible: true }
        },
        State {
            name: "state_write_failed"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; backgroundVisible: true }
        },
        State {
            name: "state_work"
            PropertyChanges { target: indicator; visible: false; enabled: false; z: -1 }
        },
        State {
            name: "state_saving_successed"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; backgroundVisible: true }
        },
        State {
            name: "state_saving_failed"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; backgroundVisible: true }
        },
        State {
            name: "state_reading_failed"
            PropertyChanges { target: tabView; enabled: false }
            PropertyChanges { target: indicator; backgroundVisible: true }
        },
        State {
            name: "state_reconnect"
            PropertyChanges { target: tabView; visible: false }
        },
        State {
            name: "state_no_device"
            PropertyChanges { target: tabView; visible: false }
        },
        State {
            name: "state_cancelled"
            PropertyChanges { target: tabView; visible: false }
        },
        State {
            name: "state_no_gps"
            PropertyChanges { target: tabView; visible: false }
        }
    ]

    // Instead of "not found": the radio is plugged in but this user may not
    // open it (the udev rule is missing). Laid over the state text.
    Rectangle {
        id: usbAccess
        objectName: "usbAccessDenied"
        parent: indicator
        anchors.fill: parent
        color: "#F0F0F0"
        property bool denied: false // the last attempt was refused so
        property bool refused: false // during the attempt under way
        visible: denied && (screen.state === "state_reconnect" || screen.state === "state_no_device"
                            || screen.state === "state_write_failed")
        function attemptEnded() {
            denied = refused
            refused = false
        }
        Text {
            id: usbAccessLine
            objectName: "usbAccessDeniedText"
            anchors.centerIn: parent
            width: parent.width - 40
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            font.pixelSize: 20
            color: "#e30413"
            function retranslate() {
                text = qsTr("Рация подключена, но нет прав доступа к ней: установите правило udev 60-orvane.rules в /etc/udev/rules.d (его ставит пакет orvane) и переподключите рацию")
            }
            Component.onCompleted: retranslate()
        }
        Connections {
            target: Manager
            ignoreUnknownSignals: true
            function onUsbAccessDenied() { usbAccess.refused = true }
            function onSignalRetryConnect() { usbAccess.attemptEnded() }
            function onDataWroteToDevice() { usbAccess.attemptEnded() }
            function onSignalGPSReadFailed() { usbAccess.attemptEnded() }
            function onDataReadyReadFromDevice(success) {
                if (success)
                    usbAccess.denied = false
            }
            function onLanguageChanged() { usbAccessLine.retranslate() }
        }
    }
}
