import QtQuick 2.7
import QtQuick.Controls 1.4
import "../UI"
import QtQuick.Layouts 1.1
import QtQuick.Dialogs 1.2
import "ZoneLists.js" as ZoneLists

// Zones tab: groups channels into zones.
Item {
    id: tab

    // The zones, {"title", "selectedChannels"}, as edited here; handed back
    // for writing in the same form.
    property var zonesList: []
    // {"id", "name"} of every channel, in channel order.
    property var channels: []
    property int currentZone: -1

    readonly property alias zoneBox: zoneBox
    readonly property alias freeList: freeList
    readonly property alias memberList: memberList
    readonly property alias limitDialog: limitDialog

    function init(zoneList, freqList) {
        zonesList = ZoneLists.copyZones(zoneList)
        channels = ZoneLists.copyChannels(freqList)
        showZone(zonesList.length > 0 ? 0 : -1)
    }

    function clearAll() {
        zonesList = []
        channels = []
        newZone.field.text = ""
        showZone(-1)
    }

    function zone() {
        return currentZone >= 0 && currentZone < zonesList.length ? zonesList[currentZone] : null
    }

    function showZone(index) {
        var titles = []
        for (var i = 0; i < zonesList.length; ++i)
            titles.push(zonesList[i].title)
        zoneBox.model = titles
        currentZone = index
        zoneBox.currentIndex = index
        refreshLists(-1)
    }

    // memberIndex: the zone entry to keep selected (-1 for none).
    function refreshLists(memberIndex) {
        var z = zone()
        freeList.model = ZoneLists.freeChannels(channels, z)
        freeList.currentIndex = -1
        memberList.model = ZoneLists.members(channels, z)
        memberList.currentIndex = memberIndex
    }

    // The zones are replaced rather than changed in place, so that bindings
    // on zonesList see every edit.
    function commit(zones, index, memberIndex) {
        zonesList = zones
        if (index !== currentZone)
            showZone(index)
        else
            refreshLists(memberIndex)
    }

    function showLimit(text) {
        limitDialog.text = text
        limitDialog.open()
    }

    function addZone(title) {
        var zones = ZoneLists.copyZones(zonesList)
        var result = ZoneLists.addZone(zones, title)
        if (result === "full") {
            showLimit(qsTr("Зона не добавлена: радиостанция хранит не больше %1 зон.").arg(ZoneLists.maxZones))
            return false
        }
        if (result !== "ok")
            return false
        zonesList = zones
        showZone(zones.length - 1)
        newZone.field.text = ""
        return true
    }

    function removeZone() {
        if (!zone())
            return false
        var zones = ZoneLists.copyZones(zonesList)
        zones.splice(currentZone, 1)
        zonesList = zones
        showZone(zones.length > 0 ? 0 : -1)
        return true
    }

    // Appends the channel picked in the left list to the zone.
    function addPickedChannel() {
        var free = freeList.model
        if (!zone() || freeList.currentIndex < 0 || freeList.currentIndex >= free.length)
            return false
        var zones = ZoneLists.copyZones(zonesList)
        var result = ZoneLists.addChannel(zones[currentZone], free[freeList.currentIndex].id)
        if (result === "full") {
            showLimit(qsTr("Канал не добавлен: в зоне может быть не больше %1 каналов.").arg(ZoneLists.maxZoneChannels))
            return false
        }
        if (result !== "ok")
            return false
        commit(zones, currentZone, -1)
        return true
    }

    // Takes the entry picked in the right list out of the zone.
    function removePickedChannel() {
        if (!zone())
            return false
        var zones = ZoneLists.copyZones(zonesList)
        if (ZoneLists.removeChannelAt(zones[currentZone], memberList.currentIndex) !== "ok")
            return false
        commit(zones, currentZone, -1)
        return true
    }

    function movePickedChannel(delta) {
        if (!zone() || memberList.currentIndex < 0)
            return false
        var zones = ZoneLists.copyZones(zonesList)
        var from = memberList.currentIndex
        var to = ZoneLists.moveChannel(zones[currentZone], from, delta)
        if (to === from)
            return false
        commit(zones, currentZone, to)
        return true
    }

    function retranslateUi() {
        removeZoneButton.text = qsTr("Удалить")
        newZone.button.text = qsTr("Добавить")
        newZone.field.placeholderText = qsTr("Название новой зоны")
        freeLabel.text = qsTr("Общий список каналов")
        memberLabel.text = qsTr("Выбранные каналы")
        addChannelButton.text = qsTr("Добавить >>")
        removeChannelButton.text = qsTr("<< Удалить")
        limitDialog.title = qsTr("Ограничение радиостанции")
    }

    Retranslator { owner: tab }

    LazyMessageDialog {
        id: limitDialog
        host: tab
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Ok
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        RowLayout {
            spacing: 10
            ComboBox {
                id: zoneBox
                objectName: "zoneBox"
                Layout.preferredWidth: 300
                onActivated: tab.showZone(index)
            }
            Button {
                id: removeZoneButton
                objectName: "removeZoneButton"
                Layout.minimumWidth: 100
                enabled: tab.currentZone >= 0
                onClicked: tab.removeZone()
            }
        }

        TitleEntry {
            id: newZone
            field.objectName: "newZoneField"
            button.objectName: "addZoneButton"
            onAdd: tab.addZone(title)
        }

        RowLayout {
            Layout.fillHeight: true
            Layout.topMargin: 10
            spacing: 15

            ColumnLayout {
                Layout.fillHeight: true
                Label { id: freeLabel; font.bold: true }
                PickList {
                    id: freeList
                    objectName: "freeList"
                    Layout.preferredWidth: 300
                    Layout.fillHeight: true
                    view.onCountChanged: if (view.currentIndex >= view.count) view.currentIndex = -1
                }
            }

            ColumnLayout {
                Layout.alignment: Qt.AlignVCenter
                Layout.fillWidth: false
                spacing: 10
                Button {
                    id: addChannelButton
                    objectName: "addChannelButton"
                    Layout.fillWidth: true
                    Layout.minimumWidth: 130
                    enabled: tab.currentZone >= 0 && freeList.currentIndex >= 0
                    onClicked: tab.addPickedChannel()
                }
                Button {
                    id: removeChannelButton
                    objectName: "removeChannelButton"
                    Layout.fillWidth: true
                    Layout.minimumWidth: 130
                    enabled: memberList.currentIndex >= 0 && memberList.count > 1
                    onClicked: tab.removePickedChannel()
                }
            }

            ColumnLayout {
                Layout.fillHeight: true
                Label { id: memberLabel; font.bold: true }
                PickList {
                    id: memberList
                    objectName: "memberList"
                    Layout.preferredWidth: 300
                    Layout.fillHeight: true
                }
            }

            ColumnLayout {
                Layout.alignment: Qt.AlignVCenter
                spacing: 10
                ArrowButton {
                    objectName: "upButton"
                    source: "qrc:/img/tabZones/up.png"
                    enabled: memberList.currentIndex > 0
                    onClicked: tab.movePickedChannel(-1)
                }
                ArrowButton {
                    objectName: "downButton"
                    source: "qrc:/img/tabZones/down.png"
                    enabled: memberList.currentIndex >= 0 && memberList.currentIndex < memberList.count - 1
                    onClicked: tab.movePickedChannel(1)
                }
            }

            Item { Layout.fillWidth: true }
        }
    }
}
