// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The Overview's category card: one bar per top-level folder, each relative
// to the largest (the first).
Card {
    id: card
    objectName: "categoryCard"

    required property AppModel app
    readonly property var rows: app.categories
    readonly property real largest: rows.length > 0 ? rows[0].size : 0

    Column {
        width: parent.width
        spacing: Theme.sectionGap
        Row {
            spacing: Theme.gap
            TextLabel {
                id: title
                text: qsTr("ov.byCategory")
                size: Theme.heading
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            TextLabel {
                anchors.baseline: title.baseline
                text: qsTr("ov.byCategoryHint")
                size: Theme.caption
                color: Theme.tertiary
            }
        }
        Column {
            objectName: "categoryRows"
            width: parent.width
            visible: card.rows.length > 0
            spacing: Theme.gap
            Repeater {
                model: card.rows
                delegate: Row {
                    id: line
                    required property var modelData
                    readonly property real share: card.largest > 0 ? line.modelData.size / card.largest : 0
                    width: parent.width
                    spacing: Theme.gap
                    NameText {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 92
                        text: line.modelData.name
                        size: Theme.callout
                        color: Theme.primary
                    }
                    Rectangle {
                        id: track
                        anchors.verticalCenter: parent.verticalCenter
                        width: line.width - 92 - 66 - 2 * line.spacing
                        height: 7
                        radius: 3.5
                        color: Theme.primaryAt(0.06)
                        Rectangle {
                            objectName: "categoryBar"
                            width: Math.max(track.width * line.share, 3)
                            height: parent.height
                            radius: 3.5
                            gradient: Gradient {
                                orientation: Gradient.Horizontal
                                GradientStop { position: 0; color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.85) }
                                GradientStop { position: 1; color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.45) }
                            }
                        }
                    }
                    TextLabel {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 66
                        horizontalAlignment: Text.AlignRight
                        text: card.app.sizeText(line.modelData.size)
                        size: Theme.control
                        color: Theme.secondary
                        Accessible.name: line.modelData.name + " " + text
                    }
                }
            }
        }
        SmallLoading {
            objectName: "categoryLoading"
            visible: card.rows.length === 0
            width: parent.width
        }
    }
}
