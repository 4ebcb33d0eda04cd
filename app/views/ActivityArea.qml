// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The sidebar's activity area: while a full scan runs, its progress, phase and
// a Cancel button; otherwise, while some other search runs, its status line.
// Nothing at all when idle.
Item {
    id: area

    required property AppModel app

    readonly property bool showScan: app.scanning
    readonly property bool showStatus: !app.scanning && app.statusText !== ""

    visible: showScan || showStatus
    implicitWidth: 208
    implicitHeight: visible ? (showScan ? scanColumn.implicitHeight : statusRow.implicitHeight) + 14 : 0

    Column {
        id: scanColumn
        objectName: "scanActivity"
        visible: area.showScan
        anchors { left: parent.left; right: parent.right; leftMargin: 18; rightMargin: 18 }
        spacing: Theme.gapSmall

        AccentProgressBar {
            id: bar
            width: parent.width
            value: area.app.progress
        }

        Row {
            spacing: Theme.gapSmall

            TextLabel {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr(area.app.phaseKey)
                size: Theme.caption
                color: Theme.secondary
            }
            AbstractButton {
                id: cancel
                objectName: "cancelButton"
                text: qsTr("common.cancel")
                Accessible.role: Accessible.Button
                Accessible.name: text
                Accessible.onPressAction: if (cancel.enabled) cancel.clicked()
                anchors.verticalCenter: parent.verticalCenter
                focusPolicy: Qt.NoFocus
                contentItem: Text {
                    text: qsTr("common.cancel")
                    font.pointSize: Theme.pt(Theme.caption)
                    font.weight: Font.Medium
                    color: Theme.risky
                    opacity: cancel.pressed ? 0.6 : 1
                }
                onClicked: area.app.cancelScan()
            }
        }
    }

    Row {
        id: statusRow
        objectName: "statusLine"
        visible: area.showStatus
        anchors { left: parent.left; leftMargin: 18 }
        spacing: Theme.gapSmall

        BusyIndicator {
            anchors.verticalCenter: parent.verticalCenter
            // The control's own padding would leave the wheel a couple of
            // pixels wide; the box is all wheel.
            padding: 0
            implicitWidth: 14
            implicitHeight: 14
            running: statusRow.visible
        }
        TextLabel {
            anchors.verticalCenter: parent.verticalCenter
            text: area.app.statusText
            size: Theme.control
            color: Theme.secondary
        }
    }
}
