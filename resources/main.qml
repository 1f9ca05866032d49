import QtQuick 2.7
import QtQuick.Window 2.2

Window {
    id: mainWindow
    visible: true
    width: 1200
    height: 700
    minimumWidth: 1200
    minimumHeight: 600
    color: "#F0F0F0"
    title: qsTr("Orvane ") + qsTr("2.7")

    property int languageIndex: -1

    Connections {
        target: Manager
        function onSignalLanguageSettings(check) { mainWindow.languageIndex = check }
    }

    Component.onCompleted: Manager.getSettings()
}
