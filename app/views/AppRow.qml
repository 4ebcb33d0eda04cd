// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// One application of the Apps pane: icon, name, where it came from and its id,
// size, the leftovers button and what removes it: an uninstall button, or for
// an application the system manages the command to copy. Expanded, it lists
// its leftovers with their sizes, each ticked to go with the application and
// with a button that moves it to the Trash alone. A click on the line shows
// the application's file in the file manager.
Item {
    id: row

    required property string path
    required property string name
    required property string detail
    required property string sizeText
    required property string iconSource
    required property string sourceText
    required property int removal
    required property string command
    property bool expanded: false
    property AppLeftoverModel leftovers: null
    property bool leftoversLoaded: false
    // An uninstall is running somewhere in the list.
    property bool busy: false

    readonly property bool byCommand: removal === InstalledAppModel.Command

    signal leftoversClicked()
    signal uninstallClicked()
    signal leftoverChosen(string leftoverPath, bool chosen)
    signal leftoverTrashClicked(string leftoverPath)

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

                Item {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 24
                    height: 24
                    Image {
                        id: icon
                        objectName: "appIcon"
                        anchors.fill: parent
                        visible: row.iconSource !== "" && status === Image.Ready
                        source: row.iconSource
                        sourceSize.width: 48
                        sourceSize.height: 48
                        fillMode: Image.PreserveAspectFit
                        smooth: true
                        mipmap: true
                    }
                    Symbol {
                        objectName: "appGlyph"
                        anchors.centerIn: parent
                        visible: !icon.visible
                        name: "square.grid.2x2"
                        size: 20
                        color: Theme.tertiary
                    }
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    width: line.width - x - buttons.width - size.width - 2 * line.spacing
                    NameText {
                        objectName: "appName"
                        width: parent.width
                        text: row.name
                        size: Theme.large
                        font.weight: Font.Medium
                        color: Theme.primary
                    }
                    Row {
                        width: parent.width
                        spacing: 6
                        TextLabel {
                            id: source
                            objectName: "appSource"
                            text: row.sourceText
                            size: Theme.footnote
                            font.weight: Font.Medium
                            color: Theme.secondary
                        }
                        NameText {
                            objectName: "appDetail"
                            width: parent.width - source.width - parent.spacing
                            text: row.detail
                            elide: Text.ElideMiddle
                            size: Theme.footnote
                            color: Theme.tertiary
                        }
                    }
                }
                TextLabel {
                    id: size
                    objectName: "appSize"
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
                        visible: !row.byCommand
                        enabled: !row.busy
                        fontSize: Theme.detail
                        prominent: true
                        tint: Theme.risky
                        text: qsTr("tools.uninstall")
                        onClicked: row.uninstallClicked()
                    }
                    BorderedButton {
                        objectName: "commandButton"
                        visible: row.byCommand
                        fontSize: Theme.detail
                        text: qsTr("apps.showCommand") + (row.expanded ? " ▾" : " ▸")
                        onClicked: row.leftoversClicked()
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
                objectName: "commandHint"
                visible: row.byCommand
                width: parent.width
                text: qsTr(row.command !== "" ? "apps.commandHint" : "apps.noCommand")
                size: Theme.caption
                color: Theme.secondary
                elide: Text.ElideRight
            }
            Row {
                visible: row.byCommand && row.command !== ""
                spacing: Theme.gap
                bottomPadding: 4
                CodeBox {
                    objectName: "removalCommand"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, row.width - 200)
                    text: row.command
                    elide: Text.ElideMiddle
                    fontSize: Theme.detail
                    Accessible.role: Accessible.StaticText
                    Accessible.name: row.command
                }
                BorderedButton {
                    objectName: "copyRemovalCommand"
                    anchors.verticalCenter: parent.verticalCenter
                    fontSize: Theme.detail
                    text: qsTr("common.copy")
                    onClicked: Desktop.copyText(row.command)
                }
            }
            // Over the leftovers: what the ticks mean, or where the command
            // ends and the leftovers begin.
            TextLabel {
                objectName: "leftoverHint"
                visible: row.leftoversLoaded && row.leftovers !== null
                         && (row.byCommand || row.leftovers.count > 0)
                text: qsTr(row.byCommand ? "tools.leftovers" : "apps.leftoverHint")
                size: Theme.caption
                color: Theme.tertiary
            }
            TextLabel {
                objectName: "noLeftovers"
                visible: row.leftoversLoaded && row.leftovers !== null && row.leftovers.count === 0
                text: qsTr("common.none")
                size: Theme.caption
                color: Theme.tertiary
            }
            Repeater {
                model: row.expanded ? row.leftovers : null
                Item {
                    id: leftover
                    required property string path
                    required property string shownPath
                    required property string sizeText
                    required property bool chosen
                    objectName: "leftoverLine"
                    width: parent.width
                    height: Math.max(leftoverName.implicitHeight, trashLeftover.implicitHeight)

                    CheckBox {
                        id: check
                        objectName: "leftoverCheck"
                        anchors.verticalCenter: parent.verticalCenter
                        visible: !row.byCommand
                        width: visible ? 14 : 0
                        height: 14
                        focusPolicy: Qt.NoFocus
                        padding: 0
                        spacing: 0
                        text: leftover.shownPath
                        // The model owns the state: a click asks it, and the
                        // box follows the model again.
                        checked: leftover.chosen
                        onToggled: row.leftoverChosen(leftover.path, checked)
                        Accessible.name: leftover.shownPath
                        Accessible.onPressAction: row.leftoverChosen(leftover.path, !leftover.chosen)
                        contentItem: null
                        indicator: Rectangle {
                            anchors.fill: parent
                            radius: 3
                            color: check.checked ? Theme.accent : "transparent"
                            border.width: check.checked ? 0 : 1
                            border.color: Theme.primaryAt(0.35)
                            Text {
                                anchors.centerIn: parent
                                visible: check.checked
                                text: "✓"
                                textFormat: Text.PlainText
                                font.pixelSize: 11
                                font.bold: true
                                color: "white"
                            }
                        }
                    }
                    NameText {
                        id: leftoverName
                        objectName: "leftoverPath"
                        anchors { left: check.right; leftMargin: check.visible ? 6 : 0; right: leftoverSize.left; rightMargin: Theme.gap; verticalCenter: parent.verticalCenter }
                        text: leftover.shownPath
                        elide: Text.ElideMiddle
                        size: Theme.footnote
                        color: Theme.secondary
                    }
                    TextLabel {
                        id: leftoverSize
                        objectName: "leftoverSize"
                        anchors { right: trashLeftover.left; rightMargin: Theme.gap; verticalCenter: parent.verticalCenter }
                        text: leftover.sizeText
                        size: Theme.footnote
                        color: Theme.secondary
                    }
                    AbstractButton {
                        id: trashLeftover
                        objectName: "trashLeftover"
                        anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                        focusPolicy: Qt.TabFocus
                        hoverEnabled: true
                        enabled: !row.busy
                        opacity: enabled ? (down ? 0.6 : 1) : 0.4
                        padding: 2
                        ToolTip.visible: hovered
                        ToolTip.text: qsTr("common.delete")
                        Accessible.role: Accessible.Button
                        Accessible.name: ToolTip.text
                        Accessible.onPressAction: if (trashLeftover.enabled) trashLeftover.clicked()
                        contentItem: Symbol {
                            name: "trash"
                            size: 11
                            color: Theme.secondary
                        }
                        background: null
                        onClicked: row.leftoverTrashClicked(leftover.path)
                    }
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
