// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A stepper without a visible label: minus and plus buttons that move a value
// by stepSize within from..to. moved(value) reports a step; the owner stores it.
Row {
    id: stepper

    property int value
    property int from: 0
    property int to: 100
    property int stepSize: 1
    // The screen reader's name of the two buttons' value.
    property string label

    signal moved(int value)

    spacing: 0

    Repeater {
        model: [{ sign: "−", delta: -1, icon: "minus" }, { sign: "+", delta: 1, icon: "plus" }]
        delegate: AbstractButton {
            id: step
            required property var modelData
            required property int index
            objectName: index === 0 ? "stepDown" : "stepUp"
            readonly property int target: stepper.value + modelData.delta * stepper.stepSize
            enabled: modelData.delta < 0 ? stepper.value > stepper.from : stepper.value < stepper.to
            focusPolicy: Qt.TabFocus
            width: 22
            height: 20
            text: stepper.label + " " + modelData.sign
            Accessible.role: Accessible.Button
            Accessible.name: text
            Accessible.onPressAction: if (step.enabled) step.clicked()
            contentItem: Text {
                text: step.modelData.sign
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                font.pointSize: Theme.pt(Theme.heading)
                color: step.enabled ? Theme.primary : Theme.tertiary
            }
            background: Rectangle {
                radius: 5
                color: step.down ? Theme.primaryAt(0.12) : Theme.cardBG
                border.width: 1
                border.color: Theme.primaryAt(0.15)
            }
            onClicked: stepper.moved(Math.max(stepper.from, Math.min(stepper.to, target)))
        }
    }
}
