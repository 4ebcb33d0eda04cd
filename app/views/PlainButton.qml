// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A borderless button: an optional symbol and a label in one colour, drawn in
// the tertiary colour when disabled; it dims while pressed.
AbstractButton {
    id: button

    property string symbol: ""
    property real fontSize: Theme.control
    property int weight: Font.Normal
    property color tone: Theme.secondary

    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    padding: 0
    opacity: down ? 0.6 : 1
    Accessible.role: Accessible.Button
    Accessible.name: text
    // A screen reader's press is a click, and a disabled button takes neither.
    Accessible.onPressAction: if (button.enabled) button.clicked()
    baselineOffset: topPadding + label.y + label.baselineOffset

    contentItem: Row {
        spacing: 4
        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol !== ""
            name: button.symbol
            size: button.fontSize
            color: label.color
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            text: button.text
            font.pointSize: Theme.pt(button.fontSize)
            font.weight: button.weight
            color: button.enabled ? button.tone : Theme.tertiary
            elide: Text.ElideRight
            textFormat: Text.PlainText
        }
    }
    background: Item {}
}
