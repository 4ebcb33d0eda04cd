import QtQuick
import QtQuick.Controls.Basic

// A borderless button: its label (and an optional symbol) in a colour, with no
// frame; it dims while pressed.
AbstractButton {
    id: button

    property string symbol: ""
    property real fontSize: 11
    property int weight: Font.Normal
    property color tone: Theme.secondary

    focusPolicy: Qt.TabFocus
    padding: 0
    opacity: !enabled ? 0.4 : down ? 0.6 : 1
    Accessible.role: Accessible.Button
    Accessible.name: text
    baselineOffset: topPadding + label.y + label.baselineOffset

    contentItem: Row {
        spacing: 4
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
        }
    }
}
