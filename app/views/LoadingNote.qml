// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A spinning indicator above a short text, centred where content will appear.
Column {
    id: note

    property string text

    spacing: Theme.gapLarge

    BusyIndicator {
        anchors.horizontalCenter: parent.horizontalCenter
        implicitWidth: 28
        implicitHeight: 28
        padding: 0
        running: note.visible
    }
    TextLabel {
        anchors.horizontalCenter: parent.horizontalCenter
        text: note.text
        size: Theme.body
        color: Theme.secondary
    }
}
