// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// One process: its name, a bar of its memory against the largest process's,
// its memory and its pid. The app's own process is drawn in full accent.
Rectangle {
    id: row

    required property string displayName
    required property string rssText
    required property int pid
    // rss over the largest process's rss.
    required property real share
    // The app's own process.
    required property bool own

    implicitHeight: line.implicitHeight + 8
    radius: Theme.controlRadius
    color: Theme.primaryAt(0.025)
    Accessible.role: Accessible.ListItem
    Accessible.name: displayName + ", " + rssText + ", " + pid

    Row {
        id: line
        anchors { left: parent.left; right: parent.right; leftMargin: 10; rightMargin: 10
                  verticalCenter: parent.verticalCenter }
        spacing: Theme.gapLarge

        NameText {
            objectName: "procName"
            width: 170
            anchors.verticalCenter: parent.verticalCenter
            text: row.displayName
            size: Theme.control
            color: Theme.primary
        }
        UsageBar {
            objectName: "procBar"
            anchors.verticalCenter: parent.verticalCenter
            width: line.width - 170 - 72 - 52 - 3 * line.spacing
            trackOpacity: 0.05
            fraction: row.share
            fill: row.own ? Theme.accent : Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.45)
        }
        TextLabel {
            objectName: "procRss"
            width: 72
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            text: row.rssText
            font.family: "monospace"
            size: Theme.detail
            color: Theme.secondary
        }
        TextLabel {
            objectName: "procPid"
            width: 52
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            text: row.pid
            font.family: "monospace"
            size: Theme.footnote
            color: Theme.tertiary
        }
    }
}
