import QtQuick 2.7
import QtTest 1.2

// The window's import: a bad document is listed line by line in the dialog
// and changes nothing; a good one replaces the image and counts as unsaved.
TestCase {
    name: "InterchangeImport"
    when: windowShown

    Item { id: root; width: 800; height: 600 }
    SignalSpy { id: refilled; target: Manager; signalName: "dataReadyReadFromDevice" }

    function test_importErrorsListed() {
        verify(Radio.reset()) // the radio as the factory left it
        Manager.readDataFromDevice()
        compare(Manager.diffWithFile("default400-470.dcc"), "")
        var menu = Qt.createComponent("qrc:/qml/UI/InterchangeMenu.qml").createObject(root)
        verify(menu !== null)
        menu.overlayParent = root
        refilled.clear()

        menu.importFrom(Qt.resolvedUrl("bad-document.yaml"))
        var dialog = findChild(root, "interchangeDialog")
        verify(dialog.shown)
        compare(dialog.lines.length, 2)
        verify(dialog.lines[0].indexOf("line 3, column 19: channels[0].rx_frequency") === 0,
               dialog.lines[0])
        verify(dialog.lines[1].indexOf("line 4, column 12: channels[0].power") === 0)
        compare(refilled.count, 0)
        compare(Manager.diffWithFile("default400-470.dcc"), "")
        findChild(root, "interchangeClose").clicked()
        verify(!dialog.shown)

        menu.importFrom(Qt.resolvedUrl("good-document.yaml"))
        verify(!dialog.shown)
        compare(refilled.count, 1)
        verify(Manager.hasUnsavedChanges([], [], [], [], {}, []))
        verify(Manager.diffWithFile("default400-470.dcc").indexOf("channels:") >= 0)
        menu.destroy()
    }
}
