// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A symbol above a short text, for a list with nothing in it.
Column {
    id: note

    property string icon
    property string text
    property color tint: Theme.safe

    spacing: Theme.gap

    Symbol {
        anchors.horizontalCenter: parent.horizontalCenter
        name: note.icon
        size: 34
        color: Qt.rgba(note.tint.r, note.tint.g, note.tint.b, 0.7)
    }
    TextLabel {
        anchors.horizontalCenter: parent.horizontalCenter
        text: note.text
        size: Theme.heading
        color: Theme.primary
    }
}
