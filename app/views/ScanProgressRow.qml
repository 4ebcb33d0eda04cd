// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The scan's progress across a page: a bar tinted with the accent and the
// current phase beside it.
Item {
    id: progressRow

    required property AppModel app

    implicitHeight: row.implicitHeight + 10

    Row {
        id: row
        anchors { left: parent.left; right: parent.right; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        spacing: Theme.gap

        AccentProgressBar {
            id: bar
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - phase.width - parent.spacing
            value: progressRow.app.progress
            Accessible.name: phase.text
        }
        TextLabel {
            id: phase
            width: 130
            text: qsTr(progressRow.app.phaseKey)
            size: Theme.detail
            color: Theme.secondary
            elide: Text.ElideRight
        }
    }
}
