import QtQuick 2.7
import QtTest 1.2
import "TabHelpers.js" as H

Item {
    id: root
    width: 1080
    height: 600

    TestCase {
        id: testCase
        name: "ButtonsSettings"
        when: windowShown

        Component {
            id: tabComponent
            Loader { width: 1080; height: 600; source: "qrc:/qml/Tabs/TabButtonsSettings.qml" }
        }

        function makeTab(map) {
            var loader = createTemporaryObject(tabComponent, root)
            tryCompare(loader, "status", Loader.Ready)
            loader.item.init(map)
            return loader.item
        }

        function buttonMap(over) {
            var m = {
                type_radio: 0, long_press_duration: 4, long_press_duration_emg_off: 3,
                orange_button_short_press: 5, orange_button_long_press: 5,
                side_button1_short_press: 5, side_button1_long_press: 5,
                side_button2_short_press: 5, side_button2_long_press: 5,
                purple_button_short_press: 5, purple_button_long_press: 5
            }
            for (var k in over)
                m[k] = over[k]
            return m
        }

        // Picks an entry the way a user does with the keyboard: one step down
        // (or up) from the neighbouring entry.
        function pick(combo, index) {
            combo.forceActiveFocus()
            if (index > 0) {
                combo.currentIndex = index - 1
                keyClick(Qt.Key_Down)
            } else {
                combo.currentIndex = 1
                keyClick(Qt.Key_Up)
            }
            compare(combo.currentIndex, index)
        }

        function test_coupledChoices_data() {
            return [
                { tag: "orange short alarm on", type: 0, box: "orange_button_short_press", pick: 1, other: "orange_button_long_press", expect: 2 },
                { tag: "orange long alarm off", type: 0, box: "orange_button_long_press", pick: 2, other: "orange_button_short_press", expect: 1 },
                { tag: "orange short other", type: 0, box: "orange_button_short_press", pick: 2, other: "orange_button_long_press", expect: 5 },
                { tag: "side1 short alarm off", type: 0, box: "side_button1_short_press", pick: 2, other: "side_button1_long_press", expect: 1 },
                { tag: "side1 long alarm off", type: 0, box: "side_button1_long_press", pick: 2, other: "side_button1_short_press", expect: 1 },
                { tag: "side1 short alarm on", type: 0, box: "side_button1_short_press", pick: 1, other: "side_button1_long_press", expect: 5 },
                { tag: "side2 short request", type: 0, box: "side_button2_short_press", pick: 27, other: "side_button2_long_press", expect: 27 },
                { tag: "side2 long request", type: 0, box: "side_button2_long_press", pick: 27, other: "side_button2_short_press", expect: 27 },
                { tag: "side2 short 26", type: 0, box: "side_button2_short_press", pick: 26, other: "side_button2_long_press", expect: 5 },
                { tag: "top short unassigned", type: 0, box: "purple_button_short_press", pick: 0, other: "purple_button_long_press", expect: 0 },
                { tag: "top long unassigned", type: 0, box: "purple_button_long_press", pick: 0, other: "purple_button_short_press", expect: 0 },
                { tag: "up short unassigned", type: 1, box: "up_short", pick: 0, other: "up_long", expect: 0 },
                { tag: "down long unassigned", type: 1, box: "down_long", pick: 0, other: "down_short", expect: 0 }
            ]
        }
        function test_coupledChoices(data) {
            var tab = makeTab(buttonMap({ type_radio: data.type }))
            var other = H.find(tab, data.other)
            if (data.type === 1)
                other.currentIndex = 5
            pick(H.find(tab, data.box), data.pick)
            compare(other.currentIndex, data.expect)
        }

        function test_fillingDoesNotCouple() {
            var tab = makeTab(buttonMap({ orange_button_short_press: 1, orange_button_long_press: 9,
                                          side_button2_short_press: 27, side_button2_long_press: 3,
                                          purple_button_short_press: 0, purple_button_long_press: 12 }))
            var s = tab.getSettings()
            compare(s.orange_button_long_press, 9)
            compare(s.side_button2_long_press, 3)
            compare(s.purple_button_long_press, 12)
        }

        function test_mapRoundTrip() {
            var map = buttonMap({ orange_button_short_press: 13, orange_button_long_press: 23,
                                  side_button1_short_press: 11, side_button1_long_press: 26,
                                  side_button2_short_press: 0, side_button2_long_press: 27,
                                  purple_button_short_press: 14, purple_button_long_press: 19,
                                  long_press_duration: 15, long_press_duration_emg_off: 10 })
            var s = makeTab(map).getSettings()
            var keys = Object.keys(s).sort()
            compare(keys.length, 10)
            for (var i = 0; i < keys.length; ++i)
                compare(s[keys[i]], map[keys[i]], keys[i])
        }

        function test_upDownRowsOnlyForType1_data() {
            return [
                { tag: "type 0", type: 0, shown: false },
                { tag: "type 1", type: 1, shown: true },
                { tag: "no type", type: undefined, shown: false }
            ]
        }
        function test_upDownRowsOnlyForType1(data) {
            var tab = makeTab(buttonMap({ type_radio: data.type }))
            compare(H.find(tab, "up_short").visible, data.shown)
            compare(H.find(tab, "up_long").visible, data.shown)
            compare(H.find(tab, "down_short").visible, data.shown)
            compare(H.find(tab, "down_long").visible, data.shown)
            verify(H.find(tab, "purple_button_long_press").visible)
            // Never written.
            compare(Object.keys(tab.getSettings()).length, 10)
        }

        // The radio keeps the durations as 250 ms and 0.5 s steps; stored
        // values outside the offered ranges, and actions past the list, are
        // shown as they are and handed back unchanged.
        function test_storedValuesShownAndKept_data() {
            return [
                { tag: "2 steps", key: "long_press_duration", value: 2, shown: 500 },
                { tag: "15 steps", key: "long_press_duration", value: 15, shown: 3750 },
                { tag: "0 steps", key: "long_press_duration", value: 0, shown: 0 },
                { tag: "244 steps", key: "long_press_duration", value: 244, shown: 61000 },
                { tag: "1 half second", key: "long_press_duration_emg_off", value: 1, shown: 0.5 },
                { tag: "13 half seconds", key: "long_press_duration_emg_off", value: 13, shown: 6.5 },
                { tag: "255 half seconds", key: "long_press_duration_emg_off", value: 255, shown: 127.5 },
                { tag: "action 40", key: "orange_button_short_press", value: 40, shown: "40 (нестандартное)" }
            ]
        }
        function test_storedValuesShownAndKept(data) {
            var over = {}
            over[data.key] = data.value
            var tab = makeTab(buttonMap(over))
            var box = H.find(tab, data.key)
            compare(box.currentText !== undefined ? box.currentText : box.value, data.shown)
            compare(tab.getSettings()[data.key], data.value)
        }

        function test_durationEditing_data() {
            return [
                { tag: "1100 ms", key: "long_press_duration", typed: "1100", value: 1000, out: 4 },
                { tag: "1130 ms", key: "long_press_duration", typed: "1130", value: 1250, out: 5 },
                { tag: "3700 ms", key: "long_press_duration", typed: "3700", value: 3750, out: 15 },
                { tag: "2.7 s", key: "long_press_duration_emg_off", typed: "2.7", value: 2.5, out: 5 },
                { tag: "3.0 s", key: "long_press_duration_emg_off", typed: "3.0", value: 3, out: 6 },
                { tag: "0.9 s", key: "long_press_duration_emg_off", typed: "0.9", value: 0.5, out: 1 },
                { tag: "4.9 s", key: "long_press_duration_emg_off", typed: "4.9", value: 4.5, out: 9 }
            ]
        }
        function test_durationEditing(data) {
            var tab = makeTab(buttonMap({}))
            var box = H.find(tab, data.key)
            box.forceActiveFocus()
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_Delete)
            H.typeText(testCase, data.typed.replace(".", Qt.locale().decimalPoint))
            keyClick(Qt.Key_Return)
            compare(box.value, data.value)
            compare(tab.getSettings()[data.key], data.out)
        }

        function test_retranslateKeepsChoices() {
            var tab = makeTab(buttonMap({ orange_button_short_press: 26, orange_button_long_press: 13 }))
            verify(Manager.setLanguage("en"))
            compare(H.find(tab, "orange_button_short_press").currentText, "Monitor")
            compare(H.find(tab, "orange_button_long_press").currentText, "Squelch level")
            var s = tab.getSettings()
            compare(s.orange_button_short_press, 26)
            compare(s.orange_button_long_press, 13)
            Manager.setLanguage("ru")
            compare(H.find(tab, "orange_button_short_press").currentText, "Мониторинг канала")
        }
    }
}
