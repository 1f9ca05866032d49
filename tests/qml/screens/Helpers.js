.pragma library

// Types text one character at a time through the test's keyClick. The test keyboard knows ASCII keys only:
// other letters are put into input as an input method would.
function typeText(testCase, text, input) {
    for (var i = 0; i < text.length; ++i) {
        if (text.charCodeAt(i) < 128) {
            testCase.keyClick(text[i])
            continue
        }
        if (input.selectedText.length > 0)
            input.remove(input.selectionStart, input.selectionEnd)
        input.insert(input.cursorPosition, text[i])
    }
}

// Replaces what an input holds as a user would: focus, everything selected and deleted, the text typed, Return.
function typeInto(testCase, input, text) {
    input.forceActiveFocus()
    testCase.verify(input.activeFocus, "the input took no focus")
    testCase.keyClick(Qt.Key_A, Qt.ControlModifier)
    testCase.keyClick(Qt.Key_Delete)
    if (input.cursorPosition !== undefined)
        input.cursorPosition = 0
    typeText(testCase, text, input)
    testCase.keyClick(Qt.Key_Return)
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

function range(n) { return Array.from({ length: n }, function (x, i) { return i }) }
// The names (or another key) of the entries of a list or model.
function names(list, key) { return Array.prototype.map.call(list, function (x) { return x[key || "name"] }) }
