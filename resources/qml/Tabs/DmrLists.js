.pragma library

// List rules of the DMR tab: contacts, receive groups and encryption keys.
//
// Inside the tab a contact keeps the "pos" it arrived with (or was given
// when added) for as long as the tab holds it, and a receive group names its
// members by "pos" + 1. The radio, however, stores the k-th contact of the
// written list as record k and a group member as a record number, so the
// lists handed out for writing are renumbered: contacts get "pos" = their
// place in the list, and group members the 1-based place of the contact they
// name.

// What the radio's tables hold.
var maxContacts = 43
var maxGroups = 6
var maxGroupContacts = 32
var maxKeys = 40
var maxNumber = 16777215 // contact numbers are 24-bit

var newContactName = "Новый Контакт "
var newContactNumber = "12345"
var newKeyPrefix = "Key "
var newKeyValue = "7E2B"
var noKeyName = "НЕТ"

function toInt(value, fallback) {
    var n = parseInt(value, 10)
    return isNaN(n) ? fallback : n
}

function copyContacts(list) {
    var result = []
    if (!list)
        return result
    var used = {}
    var highest = -1
    for (var i = 0; i < list.length; ++i) {
        var pos = toInt((list[i] || {}).pos, i)
        if (pos > highest)
            highest = pos
    }
    for (i = 0; i < list.length; ++i) {
        var c = list[i] || {}
        pos = toInt(c.pos, i)
        if (used[pos]) // "pos" identifies a contact: keep it unique
            pos = ++highest
        used[pos] = true
        result.push({"name": c.name === undefined ? "" : String(c.name),
                     "pos": pos,
                     "number": c.number === undefined ? "" : String(c.number),
                     "type": toInt(c.type, 0),
                     "tone": toInt(c.tone, 0) ? 1 : 0,
                     "origin": toInt(c.origin, -1)})
    }
    return result
}

function contactRef(contact) {
    return contact.pos + 1
}

function indexOfRef(contacts, ref) {
    for (var i = 0; i < contacts.length; ++i) {
        if (contacts[i].pos + 1 === ref)
            return i
    }
    return -1
}

function nextPos(contacts) {
    var highest = -1
    for (var i = 0; i < contacts.length; ++i)
        highest = Math.max(highest, contacts[i].pos)
    return highest + 1
}

function newContact(contacts) {
    var pos = nextPos(contacts)
    return {"name": newContactName + pos, "pos": pos, "number": newContactNumber,
            "type": 0, "tone": 0, "origin": -1}
}

// The contact list for writing: the five keys and "origin" (the contact's
// place in the decoded list, -1 for a new one), in table order, "pos" = place.
function contactsForWrite(contacts) {
    var result = []
    for (var i = 0; i < contacts.length; ++i) {
        var c = contacts[i]
        result.push({"name": c.name, "pos": i, "number": c.number, "type": c.type,
                     "tone": c.tone, "origin": c.origin})
    }
    return result
}

// The list the channel table offers as contacts: the names, each with the
// contact's identity ("uid"), by which the channel rows keep referring to
// the same contact when it is renamed or another one is removed. A contact
// that came with the read has its 1-based place in the read list.
function contactNames(contacts) {
    var result = []
    for (var i = 0; i < contacts.length; ++i)
        result.push({"name": contacts[i].name, "uid": contactRef(contacts[i])})
    return result
}

// The next free identity of a list of entries carrying "uid".
function nextUid(list) {
    var highest = 0
    for (var i = 0; i < list.length; ++i)
        highest = Math.max(highest, toInt(list[i].uid, 0))
    return highest + 1
}

// Groups keep only members that name a contact of the list, so that the
// group shown is the group written. Each group keeps its identity ("uid",
// for the channel table); groups without one take their 1-based place.
function copyGroups(list, contacts) {
    var result = []
    if (!list)
        return result
    for (var i = 0; i < list.length; ++i) {
        var g = list[i] || {}
        var group = {"title": g.title === undefined ? "" : String(g.title), "selectedContacts": [],
                     "uid": toInt(g.uid, i + 1), "origin": toInt(g.origin, -1)}
        if (g.groups !== undefined)
            group.groups = g.groups
        var src = g.selectedContacts || []
        for (var j = 0; j < src.length; ++j) {
            var ref = toInt(src[j], 0)
            if (indexOfRef(contacts, ref) >= 0)
                group.selectedContacts.push(ref)
        }
        result.push(group)
    }
    return result
}

// The receive groups for writing: members renumbered to the 1-based place of
// their contact in contactsForWrite(contacts); members naming no contact are
// left out.
function groupsForWrite(groups, contacts) {
    var result = []
    for (var i = 0; i < groups.length; ++i) {
        var g = groups[i]
        var members = []
        for (var j = 0; j < g.selectedContacts.length; ++j) {
            var index = indexOfRef(contacts, g.selectedContacts[j])
            if (index >= 0)
                members.push(index + 1)
        }
        var out = {"title": g.title, "selectedContacts": members, "uid": g.uid,
                   "origin": g.origin}
        if (g.groups !== undefined)
            out.groups = g.groups
        result.push(out)
    }
    return result
}

// A removed contact leaves every group.
function dropContact(groups, ref) {
    for (var i = 0; i < groups.length; ++i) {
        var members = groups[i].selectedContacts
        for (var j = members.length - 1; j >= 0; --j) {
            if (members[j] === ref)
                members.splice(j, 1)
        }
    }
}

// The group's members, {"ref", "name"}, in group order.
function groupMembers(group, contacts) {
    var result = []
    if (!group)
        return result
    for (var i = 0; i < group.selectedContacts.length; ++i) {
        var index = indexOfRef(contacts, group.selectedContacts[i])
        if (index >= 0)
            result.push({"ref": group.selectedContacts[i], "name": contacts[index].name})
    }
    return result
}

// The contacts that are not in the group, in table order.
function freeContacts(group, contacts) {
    var result = []
    for (var i = 0; i < contacts.length; ++i) {
        var ref = contactRef(contacts[i])
        if (!group || group.selectedContacts.indexOf(ref) < 0)
            result.push({"ref": ref, "name": contacts[i].name})
    }
    return result
}

// Each editing function returns "ok", "full" (capacity reached) or
// "refused" (nothing to do).
function addGroup(groups, title, contacts) {
    if (!title)
        return "refused"
    if (groups.length >= maxGroups)
        return "full"
    // A new group starts with the first contact of the list.
    var members = contacts.length > 0 ? [contactRef(contacts[0])] : []
    groups.push({"title": String(title), "selectedContacts": members, "uid": nextUid(groups),
                 "origin": -1})
    return "ok"
}

function addMember(group, ref) {
    if (!group || group.selectedContacts.indexOf(ref) >= 0)
        return "refused"
    if (group.selectedContacts.length >= maxGroupContacts)
        return "full"
    group.selectedContacts.push(ref)
    return "ok"
}

// A group keeps at least one contact.
function removeMember(group, ref) {
    if (!group || group.selectedContacts.length <= 1)
        return "refused"
    var index = group.selectedContacts.indexOf(ref)
    if (index < 0)
        return "refused"
    group.selectedContacts.splice(index, 1)
    return "ok"
}

// Keys arrive as a map from name to value (decoded) or as a list of
// {"name", "number"} (collected). Each keeps an identity ("uid", for the
// channel table); keys without one take their 1-based place.
function copyKeys(source) {
    var result = []
    if (!source)
        return result
    if (Array.isArray(source)) {
        for (var i = 0; i < source.length; ++i) {
            var k = source[i] || {}
            result.push({"name": k.name === undefined ? "" : String(k.name),
                         "number": k.number === undefined ? "" : String(k.number),
                         "uid": toInt(k.uid, i + 1)})
        }
        return result
    }
    var n = 0
    for (var name in source)
        result.push({"name": String(name), "number": String(source[name]), "uid": ++n})
    return result
}

function newKey(keys) {
    return {"name": newKeyPrefix + (keys.length + 1), "number": newKeyValue,
            "uid": nextUid(keys)}
}

function keysForWrite(keys) {
    var result = []
    for (var i = 0; i < keys.length; ++i)
        result.push({"name": keys[i].name, "number": keys[i].number})
    return result
}

// The list the channel table offers as keys: "НЕТ" first, then the names
// with their identities.
function keyNames(keys) {
    var result = [{"name": noKeyName}]
    for (var i = 0; i < keys.length; ++i)
        result.push({"name": keys[i].name, "uid": keys[i].uid})
    return result
}
