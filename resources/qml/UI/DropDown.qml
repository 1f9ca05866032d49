import QtQuick 2.7
import QtQuick.Window 2.2

// A combo box for a few fixed texts, drawn with plain items: the Controls 1
// ComboBox makes a text editor and a menu when it is created, which costs
// the window's start-up more than the rest of the top panel. Offers what the
// top panel uses of it: model, currentIndex, currentText, activated(index);
// the list opens on a click, the arrow keys choose the next or previous
// entry.
Rectangle {
    id: box
    property var model: []
    property int currentIndex: 0
    readonly property int count: model ? model.length : 0
    readonly property string currentText: currentIndex >= 0 && currentIndex < count
                                          ? String(model[currentIndex]) : ""
    signal activated(int index)

    implicitHeight: 24
    radius: 3
    color: mouse.containsMouse ? "#E4F1FF" : "#F6F6F6"
    border.color: activeFocus ? "#4A90D9" : "#9F9F9F"
    activeFocusOnTab: true

    function choose(index) {
        popup.visible = false
        if (index < 0 || index >= count)
            return
        currentIndex = index
        activated(index)
    }
    function openList() {
        var root = box.Window.contentItem
        if (root === null)
            return
        popup.parent = root
        var p = box.mapToItem(root, 0, box.height)
        list.x = p.x
        list.y = p.y
        popup.visible = true
        box.forceActiveFocus()
    }

    Keys.onDownPressed: choose(Math.min(count - 1, currentIndex + 1))
    Keys.onUpPressed: choose(Math.max(0, currentIndex - 1))
    Keys.onEscapePressed: popup.visible = false

    Text {
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        text: box.currentText
        font.pixelSize: 13
        color: "#333333"
    }
    Text {
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        text: "\u25BE"
        font.pixelSize: 12
        color: "#555555"
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: popup.visible ? popup.visible = false : box.openList()
    }

    // The open list, over the whole window; a click beside it closes it.
    Item {
        id: popup
        visible: false
        anchors.fill: parent
        z: 10000
        MouseArea {
            anchors.fill: parent
            onClicked: popup.visible = false
        }
        Rectangle {
            id: list
            width: box.width
            height: column.height + 2
            color: "white"
            border.color: "#9F9F9F"
            Column {
                id: column
                x: 1
                y: 1
                width: parent.width - 2
                Repeater {
                    model: popup.visible ? box.model : []
                    Rectangle {
                        width: column.width
                        height: 24
                        color: entry.containsMouse || index === box.currentIndex ? "#CDE8FF" : "white"
                        Text {
                            x: 7
                            anchors.verticalCenter: parent.verticalCenter
                            text: modelData
                            font.pixelSize: 13
                            color: "#333333"
                        }
                        MouseArea {
                            id: entry
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: box.choose(index)
                        }
                    }
                }
            }
        }
    }
}
