import QtQuick 2.7
import QtQuick.Controls 1.4

// The body of the interchange list dialog: its title, the lines in a
// scrollable text area and a close button. Loaded when the dialog is first
// shown, so that the text area is not made at start-up.
Item {
    id: content
    property Item dialog: null // the list dialog: title, lines, closeText, shown
    function focusClose() { closeButton.forceActiveFocus() }

    Rectangle {
        anchors.fill: parent
        color: "black"
        opacity: 0.25
        MouseArea { anchors.fill: parent; onWheel: {} }
    }
    Rectangle {
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, 760)
        height: Math.min(parent.height - 40, 480)
        color: "#f0f0f0"
        border.color: "#9F9F9F"
        radius: 4
        Text {
            id: titleText
            objectName: "interchangeTitle"
            x: 15
            y: 15
            width: parent.width - 30
            font.pixelSize: 15
            font.bold: true
            color: "#e30413"
            wrapMode: Text.WordWrap
            text: content.dialog ? content.dialog.title : ""
        }
        TextArea {
            id: body
            objectName: "interchangeLines"
            anchors.top: titleText.bottom
            anchors.topMargin: 10
            anchors.bottom: closeButton.top
            anchors.bottomMargin: 10
            x: 15
            width: parent.width - 30
            readOnly: true
            font.family: "monospace"
            text: content.dialog ? content.dialog.lines.join("\n") : ""
        }
        Button {
            id: closeButton
            objectName: "interchangeClose"
            anchors.right: parent.right
            anchors.rightMargin: 15
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            width: 90
            text: content.dialog ? content.dialog.closeText : ""
            onClicked: content.dialog.shown = false
            Keys.onReturnPressed: content.dialog.shown = false
        }
    }
}
