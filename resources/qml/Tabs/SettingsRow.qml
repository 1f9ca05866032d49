import QtQuick 2.7

// One labelled row of a settings group: the label on the left, the control
// (the row's child) filling the rest. Long labels shrink rather than clip.
Item {
    id: row
    property alias text: label.text
    property int labelWidth: 280
    default property alias content: holder.data

    width: parent ? parent.width : 400
    height: 25

    Text {
        id: label
        width: row.labelWidth
        height: parent.height
        font.pixelSize: 13
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 10
        verticalAlignment: Text.AlignVCenter
        color: enabled ? "#000000" : "#808080"
    }
    Item {
        id: holder
        anchors { left: label.right; leftMargin: 6; right: parent.right }
        height: parent.height
    }
}
