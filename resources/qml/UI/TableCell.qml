import QtQuick 2.7

// One cell of the channel table: a text, or a check mark; an edit mark on the
// right for cells edited with the value editor. Cells that do not apply to the
// channel's type are greyed and show no text. Kept light: a table shows a few
// hundred of them.
Item {
    id: cell
    property alias text: label.text
    property bool greyed: false
    property bool editable: false
    property bool checkBox: false
    property bool checked: false
    property bool alignLeft: false
    height: 25

    Rectangle {
        anchors.fill: parent
        visible: cell.greyed
        color: "#D4D4D4"
    }
    Text {
        id: label
        visible: !cell.greyed && !cell.checkBox
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: cell.editable ? 22 : 4
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: cell.alignLeft ? Text.AlignLeft : Text.AlignHCenter
        elide: Text.ElideRight
        font.pixelSize: 11
        color: "#333333"
    }
    Rectangle {
        visible: cell.checkBox
        anchors.centerIn: parent
        width: 15
        height: 15
        radius: 2
        border.color: "#7A7A7A"
        color: "white"
        Image {
            anchors.fill: parent
            visible: cell.checked
            source: "qrc:/img/table/check.png"
            sourceSize.width: 32
            asynchronous: false
        }
    }
    Image {
        visible: cell.editable
        anchors.right: parent.right
        anchors.rightMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        width: 16
        height: 16
        source: "qrc:/img/table/edit.png"
        sourceSize.width: 32
    }
    Rectangle { anchors.right: parent.right; width: 1; height: parent.height; color: "#9F9F9F" }
}
