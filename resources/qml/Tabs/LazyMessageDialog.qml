import QtQuick 2.7
import QtQuick.Dialogs 1.2

// A warning box made on first use: a MessageDialog costs a large part of a
// tab's creation, and most sessions never show one. Offers what the tabs use
// of MessageDialog: title, text, icon, buttons, open(), close(), visible,
// and `answered` with the button the user chose.
QtObject {
    id: box

    property Item host: null // the item the dialog belongs to
    property string title
    property string text
    property int icon: StandardIcon.NoIcon
    property int standardButtons: StandardButton.Ok
    readonly property bool visible: dialog !== null && dialog.visible
    property var dialog: null
    signal answered(int button)

    property Component component: Component {
        MessageDialog {
            title: box.title
            text: box.text
            icon: box.icon
            standardButtons: box.standardButtons
            onAccepted: box.answered(clickedButton)
            onRejected: box.answered(clickedButton)
            onDiscard: box.answered(clickedButton)
            onYes: box.answered(clickedButton)
            onNo: box.answered(clickedButton)
        }
    }

    function open() {
        if (dialog === null)
            dialog = component.createObject(host !== null ? host : box)
        dialog.open()
    }
    function close() {
        if (dialog !== null)
            dialog.close()
    }
}
