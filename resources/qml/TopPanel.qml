import QtQuick 2.7
import QtQuick.Controls 1.4
import "UI"

// Top panel: logo, serial number, the factory-settings button and the
// language selector.
Rectangle {
    id: panel
    objectName: "topPanel"
    height: 60
    color: "white"

    property alias serialNumber: serialLine.text
    property alias defaultButton: defaultButton
    property alias languageSelector: language
    property bool emulated: typeof Manager !== "undefined" && Manager.emulated === true
    property int languageIndex: -1
    readonly property var languages: ["ru", "en"]

    signal defaultSettingsClicked()

    function retranslateUi() {
        serialLine.label = qsTr("Серийный номер")
        defaultButton.text = qsTr("Заводские настройки")
        emulatorText.text = qsTr("ЭМУЛЯТОР РАДИОСТАНЦИИ")
    }

    // Applies a language by its index in the selector.
    function applyLanguage(index) {
        if (index < 0 || index >= languages.length)
            index = 0
        language.currentIndex = index
        languageIndex = index
        Manager.setTranslation(languages[index], index)
    }

    Component.onCompleted: {
        retranslateUi()
        Manager.getSettings()
    }
    Connections {
        target: Manager
        function onLanguageChanged() { panel.retranslateUi() }
        function onSignalLanguageSettings(check) { panel.applyLanguage(check) }
    }

    Image {
        id: logo
        anchors.left: parent.left
        anchors.leftMargin: 30
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height * 0.4
        fillMode: Image.PreserveAspectFit
        source: "qrc:/img/logo_white.png"
        sourceSize.height: 96
    }

    // Shown while the program talks to the emulated radio, so that nobody
    // takes a write for one to a real radio.
    Rectangle {
        id: emulatorBadge
        objectName: "emulatorBadge"
        visible: panel.emulated
        anchors.left: logo.right
        anchors.leftMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        width: emulatorText.implicitWidth + 20
        height: 26
        radius: 4
        color: "#e30413"
        Text {
            id: emulatorText
            anchors.centerIn: parent
            color: "white"
            font.bold: true
            font.pixelSize: 12
        }
    }

    TextEditLine {
        id: serialLine
        objectName: "serialNumberField"
        anchors.centerIn: parent
        fieldWidth: 200
    }

    Button {
        id: defaultButton
        objectName: "buttonDefaultSettings"
        anchors.right: parent.right
        anchors.rightMargin: 100
        anchors.verticalCenter: parent.verticalCenter
        onClicked: panel.defaultSettingsClicked()
    }

    InterchangeMenu {
        anchors.right: defaultButton.left
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
    }

    DropDown {
        id: language
        objectName: "languageSelector"
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 70
        model: panel.languages
        onActivated: {
            panel.languageIndex = index
            Manager.setTranslation(panel.languages[index], index)
        }
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: "#575757"
    }
}
