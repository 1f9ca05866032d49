.pragma library

// List rules of the zones tab. A zone is {"title", "selectedChannels",
// "origin"}; the members are channel identifiers (the "channel" key of a
// channel map, i.e. the channel's position), never names, so channels that
// share a name stay apart. "origin" is the zone's place in the decoded list
// (-1 for a zone made here).

// What the radio's zone table holds.
var maxZones = 20
var maxZoneChannels = 16

function channelId(channel, index) {
    if (channel && channel.channel !== undefined && channel.channel !== null)
        return Number(channel.channel)
    return index
}

// Plain copies, so that edits never reach the lists the caller handed in.
function copyZones(list) {
    var result = []
    if (!list)
        return result
    for (var i = 0; i < list.length; ++i) {
        var zone = list[i] || {}
        var members = []
        var src = zone.selectedChannels || []
        for (var j = 0; j < src.length; ++j)
            members.push(Number(src[j]))
        var origin = Number(zone.origin)
        result.push({"title": zone.title === undefined ? "" : String(zone.title),
                     "selectedChannels": members,
                     "origin": zone.origin === undefined || !isFinite(origin) ? -1 : origin})
    }
    return result
}

function copyChannels(list) {
    var result = []
    if (!list)
        return result
    for (var i = 0; i < list.length; ++i) {
        var ch = list[i] || {}
        result.push({"id": channelId(ch, i), "name": ch.name === undefined ? "" : String(ch.name)})
    }
    return result
}

// channels: the result of copyChannels.
function channelName(channels, id) {
    for (var i = 0; i < channels.length; ++i) {
        if (channels[i].id === id)
            return channels[i].name
    }
    return ""
}

// The zone's members with their names, in zone order.
function members(channels, zone) {
    var result = []
    if (!zone)
        return result
    for (var i = 0; i < zone.selectedChannels.length; ++i) {
        var id = zone.selectedChannels[i]
        result.push({"id": id, "name": channelName(channels, id)})
    }
    return result
}

// The channels that are not in the zone, in channel order.
function freeChannels(channels, zone) {
    var result = []
    for (var i = 0; i < channels.length; ++i) {
        if (!zone || zone.selectedChannels.indexOf(channels[i].id) < 0)
            result.push({"id": channels[i].id, "name": channels[i].name})
    }
    return result
}

// Each editing function returns a result code: "ok", "full" (capacity
// reached) or "refused" (nothing to do).
function addChannel(zone, id) {
    if (!zone || zone.selectedChannels.indexOf(id) >= 0)
        return "refused"
    if (zone.selectedChannels.length >= maxZoneChannels)
        return "full"
    zone.selectedChannels.push(id)
    return "ok"
}

// A zone keeps at least one channel.
function removeChannelAt(zone, index) {
    if (!zone || index < 0 || index >= zone.selectedChannels.length
            || zone.selectedChannels.length <= 1)
        return "refused"
    zone.selectedChannels.splice(index, 1)
    return "ok"
}

// Moves member `index` by `delta` places, staying within the list; returns
// the new index of the moved member (or `index` when it cannot move).
function moveChannel(zone, index, delta) {
    if (!zone || index < 0 || index >= zone.selectedChannels.length)
        return index
    var target = index + delta
    if (target < 0 || target >= zone.selectedChannels.length)
        return index
    var moved = zone.selectedChannels.splice(index, 1)[0]
    zone.selectedChannels.splice(target, 0, moved)
    return target
}

function addZone(zones, title) {
    if (!title)
        return "refused"
    if (zones.length >= maxZones)
        return "full"
    zones.push({"title": String(title), "selectedChannels": [0], "origin": -1})
    return "ok"
}
