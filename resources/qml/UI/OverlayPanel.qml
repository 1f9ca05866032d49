import QtQuick 2.7

// A panel over the whole window: the rest dimmed and closed to clicks and
// the wheel, the panel (the children of this item) in the middle.
Item {
    property alias panelWidth: panel.width
    property alias panelHeight: panel.height
    default property alias content: panel.data

    Rectangle {
        anchors.fill: parent
        color: "black"
        opacity: 0.25
        MouseArea { anchors.fill: parent; onWheel: {} }
    }
    Rectangle {
        id: panel
        anchors.centerIn: parent
        color: "#f0f0f0"
        border.color: "#9F9F9F"
        radius: 4
    }
}
