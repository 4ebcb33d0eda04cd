// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// One segment of a filter row: its title and, when given, a count, on a
// capsule tinted with the accent while chosen.
AbstractButton {
    id: segment

    property bool chosen: false
    // The count shown after the title; negative for none.
    property int count: -1

    readonly property color tone: chosen ? Theme.accent : Theme.secondary

    focusPolicy: Qt.NoFocus
    leftPadding: 11
    rightPadding: 11
    topPadding: 5
    bottomPadding: 5
    Accessible.role: Accessible.Button
    Accessible.name: count >= 0 ? text + " " + count : text
    Accessible.checkable: true
    Accessible.checked: chosen
    Accessible.onPressAction: if (segment.enabled) segment.clicked()

    contentItem: Row {
        spacing: 5
        Text {
            anchors.baseline: parent.children[1].baseline
            text: segment.text
            textFormat: Text.PlainText
            font.pointSize: Theme.pt(11.5)
            font.weight: segment.chosen ? Font.DemiBold : Font.Normal
            color: segment.tone
        }
        Text {
            visible: segment.count >= 0
            text: segment.count
            font.pointSize: Theme.pt(10)
            color: segment.chosen ? segment.tone : Theme.secondary
        }
    }

    background: Rectangle {
        radius: height / 2
        color: segment.chosen ? Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.14)
                              : Theme.primaryAt(0.04)
    }
}
