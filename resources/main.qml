import QtQuick 2.7
import QtQuick.Window 2.2
import "qml"
import "qml/InfoWindow"

Window {
    id: mainWindow
    visible: true
    width: 1200
    height: 700
    minimumWidth: 1200
    minimumHeight: 600
    color: "#F0F0F0"

    property alias mainScreen: mainScreen
    property alias aboutWindow: aboutWindow
    readonly property int languageIndex: mainScreen.topPanel.languageIndex

    function retranslateUi() {
        // While the radio is emulated the title says so, so that nobody takes
        // a write for one to a real radio.
        title = qsTr("Orvane ") + Qt.application.version
                + (Manager.emulated ? qsTr(" — ЭМУЛЯТОР РАДИОСТАНЦИИ") : "")
    }
    Component.onCompleted: retranslateUi()
    Connections {
        target: Manager
        function onLanguageChanged() { mainWindow.retranslateUi() }
    }

    // Edits neither saved nor written are not dropped without asking.
    onClosing: if (!mainScreen.closeAllowed()) close.accepted = false

    MainScreen {
        id: mainScreen
        anchors.fill: parent
        enabled: false
        onCloseAccepted: mainWindow.close()
    }
    // Dims the main screen until the About window is closed.
    Rectangle {
        anchors.fill: parent
        color: "black"
        opacity: 0.5
        visible: !mainScreen.enabled
        MouseArea { anchors.fill: parent }
    }

    InfoWindow {
        id: aboutWindow
        visible: true
        onVisibleChanged: if (!visible) mainScreen.enabled = true
    }
}
