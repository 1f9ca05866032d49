import QtQuick 2.7
import QtTest 1.2

TestCase {
    id: testCase
    name: "TabZone"
    when: windowShown
    width: 1080
    height: 600
    visible: true // the tabs are created inside and must be shown for clicks

    Component {
        id: tabComponent
        Loader { source: "qrc:/qml/Tabs/TabZone.qml"; width: 1080; height: 600 }
    }

    function channels(n) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push({"channel": i, "name": "Ch" + i})
        return list
    }

    function zones(n, members) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push({"title": "Z" + i, "selectedChannels": members.slice(), "origin": i})
        return list
    }

    function range(n) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push(i)
        return list
    }

    function makeTab(zoneList, freqList) {
        var loader = createTemporaryObject(tabComponent, testCase)
        verify(loader.item, "TabZone did not load")
        loader.item.init(zoneList, freqList)
        return loader.item
    }

    function names(pickList) {
        var result = []
        for (var i = 0; i < pickList.model.length; ++i)
            result.push(pickList.model[i].name)
        return result
    }

    function pickFree(tab, name) {
        var list = names(tab.freeList)
        var index = list.indexOf(name)
        verify(index >= 0, name + " is not offered")
        tab.freeList.currentIndex = index
    }

    function closeDialog(tab) {
        if (tab.limitDialog.visible)
            tab.limitDialog.close()
    }

    function test_init_shows_first_zone_with_names() {
        var input = [{"title": "A", "selectedChannels": [3, 1, 7]}, {"title": "B", "selectedChannels": [0]}]
        // Channel 7 does not exist: it is shown with an empty name.
        var tab = makeTab(input, channels(5))
        compare(tab.zoneBox.currentIndex, 0)
        compare(tab.zoneBox.currentText, "A")
        compare(names(tab.memberList), ["Ch3", "Ch1", ""])
        compare(names(tab.freeList), ["Ch0", "Ch2", "Ch4"])
        // The tab edits its own copy.
        tab.memberList.currentIndex = 0
        verify(tab.movePickedChannel(1))
        compare(input[0].selectedChannels, [3, 1, 7])
        compare(tab.zonesList[0].selectedChannels, [1, 3, 7])
    }

    function test_channel_names_follow_identifiers() {
        // Names are found by the "channel" identifier, not by list place, and
        // members are kept by identifier even where names repeat.
        var tab = makeTab([{"title": "A", "selectedChannels": [5]}],
                          [{"channel": 5, "name": "Same"}, {"channel": 2, "name": "Same"}])
        compare(names(tab.memberList), ["Same"])
        compare(names(tab.freeList), ["Same"])
        pickFree(tab, "Same")
        verify(tab.addPickedChannel())
        compare(tab.zonesList[0].selectedChannels, [5, 2])
    }

    function test_add_zone_starts_with_channel_0() {
        var tab = makeTab(zones(2, [1, 2]), channels(4))
        var field = findChild(tab, "newZoneField")
        var button = findChild(tab, "addZoneButton")
        verify(!button.enabled, "adding needs a title")
        field.text = "Patrol"
        verify(button.enabled)
        mouseClick(button)
        compare(tab.zonesList.length, 3)
        compare(tab.zonesList[2].title, "Patrol")
        compare(tab.zonesList[2].selectedChannels, [0])
        compare(tab.zonesList.map(function (z) { return z.origin }), [0, 1, -1])
        compare(tab.currentZone, 2)
        compare(tab.zoneBox.currentText, "Patrol")
        compare(field.text, "")
        compare(names(tab.memberList), ["Ch0"])
    }

    function test_add_zone_refused_at_capacity() {
        var tab = makeTab(zones(20, [0]), channels(2))
        verify(!tab.addZone("One more"))
        compare(tab.zonesList.length, 20)
        verify(tab.limitDialog.visible, "the refusal is shown")
        verify(tab.limitDialog.text.indexOf("20") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function test_remove_zone_selects_first() {
        var tab = makeTab([{"title": "A", "selectedChannels": [0]}, {"title": "B", "selectedChannels": [1]},
                           {"title": "C", "selectedChannels": [2]}], channels(3))
        tab.showZone(2)
        mouseClick(findChild(tab, "removeZoneButton"))
        compare(tab.zonesList.length, 2)
        compare(tab.zonesList[0].title, "A")
        compare(tab.zonesList[1].title, "B")
        compare(tab.currentZone, 0)
        compare(names(tab.memberList), ["Ch0"])
        verify(tab.removeZone())
        verify(tab.removeZone())
        compare(tab.zonesList, [])
        compare(tab.currentZone, -1)
        verify(!tab.removeZone())
    }

    function test_add_channel_appends_to_zone() {
        var tab = makeTab([{"title": "A", "selectedChannels": [2, 0]}], channels(5))
        pickFree(tab, "Ch3")
        mouseClick(findChild(tab, "addChannelButton"))
        compare(tab.zonesList[0].selectedChannels, [2, 0, 3])
        compare(names(tab.freeList), ["Ch1", "Ch4"])
        compare(tab.freeList.currentIndex, -1)
    }

    function test_add_channel_refused_at_capacity() {
        var tab = makeTab([{"title": "A", "selectedChannels": range(16)}], channels(20))
        pickFree(tab, "Ch17")
        verify(!tab.addPickedChannel())
        compare(tab.zonesList[0].selectedChannels, range(16))
        verify(tab.limitDialog.visible)
        verify(tab.limitDialog.text.indexOf("16") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function test_remove_channel_keeps_the_last_one() {
        var tab = makeTab([{"title": "A", "selectedChannels": [4, 1]}], channels(5))
        var button = findChild(tab, "removeChannelButton")
        tab.memberList.currentIndex = 0
        mouseClick(button)
        compare(tab.zonesList[0].selectedChannels, [1])
        compare(names(tab.freeList), ["Ch0", "Ch2", "Ch3", "Ch4"])
        tab.memberList.currentIndex = 0
        verify(!button.enabled)
        verify(!tab.removePickedChannel())
        compare(tab.zonesList[0].selectedChannels, [1])
    }

    function test_move_data() {
        return [
            {tag: "up from the middle", from: 1, delta: -1, moved: true, members: [20, 10, 30, 40], at: 0},
            {tag: "down from the middle", from: 2, delta: 1, moved: true, members: [10, 20, 40, 30], at: 3},
            {tag: "up at the top", from: 0, delta: -1, moved: false, members: [10, 20, 30, 40], at: 0},
            {tag: "down at the bottom", from: 3, delta: 1, moved: false, members: [10, 20, 30, 40], at: 3},
            {tag: "down from the top", from: 0, delta: 1, moved: true, members: [20, 10, 30, 40], at: 1},
            {tag: "up from the bottom", from: 3, delta: -1, moved: true, members: [10, 20, 40, 30], at: 2},
        ]
    }

    function test_move(data) {
        var tab = makeTab([{"title": "A", "selectedChannels": [10, 20, 30, 40]}], channels(41))
        tab.memberList.currentIndex = data.from
        var button = findChild(tab, data.delta < 0 ? "upButton" : "downButton")
        compare(button.enabled, data.moved)
        mouseClick(button)
        compare(tab.zonesList[0].selectedChannels, data.members)
        compare(tab.memberList.currentIndex, data.at)
        compare(names(tab.memberList)[data.at], "Ch" + data.members[data.at])
    }

    function test_zone_selection_shows_its_channels() {
        var tab = makeTab([{"title": "A", "selectedChannels": [0]}, {"title": "B", "selectedChannels": [2, 1]}],
                          channels(3))
        var box = tab.zoneBox
        box.activated(1)
        compare(tab.currentZone, 1)
        compare(names(tab.memberList), ["Ch2", "Ch1"])
        tab.freeList.currentIndex = 0
        verify(tab.addPickedChannel())
        compare(tab.zonesList[1].selectedChannels, [2, 1, 0])
        compare(tab.zonesList[0].selectedChannels, [0])
    }

    function test_clearAll_empties_everything() {
        var tab = makeTab(zones(3, [0]), channels(3))
        tab.clearAll()
        compare(tab.zonesList, [])
        compare(tab.zoneBox.count, 0)
        compare(tab.freeList.count, 0)
        compare(tab.memberList.count, 0)
        verify(!tab.addPickedChannel())
    }

    function test_texts_follow_language() {
        var tab = makeTab(zones(1, [0]), channels(1))
        var button = findChild(tab, "addChannelButton")
        compare(button.text, "Добавить >>")
        verify(Manager.switchLanguage("en"), "QmlLanguage_en.qm is missing")
        compare(button.text, "Add >>")
        compare(findChild(tab, "removeChannelButton").text, "<< Remove")
        Manager.switchLanguage("ru")
        compare(button.text, "Добавить >>")
    }
}
