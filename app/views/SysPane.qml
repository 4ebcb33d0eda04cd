// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The System pane: memory and disk as bars, the user's Trash with Open and
// Empty Trash (behind a confirmation; emptying is for good), and the agents
// that start at login. The readings are taken off the main thread each time
// the tab is chosen and again after emptying the Trash.
Item {
    id: pane
    objectName: "sysPane"

    required property AppModel app
    property real memTotal: 0
    property real memFree: 0
    property real trashSize: 0
    property int trashCount: 0
    property var logins: []

    readonly property real memUsed: memTotal - memFree
    property var volume: app.volume

    Toolbox {
        id: box
        services: pane.app.services
        onSystemRead: (r) => {
            pane.memTotal = r.memTotal
            pane.memFree = r.memFree
            pane.trashSize = r.trashSize
            pane.trashCount = r.trashCount
            pane.logins = r.logins
        }
        onTrashLeft: (count) => toast.show(Lang.format(qsTr(Lang.countKey("tools.emptyLeft", count)), [count]))
    }

    Component.onCompleted: box.readSystem()

    Flickable {
        anchors.fill: parent
        contentHeight: cards.height + 20
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ListScrollBar {}

        Column {
            id: cards
            x: Theme.pageMargin
            width: parent.width - 2 * Theme.pageMargin
            spacing: 12

            Card {
                width: parent.width
                Column {
                    width: parent.width
                    spacing: Theme.gap
                    ReadingLine {
                        width: parent.width
                        title: qsTr("tools.sysMem")
                        value: pane.app.sizeText(pane.memUsed) + " / " + pane.app.sizeText(pane.memTotal)
                    }
                    UsageBar {
                        objectName: "memBar"
                        width: parent.width
                        fraction: pane.memUsed / (pane.memTotal < 2 ? 1 : pane.memTotal)
                    }
                }
            }

            Card {
                width: parent.width
                Column {
                    width: parent.width
                    spacing: Theme.gap
                    ReadingLine {
                        width: parent.width
                        title: qsTr("tools.sysDisk")
                        value: pane.app.sizeText(pane.volume.used) + " / " + pane.app.sizeText(pane.volume.total)
                    }
                    UsageBar {
                        objectName: "diskBar"
                        width: parent.width
                        fraction: pane.volume.total < 1 ? 0 : pane.volume.used / pane.volume.total
                    }
                }
            }

            Card {
                width: parent.width
                Item {
                    width: parent.width
                    height: Math.max(trashText.height, trashButtons.height)
                    Column {
                        id: trashText
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 2
                        TextLabel {
                            text: qsTr("tools.sysTrash")
                            size: Theme.body
                            font.weight: Font.DemiBold
                            color: Theme.primary
                        }
                        TextLabel {
                            objectName: "trashLine"
                            text: pane.trashCount + " " + qsTr(Lang.countKey("common.items", pane.trashCount)) + " · " + pane.app.sizeText(pane.trashSize)
                            size: Theme.detail
                            color: Theme.secondary
                        }
                    }
                    Row {
                        id: trashButtons
                        anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                        spacing: 12
                        BorderedButton {
                            objectName: "openTrash"
                            fontSize: Theme.detail
                            text: qsTr("common.open")
                            onClicked: Desktop.openTrash()
                        }
                        BorderedButton {
                            objectName: "emptyTrash"
                            fontSize: Theme.detail
                            prominent: true
                            tint: Theme.risky
                            text: qsTr("common.emptyTrash")
                            onClicked: confirm.open()
                        }
                    }
                }
            }

            Card {
                width: parent.width
                Column {
                    width: parent.width
                    spacing: Theme.gapSmall
                    TextLabel {
                        objectName: "loginTitle"
                        text: qsTr("tools.sysLogin") + " · " + pane.logins.length
                        size: Theme.body
                        font.weight: Font.DemiBold
                        color: Theme.primary
                    }
                    Repeater {
                        objectName: "loginLines"
                        model: pane.logins.slice(0, 12)
                        NameText {
                            required property string modelData
                            width: parent.width
                            text: modelData
                            font.family: "monospace"
                            size: Theme.caption
                            color: Theme.secondary
                        }
                    }
                    TextLabel {
                        visible: pane.logins.length === 0
                        text: qsTr("common.none")
                        size: Theme.caption
                        color: Theme.tertiary
                    }
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        title: qsTr("common.emptyTrash")
        message: qsTr("tools.emptyWarn")
        confirmText: qsTr("tools.emptyConfirm")
        onConfirmed: box.emptyTrash()
    }

    Toast {
        id: toast
        objectName: "toast"
    }
}
