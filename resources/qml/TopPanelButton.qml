import QtQuick 2.7

// A tool button of the main screen: an icon with its caption below it.
// A light-blue background fades in on hover; icon and caption shift by one
// pixel while pressed.
Item {
    id: button
    property alias text: caption.text
    property alias icon: image.source
    signal clicked()
    height: 60
    opacity: enabled ? 1.0 : 0.4

    Rectangle {
        anchors.fill: parent
        color: "#cde8ff"
        opacity: mouse.containsMouse && button.enabled ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: 150 } }
    }
    Item {
        anchors.fill: parent
        anchors.topMargin: mouse.pressed ? 1 : 0
        anchors.leftMargin: mouse.pressed ? 1 : 0
        Image {
            id: image
            height: button.height * 0.4
            width: height
            sourceSize.height: 96
            anchors.horizontalCenter: parent.horizontalCenter
            y: button.height * 0.6 - height
        }
        Text {
            id: caption
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: image.bottom
            anchors.topMargin: 2
            font.pixelSize: button.height * 0.2
            color: "#333333"
        }
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
