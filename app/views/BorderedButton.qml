// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A bordered push button: an optional symbol and a label. The prominent kind
// is filled with a tint (the accent unless given) and draws its label white.
AbstractButton {
    id: button

    property string symbol: ""
    property real fontSize: Theme.control
    property int weight: Font.Normal
    property bool prominent: false
    property color tint: Theme.accent

    readonly property color tone: prominent ? "white" : Theme.primary

    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    leftPadding: 10
    rightPadding: 10
    topPadding: 4
    bottomPadding: 4
    opacity: enabled ? 1 : 0.4
    Accessible.role: Accessible.Button
    Accessible.name: text
    // A screen reader's press is a click, and a disabled button takes neither.
    Accessible.onPressAction: if (button.enabled) button.clicked()
    // Lets a row of buttons sit on a page title's baseline.
    baselineOffset: topPadding + content.y + label.y + label.baselineOffset

    // Centred, for a button made wider than its label.
    contentItem: Item {
        implicitWidth: content.implicitWidth
        implicitHeight: content.implicitHeight
        Row {
            id: content
            anchors.centerIn: parent
            spacing: 5
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                visible: button.symbol !== ""
                name: button.symbol
                size: button.fontSize
                color: button.tone
            }
            Text {
                id: label
                anchors.verticalCenter: parent.verticalCenter
                text: button.text
                font.pointSize: Theme.pt(button.fontSize)
                font.weight: button.weight
                color: button.tone
                textFormat: Text.PlainText
            }
        }
    }

    background: Rectangle {
        implicitHeight: 22
        radius: Theme.controlRadius
        color: button.prominent ? (button.down ? Qt.darker(button.tint, 1.15) : button.tint)
                                : (button.down ? Theme.primaryAt(0.12) : Theme.cardBG)
        border.width: button.prominent ? 0 : 1
        border.color: Theme.primaryAt(button.hovered ? 0.25 : 0.15)
    }
}
