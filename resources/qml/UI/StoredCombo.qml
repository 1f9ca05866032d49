import QtQuick 2.7
import QtQuick.Controls 1.4

// A combo box for a stored index. A stored value its list does not offer is
// shown as an extra entry "12 (нестандартное)" and handed back unchanged
// until the user picks another entry, so the box never shows a value that is
// not the one that gets written.
ComboBox {
    id: box
    // The entries the radio's value indexes (the value is the entry's index).
    property var choices: []
    // The stored value outside `choices` (-1: none), kept as its own entry.
    property int unlisted: -1

    model: unlisted < 0 ? choices
                        : choices.concat([qsTr("%1 (нестандартное)").arg(unlisted)])

    // Shows a stored value: its entry, or the extra one.
    function setStored(v) {
        var n = Number(v)
        if (!isFinite(n))
            n = 0
        n = Math.round(n)
        var listed = n >= 0 && n < choices.length
        unlisted = listed ? -1 : n
        currentIndex = listed ? n : choices.length
    }
    // The value to write: the picked entry's index, or the stored value while
    // the extra entry is shown.
    function stored() {
        return unlisted >= 0 && currentIndex === choices.length ? unlisted : currentIndex
    }
}
