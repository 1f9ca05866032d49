import QtQuick 2.7
import QtQuick.Controls 1.4

// A framed list of names; a click picks an entry and highlights it.
// The model is a JS array of objects with a "name".
Rectangle {
    id: root
    property alias model: view.model
    property alias currentIndex: view.currentIndex
    property alias view: view
    readonly property int count: view.count
    signal picked(int index)

    color: "white"
    border.color: "#9F9F9F"
    border.width: 1

    ScrollView {
        anchors.fill: parent
        anchors.margins: 1
        ListView {
            id: view
            currentIndex: -1
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            delegate: Rectangle {
                width: view.width
                height: 24
                color: index === view.currentIndex ? "#65c6ff" : "transparent"
                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 6
                    anchors.rightMargin: 6
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    color: "#333333"
                    text: modelData.name
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        view.currentIndex = index
                        root.picked(index)
                    }
                }
            }
        }
    }
}
