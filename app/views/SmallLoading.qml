// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A card's placeholder while its figures load: a small indicator above
// "Scanning…", in a frame 120 points high.
Item {
    id: note

    implicitWidth: column.implicitWidth
    implicitHeight: 120

    Column {
        id: column
        anchors.centerIn: parent
        spacing: Theme.gap
        BusyIndicator {
            anchors.horizontalCenter: parent.horizontalCenter
            implicitWidth: 20
            implicitHeight: 20
            padding: 0
            running: note.visible
        }
        TextLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("common.loading")
            size: Theme.control
            color: Theme.secondary
        }
    }
}
