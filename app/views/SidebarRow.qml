// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// One page of the sidebar: icon and title; the selected page is drawn in the
// primary colour on a faint rounded highlight, the others in the secondary colour.
TabButton {
    id: row

    required property var entry
    property bool selected: false

    readonly property color tone: selected ? Theme.primary : Theme.secondary

    objectName: "pageRow_" + entry.id
    text: qsTr(entry.titleKey)
    // The chosen page is the checked tab; clicks report it and the sidebar decides.
    checkable: false
    checked: selected
    Accessible.name: text
    Accessible.selected: selected
    Accessible.onPressAction: if (row.enabled) row.clicked()
    focusPolicy: Qt.NoFocus
    hoverEnabled: true
    topPadding: 7
    bottomPadding: 7
    leftPadding: 10
    rightPadding: 10
    implicitWidth: leftPadding + rightPadding + (contentItem ? contentItem.implicitWidth : 0)
    implicitHeight: topPadding + bottomPadding + (contentItem ? contentItem.implicitHeight : 0)

    contentItem: Row {
        spacing: 9

        Symbol {
            width: 18
            height: parent.height
            name: row.entry.icon
            size: 13
            weight: Font.Medium
            color: row.tone
        }
        Text {
            text: row.text
            font.pointSize: Theme.pt(Theme.heading)
            font.weight: row.selected ? Font.DemiBold : Font.Normal
            color: row.tone
        }
    }

    background: Rectangle {
        radius: Theme.rowRadius
        color: row.selected ? Theme.primaryAt(0.08) : Theme.primaryAt(0)
        Behavior on color {
            ColorAnimation { duration: 160; easing.type: Easing.OutQuad }
        }
    }
}
