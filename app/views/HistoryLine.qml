// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// One clean-up of the history: when, how many items, how much was freed.
Item {
    id: line

    required property string dateText
    required property int items
    required property string freedText

    implicitHeight: row.implicitHeight + 16
    Accessible.role: Accessible.ListItem
    Accessible.name: dateText + ", " + itemsText.text + ", " + freedText

    Row {
        id: row
        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter
                  leftMargin: 10; rightMargin: 10 }
        spacing: Theme.gapLarge

        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            name: "trash.circle"
            size: 14
            color: Theme.accent
        }
        TextLabel {
            id: date
            objectName: "dateText"
            anchors.verticalCenter: parent.verticalCenter
            text: line.dateText
            size: Theme.callout
            color: Theme.primary
        }
        TextLabel {
            id: itemsText
            objectName: "itemsText"
            anchors.verticalCenter: parent.verticalCenter
            text: line.items + " " + qsTr(Lang.countKey("common.items", line.items))
            size: Theme.detail
            color: Theme.secondary
        }
        Item {
            width: row.width - x - freed.width - row.spacing
            height: 1
        }
        TextLabel {
            id: freed
            objectName: "freedText"
            anchors.verticalCenter: parent.verticalCenter
            text: line.freedText
            size: Theme.body
            font.weight: Font.Medium
            color: Theme.primary
        }
    }
}
