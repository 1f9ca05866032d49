import QtQuick 2.7
import QtQuick.Controls 1.4

// The automatic backups, newest first: the user picks one to open.
OverlayPanel {
    id: picker
    objectName: "backupPicker"
    visible: false
    property var backups: []
    property int current: -1
    signal picked(string url)

    // list: maps {"url", "time", "model", "radioId"}, newest first.
    function show(list) {
        backups = list || []
        current = backups.length > 0 ? 0 : -1
        visible = true
    }
    function openCurrent() {
        if (current < 0 || current >= backups.length)
            return
        var url = String(backups[current].url)
        visible = false
        picked(url)
    }
    function describe(b) {
        var t = new Date(b.time)
        return (isNaN(t.getTime()) ? String(b.time) : t.toLocaleString(Qt.locale(), Locale.ShortFormat))
                + "   " + String(b.model || "") + "   ID " + String(b.radioId || "")
    }
    function retranslateUi() {
        titleText.text = qsTr("Восстановить из резервной копии")
        emptyText.text = qsTr("Резервных копий нет")
        openButton.text = qsTr("Открыть")
        closeButton.text = qsTr("Отмена")
    }
    Retranslator { owner: picker }

    panelWidth: 520
    panelHeight: 400
    Text {
        id: titleText
        x: 15; y: 12
        font.pixelSize: 15
        font.bold: true
    }
    Rectangle {
        x: 15; y: 40
        width: parent.width - 30
        height: parent.height - 95
        color: "white"
        border.color: "#9F9F9F"
        ListView {
            id: list
            objectName: "backupList"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            model: picker.backups
            delegate: Rectangle {
                width: list.width
                height: 24
                color: index === picker.current ? "#65c6ff" : "white"
                Text {
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    font.pixelSize: 13
                    text: picker.describe(modelData)
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: picker.current = index
                    onDoubleClicked: picker.openCurrent()
                }
            }
        }
        Text {
            id: emptyText
            anchors.centerIn: parent
            visible: picker.backups.length === 0
            color: "#808080"
        }
    }
    Row {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 15
        spacing: 8
        Button {
            id: openButton
            objectName: "backupOpen"
            enabled: picker.current >= 0
            onClicked: picker.openCurrent()
        }
        Button {
            id: closeButton
            onClicked: picker.visible = false
        }
    }
}
