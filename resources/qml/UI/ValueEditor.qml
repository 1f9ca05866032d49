import QtQuick 2.7
import QtQuick.Controls 1.4

// The value editor of the channel table: a small panel with an editable combo
// box of the column's values. A click outside the panel closes it unchanged.
Item {
    id: editor
    objectName: "valueEditor"
    visible: false

    property int row: -1
    property string role: ""
    property alias choices: combo.model
    property alias combo: combo
    property alias panel: panel

    signal accepted(int row, string role, int index, string text)

    function retranslateUi() {
        label.text = qsTr("Значение:")
        okButton.text = qsTr("OK")
        closeButton.text = qsTr("Закрыть")
    }

    function open(r, rl, list, current, px, py) {
        row = r
        role = rl
        combo.model = list
        var i = list.indexOf(current)
        combo.currentIndex = i < 0 ? 0 : i
        combo.editText = i < 0 ? current : list[combo.currentIndex]
        panel.x = px
        panel.y = Math.max(0, py)
        visible = true
        combo.forceActiveFocus()
    }
    function close() {
        visible = false
    }
    function accept() {
        var t = combo.editText
        var i = combo.find(t)
        accepted(row, role, i >= 0 ? i : -1, t)
    }

    Component.onCompleted: retranslateUi()

    MouseArea {
        anchors.fill: parent
        onClicked: editor.close()
        onWheel: {}
    }

    Rectangle {
        id: panel
        width: 250
        height: 96
        color: "#f0f0f0"
        border.color: "#9F9F9F"
        border.width: 1
        MouseArea { anchors.fill: parent } // keeps clicks inside from closing

        Text {
            id: label
            x: 10
            y: 12
            font.pixelSize: 12
            color: "#333333"
        }
        ComboBox {
            id: combo
            objectName: "valueCombo"
            x: 80
            y: 8
            width: 160
            editable: true
            onAccepted: editor.accept()
        }
        Button {
            id: okButton
            objectName: "valueOk"
            x: 60
            y: 56
            width: 80
            onClicked: editor.accept()
        }
        Button {
            id: closeButton
            objectName: "valueClose"
            x: 150
            y: 56
            width: 90
            onClicked: editor.close()
        }
    }
    Keys.onEscapePressed: close()
}
