// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The Overview's disk card: the ring of the used share and three figures.
Card {
    id: card

    required property AppModel app
    property var volume: app.volume
    // Used over total; 0 for a volume that reports no total.
    readonly property real ratio: volume.total >= 1 ? volume.used / volume.total : 0

    Column {
        spacing: Theme.sectionGap
        TextLabel {
            text: qsTr("ov.disk")
            size: Theme.heading
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Row {
            spacing: 22
            DiskRing {
                objectName: "diskRing"
                ratio: card.ratio
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: Theme.gap
                Repeater {
                    model: [
                        { key: "ov.used", bytes: card.volume.used, tone: Theme.accent },
                        { key: "ov.free", bytes: card.volume.free, tone: Theme.secondary },
                        { key: "common.total", bytes: card.volume.total, tone: Theme.secondary }
                    ]
                    delegate: Row {
                        required property var modelData
                        spacing: Theme.gapSmall
                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 7
                            height: 7
                            radius: 3.5
                            color: parent.modelData.tone
                        }
                        TextLabel {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 52
                            text: qsTr(parent.modelData.key)
                            size: Theme.callout
                            color: Theme.primary
                            elide: Text.ElideRight
                        }
                        TextLabel {
                            anchors.verticalCenter: parent.verticalCenter
                            text: card.app.sizeText(parent.modelData.bytes || 0)
                            size: Theme.large
                            font.weight: Font.Medium
                            color: parent.modelData.tone
                            Accessible.name: qsTr(parent.modelData.key) + " " + text
                        }
                    }
                }
            }
        }
    }
}
