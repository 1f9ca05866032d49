import QtQuick 2.7
import QtTest 1.2

// Collections built in JavaScript reach the codecs as plain lists and maps.
TestCase {
    name: "ManagerFromQml"

    property var decoded: null
    property var wrote: []

    Connections {
        target: Manager
        function onDataReadyReadFromDevice(success, data) { if (success) decoded = data }
        function onDataWroteToDevice(success) { wrote.push(success) }
    }

    function forWrite(c) {
        return { "name": c.name, "channel": c.channel, "send_freq": c.sendFreq,
                 "recv_freq": c.recvFreq, "type_channel": c.typeChannel, "power_ch": c.powerCH,
                 "chanelBand": c.chanelBand, "recv_qt_dqt": c.recvQtDqt,
                 "send_qt_dqt": c.sendQtDqt, "qt_dqt_type_rcv": c.QtDqtTypeRcv,
                 "qt_dqt_type_trasm": c.QtDqtTypeTrasm, "color_cod": c.colorCod,
                 "rx_groupe": c.rxGroup, "contact": c.contact, "encrypt": c.encrypt }
    }

    function test_writeJsArrays() {
        Manager.readDataFromDevice()
        verify(decoded !== null)
        var channels = []
        for (var i = 0; i < decoded.freqList.length; ++i)
            channels.push(forWrite(decoded.freqList[i]))
        channels[1].name = "Из QML"
        channels[1].send_freq = 450012500
        var zones = [{ "title": "Зона QML", "selectedChannels": [1, 0] }]
        var keys = [{ "name": "K1", "number": "abcd" }, { "name": "K2", "number": "12" }]
        var settings = decoded.basicSettings
        settings.buttonsSettings = decoded.buttonsSettings
        settings.mic_gain_level = 7

        Manager.writeDataToDevice(channels, zones, decoded.RxGroupsList, decoded.contactList,
                                  settings, keys)
        compare(wrote, [true])

        decoded = null
        Manager.readDataFromDevice()
        verify(decoded !== null)
        compare(decoded.freqList[1].name, "Из QML")
        compare(decoded.freqList[1].sendFreq, 450012500)
        compare(decoded.zoneList.length, 1)
        compare(decoded.zoneList[0].title, "Зона QML")
        compare(decoded.zoneList[0].selectedChannels, [1, 0])
        compare(decoded.encryptList["K1"], "abcd")
        compare(decoded.encryptList["K2"], "12")
        compare(decoded.basicSettings.mic_gain_level, 7)
    }
}
