import QtQuick 2.7
import QtQuick.Controls 1.4

// A modal message inside the window: a title, a text and "OK".
OverlayPanel {
    id: box
    objectName: "messageBox"
    visible: false
    property alias title: titleText.text
    property alias text: bodyText.text

    function show(t, body) {
        titleText.text = t
        bodyText.text = body
        visible = true
        okButton.forceActiveFocus()
    }
    function close() { visible = false }

    function retranslateUi() { okButton.text = qsTr("OK") }
    Retranslator { owner: box }

    panelWidth: 420
    panelHeight: column.height + 30
    Column {
        id: column
        x: 15
        y: 15
        width: parent.width - 30
        spacing: 12
        Text {
            id: titleText
            objectName: "messageTitle"
            width: parent.width
            font.pixelSize: 15
            font.bold: true
            color: "#e30413"
            wrapMode: Text.WordWrap
        }
        Text {
            id: bodyText
            objectName: "messageText"
            width: parent.width
            font.pixelSize: 13
            color: "#333333"
            wrapMode: Text.WordWrap
        }
        Button {
            id: okButton
            objectName: "messageOk"
            anchors.right: parent.right
            width: 80
            onClicked: box.close()
            Keys.onReturnPressed: box.close()
        }
    }
}
