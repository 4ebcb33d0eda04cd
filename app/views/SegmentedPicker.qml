// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A segmented picker without a label: equal segments in one rounded frame,
// the chosen one raised on a panel. choices is a list of {text, value};
// picked(value) reports a press, the owner stores the value.
Rectangle {
    id: picker

    required property var choices
    property string value
    signal picked(string value)

    implicitWidth: 250
    implicitHeight: 24
    radius: Theme.fieldRadius
    color: Theme.primaryAt(0.06)
    border.width: 1
    border.color: Theme.primaryAt(0.08)

    Row {
        anchors.fill: parent
        anchors.margins: 2

        Repeater {
            model: picker.choices
            delegate: AbstractButton {
                id: segment
                required property var modelData
                readonly property bool chosen: picker.value === modelData.value
                objectName: "segment_" + modelData.value
                width: parent.width / picker.choices.length
                height: parent.height
                text: modelData.text
                focusPolicy: Qt.TabFocus
                Accessible.role: Accessible.RadioButton
                Accessible.name: text
                Accessible.checkable: true
                Accessible.checked: chosen
                Accessible.onPressAction: if (segment.enabled) segment.clicked()
                contentItem: Text {
                    text: segment.text
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pointSize: Theme.pt(Theme.control)
                    font.weight: segment.chosen ? Font.Medium : Font.Normal
                    color: Theme.primary
                }
                background: Rectangle {
                    radius: 5
                    color: segment.chosen ? Theme.cardBG : "transparent"
                    border.width: segment.chosen ? 1 : 0
                    border.color: Theme.primaryAt(0.1)
                }
                onClicked: picker.picked(modelData.value)
            }
        }
    }
}
