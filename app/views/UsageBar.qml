// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A thin bar for a share of a whole: a faint capsule track and, from its left
// end, an accent capsule of the share's width, never narrower than 3 so an
// empty or unknown reading still shows where the bar is.
Item {
    id: bar

    // The share, clamped to 0…1 when drawn.
    property real fraction: 0
    property color fill: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.8)
    property real trackOpacity: 0.06

    implicitHeight: 7

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Theme.primaryAt(bar.trackOpacity)
    }
    Rectangle {
        objectName: "barFill"
        height: parent.height
        // Whole pixels: a share that moves by less than a pixel (a process's
        // memory between two readings) leaves the bar as it is, undrawn.
        width: Math.max(3, Math.round((isFinite(bar.fraction) ? Math.min(1, Math.max(0, bar.fraction)) : 0) * bar.width))
        radius: height / 2
        color: bar.fill
    }
}
