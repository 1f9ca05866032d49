import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
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

    // The eight action keys of the map, in the order of the boxes.
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

    // The rows, top to bottom: the button's title and the object names of its
    // two boxes (the map keys where the map has them); the last two only
    // exist on radios of type 1.
    readonly property var rowDefs: (langTick, [
        { name: "orange", title: qsTr("Оранжевая кнопка"),
          shortKey: "orange_button_short_press", longKey: "orange_button_long_press" },
        { name: "side1", title: qsTr("Боковая кнопка 1"),
          shortKey: "side_button1_short_press", longKey: "side_button1_long_press" },
        { name: "side2", title: qsTr("Боковая кнопка 2"),
          shortKey: "side_button2_short_press", longKey: "side_button2_long_press" },
        { name: "purple", title: qsTr("Верхняя вспомогательная кнопка"),
          shortKey: "purple_button_short_press", longKey: "purple_button_long_press" },
        { name: "up", title: qsTr("Вверх"), shortKey: "up_short", longKey: "up_long", only1: true },
        { name: "down", title: qsTr("Вниз"), shortKey: "down_short", longKey: "down_long", only1: true }
    ])

    // The short- and long-press boxes of every row, in row order.
    function allCombos() {
        var list = []
        for (var i = 0; i < buttonRows.count; ++i)
            list.push(buttonRows.itemAt(i).shortBox, buttonRows.itemAt(i).longBox)
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
        var r = buttonRows.itemAt(row)
        var other = isLong ? r.shortBox : r.longBox
        switch (rowDefs[row].name) {
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

    Retranslator { owner: tab }

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

            Column {
                spacing: 10
                Row {
                    spacing: 6
                    Item { width: tab.nameWidth; height: 30 }
                    Repeater {
                        model: (tab.langTick, [qsTr("Короткое нажатие"), qsTr("Долгое нажатие")])
                        Text {
                            width: tab.comboWidth; height: 30
                            fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                            font.pixelSize: 15
                            verticalAlignment: Text.AlignVCenter
                            text: modelData
                        }
                    }
                }
                Repeater {
                    id: buttonRows
                    model: tab.rowDefs.length
                    Row {
                        id: buttonRow
                        readonly property int rowIndex: index
                        readonly property var def: tab.rowDefs[index]
                        property alias shortBox: shortBox
                        property alias longBox: longBox
                        visible: !def.only1 || tab.typeRadio === 1
                        spacing: 6
                        Text {
                            width: tab.nameWidth; height: 30
                            font.pixelSize: 15; verticalAlignment: Text.AlignVCenter
                            fontSizeMode: Text.HorizontalFit; minimumPixelSize: 10
                            text: buttonRow.def.title
                        }
                        StoredCombo {
                            id: shortBox
                            objectName: buttonRow.def.shortKey
                            width: tab.comboWidth; height: 30
                            choices: tab.actions; style: actionStyle
                            onActivated: tab.userPicked(buttonRow.rowIndex, false, index)
                        }
                        StoredCombo {
                            id: longBox
                            objectName: buttonRow.def.longKey
                            width: tab.comboWidth; height: 30
                            choices: tab.actions; style: actionStyle
                            onActivated: tab.userPicked(buttonRow.rowIndex, true, index)
                        }
                    }
                }
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
