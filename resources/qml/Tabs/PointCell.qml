import QtQuick 2.7

// A cell of the GPS point table.
Text {
    height: 20
    font.pixelSize: 11
    color: "#333333"
    elide: Text.ElideRight
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
}
