import QtQuick 2.7

// DMR tab: contacts, receive groups, encryption keys (placeholder until the
// editor lands).
Item {
    id: tab
    property var rxGroupsList: []
    property var contactList: []
    property var encryptList: []

    signal elementContactAdded(var newContactList)
    signal elementRemovedContact(var newContactList)
    signal elementRxGroupAdded(var newRxGroupList)
    signal elementRemovedRxGroup(var newRxGroupList)
    signal elementEncryptAdded(var newEncryptList)

    function init(rxGroups, contacts, encrypt) {
        rxGroupsList = rxGroups || []
        contactList = contacts || []
        var keys = []
        for (var name in encrypt)
            keys.push({"name": name, "number": encrypt[name]})
        encryptList = keys
    }
    function getData() { return contactList }
    function getEncryptData() { return encryptList }
}
