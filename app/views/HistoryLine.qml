// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// One clean-up of the history: when, who made it, how many items, how much
// was freed. A click (or a screen reader's press) opens it to list its items
// with where each is now, and Put Back for those still in the Trash; a
// clean-up whose record of items cannot be read says so quietly instead.
Item {
    id: line

    required property int index
    required property string dateText
    required property int items
    required property string freedText
    // The catalogue key of who made it; "" when its record was not read.
    required property string sourceKey
    required property bool complete
    // How many of its items the record lists, and how many are in the Trash.
    required property int listed
    required property int inTrash
    required property bool open
    // The open clean-up's items (given to the open line only).
    property CleanupItemModel openItems: null
    // A put-back is under way: Put Back waits.
    property bool busy: false

    signal toggled()
    signal putBackAllRequested()
    signal putBackRequested(int item)

    readonly property bool canOpen: listed > 0
    // Rows shown before the list of an open clean-up scrolls.
    readonly property int shownRows: 6

    implicitHeight: head.height + (details.visible ? details.height : 0)

    Rectangle {
        anchors.fill: parent
        radius: Theme.rowRadius
        color: line.open ? Theme.primaryAt(0.04) : area.containsMouse && line.canOpen
                                                   ? Theme.primaryAt(0.03) : "transparent"
    }

    Item {
        id: head
        width: parent.width
        height: row.implicitHeight + 16
        // A button to a screen reader: its press opens the line, as a click does.
        Accessible.role: line.canOpen ? Accessible.Button : Accessible.ListItem
        Accessible.name: line.dateText + ", " + itemsText.text + ", " + line.freedText
                         + (note.visible ? ", " + note.text : "")
        Accessible.onPressAction: if (line.canOpen) line.toggled()

        MouseArea {
            id: area
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: line.canOpen ? Qt.PointingHandCursor : Qt.ArrowCursor
            onClicked: if (line.canOpen) line.toggled()
        }

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
            TextLabel {
                objectName: "sourceText"
                anchors.verticalCenter: parent.verticalCenter
                visible: line.sourceKey !== ""
                text: qsTr(line.sourceKey)
                size: Theme.detail
                color: Theme.tertiary
            }
            TextLabel {
                id: note
                objectName: "unreadableNote"
                anchors.verticalCenter: parent.verticalCenter
                visible: !line.complete
                text: qsTr(line.listed > 0 ? "hist.partial" : "hist.unreadable")
                size: Theme.detail
                color: Theme.tertiary
            }
            Item {
                width: Math.max(0, row.width - x - trailing.width - row.spacing)
                height: 1
            }
            Row {
                id: trailing
                anchors.verticalCenter: parent.verticalCenter
                spacing: Theme.gapLarge
                BorderedButton {
                    objectName: "putBackAll"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: line.open && line.inTrash > 0
                    enabled: !line.busy
                    text: qsTr("hist.putBackAll")
                    fontSize: Theme.detail
                    onClicked: line.putBackAllRequested()
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
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "chevron.right"
                    size: Theme.caption
                    color: line.canOpen ? Theme.secondary : "transparent"
                    rotation: line.open ? 90 : 0
                }
            }
        }
    }

    ListView {
        id: details
        objectName: "cleanupItems"
        anchors { top: head.bottom; left: parent.left; right: parent.right
                  leftMargin: 34; rightMargin: 10 }
        visible: line.open && line.openItems !== null
        height: visible && count > 0 ? Math.min(count, line.shownRows) * (contentHeight / count) + 8
                                     : 0
        bottomMargin: 8
        clip: true
        interactive: count > line.shownRows
        boundsBehavior: Flickable.StopAtBounds
        model: visible ? line.openItems : null
        ScrollBar.vertical: ListScrollBar {}
        delegate: CleanupItemRow {
            width: ListView.view.width
            busy: line.busy
            onPutBackRequested: (item) => line.putBackRequested(item)
        }
    }
}
