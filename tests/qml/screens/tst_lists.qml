import QtQuick 2.7
import QtTest 1.2
import "Helpers.js" as H

// The zones tab and the DMR tab (contacts, receive groups, keys) on their own.
TestCase {
    id: testCase
    name: "ListTabs"
    when: windowShown
    width: 1080
    height: 600
    visible: true // the tabs are created inside and must be shown for clicks

    Component { id: zoneTab; Loader { source: "qrc:/qml/Tabs/TabZone.qml"; width: 1080; height: 600 } }
    Component { id: dmrTab; Loader { source: "qrc:/qml/Tabs/TabDMRSettings.qml"; width: 1080; height: 600 } }
    Component { id: spyComponent; SignalSpy {} }

    function channels(n) { return H.range(n).map(function (i) { return { "channel": i, "name": "Ch" + i } }) }
    function zones(n, members) {
        return H.range(n).map(function (i) { return { "title": "Z" + i, "selectedChannels": members.slice(), "origin": i } })
    }
    // Contacts as the decoder delivers them: "pos" = record, numbers as numbers.
    function contacts(names) {
        return names.map(function (n, i) {
            return { "name": n, "pos": i, "number": 100 + i, "type": i % 3, "tone": i % 2, "origin": i }
        })
    }
    function numbered(n) { return contacts(H.range(n).map(function (i) { return "C" + i })) }

    function make(component, args) {
        var tab = createTemporaryObject(component, testCase).item
        tab.init.apply(tab, args)
        return tab
    }
    function makeZones(zoneList, freqList) { return make(zoneTab, [zoneList, freqList]) }
    function makeDmr(groups, contactList, keys) { return make(dmrTab, [groups, contactList || [], keys || {}]) }
    function spy(tab, signalName) {
        return createTemporaryObject(spyComponent, testCase, { "target": tab, "signalName": signalName })
    }
    // Table cells are made when the table is drawn.
    function child(tab, name) {
        tryVerify(function () { return findChild(tab, name) !== null }, 2000, name + " not found")
        return findChild(tab, name)
    }
    function pickFree(tab, name) {
        var index = H.names(tab.freeList.model).indexOf(name)
        verify(index >= 0, name + " is not offered")
        tab.freeList.currentIndex = index
    }
    // The contact names each written group refers to, looked up in the written contact list.
    function writtenMembers(tab) {
        var written = tab.getData()
        return tab.rxGroupsList.map(function (g) {
            return g.selectedContacts.map(function (ref) {
                verify(ref >= 1 && ref <= written.length, "reference " + ref + " is outside the list")
                return written[ref - 1].name
            })
        })
    }

    function test_zoneInitShowsFirstZoneByChannelIdentifier() {
        var input = [{ "title": "A", "selectedChannels": [3, 1, 7] }, { "title": "B", "selectedChannels": [0] }]
        // Channel 7 does not exist: it is shown with an empty name.
        var tab = makeZones(input, channels(5))
        compare([tab.zoneBox.currentText, H.names(tab.memberList.model), H.names(tab.freeList.model)],
                ["A", ["Ch3", "Ch1", ""], ["Ch0", "Ch2", "Ch4"]])
        // The tab edits its own copy.
        tab.memberList.currentIndex = 0
        verify(tab.movePickedChannel(1))
        compare([input[0].selectedChannels, tab.zonesList[0].selectedChannels], [[3, 1, 7], [1, 3, 7]])
        // Names are found by the "channel" identifier, not by list place, and members are kept by identifier
        // even where names repeat.
        tab = makeZones([{ "title": "A", "selectedChannels": [5] }],
                        [{ "channel": 5, "name": "Same" }, { "channel": 2, "name": "Same" }])
        compare(H.names(tab.memberList.model), ["Same"])
        pickFree(tab, "Same")
        compare([tab.addPickedChannel(), tab.zonesList[0].selectedChannels], [true, [5, 2]])
    }

    function test_zoneAddRemoveAndSelect() {
        var tab = makeZones(zones(2, [1, 2]), channels(4))
        var field = child(tab, "newZoneField"), button = child(tab, "addZoneButton")
        verify(!button.enabled, "adding needs a title")
        field.text = "Patrol"
        mouseClick(button)
        compare(tab.zonesList.map(function (z) { return [z.title, z.selectedChannels, z.origin] }),
                [["Z0", [1, 2], 0], ["Z1", [1, 2], 1], ["Patrol", [0], -1]])
        compare([tab.zoneBox.currentText, field.text, H.names(tab.memberList.model)], ["Patrol", "", ["Ch0"]])
        // Another zone picked shows its channels; edits go to it.
        tab.zoneBox.activated(1)
        compare(tab.currentZone, 1)
        tab.freeList.currentIndex = 0
        verify(tab.addPickedChannel())
        compare([tab.zonesList[0].selectedChannels, tab.zonesList[1].selectedChannels], [[1, 2], [1, 2, 0]])
        // Removing one selects the first.
        mouseClick(child(tab, "removeZoneButton"))
        compare([H.names(tab.zonesList, "title"), tab.currentZone], [["Z0", "Patrol"], 0])
        compare([tab.removeZone(), tab.removeZone(), tab.currentZone, tab.removeZone()], [true, true, -1, false])
        tab.init(zones(3, [0]), channels(3))
        tab.clearAll()
        compare([tab.zonesList.length, tab.zoneBox.count, tab.freeList.count, tab.memberList.count], [0, 0, 0, 0])
        verify(!tab.addPickedChannel())
    }

    // A zone's buttons (its channels 3, 1, 4 of 0-4): a member moved, not past the ends, the selection following;
    // a free channel added at the end; a member removed back into the free list, not the last one.
    function test_zoneMemberButtons_data() {
        return [
            { tag: "up from the middle", from: 1, button: "upButton", members: [1, 3, 4], at: 0 },
            { tag: "down from the middle", from: 1, button: "downButton", members: [3, 4, 1], at: 2 },
            { tag: "up at the top", from: 0, button: "upButton", locked: true, members: [3, 1, 4], at: 0 },
            { tag: "down at the bottom", from: 2, button: "downButton", locked: true, members: [3, 1, 4], at: 2 },
            { tag: "add", pick: "Ch2", button: "addChannelButton", members: [3, 1, 4, 2] },
            { tag: "remove", from: 1, button: "removeChannelButton", members: [3, 4], at: -1 },
            { tag: "last stays", zone: [3], from: 0, button: "removeChannelButton", locked: true, members: [3], at: 0 }
        ]
    }
    function test_zoneMemberButtons(data) {
        var tab = makeZones([{ "title": "A", "selectedChannels": data.zone || [3, 1, 4] }], channels(5))
        if (data.pick)
            pickFree(tab, data.pick)
        else
            tab.memberList.currentIndex = data.from
        var button = child(tab, data.button)
        compare(button.enabled, !data.locked)
        mouseClick(button)
        function names(ids) { return ids.map(function (id) { return "Ch" + id }) }
        var free = H.range(5).filter(function (id) { return data.members.indexOf(id) < 0 })
        compare([tab.zonesList[0].selectedChannels, H.names(tab.memberList.model), H.names(tab.freeList.model)],
                [data.members, names(data.members), names(free)])
        compare(data.pick ? tab.freeList.currentIndex : tab.memberList.currentIndex, data.pick ? -1 : data.at)
    }

    // What the radio cannot hold is refused with a message naming the limit.
    function test_limits_data() {
        var keys = {}
        H.range(40).forEach(function (i) { keys["K" + (i < 10 ? "0" : "") + i] = "1" })
        return [
            { tag: "20 zones", zones: true, limit: 20, make: [zones(20, [0]), channels(2)],
              act: function (t) { return t.addZone("One more") }, count: function (t) { return t.zonesList.length } },
            { tag: "16 channels a zone", zones: true, limit: 16,
              make: [[{ "title": "A", "selectedChannels": H.range(16) }], channels(20)],
              act: function (t) { pickFree(t, "Ch17"); return t.addPickedChannel() },
              count: function (t) { return t.zonesList[0].selectedChannels.length } },
            { tag: "43 contacts", limit: 43, make: [[], numbered(43), {}], signal: "elementContactAdded",
              act: function (t) { return t.addContact() }, count: function (t) { return t.contactModel.count } },
            { tag: "32 members", limit: 32, make: [[{ "title": "G1", "selectedContacts": H.range(33).slice(1) }], numbered(40), {}],
              act: function (t) { compare(t.freeContactList.model.length, 8); t.freeContactList.currentIndex = 0; return t.addPickedContact() },
              count: function (t) { return t.rxGroupsList[0].selectedContacts.length } },
            { tag: "6 groups", limit: 6, signal: "elementRxGroupAdded",
              make: [H.range(6).map(function (i) { return { "title": "G" + i, "selectedContacts": [1] } }), numbered(2), {}],
              act: function (t) { return t.addGroup("G6") }, count: function (t) { return t.rxGroupsList.length } },
            { tag: "40 keys", limit: 40, make: [[], [], keys], signal: "elementEncryptAdded",
              act: function (t) { return t.addKey() }, count: function (t) { return t.getEncryptData().length } }
        ]
    }
    function test_limits(data) {
        var tab = data.zones ? makeZones(data.make[0], data.make[1]) : makeDmr(data.make[0], data.make[1], data.make[2])
        var sent = data.signal ? spy(tab, data.signal) : null
        verify(!data.act(tab))
        compare([data.count(tab), sent ? sent.count : 0, tab.limitDialog.visible], [data.limit, 0, true])
        verify(tab.limitDialog.text.indexOf(String(data.limit)) >= 0, tab.limitDialog.text)
        tab.limitDialog.close()
    }

    // Through edits and the removal of others, each contact and group keeps the place it had in the decoded list
    // ("origin"; new ones have -1) and each group its members.
    function test_contactsAndGroupsThroughEdits() {
        var tab = makeDmr([{ "title": "G1", "selectedContacts": [1], "origin": 0 },
                           { "title": "G2", "selectedContacts": [2], "origin": 1 }], contacts(["A", "B", "C"]), {})
        var data = tab.getData()
        compare(Object.keys(data[0]).sort(), ["name", "number", "origin", "pos", "tone", "type"])
        compare([data[1].name, data[1].pos, Number(data[1].number), data[1].type, data[1].tone], ["B", 1, 101, 1, 1])
        tab.pickContact(0)
        compare([tab.removeContact(), tab.removeContact()], [true, false]) // a removal leaves nothing picked
        tab.addContact()
        verify(tab.setContactText(0, "name", "B2"))
        compare(tab.getData().map(function (c) { return c.origin }), [1, 2, -1])
        tab.updateGroups(0)
        tab.removeGroup()
        tab.addGroup("G3")
        compare(tab.rxGroupsList.map(function (g) { return g.origin }), [1, -1])
        // The new contact takes the highest "pos" + 1, which a removed one had: it must not become a member
        // of the removed one's groups.
        tab = makeDmr([{ "title": "G1", "selectedContacts": [1, 3] }], numbered(3), {})
        tab.pickContact(2)
        compare([tab.removeContact(), tab.addContact(), tab.contactModel.get(2).pos, writtenMembers(tab)],
                [true, true, 2, [["C0"]]])
        // Members naming no contact are dropped, and no later contact inherits them.
        tab = makeDmr([{ "title": "G1", "selectedContacts": [2, 9] }], numbered(3), {})
        compare(tab.rxGroupsList[0].selectedContacts, [2])
        for (var i = 0; i < 7; ++i)
            verify(tab.addContact())
        compare(writtenMembers(tab), [["C1"]])
        // A contact whose "pos" an earlier one has is not taken for that one.
        var twins = numbered(3)
        twins[2].pos = 0
        tab = makeDmr([{ "title": "G1", "selectedContacts": [1] }], twins)
        compare([H.names(tab.memberContactList.model), H.names(tab.freeContactList.model), writtenMembers(tab)],
                [["C0"], ["C1", "C2"], [["C0"]]])
    }

    function test_newContact_data() {
        return [
            { tag: "gaps in pos", pos: [0, 1, 4], expected: 5 },
            { tag: "consecutive", pos: [0, 1, 2], expected: 3 },
            { tag: "empty list", pos: [], expected: 0 }
        ]
    }
    function test_newContact(data) {
        var list = data.pos.map(function (p, i) { return { "name": "N" + i, "pos": p, "number": 7, "type": 1, "tone": 0 } })
        var tab = makeDmr([{ "title": "G1", "selectedContacts": [1] }, { "title": "G2", "selectedContacts": [2] }], list, {})
        var added = spy(tab, "elementContactAdded")
        tab.updateGroups(1)
        mouseClick(child(tab, "addContactButton"))
        var c = tab.contactModel.get(data.pos.length)
        compare([c.pos, c.name, c.number, c.tone, added.count], [data.expected, "Новый Контакт " + data.expected, "12345", 0, 1])
        var sent = added.signalArguments[0][0]
        compare([Object.keys(sent[0]).sort(), sent[data.pos.length].name], [["name", "uid"], "Новый Контакт " + data.expected])
        // Each contact carries its own identity; the group view returns to group 0.
        compare([sent.map(function (s) { return s.uid }), tab.currentGroup],
                [data.pos.concat([data.expected]).map(function (p) { return p + 1 }), 0])
    }

    // The writer stores the k-th contact as record k, so after a removal the written group members must still
    // name the same contacts.
    function test_removedContactLeavesGroupMembers_data() {
        return [
            { tag: "first", row: 0, members: [["C2", "C3"], ["C1"], ["C3", "C4"]] },
            { tag: "middle", row: 2, members: [["C0", "C3"], ["C1"], ["C3", "C4"]] },
            { tag: "sole member", row: 1, members: [["C0", "C2", "C3"], [], ["C3", "C4"]] },
            { tag: "last", row: 4, members: [["C0", "C2", "C3"], ["C1"], ["C3"]] }
        ]
    }
    function test_removedContactLeavesGroupMembers(data) {
        var tab = makeDmr([{ "title": "G1", "groups": 1, "selectedContacts": [1, 3, 4] },
                           { "title": "G2", "groups": 2, "selectedContacts": [2] },
                           { "title": "G3", "groups": 3, "selectedContacts": [4, 5] }], numbered(5), {})
        var removed = spy(tab, "elementRemovedContact")
        tab.pickContact(data.row)
        mouseClick(child(tab, "removeContactButton"))
        compare(writtenMembers(tab), data.members)
        // The written positions are the records; group numbers are kept for the channel table.
        var written = tab.getData()
        compare([written.map(function (c) { return c.pos }), tab.rxGroupsList[1].groups], [[0, 1, 2, 3], 2])
        compare([removed.count, H.names(removed.signalArguments[0][0])], [1, H.names(written)])
    }

    function test_groupsAndMembers() {
        var tab = makeDmr([{ "title": "G1", "groups": 1, "selectedContacts": [3, 1] },
                           { "title": "G2", "selectedContacts": [2] }], numbered(4), {})
        compare([tab.groupBox.currentText, H.names(tab.memberContactList.model), H.names(tab.freeContactList.model)],
                ["G1", ["C2", "C0"], ["C1", "C3"]])
        tab.freeContactList.currentIndex = 1 // C3
        mouseClick(child(tab, "addMemberButton"))
        compare(writtenMembers(tab)[0], ["C2", "C0", "C3"])
        tab.memberContactList.currentIndex = 0
        mouseClick(child(tab, "removeMemberButton"))
        compare(writtenMembers(tab)[0], ["C0", "C3"])
        tab.groupBox.activated(1)
        compare(H.names(tab.memberContactList.model), ["C1"])
        tab.memberContactList.currentIndex = 0 // a group keeps one contact
        compare([child(tab, "removeMemberButton").enabled, tab.removePickedContact()], [false, false])
        // A new group starts with the first contact and is shown.
        var added = spy(tab, "elementRxGroupAdded")
        verify(!child(tab, "addGroupButton").enabled)
        tab.pickContact(0)
        verify(tab.removeContact())
        child(tab, "groupTitleField").text = "Fire"
        mouseClick(child(tab, "addGroupButton"))
        compare([tab.rxGroupsList[2].title, writtenMembers(tab)[2], tab.currentGroup, tab.groupBox.currentText,
                 child(tab, "groupTitleField").text], ["Fire", ["C1"], 2, "Fire", ""])
        compare(H.names(added.signalArguments[0][0], "title"), ["G1", "G2", "Fire"])
        var removed = spy(tab, "elementRemovedRxGroup")
        tab.groupBox.activated(1)
        mouseClick(child(tab, "removeGroupButton"))
        compare([H.names(tab.rxGroupsList, "title"), tab.currentGroup, H.names(removed.signalArguments[0][0], "title")],
                [["G1", "Fire"], 0, ["G1", "Fire"]])
        verify(tab.removeGroup() && tab.removeGroup())
        compare([tab.currentGroup, tab.removeGroup(), removed.count], [-1, false, 3])
    }

    function test_contactEdits() {
        var tab = makeDmr([{ "title": "G", "selectedContacts": [2] }], numbered(2), {})
        var added = spy(tab, "elementContactAdded")
        H.typeInto(testCase, child(tab, "contactName_1"), "Base")
        compare([tab.getData()[1].name, H.names(added.signalArguments[0][0]), H.names(tab.memberContactList.model), tab.contactRow],
                ["Base", ["C0", "Base"], ["Base"], 1])
        H.typeInto(testCase, child(tab, "contactNumber_1"), "16777215")
        compare([tab.getData()[1].number, added.count], ["16777215", 2])
        // 24-bit numbers only.
        H.typeInto(testCase, child(tab, "contactNumber_1"), "16777216")
        tab.forceActiveFocus()
        compare(tab.getData()[1].number, "16777215")
        compare([tab.setContactText(1, "number", "12a"), tab.setContactText(1, "name", ""), added.count], [false, false, 2])
        mouseClick(child(tab, "contactTone_0"))
        compare([tab.getData()[0].tone, tab.contactRow], [1, 0])
    }

    function test_keysAddedAndRemoved() {
        var tab = makeDmr([], [], { "A": "1", "B": "2", "C": "3" })
        compare(tab.getEncryptData(), [{ "name": "A", "number": "1" }, { "name": "B", "number": "2" }, { "name": "C", "number": "3" }])
        var sent = spy(tab, "elementEncryptAdded")
        mouseClick(child(tab, "addKeyButton"))
        compare(tab.getEncryptData()[3], { "name": "Key 4", "number": "7E2B" })
        compare(sent.signalArguments[0][0].map(function (k) { return k.name + k.uid }), ["НЕТundefined", "A1", "B2", "C3", "Key 44"])
        verify(!child(tab, "removeKeyButton").enabled)
        tab.pickKey(1)
        mouseClick(child(tab, "removeKeyButton"))
        compare([H.names(tab.getEncryptData()), H.names(sent.signalArguments[1][0])], [["A", "C", "Key 4"], ["НЕТ", "A", "C", "Key 4"]])
    }

    function test_keyMasks_data() {
        return [
            { tag: "value: four hex digits", editor: "keyValue_0", role: "number", typed: "1aG3f9", stored: "1a3f" },
            { tag: "value: too short", editor: "keyValue_0", role: "number", typed: "12", stored: "7e2b" },
            { tag: "name: letters and digits", editor: "keyName_0", role: "name", typed: "Ab 1-Zx", stored: "Ab1Zx" },
            { tag: "name: at most 8", editor: "keyName_0", role: "name", typed: "abcdefghijklmnopqrs", stored: "abcdefgh" },
            // The mask shows "Key 1" without its space; leaving the editor without a change must not store
            // the masked text.
            { tag: "name untouched", editor: "keyName_0", role: "name", typed: null, stored: "Key 1" }
        ]
    }
    function test_keyMasks(data) {
        var tab = makeDmr([], [], { "Key 1": "7e2b" })
        var added = spy(tab, "elementEncryptAdded")
        var editor = child(tab, data.editor)
        editor.forceActiveFocus()
        if (data.typed === null)
            keyClick(Qt.Key_Return)
        else
            H.typeInto(testCase, editor, data.typed)
        compare(tab.keyModel.get(0)[data.role], data.stored)
        tab.forceActiveFocus()
        // A renamed key reaches the channel table's selector at once; nothing else is sent.
        var renamed = data.role === "name" && data.typed !== null
        var sent = added.count ? H.names(added.signalArguments[0][0]) : []
        compare([tab.getEncryptData()[0][data.role], added.count, sent],
                [data.stored, renamed ? 1 : 0, renamed ? ["НЕТ", data.stored] : []])
    }
}
