// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// One application of the Apps pane: icon, name and bundle id, size, the
// leftovers and uninstall buttons, and when expanded its leftovers. A click on
// the line shows the bundle in the file manager.
Item {
    id: row

    required property string path
    required property string name
    required property string detail
    required property string sizeText
    property bool expanded: false
    property var leftovers: []
    property bool leftoversLoaded: false

    signal leftoversClicked()
    signal uninstallClicked()

    implicitHeight: column.implicitHeight
    Accessible.role: Accessible.ListItem
    Accessible.name: name + ", " + sizeText

    Column {
        id: column
        width: parent.width

        Item {
            width: parent.width
            height: line.implicitHeight + 14

            MouseArea {
                anchors.fill: parent
                onClicked: Desktop.reveal(row.path)
            }
            Row {
                id: line
                anchors { left: parent.left; right: parent.right; leftMargin: 10; rightMargin: 10; verticalCenter: parent.verticalCenter }
                spacing: Theme.gapLarge

                AppIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    path: row.path
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    width: line.width - x - buttons.width - size.width - 2 * line.spacing
                    NameText {
                        width: parent.width
                        text: row.name
                        size: Theme.large
                        font.weight: Font.Medium
                        color: Theme.primary
                    }
                    NameText {
                        width: parent.width
                        text: row.detail
                        elide: Text.ElideMiddle
                        size: Theme.footnote
                        color: Theme.tertiary
                    }
                }
                TextLabel {
                    id: size
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.sizeText
                    size: Theme.body
                    color: Theme.secondary
                }
                Row {
                    id: buttons
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: Theme.gapLarge
                    BorderedButton {
                        objectName: "leftoversButton"
                        fontSize: Theme.detail
                        text: qsTr("tools.leftovers") + (row.expanded ? " ▾" : " ▸")
                        onClicked: row.leftoversClicked()
                    }
                    BorderedButton {
                        objectName: "uninstallButton"
                        fontSize: Theme.detail
                        prominent: true
                        tint: Theme.risky
                        text: qsTr("tools.uninstall")
                        onClicked: row.uninstallClicked()
                    }
                }
            }
        }

        Column {
            objectName: "leftoverLines"
            visible: row.expanded
            x: 46
            width: parent.width - 58
            spacing: 3
            bottomPadding: 8

            TextLabel {
                objectName: "noLeftovers"
                visible: row.leftoversLoaded && row.leftovers.length === 0
                text: qsTr("common.none")
                size: Theme.caption
                color: Theme.tertiary
            }
            Repeater {
                model: row.expanded ? row.leftovers : []
                NameText {
                    required property string modelData
                    width: parent.width
                    text: modelData
                    elide: Text.ElideMiddle
                    size: Theme.footnote
                    color: Theme.secondary
                }
            }
        }

        Rectangle {
            x: 46
            width: parent.width - 46
            height: 1
            color: Theme.primaryAt(0.12 * 0.35)
        }
    }
}
