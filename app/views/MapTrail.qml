// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Layouts
import Tidlo.Core

// The storage map's breadcrumb: Home, the folders the user came through, the
// folder shown, then its size and the Up button.
RowLayout {
    id: trail

    required property AppModel app

    spacing: Theme.gapSmall

    PlainButton {
        objectName: "mapHome"
        symbol: "house"
        text: qsTr("map.home")
        onClicked: trail.app.map.home()
    }
    Repeater {
        model: trail.app.map.trail
        delegate: Row {
            id: entry
            required property var modelData
            required property int index
            spacing: Theme.gapSmall
            Layout.maximumWidth: 160
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "chevron.right"
                size: 8
                color: Theme.tertiary
            }
            PlainButton {
                objectName: "mapTrail" + entry.index
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, 140)
                text: entry.modelData.name
                weight: Font.Medium
                tone: Theme.primary
                onClicked: trail.app.map.trailBack(entry.index)
            }
        }
    }
    Symbol {
        visible: trail.app.map.hasRoot
        name: "chevron.right"
        size: 8
        color: Theme.tertiary
    }
    NameText {
        objectName: "mapCurrent"
        visible: trail.app.map.hasRoot
        Layout.maximumWidth: 260
        text: trail.app.map.name
        size: Theme.control
        font.weight: Font.DemiBold
        color: Theme.primary
    }
    Item {
        Layout.fillWidth: true
    }
    TextLabel {
        objectName: "mapSize"
        visible: trail.app.map.hasRoot
        text: trail.app.sizeText(trail.app.map.size)
        size: Theme.control
        color: Theme.secondary
    }
    PlainButton {
        objectName: "mapUp"
        visible: trail.app.map.hasRoot
        enabled: trail.app.map.trail.length > 0
        symbol: "arrow.up.left"
        text: qsTr("map.up")
        onClicked: trail.app.map.up()
    }
}
