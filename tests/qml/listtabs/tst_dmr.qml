import QtQuick 2.7
import QtTest 1.2

TestCase {
    id: testCase
    name: "TabDMRSettings"
    when: windowShown
    width: 1080
    height: 600
    visible: true // the tabs are created inside and must be shown for clicks

    Component {
        id: tabComponent
        Loader { source: "qrc:/qml/Tabs/TabDMRSettings.qml"; width: 1080; height: 600 }
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    // Contacts as the decoder delivers them: "pos" = record, numbers as numbers.
    function contacts(names) {
        var list = []
        for (var i = 0; i < names.length; ++i)
            list.push({"name": names[i], "pos": i, "number": 100 + i, "type": i % 3, "tone": i % 2,
                       "origin": i})
        return list
    }

    function numbered(n) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push("C" + i)
        return contacts(list)
    }

    function makeTab(groups, contactList, keys) {
        var loader = createTemporaryObject(tabComponent, testCase)
        verify(loader.item, "TabDMRSettings did not load")
        loader.item.init(groups, contactList, keys)
        return loader.item
    }

    function spy(tab, signalName) {
        return createTemporaryObject(spyComponent, testCase, {"target": tab, "signalName": signalName})
    }

    function names(list) {
        var result = []
        for (var i = 0; i < list.length; ++i)
            result.push(list[i].name)
        return result
    }

    function titles(list) {
        var result = []
        for (var i = 0; i < list.length; ++i)
            result.push(list[i].title)
        return result
    }

    // Table cells are made when the table is drawn.
    function cell(tab, objectName) {
        tryVerify(function () { return findChild(tab, objectName) !== null }, 2000, objectName + " not found")
        return findChild(tab, objectName)
    }

    // The contact names each written group refers to, looked up in the
    // written contact list.
    function writtenMembers(tab) {
        var written = tab.getData()
        var result = []
        for (var i = 0; i < tab.rxGroupsList.length; ++i) {
            var members = []
            var refs = tab.rxGroupsList[i].selectedContacts
            for (var j = 0; j < refs.length; ++j) {
                verify(refs[j] >= 1 && refs[j] <= written.length, "reference " + refs[j] + " is outside the list")
                members.push(written[refs[j] - 1].name)
            }
            result.push(members)
        }
        return result
    }

    function closeDialog(tab) {
        if (tab.limitDialog.visible)
            tab.limitDialog.close()
    }

    // Each contact and group keeps the place it had in the decoded list
    // ("origin") through edits and the removal of others; new ones have -1.
    function test_getData_holds_the_keys_and_origins_in_table_order() {
        var tab = makeTab([{"title": "G1", "selectedContacts": [1], "origin": 0},
                           {"title": "G2", "selectedContacts": [2], "origin": 1}],
                          contacts(["A", "B", "C"]), {})
        var data = tab.getData()
        compare(data.length, 3)
        compare(Object.keys(data[0]).sort(), ["name", "number", "origin", "pos", "tone", "type"])
        compare(data[1].name, "B")
        compare(data[1].pos, 1)
        compare(Number(data[1].number), 101)
        compare(data[1].type, 1)
        compare(data[1].tone, 1)
        tab.pickContact(0)
        tab.removeContact()
        tab.addContact()
        verify(tab.setContactText(0, "name", "B2"))
        compare(tab.getData().map(function (c) { return c.origin }), [1, 2, -1])
        tab.updateGroups(0)
        tab.removeGroup()
        tab.addGroup("G3")
        compare(tab.rxGroupsList.map(function (g) { return g.origin }), [1, -1])
    }

    function test_new_contact_data() {
        return [
            {tag: "gaps in pos", pos: [0, 1, 4], expected: 5},
            {tag: "consecutive", pos: [0, 1, 2], expected: 3},
            {tag: "empty list", pos: [], expected: 0},
        ]
    }

    function test_new_contact(data) {
        var list = []
        for (var i = 0; i < data.pos.length; ++i)
            list.push({"name": "N" + i, "pos": data.pos[i], "number": 7, "type": 1, "tone": 0})
        var tab = makeTab([{"title": "G1", "selectedContacts": [1]}, {"title": "G2", "selectedContacts": [2]}],
                          list, {})
        var added = spy(tab, "elementContactAdded")
        tab.updateGroups(1)
        mouseClick(findChild(tab, "addContactButton"))
        compare(tab.contactModel.count, data.pos.length + 1)
        var c = tab.contactModel.get(data.pos.length)
        compare(c.pos, data.expected)
        compare(c.name, "Новый Контакт " + data.expected)
        compare(c.number, "12345")
        compare(c.tone, 0)
        compare(added.count, 1)
        var sent = added.signalArguments[0][0]
        compare(sent.length, data.pos.length + 1)
        compare(Object.keys(sent[0]).sort(), ["name", "uid"])
        compare(sent[data.pos.length].name, "Новый Контакт " + data.expected)
        // Each contact carries its own identity.
        compare(sent[data.pos.length].uid, data.expected + 1)
        for (i = 0; i < data.pos.length; ++i)
            compare(sent[i].uid, data.pos[i] + 1)
        compare(tab.currentGroup, 0, "the group view returns to group 0")
    }

    function test_contact_capacity() {
        var tab = makeTab([], numbered(43), {})
        var added = spy(tab, "elementContactAdded")
        verify(!tab.addContact())
        compare(tab.contactModel.count, 43)
        compare(added.count, 0)
        verify(tab.limitDialog.visible)
        verify(tab.limitDialog.text.indexOf("43") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function test_remove_contact_keeps_group_members_data() {
        return [
            {tag: "first", row: 0, members: [["C2", "C3"], ["C1"], ["C3", "C4"]]},
            {tag: "middle", row: 2, members: [["C0", "C3"], ["C1"], ["C3", "C4"]]},
            {tag: "sole member", row: 1, members: [["C0", "C2", "C3"], [], ["C3", "C4"]]},
            {tag: "last", row: 4, members: [["C0", "C2", "C3"], ["C1"], ["C3"]]},
        ]
    }

    // The writer stores the k-th contact as record k, so after a removal the
    // written group members must still name the same contacts.
    function test_remove_contact_keeps_group_members(data) {
        var groups = [{"title": "G1", "groups": 1, "selectedContacts": [1, 3, 4]},
                      {"title": "G2", "groups": 2, "selectedContacts": [2]},
                      {"title": "G3", "groups": 3, "selectedContacts": [4, 5]}]
        var tab = makeTab(groups, numbered(5), {})
        compare(writtenMembers(tab), [["C0", "C2", "C3"], ["C1"], ["C3", "C4"]])
        var removed = spy(tab, "elementRemovedContact")
        tab.pickContact(data.row)
        mouseClick(findChild(tab, "removeContactButton"))
        compare(tab.contactModel.count, 4)
        compare(writtenMembers(tab), data.members)
        var written = tab.getData()
        for (var i = 0; i < written.length; ++i)
            compare(written[i].pos, i, "written positions are the records")
        compare(removed.count, 1)
        compare(names(removed.signalArguments[0][0]), names(written))
        compare(tab.rxGroupsList[1].groups, 2, "group numbers are kept for the channel table")
    }

    function test_collected_lists_read_back_alike() {
        // What a write stores and a read returns: contacts by place, group
        // members by record number, keys as a list.
        var tab = makeTab([{"title": "G1", "groups": 1, "selectedContacts": [2, 4]},
                           {"title": "G2", "groups": 2, "selectedContacts": [3]}],
                          numbered(4), {"K1": "1234", "K2": "abcd"})
        tab.pickContact(0)
        verify(tab.removeContact())
        verify(tab.addContact())
        var before = writtenMembers(tab)
        compare(before, [["C1", "C3"], ["C2"]])
        var other = makeTab(tab.rxGroupsList, tab.getData(), tab.getEncryptData())
        compare(writtenMembers(other), before)
        compare(names(other.getData()), ["C1", "C2", "C3", "Новый Контакт 4"])
        compare(other.getEncryptData(), tab.getEncryptData())
        other.updateGroups(0)
        compare(names(other.memberContactList.model), ["C1", "C3"])
    }

    function test_removed_contact_is_not_revived_by_a_new_one() {
        // The new contact takes the highest "pos" + 1, which the removed
        // contact had: it must not become a member of the removed one's groups.
        var tab = makeTab([{"title": "G1", "selectedContacts": [1, 3]}], numbered(3), {})
        tab.pickContact(2)
        verify(tab.removeContact())
        verify(tab.addContact())
        compare(tab.contactModel.get(2).pos, 2)
        compare(writtenMembers(tab), [["C0"]])
        compare(names(tab.memberContactList.model), ["C0"])
    }

    function test_members_naming_no_contact_are_dropped() {
        var tab = makeTab([{"title": "G1", "selectedContacts": [2, 9]}], numbered(3), {})
        compare(tab.rxGroupsList[0].selectedContacts, [2])
        compare(names(tab.memberContactList.model), ["C1"])
        // A later contact does not inherit the dangling member.
        for (var i = 0; i < 7; ++i)
            verify(tab.addContact())
        compare(writtenMembers(tab), [["C1"]])
    }

    function test_group_view() {
        var tab = makeTab([{"title": "G1", "selectedContacts": [3, 1]}, {"title": "G2", "selectedContacts": [2]}],
                          numbered(4), {})
        compare(tab.groupBox.currentText, "G1")
        compare(names(tab.memberContactList.model), ["C2", "C0"])
        compare(names(tab.freeContactList.model), ["C1", "C3"])
        tab.groupBox.activated(1)
        compare(names(tab.memberContactList.model), ["C1"])
    }

    function test_add_and_remove_group_members() {
        var tab = makeTab([{"title": "G1", "selectedContacts": [1]}], numbered(3), {})
        tab.freeContactList.currentIndex = 1 // C2
        mouseClick(findChild(tab, "addMemberButton"))
        compare(writtenMembers(tab), [["C0", "C2"]])
        tab.memberContactList.currentIndex = 0
        mouseClick(findChild(tab, "removeMemberButton"))
        compare(writtenMembers(tab), [["C2"]])
        tab.memberContactList.currentIndex = 0
        verify(!findChild(tab, "removeMemberButton").enabled)
        verify(!tab.removePickedContact(), "a group keeps one contact")
        compare(writtenMembers(tab), [["C2"]])
    }

    function test_group_member_capacity() {
        var refs = []
        for (var i = 1; i <= 32; ++i)
            refs.push(i)
        var tab = makeTab([{"title": "G1", "selectedContacts": refs}], numbered(40), {})
        compare(tab.freeContactList.model.length, 8)
        tab.freeContactList.currentIndex = 0
        verify(!tab.addPickedContact())
        compare(tab.rxGroupsList[0].selectedContacts.length, 32)
        verify(tab.limitDialog.visible)
        verify(tab.limitDialog.text.indexOf("32") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function test_add_group() {
        var tab = makeTab([{"title": "G1", "groups": 1, "selectedContacts": [2]}], numbered(3), {})
        var added = spy(tab, "elementRxGroupAdded")
        var field = findChild(tab, "groupTitleField")
        verify(!findChild(tab, "addGroupButton").enabled)
        field.text = "Fire"
        mouseClick(findChild(tab, "addGroupButton"))
        compare(tab.rxGroupsList.length, 2)
        compare(tab.rxGroupsList[1].title, "Fire")
        compare(tab.rxGroupsList[1].selectedContacts, [1])
        compare(tab.currentGroup, 1)
        compare(tab.groupBox.currentText, "Fire")
        compare(field.text, "")
        compare(added.count, 1)
        compare(titles(added.signalArguments[0][0]), ["G1", "Fire"])
    }

    function test_new_group_starts_with_the_first_contact() {
        var tab = makeTab([], numbered(3), {})
        tab.pickContact(0)
        verify(tab.removeContact())
        verify(tab.addGroup("G"))
        compare(writtenMembers(tab), [["C1"]])
    }

    function test_group_capacity() {
        var groups = []
        for (var i = 0; i < 6; ++i)
            groups.push({"title": "G" + i, "selectedContacts": [1]})
        var tab = makeTab(groups, numbered(2), {})
        var added = spy(tab, "elementRxGroupAdded")
        verify(!tab.addGroup("G6"))
        compare(tab.rxGroupsList.length, 6)
        compare(added.count, 0)
        verify(tab.limitDialog.visible)
        verify(tab.limitDialog.text.indexOf("6") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function test_remove_group() {
        var tab = makeTab([{"title": "G1", "selectedContacts": [1]}, {"title": "G2", "selectedContacts": [2]},
                           {"title": "G3", "selectedContacts": [1]}], numbered(2), {})
        var removed = spy(tab, "elementRemovedRxGroup")
        tab.groupBox.activated(1)
        mouseClick(findChild(tab, "removeGroupButton"))
        compare(titles(tab.rxGroupsList), ["G1", "G3"])
        compare(tab.currentGroup, 0)
        compare(removed.count, 1)
        compare(titles(removed.signalArguments[0][0]), ["G1", "G3"])
    }

    function test_keys_from_the_decoded_map() {
        var tab = makeTab([], [], {"Alpha": "7e2b", "Beta": "f"})
        compare(tab.getEncryptData(), [{"name": "Alpha", "number": "7e2b"}, {"name": "Beta", "number": "f"}])
    }

    function test_new_key() {
        var tab = makeTab([], [], {"A": "1", "B": "2", "C": "3"})
        var added = spy(tab, "elementEncryptAdded")
        mouseClick(findChild(tab, "addKeyButton"))
        var keys = tab.getEncryptData()
        compare(keys.length, 4)
        compare(keys[3], {"name": "Key 4", "number": "7E2B"})
        compare(added.count, 1)
        var sent = added.signalArguments[0][0]
        compare(names(sent), ["НЕТ", "A", "B", "C", "Key 4"])
        compare(sent.map(function (k) { return k.uid }), [undefined, 1, 2, 3, 4])
    }

    function test_remove_key() {
        var tab = makeTab([], [], {"A": "1", "B": "2", "C": "3"})
        var added = spy(tab, "elementEncryptAdded")
        verify(!findChild(tab, "removeKeyButton").enabled)
        tab.pickKey(1)
        mouseClick(findChild(tab, "removeKeyButton"))
        compare(names(tab.getEncryptData()), ["A", "C"])
        compare(added.count, 1)
        compare(names(added.signalArguments[0][0]), ["НЕТ", "A", "C"])
    }

    function test_key_capacity() {
        var map = {}
        for (var i = 0; i < 40; ++i)
            map["K" + (i < 10 ? "0" : "") + i] = "1"
        var tab = makeTab([], [], map)
        var added = spy(tab, "elementEncryptAdded")
        verify(!tab.addKey())
        compare(tab.getEncryptData().length, 40)
        compare(added.count, 0)
        verify(tab.limitDialog.visible)
        verify(tab.limitDialog.text.indexOf("40") >= 0, tab.limitDialog.text)
        closeDialog(tab)
    }

    function typeInto(editor, chars) {
        editor.forceActiveFocus()
        verify(editor.activeFocus)
        editor.selectAll()
        keyClick(Qt.Key_Delete)
        editor.cursorPosition = 0
        for (var i = 0; i < chars.length; ++i)
            keyClick(chars[i])
        keyClick(Qt.Key_Return)
    }

    function test_key_masks_data() {
        return [
            {tag: "value: four hex digits", editor: "keyValue_0", role: "number", typed: "1aG3f9", stored: "1a3f"},
            {tag: "value: too short", editor: "keyValue_0", role: "number", typed: "12", stored: "7e2b"},
            {tag: "name: letters and digits", editor: "keyName_0", role: "name", typed: "Ab 1-Zx", stored: "Ab1Zx"},
            {tag: "name: at most 8", editor: "keyName_0", role: "name", typed: "abcdefghijklmnopqrs", stored: "abcdefgh"},
        ]
    }

    function test_key_masks(data) {
        var tab = makeTab([], [], {"Alpha": "7e2b"})
        var added = spy(tab, "elementEncryptAdded")
        var editor = cell(tab, data.editor)
        typeInto(editor, data.typed)
        compare(tab.keyModel.get(0)[data.role], data.stored)
        tab.forceActiveFocus()
        compare(tab.getEncryptData()[0][data.role], data.stored)
        // A renamed key reaches the channel table's selector at once.
        compare(added.count, data.role === "name" ? 1 : 0)
        if (added.count > 0)
            compare(names(added.signalArguments[0][0]), ["НЕТ", data.stored])
    }

    function test_untouched_key_name_keeps_its_space() {
        // The mask shows "Key 1" without its space; leaving the editor
        // without a change must not store the masked text.
        var tab = makeTab([], [], {"Key 1": "7e2b"})
        var editor = cell(tab, "keyName_0")
        editor.forceActiveFocus()
        keyClick(Qt.Key_Return)
        tab.forceActiveFocus()
        compare(tab.getEncryptData()[0].name, "Key 1")
    }

    function test_contact_edits() {
        var tab = makeTab([{"title": "G", "selectedContacts": [2]}], numbered(2), {})
        var added = spy(tab, "elementContactAdded")
        typeInto(cell(tab, "contactName_1"), "Base")
        compare(tab.getData()[1].name, "Base")
        compare(added.count, 1)
        compare(names(added.signalArguments[0][0]), ["C0", "Base"])
        compare(names(tab.memberContactList.model), ["Base"])
        compare(tab.contactRow, 1)

        typeInto(cell(tab, "contactNumber_1"), "16777215")
        compare(tab.getData()[1].number, "16777215")
        compare(added.count, 2)
        // 24-bit numbers only.
        typeInto(cell(tab, "contactNumber_1"), "16777216")
        tab.forceActiveFocus()
        compare(tab.getData()[1].number, "16777215")
        verify(!tab.setContactText(1, "number", "12a"))
        verify(!tab.setContactText(1, "name", ""))
        compare(added.count, 2)

        var tone = cell(tab, "contactTone_0")
        mouseClick(tone)
        compare(tab.getData()[0].tone, 1)
        compare(tab.contactRow, 0)
    }

    function test_texts_follow_language() {
        var tab = makeTab([], numbered(1), {})
        var button = findChild(tab, "addMemberButton")
        verify(Manager.switchLanguage("en"), "QmlLanguage_en.qm is missing")
        compare(button.text, "Add >>")
        compare(findChild(tab, "addContactButton").text, "Add")
        compare(findChild(tab, "removeKeyButton").text, "Remove")
        Manager.switchLanguage("ru")
        compare(button.text, "Добавить >>")
    }
}
