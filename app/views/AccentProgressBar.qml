// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// The app's progress bar: a thin track with the part done in the accent
// colour, 0 to 1.
ProgressBar {
    id: bar
    from: 0
    to: 1
    background: Rectangle {
        implicitHeight: 4
        radius: 2
        color: Theme.primaryAt(0.1)
    }
    contentItem: Item {
        implicitHeight: 4
        Rectangle {
            width: bar.visualPosition * parent.width
            height: parent.height
            radius: 2
            color: Theme.accent
        }
    }
}
