// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A framed panel: the content inset 16 on every side, on a rounded panel in
// the control-background colour with a faint outline drawn inside its edge.
Rectangle {
    id: card

    default property alias content: inner.data
    property real padding: 16

    implicitWidth: inner.childrenRect.width + 2 * padding
    implicitHeight: inner.childrenRect.height + 2 * padding
    radius: Theme.cardRadius
    color: Theme.cardBG
    border.width: 1
    border.color: Theme.primaryAt(0.06)

    Item {
        id: inner
        anchors.fill: parent
        anchors.margins: card.padding
    }
}
