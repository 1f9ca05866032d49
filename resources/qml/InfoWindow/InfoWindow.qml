import QtQuick 2.7
import QtQuick.Window 2.2

// The About window shown at start; the main screen is enabled once it is
// closed (button or window frame).
Window {
    id: about
    objectName: "aboutWindow"
    width: 500
    height: 450
    minimumWidth: 500
    maximumWidth: 500
    minimumHeight: 450
    maximumHeight: 450
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    color: "white"

    readonly property string webAddress: "https://orvane.example"

    function retranslateUi() {
        title = qsTr("О программе")
        maker.text = qsTr("\"Варлин\"")
        programName.text = qsTr("Orvane ") + Qt.application.version
        madeByLabel.text = qsTr("Произведено:")
        siteLabel.text = qsTr("Сайт:")
        buildLabel.text = qsTr("Сборка от:")
        makerName.text = qsTr("Orvane")
        closeText.text = qsTr("Закрыть")
    }
    Component.onCompleted: retranslateUi()
    Connections {
        target: Manager
        function onLanguageChanged() { about.retranslateUi() }
    }
    onClosing: close.accepted = true

    Text {
        id: maker
        anchors.horizontalCenter: parent.horizontalCenter
        y: 40
        font.pixelSize: 60
        font.bold: true
        color: "#e30413"
    }
    Text {
        id: programName
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: maker.bottom
        anchors.topMargin: 50
        font.pixelSize: 16
        color: "#e30413"
    }
    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: programName.bottom
        anchors.topMargin: 50
        spacing: 20
        Column {
            spacing: 8
            Text { id: madeByLabel; font.pixelSize: 13; color: "#333333" }
            Text { id: siteLabel; font.pixelSize: 13; color: "#333333" }
            Text { id: buildLabel; font.pixelSize: 13; color: "#333333" }
        }
        Column {
            spacing: 8
            Text { id: makerName; font.pixelSize: 13; color: "#333333" }
            Text {
                id: link
                text: about.webAddress
                font.pixelSize: 13
                font.underline: linkArea.containsMouse
                color: "#008aff"
                MouseArea {
                    id: linkArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: Qt.openUrlExternally(about.webAddress)
                }
            }
            Text { text: "13.12.2018"; font.pixelSize: 13; color: "#333333" }
        }
    }
    Rectangle {
        id: closeButton
        objectName: "aboutCloseButton"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 60
        width: 120
        height: 32
        radius: 4
        color: closeArea.pressed ? "#f0f0f0" : "white"
        border.color: "#575757"
        border.width: closeArea.containsMouse ? 2 : 1
        Text { id: closeText; anchors.centerIn: parent; font.pixelSize: 13; color: "#333333" }
        MouseArea {
            id: closeArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: about.close()
        }
    }
}
