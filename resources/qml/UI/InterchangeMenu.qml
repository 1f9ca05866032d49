import QtQuick 2.7
import QtQuick.Controls 1.4
import QtQuick.Dialogs 1.2

// The codeplug as text: export and import of the YAML document or the channel
// list (CSV), and the comparison with another image or document. Import
// problems are listed in a dialog; on error nothing changes.
Item {
    id: menu
    objectName: "interchangeMenu"
    width: button.width
    height: button.height

    // The back end (Manager in the window; tests give a stand-in).
    property var backend: typeof Manager !== "undefined" ? Manager : null
    // Where the list dialog is drawn: the window's content by default.
    property Item overlayParent: null

    function topItem() {
        var item = menu
        while (item.parent)
            item = item.parent
        return item
    }

    function exportTo(url) {
        if (!backend.exportDocument(url.toString()))
            listDialog.showList(qsTr("Экспорт не выполнен"),
                                [qsTr("Нет данных для экспорта, или файл не удалось записать.")])
    }
    function importFrom(url) {
        var r = backend.importDocument(url.toString())
        if (!r.ok)
            listDialog.showList(qsTr("Файл не импортирован, ничего не изменено"),
                                r.errors.concat(r.warnings))
        else if (r.warnings.length > 0)
            listDialog.showList(qsTr("Импортировано с предупреждениями"), r.warnings)
    }
    function compareWith(url) {
        var t = backend.diffWithFile(url.toString())
        listDialog.showList(qsTr("Сравнение с файлом"), t === "" ? [qsTr("Различий нет.")]
                                                                 : t.split("\n"))
    }

    function retranslateUi() {
        button.text = qsTr("Текст…")
        exportItem.text = qsTr("Экспорт…")
        importItem.text = qsTr("Импорт…")
        compareItem.text = qsTr("Сравнить с файлом…")
        listDialog.closeText = qsTr("Закрыть")
    }
    Retranslator { owner: menu }

    Button {
        id: button
        objectName: "interchangeButton"
        menu: Menu {
            MenuItem { id: exportItem; onTriggered: files.openFor("export") }
            MenuItem { id: importItem; onTriggered: files.openFor("import") }
            MenuItem { id: compareItem; onTriggered: files.openFor("compare") }
        }
    }

    QtObject {
        id: files
        property string mode: ""
        function openFor(m) {
            mode = m
            loader.active = true
            var d = loader.item
            d.title = m === "export" ? qsTr("Экспорт") : m === "import" ? qsTr("Импорт")
                                                                        : qsTr("Сравнить с файлом")
            d.selectExisting = m !== "export"
            d.nameFilters = m === "compare"
                    ? [qsTr("Конфигурация или документ (*.ovc *.dcc *.yaml *.yml *.json)")]
                    : [qsTr("Документ YAML (*.yaml *.yml)"), qsTr("Каналы CSV (*.csv)"),
                       qsTr("Документ JSON (*.json)")]
            d.open()
        }
        function chosen(url) {
            if (mode === "export")
                menu.exportTo(url)
            else if (mode === "import")
                menu.importFrom(url)
            else
                menu.compareWith(url)
        }
    }
    Loader {
        id: loader
        active: false
        source: "FileChooser.qml"
    }
    Connections {
        target: loader.item
        function onAccepted() { files.chosen(loader.item.fileUrl) }
    }

    // A title and a scrollable list of lines over the whole window.
    Item {
        id: listDialog
        objectName: "interchangeDialog"
        parent: menu.overlayParent ? menu.overlayParent : menu.topItem()
        anchors.fill: parent
        z: 1000
        visible: shown
        property bool shown: false
        property string title: ""
        property string closeText: ""
        property var lines: []

        function showList(t, list) {
            title = t
            lines = list
            shown = true
            listContent.active = true
            listContent.item.focusClose()
        }

        Loader {
            id: listContent
            anchors.fill: parent
            active: false
            source: "InterchangeList.qml"
            onLoaded: item.dialog = listDialog
        }
    }
}
