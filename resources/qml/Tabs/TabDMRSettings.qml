import QtQuick 2.7
import QtQuick.Controls 1.4
import "../UI"
import QtQuick.Layouts 1.1
import QtQuick.Dialogs 1.2
import "DmrLists.js" as DmrLists

// DMR tab: contacts, receive groups and encryption keys.
Item {
    id: tab

    // The receive groups as they are to be written: members are the 1-based
    // places of their contacts in getData(). Refreshed after every edit.
    property var rxGroupsList: []
    // The receive groups as edited here: members are contact "pos" + 1.
    property var groups: []
    property int currentGroup: -1
    // The contact and key rows last clicked or edited (-1: none).
    property int contactRow: -1
    property int keyRow: -1

    // A key name is stored in 8 characters: up to 8 letters or digits.
    readonly property string keyNameMask: "nnnnnnnn"
    readonly property string keyValueMask: "HHHH" // 4 hexadecimal digits

    readonly property alias contactModel: contactModel
    readonly property alias keyModel: keyModel
    readonly property alias contactsTable: contactsTable
    readonly property alias keysTable: keysTable
    readonly property alias groupBox: groupBox
    readonly property alias freeContactList: freeContactList
    readonly property alias memberContactList: memberContactList
    readonly property alias limitDialog: limitDialog

    signal elementContactAdded(var newContactList)
    signal elementRemovedContact(var newContactList)
    signal elementRxGroupAdded(var newRxGroupList)
    signal elementRemovedRxGroup(var newRxGroupList)
    signal elementEncryptAdded(var newEncryptList)

    function init(rxGroups, contactList, encryptMap) {
        var contacts = DmrLists.copyContacts(contactList)
        contactModel.clear()
        for (var i = 0; i < contacts.length; ++i)
            contactModel.append(contacts[i])
        groups = DmrLists.copyGroups(rxGroups, contacts)
        var keys = DmrLists.copyKeys(encryptMap)
        keyModel.clear()
        for (i = 0; i < keys.length; ++i)
            keyModel.append(keys[i])
        pickContact(-1)
        pickKey(-1)
        newGroup.field.text = ""
        updateGroups(groups.length > 0 ? 0 : -1)
    }

    // The contact list for writing: "name", "pos", "number", "type", "tone"
    // per contact, in table order.
    function getData() {
        return DmrLists.contactsForWrite(contacts())
    }

    // The key list for writing: {"name", "number"} per key, in table order.
    function getEncryptData() {
        return DmrLists.keysForWrite(keys())
    }

    function contacts() {
        var result = []
        for (var i = 0; i < contactModel.count; ++i) {
            var c = contactModel.get(i)
            result.push({"name": c.name, "pos": c.pos, "number": c.number, "type": c.type,
                         "tone": c.tone, "origin": c.origin})
        }
        return result
    }

    function keys() {
        var result = []
        for (var i = 0; i < keyModel.count; ++i)
            result.push({"name": keyModel.get(i).name, "number": keyModel.get(i).number,
                         "uid": keyModel.get(i).uid})
        return result
    }

    function showLimit(text) {
        limitDialog.text = text
        limitDialog.open()
    }

    // Groups ---------------------------------------------------------------

    // Stores the edited groups, refreshes the written form and shows group
    // `index`.
    function updateGroups(index) {
        rxGroupsList = DmrLists.groupsForWrite(groups, contacts())
        var titles = []
        for (var i = 0; i < groups.length; ++i)
            titles.push(groups[i].title)
        groupBox.model = titles
        currentGroup = index
        groupBox.currentIndex = index
        refreshGroupLists()
    }

    function refreshGroupLists() {
        var g = currentGroup >= 0 && currentGroup < groups.length ? groups[currentGroup] : null
        var list = contacts()
        freeContactList.model = DmrLists.freeContacts(g, list)
        freeContactList.currentIndex = -1
        memberContactList.model = DmrLists.groupMembers(g, list)
        memberContactList.currentIndex = -1
    }

    function copyOfGroups() {
        return DmrLists.copyGroups(groups, contacts())
    }

    function addGroup(title) {
        var edited = copyOfGroups()
        var result = DmrLists.addGroup(edited, title, contacts())
        if (result === "full") {
            showLimit(qsTr("Группа не добавлена: радиостанция хранит не больше %1 групп приема.").arg(DmrLists.maxGroups))
            return false
        }
        if (result !== "ok")
            return false
        groups = edited
        newGroup.field.text = ""
        updateGroups(edited.length - 1)
        elementRxGroupAdded(rxGroupsList)
        return true
    }

    function removeGroup() {
        if (currentGroup < 0 || currentGroup >= groups.length)
            return false
        var edited = copyOfGroups()
        edited.splice(currentGroup, 1)
        groups = edited
        updateGroups(edited.length > 0 ? 0 : -1)
        elementRemovedRxGroup(rxGroupsList)
        return true
    }

    // Adds the contact picked in the left list to the current group.
    function addPickedContact() {
        var free = freeContactList.model
        var index = freeContactList.currentIndex
        if (currentGroup < 0 || index < 0 || index >= free.length)
            return false
        var edited = copyOfGroups()
        var result = DmrLists.addMember(edited[currentGroup], free[index].ref)
        if (result === "full") {
            showLimit(qsTr("Контакт не добавлен: в группе приема может быть не больше %1 контактов.")
                      .arg(DmrLists.maxGroupContacts))
            return false
        }
        if (result !== "ok")
            return false
        groups = edited
        updateGroups(currentGroup)
        return true
    }

    // Takes the contact picked in the right list out of the current group.
    function removePickedContact() {
        var members = memberContactList.model
        var index = memberContactList.currentIndex
        if (currentGroup < 0 || index < 0 || index >= members.length)
            return false
        var edited = copyOfGroups()
        if (DmrLists.removeMember(edited[currentGroup], members[index].ref) !== "ok")
            return false
        groups = edited
        updateGroups(currentGroup)
        return true
    }

    // Contacts -------------------------------------------------------------

    // Selects `row` of a table, or nothing when it is out of range.
    function selectRow(table, row, count) {
        table.selection.clear()
        if (row >= 0 && row < count) {
            table.currentRow = row
            table.selection.select(row)
        }
    }

    function pickContact(row) {
        contactRow = row
        selectRow(contactsTable, row, contactModel.count)
    }

    function addContact() {
        if (contactModel.count >= DmrLists.maxContacts) {
            showLimit(qsTr("Контакт не добавлен: радиостанция хранит не больше %1 контактов.").arg(DmrLists.maxContacts))
            return false
        }
        contactModel.append(DmrLists.newContact(contacts()))
        updateGroups(groups.length > 0 ? 0 : -1)
        elementContactAdded(DmrLists.contactNames(contacts()))
        return true
    }

    // Removes the contact row last clicked or edited; the contact leaves
    // every receive group.
    function removeContact() {
        var row = contactRow
        if (row < 0 || row >= contactModel.count)
            return false
        var ref = contactModel.get(row).pos + 1
        contactModel.remove(row)
        var edited = copyOfGroups()
        DmrLists.dropContact(edited, ref)
        groups = edited
        pickContact(-1)
        updateGroups(groups.length > 0 ? 0 : -1)
        elementRemovedContact(DmrLists.contactNames(contacts()))
        return true
    }

    // Name or number, as accepted in the table.
    function setContactText(row, role, text) {
        if (row < 0 || row >= contactModel.count)
            return false
        text = String(text)
        if (role === "name" && text.length === 0)
            return false // the channel table finds contacts by name
        if (role === "number") {
            var n = parseInt(text, 10)
            if (!/^[0-9]+$/.test(text) || n > DmrLists.maxNumber)
                return false
            text = String(n)
        }
        contactModel.setProperty(row, role, text)
        updateGroups(groups.length > 0 ? 0 : -1)
        elementContactAdded(DmrLists.contactNames(contacts()))
        return true
    }

    function setContactValue(row, role, value) {
        if (row >= 0 && row < contactModel.count)
            contactModel.setProperty(row, role, value)
    }

    // Keys -----------------------------------------------------------------

    function pickKey(row) {
        keyRow = row
        selectRow(keysTable, row, keyModel.count)
    }

    function addKey() {
        if (keyModel.count >= DmrLists.maxKeys) {
            showLimit(qsTr("Ключ не добавлен: радиостанция хранит не больше %1 ключей шифрования.").arg(DmrLists.maxKeys))
            return false
        }
        keyModel.append(DmrLists.newKey(keys()))
        elementEncryptAdded(DmrLists.keyNames(keys()))
        return true
    }

    function removeKey() {
        var row = keyRow
        if (row < 0 || row >= keyModel.count)
            return false
        keyModel.remove(row)
        pickKey(-1)
        elementEncryptAdded(DmrLists.keyNames(keys()))
        return true
    }

    function setKeyText(row, role, text) {
        if (row < 0 || row >= keyModel.count)
            return false
        text = String(text)
        if (role === "name" && (text.length === 0 || text.length > 16))
            return false // the channel table finds keys by name
        if (role === "number" && !/^[0-9A-Fa-f]{4}$/.test(text))
            return false
        keyModel.setProperty(row, role, text)
        if (role === "name")
            elementEncryptAdded(DmrLists.keyNames(keys())) // keep the channel table's names current
        return true
    }

    function retranslateUi() {
        contactsBox.title = qsTr("Контакты")
        nameColumn.title = qsTr("Название")
        typeColumn.title = qsTr("Тип")
        numberColumn.title = qsTr("Идентификатор")
        toneColumn.title = qsTr("Тон")
        typeModel.setProperty(0, "text", qsTr("Персональный"))
        typeModel.setProperty(1, "text", qsTr("Групповой"))
        typeModel.setProperty(2, "text", qsTr("Общий"))
        addContactButton.text = qsTr("Добавить")
        removeContactButton.text = qsTr("Удалить")

        groupsBox.title = qsTr("Группы приема")
        removeGroupButton.text = qsTr("Удалить")
        newGroup.button.text = qsTr("Добавить")
        newGroup.field.placeholderText = qsTr("Название новой группы")
        freeContactLabel.text = qsTr("Общий список контактов")
        memberContactLabel.text = qsTr("Выбранные контакты")
        addMemberButton.text = qsTr("Добавить >>")
        removeMemberButton.text = qsTr("<< Удалить")

        keysBox.title = qsTr("Шифрование")
        keyNameColumn.title = qsTr("Ключ")
        keyValueColumn.title = qsTr("Значение")
        addKeyButton.text = qsTr("Добавить")
        removeKeyButton.text = qsTr("Удалить")

        limitDialog.title = qsTr("Ограничение радиостанции")
    }

    Retranslator { owner: tab }

    ListModel { id: contactModel }
    ListModel { id: keyModel }
    ListModel {
        id: typeModel
        ListElement { text: "" }
        ListElement { text: "" }
        ListElement { text: "" }
    }

    // Column titles: centred, without the room the default keeps for a sort
    // indicator.
    Component {
        id: headerCell
        Rectangle {
            implicitHeight: 26
            color: "#F0F0F0"
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: "#9F9F9F" }
            Rectangle { anchors.right: parent.right; width: 1; height: parent.height; color: "#9F9F9F" }
            Text {
                anchors.fill: parent
                anchors.leftMargin: 3
                anchors.rightMargin: 3
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                color: "#333333"
                text: styleData.value
            }
        }
    }

    LazyMessageDialog {
        id: limitDialog
        host: tab
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Ok
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 10

        GroupBox {
            id: contactsBox
            Layout.fillHeight: true
            Layout.preferredWidth: 500
            implicitHeight: 400
            Layout.minimumHeight: 200

            ColumnLayout {
                anchors.fill: parent
                spacing: 8

                TableView {
                    id: contactsTable
                    objectName: "contactsTable"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    model: contactModel
                    onClicked: tab.pickContact(row)
                    headerDelegate: headerCell
                    rowDelegate: Rectangle {
                        height: 25
                        color: styleData.selected ? "#65c6ff" : (styleData.alternate ? "#F5F5F5" : "white")
                    }

                    TableViewColumn {
                        id: nameColumn
                        role: "name"
                        width: 150 // 16 characters
                        movable: false
                        delegate: CellEditor {
                            objectName: "contactName_" + styleData.row
                            row: styleData.row
                            value: styleData.value !== undefined ? styleData.value : ""
                            maximumLength: 16 // the name field holds 16 characters
                            store: function (text) { return tab.setContactText(row, "name", text) }
                            onFocused: tab.pickContact(row)
                        }
                    }
                    TableViewColumn {
                        id: typeColumn
                        role: "type"
                        width: 140
                        movable: false
                        delegate: ComboBox {
                            objectName: "contactType_" + styleData.row
                            model: typeModel
                            textRole: "text"
                            currentIndex: styleData.value !== undefined ? styleData.value : 0
                            onActivated: {
                                tab.pickContact(styleData.row)
                                tab.setContactValue(styleData.row, "type", index)
                            }
                        }
                    }
                    TableViewColumn {
                        id: numberColumn
                        role: "number"
                        width: 120
                        movable: false
                        delegate: CellEditor {
                            objectName: "contactNumber_" + styleData.row
                            row: styleData.row
                            value: styleData.value !== undefined ? styleData.value : ""
                            validator: IntValidator { bottom: 0; top: 16777215 }
                            store: function (text) { return tab.setContactText(row, "number", text) }
                            onFocused: tab.pickContact(row)
                        }
                    }
                    TableViewColumn {
                        id: toneColumn
                        role: "tone"
                        width: 50
                        movable: false
                        delegate: Item {
                            CheckBox {
                                objectName: "contactTone_" + styleData.row
                                anchors.centerIn: parent
                                checked: styleData.value === 1
                                onClicked: {
                                    tab.pickContact(styleData.row)
                                    tab.setContactValue(styleData.row, "tone", checked ? 1 : 0)
                                }
                            }
                        }
                    }
                }

                RowLayout {
                    spacing: 10
                    Button {
                        id: addContactButton
                        objectName: "addContactButton"
                        Layout.minimumWidth: 100
                        onClicked: tab.addContact()
                    }
                    Button {
                        id: removeContactButton
                        objectName: "removeContactButton"
                        Layout.minimumWidth: 100
                        enabled: tab.contactRow >= 0
                        onClicked: tab.removeContact()
                    }
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 10

            GroupBox {
                id: groupsBox
                // Fixed sizes: computed from the content the width loops on a
                // retranslation, and the height would not let the window shrink.
                implicitWidth: 560
                implicitHeight: 330
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.minimumHeight: 260
                Layout.preferredHeight: 330

                ColumnLayout {
                    anchors.fill: parent
                    spacing: 8

                    RowLayout {
                        spacing: 10
                        ComboBox {
                            id: groupBox
                            objectName: "groupBox"
                            Layout.preferredWidth: 240
                            onActivated: tab.updateGroups(index)
                        }
                        Button {
                            id: removeGroupButton
                            objectName: "removeGroupButton"
                            Layout.minimumWidth: 100
                            enabled: tab.currentGroup >= 0
                            onClicked: tab.removeGroup()
                        }
                    }
                    TitleEntry {
                        id: newGroup
                        fieldWidth: 240
                        field.objectName: "groupTitleField"
                        button.objectName: "addGroupButton"
                        onAdd: tab.addGroup(title)
                    }
                    RowLayout {
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        spacing: 10

                        ColumnLayout {
                            Layout.fillHeight: true
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100 // both lists share the width equally
                            Label { id: freeContactLabel; font.bold: true; elide: Text.ElideRight; Layout.fillWidth: true }
                            PickList {
                                id: freeContactList
                                objectName: "freeContactList"
                                Layout.fillWidth: true
                                Layout.fillHeight: true
                            }
                        }
                        ColumnLayout {
                            Layout.alignment: Qt.AlignVCenter
                            Layout.fillWidth: false
                            spacing: 10
                            Button {
                                id: addMemberButton
                                objectName: "addMemberButton"
                                Layout.fillWidth: true
                                Layout.minimumWidth: 110
                                enabled: tab.currentGroup >= 0 && freeContactList.currentIndex >= 0
                                onClicked: tab.addPickedContact()
                            }
                            Button {
                                id: removeMemberButton
                                objectName: "removeMemberButton"
                                Layout.fillWidth: true
                                Layout.minimumWidth: 110
                                enabled: memberContactList.currentIndex >= 0 && memberContactList.count > 1
                                onClicked: tab.removePickedContact()
                            }
                        }
                        ColumnLayout {
                            Layout.fillHeight: true
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100 // both lists share the width equally
                            Label { id: memberContactLabel; font.bold: true; elide: Text.ElideRight; Layout.fillWidth: true }
                            PickList {
                                id: memberContactList
                                objectName: "memberContactList"
                                Layout.fillWidth: true
                                Layout.fillHeight: true
                            }
                        }
                    }
                }
            }

            GroupBox {
                id: keysBox
                implicitWidth: 560
                implicitHeight: 240
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.minimumHeight: 130
                Layout.preferredHeight: 240

                RowLayout {
                    anchors.fill: parent
                    spacing: 10

                    TableView {
                        id: keysTable
                        objectName: "keysTable"
                        Layout.preferredWidth: 260
                        Layout.fillHeight: true
                        model: keyModel
                        onClicked: tab.pickKey(row)
                        headerDelegate: headerCell
                        rowDelegate: Rectangle {
                            height: 25
                            color: styleData.selected ? "#65c6ff" : (styleData.alternate ? "#F5F5F5" : "white")
                        }

                        TableViewColumn {
                            id: keyNameColumn
                            role: "name"
                            width: 150 // 16 characters
                            movable: false
                            delegate: CellEditor {
                                objectName: "keyName_" + styleData.row
                                row: styleData.row
                                value: styleData.value !== undefined ? styleData.value : ""
                                inputMask: tab.keyNameMask
                                store: function (text) { return tab.setKeyText(row, "name", text) }
                                onFocused: tab.pickKey(row)
                            }
                        }
                        TableViewColumn {
                            id: keyValueColumn
                            role: "number"
                            width: Math.max(80, keysTable.viewport.width - keyNameColumn.width)
                            movable: false
                            delegate: CellEditor {
                                objectName: "keyValue_" + styleData.row
                                row: styleData.row
                                value: styleData.value !== undefined ? styleData.value : ""
                                inputMask: tab.keyValueMask
                                store: function (text) { return tab.setKeyText(row, "number", text) }
                                onFocused: tab.pickKey(row)
                            }
                        }
                    }

                    ColumnLayout {
                        Layout.alignment: Qt.AlignTop
                        spacing: 10
                        Button {
                            id: addKeyButton
                            objectName: "addKeyButton"
                            Layout.minimumWidth: 100
                            onClicked: tab.addKey()
                        }
                        Button {
                            id: removeKeyButton
                            objectName: "removeKeyButton"
                            Layout.minimumWidth: 100
                            enabled: tab.keyRow >= 0
                            onClicked: tab.removeKey()
                        }
                    }
                    Item { Layout.fillWidth: true }
                }
            }
        }
    }
}
