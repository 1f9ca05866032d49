import QtQml 2.2

// A stand-in for Manager with its signals and invokables: records every call with its arguments (calls()),
// answers with the values the tests set, and lets the tests emit its signals directly.
QtObject {
    property bool emulated: false
    property bool hasImage: true
    property bool verifyWrites: true
    // Answers of the next calls: file saves, factory settings, the stored language, hasUnsavedChanges,
    // backupList, opening a serial port.
    property bool fileResult: true
    property int defaultResult: 0
    property int languageIndex: 0
    property bool unsaved: false
    property var backups: []
    property int openResult: 0
    property var ports: ["ttyS0", "ttyUSB0"]
    property var log: []

    signal dataReadyReadFromDevice(bool success, var data)
    signal dataReadyReadFromFile(bool success, var data)
    signal dataWroteToDevice(bool success)
    signal readProgressChanged(int progress)
    signal writeProgressChanged(int progress)
    signal signalGPSRead()
    signal signalGPSEmpty()
    signal signalGPSReadFailed()
    signal signalGPSReadyRead(var data)
    signal signalTypeRadio(int typeRadio)
    signal languageChanged()
    signal signalRetryConnect(int progress)
    signal signalLanguageSettings(int check)
    signal signalSerialPortsList(var data)
    signal signalSerialData(var data)
    signal signalReceiverState(var state)
    signal signalSerialPortLost(string message)
    signal writeProblem(int kind, string detail)
    signal backupFailed(string path)
    signal usbAccessDenied()

    // Each call as {"name": ..., "args": [...]}; returns fileResult, the answer of the calls that report success.
    function record(name, args) {
        log.push({ "name": name, "args": Array.prototype.slice.call(args) })
        return fileResult
    }
    function calls() { return log.slice() }
    function clearCalls() { log = [] }
    // The English translation (built next to the test) or the Russian source texts.
    function setLanguage(name) {
        var ok = Translation.load(name)
        languageChanged()
        return ok
    }

    function readDataFromDevice() { record("readDataFromDevice", arguments) }
    function readDataFromFile(file) { record("readDataFromFile", arguments) }
    function readGPSData() { record("readGPSData", arguments) }
    function setTranslation(name, check) { record("setTranslation", arguments); setLanguage(name) }
    function getSettings() { record("getSettings", arguments); signalLanguageSettings(languageIndex) }
    function getPortsList() { record("getPortsList", arguments); signalSerialPortsList(ports) }
    function writeEditedDataToFile(file, data, zones, groups, contacts, settings, keys) {
        return record("writeEditedDataToFile", arguments)
    }
    function setEditBaseline(data, zones, groups, contacts, settings, keys) { record("setEditBaseline", arguments) }
    function hasUnsavedChanges() { record("hasUnsavedChanges", []); return unsaved }
    function cancelDeviceOperation() { record("cancelDeviceOperation", arguments) }
    function allowModelMismatchOnce() { record("allowModelMismatchOnce", arguments) }
    function backupList() { record("backupList", arguments); return backups }
    function openSerialPortAt(name, baud) { record("openSerialPortAt", arguments); return openResult }
    function closeSerialPort() { record("closeSerialPort", arguments) }
    function mapSettings() {
        return { "userAgent": "Orvane test", "tileServer": "http://127.0.0.1:9/",
                 "cacheFolder": "/tmp/orvane-test-tiles", "attribution": "© OpenStreetMap contributors" }
    }
    function exportGpx(file, points) { return record("exportGpx", arguments) }
    function exportLiveGpx(file) { record("exportLiveGpx", arguments); return false }
    function writeDataToDevice(data, zones, groups, contacts, settings, keys) { record("writeDataToDevice", arguments) }
    function slotDefaultSettings() { record("slotDefaultSettings", arguments); return defaultResult }
    function writeGPSDataToFile(file) { return record("writeGPSDataToFile", arguments) }
    function readGPSDataFromFile(file) { record("readGPSDataFromFile", arguments) }
}
