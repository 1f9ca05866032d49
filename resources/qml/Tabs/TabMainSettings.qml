import QtQuick 2.7

// Basic settings tab (placeholder until the settings editor lands).
Item {
    id: tab
    property var basic: ({})
    property var gpsSetup: ({})

    function initBasicSettings(map) { basic = map || {} }
    function initGPSSettings(map) { gpsSetup = map || {} }
    function initServises(serial, model, hw) {}
    function getSettings() { return basic }
}
