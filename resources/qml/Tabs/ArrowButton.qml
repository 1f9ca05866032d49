import QtQuick 2.7

// A square image button (the zone order arrows).
Rectangle {
    id: root
    property alias source: image.source
    signal clicked()

    width: 40
    height: 40
    radius: 4
    color: area.pressed ? "#d0ecff" : (area.containsMouse ? "#e6f5ff" : "transparent")
    border.color: area.containsMouse ? "#65c6ff" : "#9F9F9F"
    border.width: 1
    opacity: enabled ? 1.0 : 0.35

    Image {
        id: image
        anchors.centerIn: parent
        anchors.verticalCenterOffset: area.pressed ? 1 : 0
        width: parent.width * 0.6
        height: parent.height * 0.6
        fillMode: Image.PreserveAspectFit
        smooth: true
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
    }
}
