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
        // The title keeps the room of its bold form, chosen or not, so a row
        // of segments stays put when the choice moves.
        Item {
            anchors.baseline: countText.baseline
            implicitWidth: Math.max(title.implicitWidth, boldTitle.implicitWidth)
            implicitHeight: title.implicitHeight
            baselineOffset: title.y + title.baselineOffset
            Text {
                id: boldTitle
                visible: false
                text: segment.text
                textFormat: Text.PlainText
                font.pointSize: title.font.pointSize
                font.weight: Font.DemiBold
            }
            Text {
                id: title
                anchors.horizontalCenter: parent.horizontalCenter
                text: segment.text
                textFormat: Text.PlainText
                font.pointSize: Theme.pt(Theme.callout)
                font.weight: segment.chosen ? Font.DemiBold : Font.Normal
                color: segment.tone
            }
        }
        Text {
            id: countText
            visible: segment.count >= 0
            text: segment.count
            font.pointSize: Theme.pt(Theme.caption)
            color: segment.chosen ? segment.tone : Theme.secondary
        }
    }

    background: Rectangle {
        radius: height / 2
        color: segment.chosen ? Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.14)
                              : Theme.primaryAt(0.04)
    }
}
