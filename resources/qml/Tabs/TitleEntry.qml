import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.1

// The title of a new list entry (a zone, a receive group) and its "add"
// button: the radio keeps 16 characters; an empty title adds nothing.
RowLayout {
    id: entry
    property alias field: field
    property alias button: button
    property real fieldWidth: 300
    signal add(string title)
    spacing: 10

    TextField {
        id: field
        Layout.preferredWidth: entry.fieldWidth
        maximumLength: 16
        onAccepted: if (text.length > 0) entry.add(text)
    }
    Button {
        id: button
        Layout.minimumWidth: 100
        enabled: field.text.length > 0
        onClicked: entry.add(field.text)
    }
}
