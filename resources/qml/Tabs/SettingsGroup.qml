import QtQuick 2.7
import QtQuick.Controls 1.4
import "../UI"

// A group box of labelled settings rows made from descriptions. Each row is
// {key, label} and one of: "choices" (a combo box of a stored index),
// "unit"/"lowest"/"highest"/"step" (a spin box of a stored count of units) or
// "text" (a 16-character field; "byte" limits it to 0…255, "enabled": false
// shows it greyed). The control's objectName is the key; controlMade hands
// each control over once it exists.
GroupBox {
    id: group
    property var rows: []
    property int labelWidth: 245
    signal controlMade(string key, var control)

    readonly property RegExpValidator byteValidator: RegExpValidator {
        regExp: /(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])/
    }

    Column {
        width: parent.width
        spacing: 5
        Repeater {
            // A count, so that a new language relabels the rows without
            // making them again.
            model: group.rows.length
            SettingsRow {
                id: row
                readonly property var def: group.rows[index]
                text: def.label
                labelWidth: group.labelWidth
                Loader {
                    anchors.fill: parent
                    sourceComponent: row.def.choices !== undefined ? comboRow
                                   : row.def.unit !== undefined ? spinRow : textRow
                    onLoaded: {
                        item.objectName = row.def.key
                        group.controlMade(row.def.key, item)
                    }
                }
                Component {
                    id: comboRow
                    StoredCombo { choices: row.def.choices }
                }
                Component {
                    id: spinRow
                    StoredSpin {
                        unit: row.def.unit; lowest: row.def.lowest; highest: row.def.highest
                        stepSize: row.def.step !== undefined ? row.def.step : 1
                    }
                }
                Component {
                    id: textRow
                    TextField {
                        maximumLength: 16
                        enabled: row.def.enabled !== false
                        validator: row.def.byte ? group.byteValidator : null
                    }
                }
            }
        }
    }
}
