import QtQuick 2.7
import QtQuick.Controls 1.4
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

    // The rows of the setting groups (see SettingsGroup). "source": the map
    // a row is filled from ("basic" unless said, "gps", "service"), under
    // "from" where the key differs; "local": shown only, neither filled nor
    // handed back; "asText": handed back as a text. Durations are stored in
    // units of 60 ms (preamble), 500 ms (hang times) and 100 ms (VOX hold).
    readonly property var groupRows: (langTick, {
        "basic": [
            { key: "radio_name", label: qsTr("Название радиостанции"), text: true, enabled: false, local: true },
            { key: "power_on_text", label: qsTr("Текст заставки"), text: true, enabled: false, local: true },
            { key: "radio_id", label: qsTr("Идентификация"), choices: offOn },
            // The radio keeps one byte here.
            { key: "unique_radio_id", label: qsTr("Идентификационный номер"), text: true, byte: true },
            { key: "squelch_normal_level", label: qsTr("Шумоподавление нормальный уровень"), choices: numbers(0, 9) },
            { key: "squelch_tight_level", label: qsTr("Шумоподавление сильный уровень"), choices: numbers(0, 9) },
            { key: "preamble_duration", label: qsTr("Преамбула передачи(мс)"), unit: 60, lowest: 0, highest: 8640, step: 60 },
            { key: "digital_voice_level", label: qsTr("Усиление звука в цифровом канале"), choices: numbers(1, 15) }
        ],
        "direct": [
            { key: "group_call_hang_time", label: qsTr("Время задержки группового вызова (мс)"), unit: 500, lowest: 0, highest: 30000, step: 500 },
            { key: "private_call_hang_time", label: qsTr("Время задержки персонального вызова (мс)"), unit: 500, lowest: 0, highest: 30000, step: 500 }
        ],
        "repeater": [
            { key: "repeater_group_call_hang", label: qsTr("Время задержки группового вызова (мс)"), unit: 500, lowest: 0, highest: 30000, step: 500 },
            { key: "repeater_private_call_hang", label: qsTr("Время задержки персонального вызова (мс)"), unit: 500, lowest: 0, highest: 30000, step: 500 }
        ],
        "scan": [
            { key: "analog_hang_time", label: qsTr("Время задержки на аналоговом канале (мс)"), unit: 500, lowest: 500, highest: 10000, step: 500 },
            { key: "digital_hang_time", label: qsTr("Время задержки на цифровом канале (мс)"), unit: 500, lowest: 500, highest: 10000, step: 500 }
        ],
        "mic": [
            { key: "mic_gain_level", label: qsTr("Уровень усиления"), choices: numbers(0, 19) }
        ],
        "vox": [
            { key: "vox_sensitivity", label: qsTr("Чувствительность"), choices: voxLevels() },
            { key: "vox_hold_time", label: qsTr("Задержка"), unit: 100, lowest: 1000, highest: 25500, step: 100, asText: true }
        ],
        "navigation": [
            { key: "gps_activation", label: qsTr("Активация"), choices: offOn, source: "gps", from: "activated" },
            { key: "gps_interval", label: qsTr("Интервал записи (c)"), unit: 1, lowest: 1, highest: 250, source: "gps", from: "save_interval" },
            { key: "gps_indication", label: qsTr("Индикация"), choices: offOn, source: "gps", from: "indication" }
        ],
        "manDown": [
            { key: "man_down_activation", label: qsTr("Активация"), choices: offOn },
            { key: "man_down_trig_entry", label: qsTr("Задержка перед тревогой (с)"), unit: 1, lowest: 0, highest: 254 },
            { key: "man_down_trig_exit", label: qsTr("Задержка отключения тревоги(с)"), unit: 1, lowest: 0, highest: 254 },
            { key: "man_down_prealert", label: qsTr("Время оповещения перед тревогой(с)"), unit: 1, lowest: 0, highest: 254 },
            { key: "man_down_trigger", label: qsTr("Условия срабатывания"), choices: [qsTr("Угол"), qsTr("Остановка"), qsTr("Угол или остановка")] },
            { key: "man_down_tilt", label: qsTr("Угол отклонения"), choices: ["60", "45"] }
        ],
        "service": [
            { key: "serial", label: qsTr("Серийный номер"), text: true, enabled: false, source: "service" },
            { key: "name_model", label: qsTr("Название модели"), text: true, enabled: false, source: "service" },
            { key: "hw_version", label: qsTr("Аппаратная версия"), text: true, enabled: false, source: "service" }
        ]
    })

    function voxLevels() {
        var list = []
        for (var i = 0; i <= 10; ++i)
            list.push(qsTr("Уровень ") + i + (i === 0 ? qsTr(" (Высокий)") : ""))
        return list
    }

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

    Retranslator { owner: tab; atStart: false }

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
            // The controls of the rows, by key.
            property var controls: ({})
            function control(key) { return controls[key] }

            function retranslate() {
                var combos = []
                for (var k in controls)
                    if (controls[k].choices !== undefined)
                        combos.push(controls[k])
                combos.push(bluetooth)
                var kept = combos.map(function (c) { return c.currentIndex })
                tab.langTick++
                for (var i = 0; i < combos.length; ++i)
                    combos[i].currentIndex = kept[i]
            }

            // Fills the rows whose values come from `source` ("basic", "gps",
            // "service") from the map m.
            function fill(source, m) {
                var groups = tab.groupRows
                for (var g in groups) {
                    var rows = groups[g]
                    for (var i = 0; i < rows.length; ++i) {
                        var d = rows[i]
                        if ((d.source || "basic") !== source || d.local)
                            continue
                        var v = m[d.from || d.key]
                        if (d.text)
                            controls[d.key].text = v === undefined ? "" : String(v)
                        else
                            controls[d.key].setStored(v)
                    }
                }
            }

            function initBasicSettings(map) { fill("basic", map || {}) }
            function initGPSSettings(map) { fill("gps", map || {}) }
            function initServises(serial, model, hw) {
                fill("service", { "serial": serial, "name_model": model, "hw_version": hw })
            }

            function getSettings() {
                var out = {
                    "des_name": "DES 1",
                    "des_type": 1,
                    "des_mode": 0,
                    "des_channel": 0xFFFF
                }
                var groups = tab.groupRows
                for (var g in groups) {
                    var rows = groups[g]
                    for (var i = 0; i < rows.length; ++i) {
                        var d = rows[i]
                        if (d.local)
                            continue
                        var c = controls[d.key]
                        out[d.key] = d.text ? c.text : d.asText ? String(c.stored()) : c.stored()
                    }
                }
                return out
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
                        SettingsGroup {
                            id: basicGroup
                            width: pageColumn.narrow
                            height: Math.max(implicitHeight, toneGroup.implicitHeight)
                            title: (tab.langTick, qsTr("Основные"))
                            rows: tab.groupRows.basic
                            onControlMade: scroll.controls[key] = control
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
                        SettingsGroup {
                            width: pageColumn.half
                            title: (tab.langTick, qsTr("Прямой канал"))
                            labelWidth: 300
                            rows: tab.groupRows.direct
                            onControlMade: scroll.controls[key] = control
                        }
                        SettingsGroup {
                            width: pageColumn.half
                            title: (tab.langTick, qsTr("Ретранслятор"))
                            labelWidth: 300
                            rows: tab.groupRows.repeater
                            onControlMade: scroll.controls[key] = control
                        }
                    }

                    SettingsGroup {
                        width: pageColumn.half
                        title: (tab.langTick, qsTr("Сканирование"))
                        labelWidth: 300
                        rows: tab.groupRows.scan
                        onControlMade: scroll.controls[key] = control
                    }

                    SettingsGroup {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Микрофон"))
                        rows: tab.groupRows.mic
                        onControlMade: scroll.controls[key] = control
                    }

                    SettingsGroup {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Голосовая активация передачи (VOX)"))
                        rows: tab.groupRows.vox
                        onControlMade: scroll.controls[key] = control
                    }

                    // Shown for the radio's panel; not part of the image.
                    GroupBox {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Bluetooth (беспроводная передача)"))
                        ComboBox { id: bluetooth; width: 150; model: tab.offOn }
                    }

                    SettingsGroup {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Навигация"))
                        rows: tab.groupRows.navigation
                        onControlMade: scroll.controls[key] = control
                    }

                    SettingsGroup {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Акселерометр (датчик падения)"))
                        rows: tab.groupRows.manDown
                        onControlMade: scroll.controls[key] = control
                    }

                    SettingsGroup {
                        width: pageColumn.narrow
                        title: (tab.langTick, qsTr("Сервисные настройки"))
                        rows: tab.groupRows.service
                        onControlMade: scroll.controls[key] = control
                    }
                }
            }
        }
    }
}
