import QtQuick 2.7

// Keeps the texts of `owner` in the chosen language: calls its
// retranslateUi() once made (unless atStart is false) and whenever Manager
// reports a new language.
Connections {
    property var owner
    property bool atStart: true
    Component.onCompleted: if (atStart) owner.retranslateUi()
    target: typeof Manager !== "undefined" ? Manager : null
    ignoreUnknownSignals: true
    function onLanguageChanged() { owner.retranslateUi() }
}
