import QtQuick 2.7
import QtTest 1.2

TestCase {
    name: "Window"
    when: windowShown

    SignalSpy { id: languageSpy; target: Manager; signalName: "signalLanguageSettings" }

    function test_mainDocumentLoads() {
        var component = Qt.createComponent("qrc:/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        var window = component.createObject(null)
        verify(window !== null)
        compare(window.title, "Orvane 2.7")
        // The document asked Manager for the stored language while completing.
        compare(languageSpy.count, 1)
        verify(window.languageIndex >= 0)
        window.destroy()
    }
}
