// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// One of the Overview's figure cards: an icon in a tinted square, a title, a
// value and a hint, on a card that is a button.
AbstractButton {
    id: card

    property string symbol
    property color tint: Theme.accent
    property string title
    property string value
    property string hint

    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    implicitHeight: background ? background.implicitHeight : 0
    Accessible.role: Accessible.Button
    Accessible.name: title + " " + value
    Accessible.onPressAction: if (card.enabled) card.clicked()

    contentItem: Item {}
    background: Card {
        Row {
            spacing: 12
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 34
                height: 34
                radius: 9
                color: Qt.rgba(card.tint.r, card.tint.g, card.tint.b, 0.12)
                Symbol {
                    anchors.centerIn: parent
                    name: card.symbol
                    size: 16
                    weight: Font.Medium
                    color: card.tint
                }
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2
                TextLabel {
                    text: card.title
                    size: Theme.callout
                    color: Theme.secondary
                }
                FigureText {
                    objectName: "statValue"
                    text: card.value
                }
                TextLabel {
                    text: card.hint
                    size: Theme.footnote
                    color: Theme.tertiary
                }
            }
        }
    }
}
