import QtQuick 2.7
import QtQuick.Controls 1.4

// The yardstick for the program's start-up: the least a Quick Controls 1
// window with tabs can be.
ApplicationWindow {
    visible: true
    width: 1200
    height: 700
    title: "Bare"

    TabView {
        anchors.fill: parent
        Tab {
            title: "First"
            Button {
                text: "Button"
            }
        }
        Tab {
            title: "Second"
            Item {}
        }
    }
}
