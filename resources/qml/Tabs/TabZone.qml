import QtQuick 2.7

// Zones tab (placeholder until the zone editor lands).
Item {
    id: tab
    property var zonesList: []
    property var channelList: []

    function init(zoneList, freqList) { zonesList = zoneList || []; channelList = freqList || [] }
    function clearAll() { zonesList = []; channelList = [] }
}
