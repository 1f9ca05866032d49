import QtQuick 2.7

// Buttons tab (placeholder until the buttons editor lands).
Item {
    id: tab
    property var buttons: ({})

    function init(map) { buttons = map || {} }
    function getSettings() { return buttons }
}
