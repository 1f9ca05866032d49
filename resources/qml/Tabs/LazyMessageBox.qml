import QtQuick 2.7
import QtQuick.Dialogs 1.2

// The message box behind LazyMessageDialog, which it mirrors.
MessageDialog {
    property QtObject box
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
