import QtQuick 2.7
import QtQuick.Dialogs 1.2
import QtQuick.Window 2.2

// A warning box made on first use: a MessageDialog costs a large part of a
// tab's creation, and most sessions never show one. Its document is loaded by
// URL only then, so that the dialog types are not loaded before. Offers what
// the tabs use of MessageDialog: title, text, icon, buttons, open(), close(),
// visible, and `answered` with the button the user chose.
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
    // The box is a window of its own: once it is answered, the window it was
    // asked from takes the keys again, else no item there has the focus.
    onAnswered: {
        if (host !== null && host.Window.window !== null)
            host.Window.window.requestActivate()
    }

    function open() {
        if (dialog === null)
            dialog = Qt.createComponent("LazyMessageBox.qml").createObject(host !== null ? host : box,
                                                                          { "box": box })
        dialog.open()
    }
    function close() {
        if (dialog !== null)
            dialog.close()
    }
}
