import QtQuick.Dialogs 1.2

// The file dialog of the window, one file at a time, starting in the home
// folder. A document of its own, loaded by URL on first use, so that the
// dialog module's types are not loaded at start-up.
FileDialog {
    objectName: "fileDialog"
    folder: shortcuts.home
    selectMultiple: false
    selectFolder: false
}
