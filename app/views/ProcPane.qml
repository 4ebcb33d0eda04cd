// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Processes pane: the app's own memory, the running scan with its Cancel,
// and the processes holding the most memory. While the pane is on screen the
// list is read again every 3 seconds (off the main thread, by the model); the
// timer lives and dies with the pane, so leaving the tab stops the polling and
// coming back reads at once.
Item {
    id: pane
    objectName: "procPane"

    required property AppModel app

    Timer {
        id: timer
        objectName: "procTimer"
        interval: 3000
        repeat: true
        running: true
        onTriggered: pane.app.refreshProcesses()
    }

    Component.onCompleted: app.refreshProcesses()

    Item {
        id: head
        anchors { left: parent.left; right: parent.right; top: parent.top; topMargin: 4
                  leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        height: Math.max(ownBox.height, notes.height)

        Rectangle {
            id: ownBox
            width: ownColumn.implicitWidth + 28
            height: ownColumn.implicitHeight + 28
            radius: 10
            color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.10)
            Column {
                id: ownColumn
                x: 14
                y: 14
                spacing: 3
                TextLabel {
                    text: qsTr("proc.own")
                    size: Theme.detail
                    color: Theme.secondary
                }
                FigureText {
                    objectName: "ownMem"
                    text: pane.app.sizeText(pane.app.ownMem)
                    size: Theme.hero
                    font.weight: Font.Bold
                    color: Theme.accent
                }
            }
        }

        Column {
            id: notes
            anchors { left: ownBox.right; leftMargin: 12; right: refresh.left; rightMargin: 12
                      verticalCenter: ownBox.verticalCenter }
            spacing: 4
            TextLabel {
                width: parent.width
                text: qsTr("proc.note")
                wrapMode: Text.Wrap
                size: Theme.detail
                color: Theme.secondary
            }
            TextLabel {
                text: qsTr("proc.hint")
                size: Theme.caption
                color: Theme.tertiary
            }
            Row {
                objectName: "scanLine"
                visible: pane.app.scanning
                spacing: Theme.gap
                AccentProgressBar {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 140
                    value: pane.app.progress
                    Accessible.name: Math.round(pane.app.progress * 100) + "%"
                }
                TextLabel {
                    anchors.verticalCenter: parent.verticalCenter
                    text: pane.app.phaseKey !== "" ? qsTr(pane.app.phaseKey) : ""
                    size: Theme.caption
                    color: Theme.secondary
                }
                BorderedButton {
                    objectName: "cancelScan"
                    anchors.verticalCenter: parent.verticalCenter
                    fontSize: Theme.detail
                    text: qsTr("common.cancelScan")
                    onClicked: pane.app.cancelScan()
                }
            }
            TextLabel {
                objectName: "noScan"
                visible: !pane.app.scanning
                text: qsTr("scan.none")
                size: Theme.caption
                color: Theme.tertiary
            }
        }

        BorderedButton {
            id: refresh
            objectName: "procRefresh"
            anchors { right: parent.right; verticalCenter: ownBox.verticalCenter }
            symbol: "arrow.clockwise"
            text: qsTr("proc.refresh")
            onClicked: pane.app.refreshProcesses()
        }
    }

    TextLabel {
        id: topTitle
        anchors { left: parent.left; top: head.bottom; topMargin: 12; leftMargin: Theme.pageMargin }
        text: qsTr("proc.top")
        size: Theme.control
        font.weight: Font.DemiBold
        color: Theme.primary
    }

    ListView {
        objectName: "procList"
        anchors { left: parent.left; right: parent.right; top: topTitle.bottom; bottom: parent.bottom
                  topMargin: 12; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        clip: true
        spacing: 4
        // A reading changes only the rows and roles that differ (ProcessModel),
        // so the rows stay and rebind just what moved.
        model: pane.app.procs
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ListScrollBar {}
        delegate: ProcRow {
            width: ListView.view.width
        }
    }
}
