import QtQuick 2.7
import QtTest 1.2
import "Helpers.js" as H

// The basic settings tab and the buttons tab on their own.
TestCase {
    id: testCase
    name: "SettingsTabs"
    when: windowShown
    width: 1080
    height: 600
    visible: true // the tabs are created inside and must be shown for clicks

    Component { id: tabComponent; Loader { width: 1080; height: 600 } }

    // A tab of qrc:/qml/Tabs, loaded.
    function makeTab(file, props) {
        var loader = createTemporaryObject(tabComponent, testCase, props || {})
        loader.source = "qrc:/qml/Tabs/" + file
        tryCompare(loader, "status", Loader.Ready)
        return loader.item
    }
    function settingsTab(over) {
        var tab = makeTab("TabMainSettings.qml")
        tab.initBasicSettings(basicMap(over || {}))
        return tab
    }
    function buttonsTab(over) {
        var map = { type_radio: 0, long_press_duration: 4, long_press_duration_emg_off: 3 }
        var buttons = ["orange_button", "side_button1", "side_button2", "purple_button"]
        buttons.forEach(function (b) { map[b + "_short_press"] = map[b + "_long_press"] = 5 })
        var tab = makeTab("TabButtonsSettings.qml")
        tab.init(Object.assign(map, over || {}))
        return tab
    }
    function basicMap(over) {
        return Object.assign({
            radio_id: 0, unique_radio_id: 1, squelch_normal_level: 3, squelch_tight_level: 5, preamble_duration: 0,
            digital_voice_level: 0, group_call_hang_time: 0, private_call_hang_time: 0, analog_hang_time: 1,
            digital_hang_time: 1, repeater_group_call_hang: 0, repeater_private_call_hang: 0, mic_gain_level: 0,
            vox_sensitivity: 0, vox_hold_time: 10, man_down_activation: false, man_down_trig_entry: 0,
            man_down_trig_exit: 0, man_down_prealert: 0, man_down_trigger: false, man_down_tilt: false
        }, over)
    }
    function shown(c) {
        return c.currentIndex !== undefined ? c.currentText : c.minimumValue !== undefined ? c.value : c.text
    }

    // Stored values -> what the controls show -> what getSettings writes back, all keys of a tab at once:
    // key: [stored, shown (a combo box's index, or its text where it is a string), written if not the
    // stored]. Values outside what a control offers are shown as they are (a combo box adds "N
    // (нестандартное)"), never clamped, and handed back unchanged while untouched.
    function test_settingsShownAndKept_data() {
        return [
            { tag: "in range", values: { preamble_duration: [10, 600], group_call_hang_time: [6, 3000],
                  private_call_hang_time: [60, 30000], repeater_group_call_hang: [6, 3000], repeater_private_call_hang: [1, 500],
                  analog_hang_time: [20, 10000], digital_hang_time: [3, 1500], vox_hold_time: [30, 3000, "30"],
                  digital_voice_level: [14, 14], squelch_tight_level: [9, 9], mic_gain_level: [19, 19], vox_sensitivity: [10, 10],
                  radio_id: [1, 1], unique_radio_id: [77, "77", "77"], man_down_activation: [true, 1, 1],
                  man_down_trig_entry: [254, 254], man_down_trig_exit: [12, 12], man_down_prealert: [30, 30],
                  man_down_trigger: [true, 1, 1], man_down_tilt: [true, 1, 1] } },
            { tag: "beyond", values: { analog_hang_time: [0, 0], vox_hold_time: [5, 500, "5"], preamble_duration: [200, 12000],
                  group_call_hang_time: [100, 50000], man_down_trig_entry: [255, 255], squelch_normal_level: [12, "12 (нестандартное)"],
                  man_down_tilt: [2, "2 (нестандартное)"] } },
            { tag: "buttons", buttons: true, values: { long_press_duration: [2, 500], long_press_duration_emg_off: [1, 0.5],
                  orange_button_short_press: [40, "40 (нестандартное)"] } },
            { tag: "buttons, edges", buttons: true, values: { long_press_duration: [0, 0], long_press_duration_emg_off: [255, 127.5] } },
            { tag: "buttons, top", buttons: true, values: { long_press_duration: [244, 61000], long_press_duration_emg_off: [13, 6.5] } }
        ]
    }
    function test_settingsShownAndKept(data) {
        var stored = {}, threes = {}, k
        for (k in data.values) {
            stored[k] = data.values[k][0]
            threes[k] = 3
        }
        // An earlier image's values must not stay on show.
        var tab = data.buttons ? buttonsTab(stored) : settingsTab(threes)
        if (!data.buttons)
            tab.initBasicSettings(basicMap(stored))
        var out = tab.getSettings()
        for (k in data.values) {
            var v = data.values[k], c = findChild(tab, k)
            compare(c.currentIndex !== undefined && typeof v[1] !== "string" ? c.currentIndex : shown(c), v[1], k)
            var want = v.length > 2 ? v[2] : v[0]
            compare([typeof out[k], out[k]], [typeof want, want], k)
        }
    }

    // What the user sets in a control -> what getSettings writes.
    function test_settingsEdited_data() {
        return [
            { tag: "preamble 660", key: "preamble_duration", set: 660, out: 11 },
            { tag: "preamble off-step", key: "preamble_duration", set: 90, out: 2 },
            { tag: "hang 3500", key: "group_call_hang_time", set: 3500, out: 7 },
            { tag: "scan 500", key: "analog_hang_time", set: 500, out: 1 },
            { tag: "vox 1200", key: "vox_hold_time", set: 1200, out: "12" },
            { tag: "vox 1250", key: "vox_hold_time", set: 1250, out: "13" },
            // The unique id takes digits only, up to a byte: "a" is refused, so is a third digit beyond 255.
            { tag: "unique id a999", key: "unique_radio_id", typed: "a999", set: "99", out: "99" },
            { tag: "unique id 105", key: "unique_radio_id", typed: "105", set: "105", out: "105" },
            // Typed into the buttons tab's boxes: 250 ms and 0.5 s steps.
            { tag: "1100 ms", buttons: true, key: "long_press_duration", typed: "1100", set: 1000, out: 4 },
            { tag: "1130 ms", buttons: true, key: "long_press_duration", typed: "1130", set: 1250, out: 5 },
            { tag: "0.9 s", buttons: true, key: "long_press_duration_emg_off", typed: "0.9", set: 0.5, out: 1 },
            { tag: "4.9 s", buttons: true, key: "long_press_duration_emg_off", typed: "4.9", set: 4.5, out: 9 }
        ]
    }
    function test_settingsEdited(data) {
        var tab = data.buttons ? buttonsTab() : settingsTab()
        var box = findChild(tab, data.key)
        if (data.typed)
            H.typeInto(testCase, box, data.typed.replace(".", Qt.locale().decimalPoint))
        else
            box.value = data.set
        compare([shown(box), tab.getSettings()[data.key]], [data.set, data.out])
    }

    // The wheel over a spin box or a combo box scrolls the page and leaves the setting as it was.
    function test_wheelScrollsWithoutChangingSettings_data() {
        return [{ tag: "spin box", key: "analog_hang_time" }, { tag: "combo box", key: "mic_gain_level" }]
    }
    function test_wheelScrollsWithoutChangingSettings(data) {
        var tab = settingsTab({ "analog_hang_time": 6, "mic_gain_level": 10 })
        var before = tab.getSettings()[data.key]
        var control = findChild(tab, data.key)
        var f = tab.scrollView.flickableItem
        compare(f.contentY, 0)
        for (var i = 0; i < 3; ++i)
            mouseWheel(control, control.width / 2, control.height / 2, 0, -120)
        verify(f.contentY > 0, "the page did not scroll")
        compare(tab.getSettings()[data.key], before)
        f.contentY = f.contentHeight
        mouseWheel(tab, tab.width / 2, tab.height / 2, 0, 120)
        verify(f.contentY < f.contentHeight - f.height, "the page did not scroll back")
    }

    // The page is built on first show or first getSettings; what the main screen hands over before that
    // must reach the controls.
    function test_valuesBeforeThePageIsBuilt_data() {
        return [{ tag: "read back while hidden", show: false }, { tag: "shown afterwards", show: true }]
    }
    function test_valuesBeforeThePageIsBuilt(data) {
        var tab = makeTab("TabMainSettings.qml", { visible: false })
        tab.initBasicSettings(basicMap({ radio_id: 1, preamble_duration: 5 }))
        tab.initBasicSettings(basicMap({ radio_id: 1, preamble_duration: 10, vox_hold_time: 30 }))
        tab.initGPSSettings({ activated: false, indication: true, save_interval: 316, workCh: 0 })
        tab.initServises("SN7", "Orvane-400", "HW 2")
        verify(Manager.setLanguage("en"))
        Manager.setLanguage("ru")
        compare([tab.scrollView, findChild(tab, "radio_id")], [null, null])
        if (data.show) {
            tab.parent.visible = true
            var serial = findChild(tab, "serial")
            compare([findChild(tab, "preamble_duration").value, findChild(tab, "radio_id").currentText, serial.text,
                     serial.enabled], [600, "ВКЛ", "SN7", false])
        }
        var s = tab.getSettings()
        // The later map wins; the GPS interval beyond the box is kept; the GPS map's own keys are not
        // written, the fixed keys are.
        compare([s.radio_id, s.preamble_duration, s.vox_hold_time, s.gps_activation, s.gps_indication,
                 s.gps_interval, s.serial, s.name_model, s.hw_version],
                [1, 10, "30", 0, 1, 316, "SN7", "Orvane-400", "HW 2"])
        compare([s.hasOwnProperty("activated"), s.hasOwnProperty("workCh"), s.des_name, s.des_type, s.des_mode,
                 s.des_channel], [false, false, "DES 1", 1, 0, 0xFFFF])
        // Built now: later values go straight to the controls.
        tab.initBasicSettings(basicMap({ radio_id: 0 }))
        compare([tab.getSettings().radio_id, findChild(tab, "radio_id").currentIndex], [0, 0])
    }

    // Picks an entry the way a user does with the keyboard: one step down (or up) from the neighbouring entry.
    function pick(combo, index) {
        combo.forceActiveFocus()
        combo.currentIndex = index > 0 ? index - 1 : 1
        keyClick(index > 0 ? Qt.Key_Down : Qt.Key_Up)
        compare(combo.currentIndex, index)
    }

    // Choices that go in pairs: a short-press action picked changes the long press of the same button,
    // and the other way round.
    function test_coupledButtonChoices_data() {
        return [
            { tag: "orange short alarm on", box: "orange_button_short_press", pick: 1, other: "orange_button_long_press", expect: 2 },
            { tag: "orange long alarm off", box: "orange_button_long_press", pick: 2, other: "orange_button_short_press", expect: 1 },
            { tag: "orange short other", box: "orange_button_short_press", pick: 2, other: "orange_button_long_press", expect: 5 },
            { tag: "side1 short alarm off", box: "side_button1_short_press", pick: 2, other: "side_button1_long_press", expect: 1 },
            { tag: "side1 long alarm off", box: "side_button1_long_press", pick: 2, other: "side_button1_short_press", expect: 1 },
            { tag: "side1 short alarm on", box: "side_button1_short_press", pick: 1, other: "side_button1_long_press", expect: 5 },
            { tag: "side2 short request", box: "side_button2_short_press", pick: 27, other: "side_button2_long_press", expect: 27 },
            { tag: "side2 long request", box: "side_button2_long_press", pick: 27, other: "side_button2_short_press", expect: 27 },
            { tag: "side2 short 26", box: "side_button2_short_press", pick: 26, other: "side_button2_long_press", expect: 5 },
            { tag: "top short unassigned", box: "purple_button_short_press", pick: 0, other: "purple_button_long_press", expect: 0 },
            { tag: "top long unassigned", box: "purple_button_long_press", pick: 0, other: "purple_button_short_press", expect: 0 },
            { tag: "up short unassigned", type: 1, box: "up_short", pick: 0, other: "up_long", expect: 0 },
            { tag: "down long unassigned", type: 1, box: "down_long", pick: 0, other: "down_short", expect: 0 }
        ]
    }
    function test_coupledButtonChoices(data) {
        var tab = buttonsTab({ type_radio: data.type || 0 })
        var other = findChild(tab, data.other)
        if (data.type === 1)
            other.currentIndex = 5
        pick(findChild(tab, data.box), data.pick)
        compare(other.currentIndex, data.expect)
    }

    // Filling couples nothing: every stored pair comes back as it was; the up/down rows show for radio
    // type 1 only and are never written.
    function test_buttonsMapRoundTrip_data() {
        return [{ tag: "type 0", type: 0, shown: false }, { tag: "type 1", type: 1, shown: true },
                { tag: "no type", type: undefined, shown: false }]
    }
    function test_buttonsMapRoundTrip(data) {
        var map = { type_radio: data.type, orange_button_short_press: 1, orange_button_long_press: 9,
                    side_button1_short_press: 11, side_button1_long_press: 26, side_button2_short_press: 27,
                    side_button2_long_press: 3, purple_button_short_press: 0, purple_button_long_press: 12,
                    long_press_duration: 15, long_press_duration_emg_off: 10 }
        var tab = buttonsTab(map)
        var s = tab.getSettings()
        delete map.type_radio
        compare(s, map)
        var rows = ["up_short", "up_long", "down_short", "down_long"]
        compare(rows.map(function (n) { return findChild(tab, n).visible }), rows.map(function () { return data.shown }))
        verify(findChild(tab, "purple_button_long_press").visible)
    }
}
