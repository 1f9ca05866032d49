import QtQuick 2.7

// GPS tab (placeholder until the GPS log view lands).
Item {
    id: tab
    property var points: []

    signal readGPSClicked()
    signal saveGPSClicked()
    signal openGPSClicked()

    function setGpsModel(list) { points = list || [] }
}
