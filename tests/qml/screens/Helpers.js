.pragma library

// Finds the item with the given objectName below root (depth first).
function find(root, name) {
    if (!root)
        return null
    if (root.objectName === name)
        return root
    var kids = root.children
    for (var i = 0; kids && i < kids.length; ++i) {
        var hit = find(kids[i], name)
        if (hit)
            return hit
    }
    return null
}

// Types text one character at a time through the test's keyClick.
function typeText(testCase, text) {
    for (var i = 0; i < text.length; ++i)
        testCase.keyClick(text[i])
}

// Counts the visible items below root whose text is the given one.
function countText(root, text) {
    if (!root || !root.visible)
        return 0
    var n = root.text === text ? 1 : 0
    var kids = root.children
    for (var i = 0; kids && i < kids.length; ++i)
        n += countText(kids[i], text)
    return n
}

function range(n) {
    var list = []
    for (var i = 0; i < n; ++i)
        list.push(i)
    return list
}
function names(list) { return Array.prototype.map.call(list, function (x) { return x.name }) }
function titles(list) { return Array.prototype.map.call(list, function (x) { return x.title }) }

// A copy of map with the keys of over replaced.
function withValues(map, over) {
    var m = {}
    for (var k in map)
        m[k] = map[k]
    for (k in over)
        m[k] = over[k]
    return m
}
