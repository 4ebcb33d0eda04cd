// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A reading's header line on a System card: its title on the left, its value
// ("11.2 GB / 16.0 GB") on the right.
Item {
    id: line

    property string title
    property string value

    implicitHeight: Math.max(titleText.implicitHeight, valueText.implicitHeight)

    TextLabel {
        id: titleText
        anchors.verticalCenter: parent.verticalCenter
        text: line.title
        size: Theme.body
        font.weight: Font.DemiBold
        color: Theme.primary
    }
    TextLabel {
        id: valueText
        anchors { right: parent.right; verticalCenter: parent.verticalCenter }
        text: line.value
        size: Theme.control
        color: Theme.secondary
    }
}
