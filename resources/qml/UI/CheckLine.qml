import QtQuick 2.7

// A check box with its label, drawn with plain items: the Controls 1
// CheckBox costs the window's start-up more than it shows. A click or the
// space bar toggles `checked`, then `clicked` is emitted.
Item {
    id: line
    property alias text: label.text
    property bool checked: false
    signal clicked()

    implicitWidth: mark.width + 6 + label.implicitWidth
    implicitHeight: Math.max(mark.height, label.implicitHeight)
    height: implicitHeight
    activeFocusOnTab: true
    opacity: enabled ? 1.0 : 0.5

    function toggle() {
        checked = !checked
        clicked()
    }
    Keys.onSpacePressed: toggle()

    Rectangle {
        id: mark
        width: 14
        height: 14
        anchors.verticalCenter: parent.verticalCenter
        radius: 2
        color: mouse.pressed ? "#E4F1FF" : "white"
        border.color: line.activeFocus || mouse.containsMouse ? "#4A90D9" : "#8A8A8A"
        Text {
            anchors.centerIn: parent
            visible: line.checked
            text: "\u2713"
            font.pixelSize: 12
            font.bold: true
            color: "#333333"
        }
    }
    Text {
        id: label
        anchors.left: mark.right
        anchors.leftMargin: 6
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        wrapMode: Text.WordWrap
        font.pixelSize: 12
        color: "#333333"
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            line.forceActiveFocus()
            line.toggle()
        }
    }
}
