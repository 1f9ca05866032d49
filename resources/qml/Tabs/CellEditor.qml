import QtQuick 2.7

// A table cell editor: shows `value`, hands an accepted edit to `store` and
// shows the stored value again when `store` refuses it or the edit is left
// unaccepted.
TextInput {
    id: editor
    property string value
    property int row: -1
    property var store: function (text) { return false }
    // The text when editing began; an edit that leaves it unchanged stores
    // nothing (an input mask may show a value differently from its text).
    property string original
    signal focused()

    text: value
    anchors.fill: parent
    leftPadding: 5
    rightPadding: 5
    verticalAlignment: TextInput.AlignVCenter
    color: "#333333"
    selectByMouse: true
    autoScroll: activeFocus // show the start of a long text when not editing
    clip: true
    onActiveFocusChanged: {
        if (activeFocus) {
            original = text
            focused()
        } else {
            text = value
        }
    }
    onEditingFinished: {
        if (text !== original && !store(text))
            text = value
        original = text
    }
    onValueChanged: if (!activeFocus) text = value
}
