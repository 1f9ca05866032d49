import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.1
import "../UI"

// The buttons tab: the action of each programmable button on a short and a
// long press, and the two press durations.
//
// The radio keeps each duration in one byte: the long-press duration in
// steps of 250 ms, the alarm-off press in steps of 0.5 s. The map carries
// those steps; the spin boxes show milliseconds and seconds, and a stored
// step count outside the offered range is shown as it is, not clamped.
Item {
    id: tab

    property int langTick: 0 // bumped to re-evaluate every text
    property int typeRadio: 0
    readonly property int longPressStepMs: 250
    readonly property int nameWidth: 200
    readonly property int comboWidth: 312
    readonly property real emgOffStepS: 0.5

    // The ten keys of the map, in the order of the rows.
    readonly property var keys: [
        "orange_button_short_press", "orange_button_long_press",
        "side_button1_short_press", "side_button1_long_press",
        "side_button2_short_press", "side_button2_long_press",
        "purple_button_short_press", "purple_button_long_press"
    ]

    readonly property var actions: (langTick, [
        qsTr("Неназначено"),
        qsTr("Включение тревоги"),
        qsTr("Выключение тревоги"),
        qsTr("Переключение мощности передачи"),
        qsTr("Использование ретранслятора Вкл./Выкл."),
        qsTr("Сканирование Вкл./Выкл."),
        qsTr("Одинокий работник Вкл./Выкл."),
        qsTr("VOX Вкл./Выкл."),
        qsTr("Детект падения Вкл./Выкл."),
        qsTr("Шифрование Вкл./Выкл."),
        qsTr("Все сигналы тревоги Вкл./Выкл."),
        qsTr("Мониторинг канала"),
        qsTr("Блокировка клавиатуры"),
        qsTr("Уровень шумоподавителя"),
        qsTr("Вызов канал 1"),
        qsTr("Вызов канал 2"),
        qsTr("Вызов канал 3"),
        qsTr("Вызов канал 4"),
        qsTr("Вызов канал 5"),
        qsTr("Вызов канал 6"),
        qsTr("Предыдущая зона"),
        qsTr("Следующая зона"),
        qsTr("Наблюдение/Скрытый режим"),
        qsTr("Уровень шумоподавителя"),
        qsTr("Переключатель шумоподавителя"),
        qsTr("Убрать канал"),
        qsTr("Мониторинг канала"),
        qsTr("Запрос тревоги")
    ])

    // Row names and combo pairs, top to bottom; the last two only exist on
    // radios of type 1.
    property var rows: [
        { name: "orange", shortBox: orangeShort, longBox: orangeLong },
        { name: "side1", shortBox: side1Short, longBox: side1Long },
        { name: "side2", shortBox: side2Short, longBox: side2Long },
        { name: "purple", shortBox: purpleShort, longBox: purpleLong },
        { name: "up", shortBox: upShort, longBox: upLong },
        { name: "down", shortBox: downShort, longBox: downLong }
    ]

    function allCombos() {
        var list = []
        for (var i = 0; i < rows.length; ++i)
            list.push(rows[i].shortBox, rows[i].longBox)
        return list
    }

    function retranslateUi() {
        var combos = allCombos()
        var kept = combos.map(function (c) { return c.currentIndex })
        langTick++
        for (var i = 0; i < combos.length; ++i)
            combos[i].currentIndex = kept[i]
    }

    function num(v) {
        var n = Number(v)
        return isFinite(n) ? n : 0
    }

    function init(map) {
        var m = map || {}
        typeRadio = num(m.type_radio)
        var combos = allCombos()
        for (var i = 0; i < keys.length; ++i)
            combos[i].setStored(num(m[keys[i]]))
        longPress.setStored(num(m.long_press_duration))
        emgOff.setStored(num(m.long_press_duration_emg_off))
    }

    function getSettings() {
        var m = {}
        var combos = allCombos()
        for (var i = 0; i < keys.length; ++i)
            m[keys[i]] = combos[i].stored()
        m.long_press_duration = longPress.stored()
        m.long_press_duration_emg_off = emgOff.stored()
        return m
    }

    // The choices the user makes that bring their partner along.
    function userPicked(row, isLong, index) {
        var r = rows[row]
        var other = isLong ? r.shortBox : r.longBox
        switch (r.name) {
        case "orange":
            if (!isLong && index === 1) other.currentIndex = 2
            if (isLong && index === 2) other.currentIndex = 1
            break
        case "side1":
            if (index === 2) other.currentIndex = 1
            break
        case "side2":
            if (index === 27) other.currentIndex = 27
            break
        case "purple":
        case "up":
        case "down":
            if (index === 0) other.currentIndex = 0
            break
        }
    }

    // Long press: the nearest multiple of 250 ms.
    function roundLongPress(v) {
        return Math.round(v / longPressStepMs) * longPressStepMs
    }
    // Alarm-off press: cut down to a multiple of 0.5 s (on the tenths the
    // box shows, so that 3.0 stays 3.0).
    function cutEmgOff(v) {
        var tenths = Math.round(v * 10)
        return Math.floor(tenths / 5) * 5 / 10
    }

    Component.onCompleted: retranslateUi()

    Connections {
        target: typeof Manager !== "undefined" ? Manager : null
        ignoreUnknownSignals: true
        function onLanguageChanged() { tab.retranslateUi() }
    }

    // The action boxes use a slightly smaller face so that the longest
    // action fits.
    Component {
        id: actionStyle
        ComboBoxStyle { font.pixelSize: 12 }
    }

    Row {
        x: 8; y: 20
        spacing: 10

        GroupBox {
            id: buttonsGroup
            title: (tab.langTick, qsTr("Кнопки"))

            GridLayout {
                columns: 3
                rowSpacing: 10
                columnSpacing: 6

                Item { Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth }
                Text {
                    Layout.preferredHeight: 30
                    Layout.preferredWidth: tab.comboWidth
                    fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    font.pixelSize: 15
                    verticalAlignment: Text.AlignVCenter
                    text: (tab.langTick, qsTr("Короткое нажатие"))
                }
                Text {
                    Layout.preferredHeight: 30
                    Layout.preferredWidth: tab.comboWidth
                    fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    font.pixelSize: 15
                    verticalAlignment: Text.AlignVCenter
                    text: (tab.langTick, qsTr("Долгое нажатие"))
                }

                Text {
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Оранжевая кнопка"))
                }
                StoredCombo { id: orangeShort; objectName: "orange_button_short_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(0, false, index) }
                StoredCombo { id: orangeLong; objectName: "orange_button_long_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(0, true, index) }

                Text {
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Боковая кнопка 1"))
                }
                StoredCombo { id: side1Short; objectName: "side_button1_short_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(1, false, index) }
                StoredCombo { id: side1Long; objectName: "side_button1_long_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(1, true, index) }

                Text {
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Боковая кнопка 2"))
                }
                StoredCombo { id: side2Short; objectName: "side_button2_short_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(2, false, index) }
                StoredCombo { id: side2Long; objectName: "side_button2_long_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(2, true, index) }

                Text {
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Верхняя вспомогательная кнопка"))
                }
                StoredCombo { id: purpleShort; objectName: "purple_button_short_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(3, false, index) }
                StoredCombo { id: purpleLong; objectName: "purple_button_long_press"; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(3, true, index) }

                Text {
                    id: upName
                    visible: tab.typeRadio === 1
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Вверх"))
                }
                StoredCombo { id: upShort; objectName: "up_short"; visible: tab.typeRadio === 1; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(4, false, index) }
                StoredCombo { id: upLong; objectName: "up_long"; visible: tab.typeRadio === 1; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(4, true, index) }

                Text {
                    id: downName
                    visible: tab.typeRadio === 1
                    Layout.preferredHeight: 30; Layout.preferredWidth: tab.nameWidth; font.pixelSize: 15; verticalAlignment: Text.AlignVCenter; fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                    text: (tab.langTick, qsTr("Вниз"))
                }
                StoredCombo { id: downShort; objectName: "down_short"; visible: tab.typeRadio === 1; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(5, false, index) }
                StoredCombo { id: downLong; objectName: "down_long"; visible: tab.typeRadio === 1; Layout.preferredWidth: tab.comboWidth; Layout.preferredHeight: 30; choices: tab.actions; style: actionStyle; onActivated: tab.userPicked(5, true, index) }
            }
        }

        Column {
            spacing: 10
            y: 30
            Text {
                width: 200
                wrapMode: Text.WordWrap
                font.pixelSize: 13
                text: (tab.langTick, qsTr("Длительность долгого нажатия(ms)"))
            }
            StoredSpin {
                id: longPress
                objectName: "long_press_duration"
                width: 200
                unit: tab.longPressStepMs; lowest: 500; highest: 3750; stepSize: 250
                onEditingFinished: value = tab.roundLongPress(value)
            }
            Item { width: 1; height: 10 }
            Text {
                width: 200
                wrapMode: Text.WordWrap
                font.pixelSize: 13
                text: (tab.langTick, qsTr("Длительность нажатия отключения тревоги(s)"))
            }
            StoredSpin {
                id: emgOff
                objectName: "long_press_duration_emg_off"
                width: 200
                unit: tab.emgOffStepS; lowest: 0.5; highest: 5; stepSize: 0.5; decimals: 1
                onEditingFinished: value = tab.cutEmgOff(value)
            }
        }
    }
}
