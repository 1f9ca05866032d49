import QtQuick 2.7
import QtTest 1.2
import "TabHelpers.js" as H

Item {
    id: root
    width: 1080
    height: 600

    TestCase {
        id: testCase
        name: "MainSettings"
        when: windowShown

        Component {
            id: tabComponent
            Loader { width: 1080; height: 600; source: "qrc:/qml/Tabs/TabMainSettings.qml" }
        }

        Component {
            id: hiddenTabComponent
            Loader { width: 1080; height: 600; visible: false; source: "qrc:/qml/Tabs/TabMainSettings.qml" }
        }

        function makeTab() {
            var loader = createTemporaryObject(tabComponent, root)
            tryCompare(loader, "status", Loader.Ready)
            return loader.item
        }

        // A complete "basicSettings" map with neutral values.
        function basicMap(over) {
            var m = {
                radio_id: 0, unique_radio_id: 1, squelch_normal_level: 3, squelch_tight_level: 5,
                preamble_duration: 0, digital_voice_level: 0, group_call_hang_time: 0,
                private_call_hang_time: 0, analog_hang_time: 1, digital_hang_time: 1,
                repeater_group_call_hang: 0, repeater_private_call_hang: 0, mic_gain_level: 0,
                vox_sensitivity: 0, vox_hold_time: 10, man_down_activation: false,
                man_down_trig_entry: 0, man_down_trig_exit: 0, man_down_prealert: 0,
                man_down_trigger: false, man_down_tilt: false
            }
            for (var k in over)
                m[k] = over[k]
            return m
        }

        function controlValue(c) {
            if (c.currentIndex !== undefined)
                return c.currentIndex
            if (c.minimumValue !== undefined)
                return c.value
            return c.text
        }

        // The wheel over a spin box or a combo box scrolls the page and
        // leaves the setting as it was.
        function test_wheelScrollsWithoutChangingSettings_data() {
            return [
                { tag: "spin box", name: "analog_hang_time", key: "analog_hang_time" },
                { tag: "combo box", name: "mic_gain_level", key: "mic_gain_level" }
            ]
        }
        function test_wheelScrollsWithoutChangingSettings(data) {
            var tab = makeTab()
            tab.initBasicSettings(basicMap({ "analog_hang_time": 6, "mic_gain_level": 10 }))
            var before = tab.getSettings()[data.key]
            var control = findChild(tab, data.name)
            verify(control !== null)
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

        // Map value -> what the control shows -> what getSettings writes back.
        function test_mapToControlAndBack_data() {
            return [
                { tag: "preamble 10", key: "preamble_duration", value: 10, shown: 600, out: 10 },
                { tag: "preamble top", key: "preamble_duration", value: 144, shown: 8640, out: 144 },
                { tag: "group hang 6", key: "group_call_hang_time", value: 6, shown: 3000, out: 6 },
                { tag: "private hang 60", key: "private_call_hang_time", value: 60, shown: 30000, out: 60 },
                { tag: "repeater group 6", key: "repeater_group_call_hang", value: 6, shown: 3000, out: 6 },
                { tag: "repeater private 1", key: "repeater_private_call_hang", value: 1, shown: 500, out: 1 },
                { tag: "analog scan 20", key: "analog_hang_time", value: 20, shown: 10000, out: 20 },
                { tag: "digital scan 3", key: "digital_hang_time", value: 3, shown: 1500, out: 3 },
                { tag: "vox hold 30", key: "vox_hold_time", value: 30, shown: 3000, out: "30" },
                { tag: "vox hold 255", key: "vox_hold_time", value: 255, shown: 25500, out: "255" },
                { tag: "voice level 5", key: "digital_voice_level", value: 5, shown: 5, out: 5 },
                { tag: "voice level 14", key: "digital_voice_level", value: 14, shown: 14, out: 14 },
                { tag: "squelch tight 9", key: "squelch_tight_level", value: 9, shown: 9, out: 9 },
                { tag: "mic gain 19", key: "mic_gain_level", value: 19, shown: 19, out: 19 },
                { tag: "vox sensitivity 10", key: "vox_sensitivity", value: 10, shown: 10, out: 10 },
                { tag: "radio id on", key: "radio_id", value: 1, shown: 1, out: 1 },
                { tag: "unique id", key: "unique_radio_id", value: 77, shown: "77", out: "77" },
                { tag: "man down on", key: "man_down_activation", value: true, shown: 1, out: 1 },
                { tag: "man down entry", key: "man_down_trig_entry", value: 254, shown: 254, out: 254 },
                { tag: "man down exit", key: "man_down_trig_exit", value: 12, shown: 12, out: 12 },
                { tag: "man down prealert", key: "man_down_prealert", value: 30, shown: 30, out: 30 },
                { tag: "man down trigger", key: "man_down_trigger", value: true, shown: 1, out: 1 },
                { tag: "man down tilt", key: "man_down_tilt", value: true, shown: 1, out: 1 }
            ]
        }
        function test_mapToControlAndBack(data) {
            var tab = makeTab()
            var over = {}
            over[data.key] = data.value
            tab.initBasicSettings(basicMap(over))
            var control = H.find(tab, data.key)
            verify(control, data.key)
            compare(controlValue(control), data.shown)
            var out = tab.getSettings()[data.key]
            compare(typeof out, typeof data.out)
            compare(out, data.out)
        }

        // What the user sets in a control -> what getSettings writes.
        function test_controlToMap_data() {
            return [
                { tag: "preamble 660", key: "preamble_duration", set: 660, out: 11 },
                { tag: "preamble off-step", key: "preamble_duration", set: 90, out: 2 },
                { tag: "hang 3500", key: "group_call_hang_time", set: 3500, out: 7 },
                { tag: "hang 0", key: "private_call_hang_time", set: 0, out: 0 },
                { tag: "scan 500", key: "analog_hang_time", set: 500, out: 1 },
                { tag: "vox 1200", key: "vox_hold_time", set: 1200, out: "12" },
                { tag: "vox 1250", key: "vox_hold_time", set: 1250, out: "13" },
                { tag: "gps interval", key: "gps_interval", set: 250, out: 250 }
            ]
        }
        function test_controlToMap(data) {
            var tab = makeTab()
            tab.initBasicSettings(basicMap({}))
            var control = H.find(tab, data.key)
            control.value = data.set
            compare(tab.getSettings()[data.key], data.out)
        }

        // Stored values outside what a control offers: shown as they are (a
        // combo box adds an entry "N (нестандартное)"), never clamped, and handed
        // back unchanged while untouched.
        function test_outOfRangeValuesShownAndKept_data() {
            return [
                { tag: "scan 0", key: "analog_hang_time", value: 0, shown: 0 },
                { tag: "vox 5", key: "vox_hold_time", value: 5, shown: 500, out: "5" },
                { tag: "preamble 200", key: "preamble_duration", value: 200, shown: 12000 },
                { tag: "group hang 100", key: "group_call_hang_time", value: 100, shown: 50000 },
                { tag: "entry 255", key: "man_down_trig_entry", value: 255, shown: 255 },
                { tag: "squelch 12", key: "squelch_normal_level", value: 12, shown: "12 (нестандартное)" },
                { tag: "tilt 2", key: "man_down_tilt", value: 2, shown: "2 (нестандартное)" }
            ]
        }
        function test_outOfRangeValuesShownAndKept(data) {
            var tab = makeTab()
            var over = {}
            over[data.key] = 3 // an earlier image's value must not stay on show
            tab.initBasicSettings(basicMap(over))
            over[data.key] = data.value
            tab.initBasicSettings(basicMap(over))
            var control = H.find(tab, data.key)
            compare(control.currentText !== undefined ? control.currentText : control.value, data.shown)
            compare(tab.getSettings()[data.key], data.out !== undefined ? data.out : data.value)
        }

        function test_gpsSettings() {
            var tab = makeTab()
            tab.initGPSSettings({ activated: true, indication: false, save_interval: 200, workCh: 3 })
            var s = tab.getSettings()
            compare(s.gps_activation, 1)
            compare(s.gps_indication, 0)
            compare(s.gps_interval, 200)
            tab.initGPSSettings({ activated: false, indication: true, save_interval: 316, workCh: 0 })
            s = tab.getSettings()
            compare(s.gps_activation, 0)
            compare(s.gps_indication, 1)
            compare(s.gps_interval, 316) // beyond what the box offers, kept
            verify(!s.hasOwnProperty("activated"))
            verify(!s.hasOwnProperty("workCh"))
        }

        function test_serviceDataAndFixedKeys() {
            var tab = makeTab()
            tab.initServises("SN00012345", "Orvane-400", "HW 1.2")
            var s = tab.getSettings()
            compare(s.serial, "SN00012345")
            compare(s.name_model, "Orvane-400")
            compare(s.hw_version, "HW 1.2")
            compare(s.des_name, "DES 1")
            compare(s.des_type, 1)
            compare(s.des_mode, 0)
            compare(s.des_channel, 0xFFFF)
            verify(!H.find(tab, "serial").enabled)
        }

        function test_uniqueIdAcceptsOnlyAByte() {
            var tab = makeTab()
            tab.initBasicSettings(basicMap({}))
            var field = H.find(tab, "unique_radio_id")
            field.forceActiveFocus()
            field.selectAll()
            keyClick(Qt.Key_Delete)
            H.typeText(testCase, "a999")
            compare(field.text, "99") // "a" refused, a third digit goes beyond a byte
            keyClick(Qt.Key_Backspace)
            H.typeText(testCase, "7")
            compare(field.text, "97")
            verify(field.acceptableInput)
        }

        function test_retranslateKeepsChoices() {
            var tab = makeTab()
            tab.initBasicSettings(basicMap({ radio_id: 1, vox_sensitivity: 3, man_down_trigger: 2 }))
            tab.initGPSSettings({ activated: true, indication: true, save_interval: 5 })
            verify(Manager.setLanguage("en"))
            compare(H.find(tab, "radio_id").currentText, "ON")
            compare(H.find(tab, "vox_sensitivity").currentText, "Level 3")
            compare(H.find(tab, "man_down_trigger").currentText, "Angle or no motion")
            var s = tab.getSettings()
            compare(s.radio_id, 1)
            compare(s.vox_sensitivity, 3)
            compare(s.man_down_trigger, 2)
            compare(s.gps_activation, 1)
            Manager.setLanguage("ru")
            compare(H.find(tab, "radio_id").currentText, "ВКЛ")
        }

        // The page is built on first show or first getSettings; what the main
        // screen hands over before that must reach the controls.
        function test_valuesBeforeThePageIsBuilt_data() {
            return [
                { tag: "read back while hidden", show: false },
                { tag: "shown afterwards", show: true }
            ]
        }
        function test_valuesBeforeThePageIsBuilt(data) {
            var loader = createTemporaryObject(hiddenTabComponent, root)
            tryCompare(loader, "status", Loader.Ready)
            var tab = loader.item
            tab.initBasicSettings(basicMap({ radio_id: 1, preamble_duration: 5 }))
            tab.initBasicSettings(basicMap({ radio_id: 1, preamble_duration: 10, vox_hold_time: 30 }))
            tab.initGPSSettings({ activated: true, indication: true, save_interval: 316 })
            tab.initServises("SN7", "Orvane-400", "HW 2")
            verify(Manager.setLanguage("en"))
            Manager.setLanguage("ru")
            compare(tab.scrollView, null)
            compare(H.find(tab, "radio_id"), null)
            if (data.show) {
                loader.visible = true
                verify(tab.scrollView !== null)
                compare(H.find(tab, "preamble_duration").value, 600)
                compare(H.find(tab, "radio_id").currentText, "ВКЛ")
                compare(H.find(tab, "serial").text, "SN7")
            }
            var s = tab.getSettings()
            compare(s.radio_id, 1)
            compare(s.preamble_duration, 10) // the later map wins
            compare(s.vox_hold_time, "30")
            compare(s.gps_activation, 1)
            compare(s.gps_indication, 1)
            compare(s.gps_interval, 316) // beyond what the box offers, kept
            compare(s.serial, "SN7")
            compare(s.name_model, "Orvane-400")
            compare(s.hw_version, "HW 2")
            // Built now: later values go straight to the controls.
            tab.initBasicSettings(basicMap({ radio_id: 0 }))
            compare(tab.getSettings().radio_id, 0)
            compare(H.find(tab, "radio_id").currentIndex, 0)
        }
    }
}
