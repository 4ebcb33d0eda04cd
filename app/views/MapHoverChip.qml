// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core
import Tidlo.Views

// The chip over the storage map's corner: the hovered folder's colour, name
// and size, readable by a screen reader as one line.
Rectangle {
    id: chip

    required property TreemapItem map
    required property AppModel app

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 10
    radius: height / 2
    color: Qt.rgba(Theme.cardBG.r, Theme.cardBG.g, Theme.cardBG.b, 0.85)
    border.width: 1
    border.color: Theme.primaryAt(0.08)
    Accessible.role: Accessible.StaticText
    Accessible.name: name.text + " " + size.text

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 7
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 8
            height: 8
            radius: 2
            color: chip.map.hoveredColor
        }
        NameText {
            id: name
            objectName: "chipName"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, 360)
            text: chip.map.hoveredName
            size: Theme.control
            font.weight: Font.Medium
            color: Theme.primary
        }
        TextLabel {
            id: size
            objectName: "chipSize"
            anchors.verticalCenter: parent.verticalCenter
            text: chip.app.sizeText(chip.map.hoveredSize)
            size: Theme.control
            color: Theme.secondary
        }
    }
}
