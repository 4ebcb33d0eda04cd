// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core
import Tidlo.Views

// The Overview's file-type card: the type ring and its legend.
Card {
    id: card

    required property AppModel app

    Column {
        spacing: 14
        Row {
            spacing: 8
            TextLabel {
                id: title
                text: qsTr("ov.typeChart")
                font.pointSize: Theme.pt(13)
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            TextLabel {
                anchors.baseline: title.baseline
                text: qsTr("ov.typeHint")
                font.pointSize: Theme.pt(9.5)
                color: Theme.tertiary
            }
        }
        Row {
            visible: card.app.typeBuckets.length > 0
            spacing: 14
            TypeDonut {
                objectName: "typeDonut"
                buckets: card.app.typeBuckets
                sizeText: card.app.sizeText
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6
                Repeater {
                    model: card.app.typeBuckets
                    delegate: Row {
                        required property var modelData
                        spacing: 6
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
                            font.pointSize: Theme.pt(10.5)
                            color: Theme.primary
                        }
                        TextLabel {
                            anchors.verticalCenter: parent.verticalCenter
                            text: card.app.sizeText(parent.modelData.size)
                            font.pointSize: Theme.pt(10)
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
