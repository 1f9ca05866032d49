.pragma library
// Conversions shared by the screens: frequencies, squelch tones and codes,
// references into the group, contact and key lists.

// The 83 digital squelch codes, in the order the editor offers them.
var dcsCodes = ["023", "025", "026", "031", "032", "043", "047", "051", "054", "065", "071",
                "072", "073", "074", "114", "115", "116", "125", "131", "132", "134", "143",
                "152", "155", "156", "162", "165", "172", "174", "205", "223", "226", "243",
                "244", "245", "251", "261", "263", "265", "271", "306", "311", "315", "331",
                "343", "346", "351", "364", "365", "371", "411", "412", "413", "423", "431",
                "432", "445", "464", "465", "466", "503", "506", "516", "532", "546", "565",
                "606", "612", "624", "627", "631", "632", "654", "662", "664", "703", "712",
                "723", "731", "732", "734", "743", "754"]

// The tone and code choices after the leading "none" entry (423 entries).
function squelchChoices() {
    var list = []
    var i
    // Steps of 0.7 Hz, counted in tenths so that no rounding error creeps in.
    for (i = 600; i <= 2000; i += 7)
        list.push((i / 10).toFixed(1))
    for (i = 2005; i <= 2545; i += 10)
        list.push((i / 10).toFixed(1))
    list.push("254.9")
    for (i = 0; i < dcsCodes.length; ++i)
        list.push("D" + dcsCodes[i] + "N")
    for (i = 0; i < dcsCodes.length; ++i)
        list.push("D" + dcsCodes[i] + "I")
    return list
}

// Hz -> MHz text with five decimals.
function freqToText(hz) {
    var v = Number(hz)
    if (!isFinite(v))
        v = 0
    return (v / 1000000).toFixed(5)
}

// MHz text -> Hz, rounded to a whole number.
function textToFreq(text) {
    var v = parseFloat(String(text).replace(",", "."))
    if (!isFinite(v))
        return 0
    return Math.round(v * 1000000)
}

// Band of a channel list: the first channel's receive frequency decides.
function bandOf(firstRecvFreqHz) {
    if (firstRecvFreqHz !== undefined && Number(firstRecvFreqHz) > 174000000)
        return { "low": 400, "high": 470, "start": 400000000 }
    return { "low": 136, "high": 174, "start": 136000000 }
}

// True when the MHz text is a complete number inside the band's limits.
function freqInBand(text, band) {
    var s = String(text)
    if (!/^\s*\d+(\.\d*)?\s*$/.test(s))
        return false
    var v = parseFloat(s)
    return v >= band.low && v <= band.high
}

// Squelch choice text -> {value, kind}; null when the text is not a valid
// tone or code. noneTexts: the texts that mean "no squelch".
function squelchFromText(text, noneTexts) {
    var s = String(text).trim()
    if (noneTexts) {
        for (var i = 0; i < noneTexts.length; ++i)
            if (s === noneTexts[i])
                return { "value": -1, "kind": 0 }
    }
    var m = /^[Dd]([0-7]{3})([NnIi])$/.exec(s)
    if (m) {
        var inverted = m[2].toUpperCase() === "I"
        return { "value": parseInt((inverted ? "c" : "8") + m[1], 16), "kind": inverted ? 3 : 2 }
    }
    m = /^(\d{2,3})(?:[.,](\d))?$/.exec(s)
    if (m) {
        var tenths = parseInt(m[1], 10) * 10 + (m[2] ? parseInt(m[2], 10) : 0)
        if (tenths < 600 || tenths > 2549)
            return null
        return { "value": parseInt(String(tenths), 16), "kind": 1 }
    }
    return null
}

// True when a squelch value means "none".
function squelchIsNone(value) {
    return value === undefined || value === null || value === 0 || value === 65535
            || value === -1
}

// Squelch value and kind -> text; noneText for no squelch.
function squelchToText(value, kind, noneText) {
    if (squelchIsNone(value))
        return noneText
    var hex = Number(value).toString(16)
    if (kind === 2)
        return "D" + hex.substring(1) + "N"
    if (kind === 3)
        return "D" + hex.substring(1) + "I"
    return hex.substring(0, hex.length - 1) + "." + hex.substring(hex.length - 1)
}

// Entries of an encryption list: a map name -> value (as decoded), or a
// list of maps with "name" (as the DMR tab sends it, possibly led by a
// "none" entry, which is left out). Each as {"name", "uid"}.
function keyEntries(encrypt, noneName) {
    var entries = []
    if (!encrypt)
        return entries
    if (encrypt.length !== undefined && typeof encrypt !== "string") {
        for (var i = 0; i < encrypt.length; ++i) {
            var e = encrypt[i]
            var n = (e && e.name !== undefined) ? String(e.name) : String(e)
            if (i === 0 && n === noneName)
                continue
            entries.push({ "name": n, "uid": e ? e.uid : undefined })
        }
        return entries
    }
    for (var key in encrypt)
        entries.push({ "name": key, "uid": undefined })
    return entries
}

// The identities by which channel rows refer to the entries of a reference
// list: the entries' "uid" where every entry carries one (lists kept by the
// DMR tab, whose entries keep their "uid" across renames and removals),
// otherwise their 1-based positions. `identified` tells which.
function entryIds(entries) {
    var list = entries || []
    var identified = list.length > 0
    for (var i = 0; i < list.length && identified; ++i) {
        var u = list[i] ? list[i].uid : undefined
        if (u === undefined || u === null || !isFinite(Number(u)) || Number(u) <= 0)
            identified = false
    }
    var ids = []
    for (i = 0; i < list.length; ++i)
        ids.push(identified ? Number(list[i].uid) : i + 1)
    return { "ids": ids, "identified": identified }
}

// A row's reference (0 none, -1 not applicable, else an entry identity)
// after its list was replaced: the same entry where the new list identifies
// its entries, otherwise the last entry of the same name; 0 when the entry
// is gone.
function carryReference(ref, oldIds, oldNames, newIds, newNames, identified) {
    if (ref <= 0)
        return ref
    if (identified)
        return newIds.indexOf(ref) >= 0 ? ref : 0
    var at = oldIds.indexOf(ref)
    if (at < 0)
        return 0
    var to = newNames.lastIndexOf(oldNames[at])
    return to >= 0 ? newIds[to] : 0
}

// Titles and group numbers of a receive-group list, by position. Groups
// that carry no "groups" number are numbered by position, or, in a list
// where others carry one, above the highest (a number stays unique).
function groupTitles(groups) {
    var titles = []
    var numberByPos = []
    if (!groups)
        return { "titles": titles, "numbers": numberByPos }
    var highest = 0
    for (var j = 0; j < groups.length; ++j)
        if (groups[j] && groups[j].groups !== undefined)
            highest = Math.max(highest, Number(groups[j].groups))
    for (var i = 0; i < groups.length; ++i) {
        var g = groups[i] || {}
        var t = g.title !== undefined ? String(g.title) : ""
        var n = g.groups !== undefined ? Number(g.groups) : highest > 0 ? ++highest : i + 1
        titles.push(t)
        numberByPos.push(n)
    }
    return { "titles": titles, "numbers": numberByPos }
}

// Names of a contact list.
function contactNames(contacts) {
    var names = []
    if (!contacts)
        return names
    for (var i = 0; i < contacts.length; ++i) {
        var c = contacts[i] || {}
        names.push(c.name !== undefined ? String(c.name) : "")
    }
    return names
}

// Zones after removing a channel: the channel leaves every zone and the
// identifiers above it move down by one. Returns new zone maps.
function zonesWithoutChannel(zones, removedId) {
    var result = []
    if (!zones)
        return result
    for (var i = 0; i < zones.length; ++i) {
        var z = zones[i] || {}
        var copy = {}
        for (var k in z)
            copy[k] = z[k]
        var selected = []
        var old = z.selectedChannels || []
        for (var j = 0; j < old.length; ++j) {
            var id = Number(old[j])
            if (id === removedId)
                continue
            selected.push(id > removedId ? id - 1 : id)
        }
        copy.selectedChannels = selected
        result.push(copy)
    }
    return result
}

function toInt(v, fallback) {
    var n = Number(v)
    return (v === undefined || v === null || !isFinite(n)) ? fallback : Math.round(n)
}
