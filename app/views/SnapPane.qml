// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Snapshots pane: the file-system snapshots the engine reads, each time the
// tab is chosen, and the command that deletes one, to copy. Nothing is deleted
// here. Where there are none, the pane says so under the hint of where
// snapshots come from.
Item {
    id: pane
    objectName: "snapPane"

    required property AppModel app
    property var snaps: []
    property bool loading: true

    Toolbox {
        id: box
        services: pane.app.services
        onSnapshotsRead: (lines) => {
            pane.snaps = lines
            pane.loading = false
        }
    }

    Component.onCompleted: box.readSnapshots()

    Column {
        id: column
        anchors { left: parent.left; right: parent.right; top: parent.top; bottom: parent.bottom
                  leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        spacing: 12

        TextLabel {
            text: qsTr("tools.snapHint")
            size: Theme.detail
            color: Theme.tertiary
        }
        BusyIndicator {
            visible: pane.loading
            running: visible
            implicitWidth: 20
            implicitHeight: 20
            padding: 0
        }
        TextLabel {
            objectName: "snapCount"
            visible: !pane.loading && pane.snaps.length > 0
            text: pane.snaps.length + " " + qsTr(Lang.countKey("common.items", pane.snaps.length))
            size: Theme.body
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        ListView {
            objectName: "snapList"
            visible: !pane.loading && pane.snaps.length > 0
            width: parent.width
            height: Math.min(contentHeight, column.height - 160)
            clip: true
            spacing: 4
            model: pane.snaps
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ListScrollBar {}
            delegate: Rectangle {
                id: snapRow
                required property var modelData
                required property int index
                width: ListView.view.width
                height: snapLine.implicitHeight + 10
                radius: Theme.controlRadius
                color: Theme.primaryAt(0.04)
                Row {
                    id: snapLine
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: Theme.gap
                    Symbol {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "clock.arrow.circlepath"
                        size: 10
                        color: Theme.tertiary
                    }
                    NameText {
                        objectName: "snapStamp"
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, snapRow.width - 200)
                        text: snapRow.modelData.text
                        font.family: "monospace"
                        size: Theme.callout
                        color: Theme.primary
                    }
                    BorderedButton {
                        objectName: "copyCommand_" + snapRow.index
                        anchors.verticalCenter: parent.verticalCenter
                        visible: snapRow.modelData.command !== ""
                        fontSize: Theme.detail
                        text: qsTr("common.copy")
                        ToolTip.visible: hovered
                        ToolTip.text: snapRow.modelData.command
                        onClicked: Desktop.copyText(snapRow.modelData.command)
                    }
                }
            }
        }
        TextLabel {
            objectName: "snapNone"
            visible: !pane.loading && pane.snaps.length === 0
            text: qsTr("tools.snapNone")
            size: Theme.body
            color: Theme.secondary
        }
    }
}
