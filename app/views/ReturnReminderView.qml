// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Layouts
import Tidlo.Core

// The return reminder: over a dimmed window, a card listing up to three
// features not opened for two weeks, each with Open, and Got it. It only
// reports the choice; the window marks the features and switches pages.
Rectangle {
    id: overlay

    // The dormant features, as raw values ("map", "dupes", ...).
    required property var features
    readonly property var shown: Array.from(features).slice(0, 3)
    signal close()
    signal go(string feature)

    color: Qt.rgba(0, 0, 0, 0.28)
    focus: true
    Keys.onReturnPressed: close()
    Keys.onEnterPressed: close()
    Component.onCompleted: forceActiveFocus()

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        onWheel: (wheel) => wheel.accepted = true
    }

    // A soft shadow under the card: black at 18 % spread over 26 px, 10 down.
    Repeater {
        model: 6
        delegate: Rectangle {
            required property int index
            readonly property real spread: 26 * (index + 1) / 6
            x: card.x - spread / 2
            y: card.y + 10 - spread / 2
            width: card.width + spread
            height: card.height + spread
            radius: 16 + spread / 2
            color: Qt.rgba(0, 0, 0, 0.18 / 6)
        }
    }

    Rectangle {
        id: card
        objectName: "reminderCard"
        anchors.centerIn: parent
        width: 420
        height: content.implicitHeight + 40
        radius: 16
        color: Theme.windowBG

        ColumnLayout {
            id: content
            x: 20
            y: 20
            width: parent.width - 40
            spacing: Theme.gapLarge

            Row {
                spacing: Theme.gap
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "hand.wave"
                    size: 18
                    weight: Font.Light
                    color: Theme.accent
                }
                TextLabel {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("return.title")
                    size: Theme.lead
                    font.weight: Font.DemiBold
                    color: Theme.primary
                    Accessible.role: Accessible.Heading
                }
            }
            TextLabel {
                Layout.fillWidth: true
                text: qsTr("return.body")
                wrapMode: Text.Wrap
                size: Theme.callout
                color: Theme.secondary
            }

            Repeater {
                model: overlay.shown
                delegate: Rectangle {
                    id: row
                    required property string modelData
                    required property int index
                    readonly property var feature: Navigator.feature(modelData)
                    objectName: "featureRow_" + index
                    Layout.fillWidth: true
                    implicitHeight: line.implicitHeight + 14
                    radius: Theme.rowRadius
                    color: Theme.primaryAt(0.04)

                    RowLayout {
                        id: line
                        anchors.fill: parent
                        anchors.leftMargin: 10
                        anchors.rightMargin: 10
                        spacing: Theme.gap
                        Symbol {
                            Layout.preferredWidth: 18
                            name: row.feature.icon ?? ""
                            size: 12
                            color: Theme.accent
                        }
                        TextLabel {
                            objectName: "featureTitle"
                            text: qsTr(row.feature.titleKey ?? "")
                            size: Theme.body
                            color: Theme.primary
                        }
                        Item { Layout.fillWidth: true }
                        BorderedButton {
                            objectName: "goButton_" + row.index
                            text: qsTr("return.go")
                            fontSize: Theme.detail
                            leftPadding: 8
                            rightPadding: 8
                            topPadding: 2
                            bottomPadding: 2
                            onClicked: overlay.go(row.modelData)
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Item { Layout.fillWidth: true }
                BorderedButton {
                    objectName: "closeButton"
                    prominent: true
                    text: qsTr("return.close")
                    onClicked: overlay.close()
                }
            }
        }
    }
}
