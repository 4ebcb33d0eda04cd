// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core
import Tidlo.Views

// The Overview's file-type card: the type ring and its legend.
Card {
    id: card

    required property AppModel app

    Column {
        spacing: Theme.sectionGap
        Row {
            spacing: Theme.gap
            TextLabel {
                id: title
                text: qsTr("ov.typeChart")
                size: Theme.heading
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            TextLabel {
                anchors.baseline: title.baseline
                text: qsTr("ov.typeHint")
                size: Theme.footnote
                color: Theme.tertiary
            }
        }
        Row {
            visible: card.app.typeBuckets.length > 0
            spacing: Theme.sectionGap
            TypeDonut {
                objectName: "typeDonut"
                buckets: card.app.typeBuckets
                sizeText: card.app.sizeText
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: Theme.gapSmall
                Repeater {
                    model: card.app.typeBuckets
                    delegate: Row {
                        required property var modelData
                        spacing: Theme.gapSmall
                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 8
                            height: 8
                            radius: 2
                            color: Treemap.color(parent.modelData.index, 0)
                        }
                        TextLabel {
                            anchors.verticalCenter: parent.verticalCenter
                            text: parent.modelData.name
                            size: Theme.detail
                            color: Theme.primary
                        }
                        TextLabel {
                            anchors.verticalCenter: parent.verticalCenter
                            text: card.app.sizeText(parent.modelData.size)
                            size: Theme.caption
                            color: Theme.secondary
                            Accessible.name: parent.modelData.name + " " + text
                        }
                    }
                }
            }
        }
        SmallLoading {
            objectName: "typeLoading"
            visible: card.app.typeBuckets.length === 0
            width: 240
        }
    }
}
