import QtQuick 2.7
import QtQuick.Controls 1.4

// A spin box for a stored count of `unit`s, shown as count × unit. A stored
// count outside the box's range widens the range to show it rather than
// being clamped, and an untouched box hands the stored count back unchanged.
SpinBox {
    id: box
    property real unit: 1
    // The range offered for edits.
    property real lowest: 0
    property real highest: 100
    property var storedCount: undefined

    minimumValue: lowest
    maximumValue: highest

    function setStored(count) {
        var n = Number(count)
        if (!isFinite(n))
            n = 0
        var shown = n * unit
        minimumValue = Math.min(lowest, shown)
        maximumValue = Math.max(highest, shown)
        storedCount = n
        value = shown
    }
    // The count to write: the stored one while the box shows it, otherwise the
    // shown value in units.
    function stored() {
        if (storedCount !== undefined && Math.abs(value - storedCount * unit) < 1e-9)
            return storedCount
        return Math.round(value / unit)
    }
}
