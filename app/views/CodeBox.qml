// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A command or a path in monospace on a faint rounded panel, padded 9 across
// and 6 down, on one line (elided where the owner says).
Rectangle {
    id: box

    property alias text: label.text
    property alias elide: label.elide
    property real fontSize: Theme.control
    property color textColor: Theme.primary
    // The panel's colour; its opacity is the fill's.
    property color fill: Theme.primaryAt(0.05)

    implicitWidth: label.implicitWidth + 18
    implicitHeight: label.implicitHeight + 12
    radius: Theme.fieldRadius
    color: fill

    TextLabel {
        id: label
        x: 9
        y: 6
        width: parent.width - 18
        font.family: "monospace"
        font.pointSize: Theme.pt(box.fontSize)
        color: box.textColor
        maximumLineCount: 1
    }
}
