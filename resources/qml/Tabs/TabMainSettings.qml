import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.1
import "../UI"

// The basic-settings tab: radio-wide settings, GPS logging, the fall sensor
// and the service data. Several radio values are kept in coarse units and
// shown in milliseconds (hang times of 500 ms, preamble of 60 ms, VOX hold
// of 100 ms).
Item {
    id: tab

    property int langTick: 0 // bumped to re-evaluate every text
    // Set once the tab has been on screen; parts that are only looked at are
    // built then rather than with the window.
    property bool shown: false
    onVisibleChanged: if (visible) shown = true
    readonly property var scrollView: pageLoader.item
    readonly property var offOn: (langTick, [qsTr("ВЫКЛ"), qsTr("ВКЛ")])

    // The page is built when the tab is first shown, or when its values are
    // first asked for; values given before that are kept and put in then.
    property var pending: ({})

    function buildPage() {
        pageLoader.active = true
        return pageLoader.item
    }

    function retranslateUi() {
        if (pageLoader.item)
            pageLoader.item.retranslate()
        else
            langTick++
    }

    function num(v) {
        var n = Number(v)
        return isFinite(n) ? n : 0
    }

    function initBasicSettings(map) {
        if (pageLoader.item)
            pageLoader.item.initBasicSettings(map)
        else
            pending.basic = map
    }

    function initGPSSettings(map) {
        if (pageLoader.item)
            pageLoader.item.initGPSSettings(map)
        else
            pending.gps = map
    }

    function initServises(serial, model, hw) {
        if (pageLoader.item)
            pageLoader.item.initServises(serial, model, hw)
        else
            pending.services = [serial, model, hw]
    }

    function getSettings() {
        return buildPage().getSettings()
    }

    function numbers(from, to) {
        var list = []
        for (var i = from; i <= to; ++i)
            list.push(String(i))
        return list
    }

    Component.onCompleted: {
        retranslateUi()
        if (visible)
            shown = true
    }

    Connections {
        target: typeof Manager !== "undefined" ? Manager : null
        ignoreUnknownSignals: true
        function onLanguageChanged() { tab.retranslateUi() }
    }

    Loader {
        id: pageLoader
        anchors.fill: parent
        active: tab.shown
        onLoaded: {
            var p = tab.pending
            tab.pending = {}
            if (p.basic !== undefined)
                item.initBasicSettings(p.basic)
            if (p.gps !== undefined)
                item.initGPSSettings(p.gps)
            if (p.services !== undefined)
                item.initServises(p.services[0], p.services[1], p.services[2])
        }
        sourceComponent: ScrollView {
            id: scroll
            function retranslate() {
                var combos = [radioId, voxSensitivity, bluetooth, gpsActivation, gpsIndication,
                              manDownActivation, manDownTrigger]
                var kept = combos.map(function (c) { return c.currentIndex })
                tab.langTick++
                for (var i = 0; i < combos.length; ++i)
                    combos[i].currentIndex = kept[i]
            }

            function initBasicSettings(map) {
                var m = map || {}
                radioId.setStored(m.radio_id)
                uniqueRadioId.text = m.unique_radio_id === undefined ? "" : String(m.unique_radio_id)
                squelchNormal.setStored(m.squelch_normal_level)
                squelchTight.setStored(m.squelch_tight_level)
                preamble.setStored(m.preamble_duration)
                digitalVoiceLevel.setStored(m.digital_voice_level)
                groupHang.setStored(m.group_call_hang_time)
                privateHang.setStored(m.private_call_hang_time)
                repeaterGroupHang.setStored(m.repeater_group_call_hang)
                repeaterPrivateHang.setStored(m.repeater_private_call_hang)
                analogHang.setStored(m.analog_hang_time)
                digitalHang.setStored(m.digital_hang_time)
                micGain.setStored(m.mic_gain_level)
                voxSensitivity.setStored(m.vox_sensitivity)
                voxHold.setStored(m.vox_hold_time)
                manDownActivation.setStored(m.man_down_activation)
                manDownEntry.setStored(m.man_down_trig_entry)
                manDownExit.setStored(m.man_down_trig_exit)
                manDownPrealert.setStored(m.man_down_prealert)
                manDownTrigger.setStored(m.man_down_trigger)
                manDownTilt.setStored(m.man_down_tilt)
            }

            function initGPSSettings(map) {
                var m = map || {}
                gpsActivation.setStored(m.activated)
                gpsInterval.setStored(m.save_interval)
                gpsIndication.setStored(m.indication)
            }

            function initServises(serial, model, hw) {
                serialNumber.text = serial === undefined ? "" : String(serial)
                modelName.text = model === undefined ? "" : String(model)
                hwVersion.text = hw === undefined ? "" : String(hw)
            }

            function getSettings() {
                return {
                    "radio_id": radioId.stored(),
                    "unique_radio_id": uniqueRadioId.text,
                    "squelch_normal_level": squelchNormal.stored(),
                    "squelch_tight_level": squelchTight.stored(),
                    "preamble_duration": preamble.stored(),
                    "digital_voice_level": digitalVoiceLevel.stored(),
                    "group_call_hang_time": groupHang.stored(),
                    "private_call_hang_time": privateHang.stored(),
                    "repeater_group_call_hang": repeaterGroupHang.stored(),
                    "repeater_private_call_hang": repeaterPrivateHang.stored(),
                    "analog_hang_time": analogHang.stored(),
                    "digital_hang_time": digitalHang.stored(),
                    "mic_gain_level": micGain.stored(),
                    "vox_sensitivity": voxSensitivity.stored(),
                    "vox_hold_time": String(voxHold.stored()),
                    "gps_activation": gpsActivation.stored(),
                    "gps_interval": gpsInterval.stored(),
                    "gps_indication": gpsIndication.stored(),
                    "man_down_activation": manDownActivation.stored(),
                    "man_down_trig_entry": manDownEntry.stored(),
                    "man_down_trig_exit": manDownExit.stored(),
                    "man_down_prealert": manDownPrealert.stored(),
                    "man_down_trigger": manDownTrigger.stored(),
                    "man_down_tilt": manDownTilt.stored(),
                    "serial": serialNumber.text,
                    "name_model": modelName.text,
                    "hw_version": hwVersion.text,
                    "des_name": "DES 1",
                    "des_type": 1,
                    "des_mode": 0,
                    "des_channel": 0xFFFF
                }
            }

            verticalScrollBarPolicy: Qt.ScrollBarAlwaysOn
            horizontalScrollBarPolicy: Qt.ScrollBarAlwaysOff

            Item {
                id: page
                width: scroll.viewport.width
                height: pageColumn.height + 20

                // The wheel scrolls the page even over a spin box or a combo box:
                // turned by a wheel that meant to scroll, they would change a
                // setting without the user noticing.
                MouseArea {
                    objectName: "wheelScroll"
                    anchors.fill: parent
                    z: 1
                    acceptedButtons: Qt.NoButton
                    onWheel: {
                        var f = scroll.flickableItem
                        var step = wheel.pixelDelta.y !== 0 ? wheel.pixelDelta.y : wheel.angleDelta.y / 120 * 60
                        var bottom = Math.max(0, f.contentHeight - f.height)
                        f.contentY = Math.max(0, Math.min(bottom, f.contentY - step))
                    }
                }

                Column {
                    id: pageColumn
                    x: 10; y: 10
                    width: page.width - 20
                    spacing: 8

                    readonly property real narrow: Math.floor(width * 0.4)
                    readonly property real half: Math.floor((width - 8) / 2)

                    Row {
                        spacing: 8
                        GroupBox {
                            id: basicGroup
                            width: pageColumn.narrow
                            height: Math.max(implicitHeight, toneGroup.implicitHeight)
                            title: (tab.langTick, qsTr("Основные"))
                            Column {
                                width: parent.width
                                spacing: 5
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Название радиостанции"))
                                    labelWidth: 245
                                    TextField { anchors.fill: parent; maximumLength: 16; enabled: false }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Текст заставки"))
                                    labelWidth: 245
                                    TextField { anchors.fill: parent; maximumLength: 16; enabled: false }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Идентификация"))
                                    labelWidth: 245
                                    StoredCombo { id: radioId; objectName: "radio_id"; anchors.fill: parent; choices: tab.offOn }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Идентификационный номер"))
                                    labelWidth: 245
                                    // The radio keeps one byte here.
                                    TextField {
                                        id: uniqueRadioId; objectName: "unique_radio_id"
                                        anchors.fill: parent; maximumLength: 16
                                        validator: RegExpValidator { regExp: /(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])/ }
                                    }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Шумоподавление нормальный уровень"))
                                    labelWidth: 245
                                    StoredCombo { id: squelchNormal; objectName: "squelch_normal_level"; anchors.fill: parent; choices: tab.numbers(0, 9) }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Шумоподавление сильный уровень"))
                                    labelWidth: 245
                                    StoredCombo { id: squelchTight; objectName: "squelch_tight_level"; anchors.fill: parent; choices: tab.numbers(0, 9) }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Преамбула передачи(мс)"))
                                    labelWidth: 245
                                    StoredSpin { id: preamble; objectName: "preamble_duration"; anchors.fill: parent; unit: 60; lowest: 0; highest: 8640; stepSize: 60 }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Усиление звука в цифровом канале"))
                                    labelWidth: 245
                                    StoredCombo { id: digitalVoiceLevel; objectName: "digital_voice_level"; anchors.fill: parent; choices: tab.numbers(1, 15) }
                                }
                            }
                        }

                        // Shown for reference; the radio's tone list is not edited here.
                        GroupBox {
                            id: toneGroup
                            width: pageColumn.width - pageColumn.narrow - 8
                            height: basicGroup.height
                            title: (tab.langTick, qsTr("Список тонов"))
                            enabled: false
                            // Built when the tab is first shown: 32 spin boxes
                            // are a large part of the window's start-up.
                            Loader {
                                width: parent.width
                                height: 9 * 25 + 8 * 5 // a header and eight tones
                                active: tab.shown
                                sourceComponent: Row {
                                    spacing: 10
                                    Repeater {
                                        model: 2
                                        Column {
                                            id: toneHalf
                                            property int first: index * 8
                                            width: (toneGroup.width - 40) / 2
                                            spacing: 5
                                            Row {
                                                height: 25
                                                spacing: 6
                                                Item { width: 60; height: 1 }
                                                Text {
                                                    width: (toneHalf.width - 72) / 2; height: 25
                                                    verticalAlignment: Text.AlignVCenter; horizontalAlignment: Text.AlignHCenter
                                                    font.pixelSize: 13; color: "#808080"
                                                    fontSizeMode: Text.HorizontalFit; minimumPointSize: 7
                                                    text: (tab.langTick, qsTr("Частота(Гц)"))
                                                }
                                                Text {
                                                    width: (toneHalf.width - 72) / 2; height: 25
                                                    verticalAlignment: Text.AlignVCenter; horizontalAlignment: Text.AlignHCenter
                                                    font.pixelSize: 13; color: "#808080"
                                                    fontSizeMode: Text.HorizontalFit; minimumPointSize: 7
                                                    text: (tab.langTick, qsTr("Длительность(мс)"))
                                                }
                                            }
                                            Repeater {
                                                model: 8
                                                Row {
                                                    height: 25
                                                    spacing: 6
                                                    Text {
                                                        width: 60; height: 25
                                                        verticalAlignment: Text.AlignVCenter
                                                        font.pixelSize: 13; color: "#808080"
                                                        text: (tab.langTick, qsTr("Тон %1").arg(toneHalf.first + index + 1))
                                                    }
                                                    SpinBox {
                                                        width: (toneHalf.width - 72) / 2; height: 25
                                                        minimumValue: 400; maximumValue: 2500; stepSize: 0.1; decimals: 1
                                                    }
                                                    SpinBox {
                                                        width: (toneHalf.width - 72) / 2; height: 25
                                                        minimumValue: 0; maximumValue: 2550; stepSize: 10
                                                    }
                                                }
                                            }
                                        }
                                    }
                                }
                            }
                        }
                    }

                    Row {
                        spacing: 8
                        GroupBox {
                            width: pageColumn.half
                            title: (tab.langTick, qsTr("Прямой канал"))
                            Column {
                                width: parent.width
                                spacing: 5
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Время задержки группового вызова (мс)"))
                                    labelWidth: 300
                                    StoredSpin { id: groupHang; objectName: "group_call_hang_time"; anchors.fill: parent; unit: 500; lowest: 0; highest: 30000; stepSize: 500 }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Время задержки персонального вызова (мс)"))
                                    labelWidth: 300
                                    StoredSpin { id: privateHang; objectName: "private_call_hang_time"; anchors.fill: parent; unit: 500; lowest: 0; highest: 30000; stepSize: 500 }
                                }
                            }
                        }
                        GroupBox {
                            width: pageColumn.half
                            title: (tab.langTick, qsTr("Ретранслятор"))
                            Column {
                                width: parent.width
                                spacing: 5
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Время задержки группового вызова (мс)"))
                                    labelWidth: 300
                                    StoredSpin { id: repeaterGroupHang; objectName: "repeater_group_call_hang"; anchors.fill: parent; unit: 500; lowest: 0; highest: 30000; stepSize: 500 }
                                }
                                SettingsRow {
                                    text: (tab.langTick, qsTr("Время задержки персонального вызова (мс)"))
                                    labelWidth: 300
                                    StoredSpin { id: repeaterPrivateHang; objectName: "repeater_private_call_hang"; anchors.fill: parent; unit: 500; lowest: 0; highest: 30000; stepSize: 500 }
                                }
                            }
                        }
                    }

                    GroupBox {
                        width: pageColumn.half
                        title: (tab.langTick, qsTr("Сканирование"))
                        Column {
                            width: parent.width
                            spacing: 5
                            SettingsRow {
                                text: (tab.langTick, qsTr("Время задержки на аналоговом канале (мс)"))
                                labelWidth: 300
                                StoredSpin { id: analogHang; objectName: "analog_hang_time"; anchors.fill: parent; unit: 500; lowest: 500; highest: 10000; stepSize: 500 }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Время задержки на цифровом канале (мс)"))
                                labelWidth: 300
                                StoredSpin { id: digitalHang; objectName: "digital_hang_time"; anchors.fill: parent; unit: 500; lowest: 500; highest: 10000; stepSize: 500 }
                            }
                        }
                    }

                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Микрофон"))
                        SettingsRow {
                            width: parent.width
                            text: (tab.langTick, qsTr("Уровень усиления"))
                            labelWidth: 245
                            StoredCombo { id: micGain; objectName: "mic_gain_level"; anchors.fill: parent; choices: tab.numbers(0, 19) }
                        }
                    }

                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Голосовая активация передачи (VOX)"))
                        Column {
                            width: parent.width
                            spacing: 5
                            SettingsRow {
                                text: (tab.langTick, qsTr("Чувствительность"))
                                labelWidth: 245
                                StoredCombo {
                                    id: voxSensitivity; objectName: "vox_sensitivity"
                                    anchors.fill: parent
                                    choices: {
                                        tab.langTick
                                        var list = []
                                        for (var i = 0; i <= 10; ++i)
                                            list.push(qsTr("Уровень ") + i + (i === 0 ? qsTr(" (Высокий)") : ""))
                                        return list
                                    }
                                }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Задержка"))
                                labelWidth: 245
                                StoredSpin { id: voxHold; objectName: "vox_hold_time"; anchors.fill: parent; unit: 100; lowest: 1000; highest: 25500; stepSize: 100 }
                            }
                        }
                    }

                    // Shown for the radio's panel; not part of the image.
                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Bluetooth (беспроводная передача)"))
                        ComboBox { id: bluetooth; width: 150; model: tab.offOn }
                    }

                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Навигация"))
                        Column {
                            width: parent.width
                            spacing: 5
                            SettingsRow {
                                text: (tab.langTick, qsTr("Активация"))
                                labelWidth: 245
                                StoredCombo { id: gpsActivation; objectName: "gps_activation"; anchors.fill: parent; choices: tab.offOn }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Интервал записи (c)"))
                                labelWidth: 245
                                StoredSpin { id: gpsInterval; objectName: "gps_interval"; anchors.fill: parent; unit: 1; lowest: 1; highest: 250; stepSize: 1 }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Индикация"))
                                labelWidth: 245
                                StoredCombo { id: gpsIndication; objectName: "gps_indication"; anchors.fill: parent; choices: tab.offOn }
                            }
                        }
                    }

                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Акселерометр (датчик падения)"))
                        Column {
                            width: parent.width
                            spacing: 5
                            SettingsRow {
                                text: (tab.langTick, qsTr("Активация"))
                                labelWidth: 245
                                StoredCombo { id: manDownActivation; objectName: "man_down_activation"; anchors.fill: parent; choices: tab.offOn }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Задержка перед тревогой (с)"))
                                labelWidth: 245
                                StoredSpin { id: manDownEntry; objectName: "man_down_trig_entry"; anchors.fill: parent; unit: 1; lowest: 0; highest: 254 }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Задержка отключения тревоги(с)"))
                                labelWidth: 245
                                StoredSpin { id: manDownExit; objectName: "man_down_trig_exit"; anchors.fill: parent; unit: 1; lowest: 0; highest: 254 }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Время оповещения перед тревогой(с)"))
                                labelWidth: 245
                                StoredSpin { id: manDownPrealert; objectName: "man_down_prealert"; anchors.fill: parent; unit: 1; lowest: 0; highest: 254 }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Условия срабатывания"))
                                labelWidth: 245
                                StoredCombo {
                                    id: manDownTrigger; objectName: "man_down_trigger"
                                    anchors.fill: parent
                                    choices: (tab.langTick, [qsTr("Угол"), qsTr("Остановка"), qsTr("Угол или остановка")])
                                }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Угол отклонения"))
                                labelWidth: 245
                                StoredCombo { id: manDownTilt; objectName: "man_down_tilt"; anchors.fill: parent; choices: ["60", "45"] }
                            }
                        }
                    }

                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Сервисные настройки"))
                        Column {
                            width: parent.width
                            spacing: 5
                            SettingsRow {
                                text: (tab.langTick, qsTr("Серийный номер"))
                                labelWidth: 245
                                TextField { id: serialNumber; objectName: "serial"; anchors.fill: parent; maximumLength: 16; enabled: false }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Название модели"))
                                labelWidth: 245
                                TextField { id: modelName; objectName: "name_model"; anchors.fill: parent; maximumLength: 16; enabled: false }
                            }
                            SettingsRow {
                                text: (tab.langTick, qsTr("Аппаратная версия"))
                                labelWidth: 245
                                TextField { id: hwVersion; objectName: "hw_version"; anchors.fill: parent; maximumLength: 16; enabled: false }
                            }
                        }
                    }
                }
            }
        }
    }
}
