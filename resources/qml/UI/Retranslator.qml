import QtQuick 2.7

// Keeps the texts of `owner` in the chosen language: calls its
// retranslateUi() whenever Manager reports a new one.
Connections {
    property var owner
    target: typeof Manager !== "undefined" ? Manager : null
    ignoreUnknownSignals: true
    function onLanguageChanged() { owner.retranslateUi() }
}
