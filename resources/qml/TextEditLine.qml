import QtQuick 2.7

// A labelled read-only line: 13 pt bold centred text in a light-grey frame
// that thickens on hover.
Row {
    id: line
    property alias label: labelText.text
    property alias text: input.text
    property int fieldWidth: 200
    spacing: 10
    height: 30

    Text {
        id: labelText
        anchors.verticalCenter: parent.verticalCenter
        font.pointSize: 11
        color: "#333333"
    }
    Rectangle {
        width: line.fieldWidth
        height: parent.height
        radius: 3
        color: "white"
        border.color: "#C8C8C8"
        border.width: hover.containsMouse ? 2 : 1
        TextInput {
            id: input
            objectName: "serialNumberInput"
            anchors.fill: parent
            anchors.margins: 4
            readOnly: true
            selectByMouse: true
            // 13 pt, smaller where a long serial number would be cut.
            font.pointSize: Math.max(7, Math.min(13, Math.floor(13 * width / Math.max(1, full.width) * 10) / 10))
            font.bold: true
            color: "#333333"
            horizontalAlignment: TextInput.AlignHCenter
            verticalAlignment: TextInput.AlignVCenter
            clip: true
        }
        TextMetrics {
            id: full
            font.pointSize: 13
            font.bold: true
            text: input.text
        }
        MouseArea {
            id: hover
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }
    }
}
