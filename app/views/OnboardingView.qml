// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Layouts
import QtQuick.Shapes
import Tidlo.Core

// The onboarding overlay: one guide page at a time (its symbol, title and
// text), the page dots, and Skip, Back and Next; the last page's button reads
// Get Started and, like Return, finishes the guide.
Rectangle {
    id: overlay

    // The guide pages: {icon, titleKey, bodyKey} each.
    required property var pages
    property string badgeKey: "guide.badge"
    property int step: 0
    readonly property bool lastStep: step + 1 >= pages.length
    readonly property var current: pages.length > 0 ? pages[Math.min(step, pages.length - 1)] : ({})
    // The guide was skipped or completed.
    signal finish()

    function next() {
        if (step + 1 >= pages.length)
            finish()
        else
            step += 1
    }
    function back() {
        if (step > 0)
            step -= 1
    }

    color: Theme.windowBG
    focus: true
    Keys.onReturnPressed: next()
    Keys.onEnterPressed: next()
    Component.onCompleted: forceActiveFocus()

    // Nothing underneath takes a click or a scroll while the guide is shown.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        onWheel: (wheel) => wheel.accepted = true
    }

    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            fillGradient: LinearGradient {
                x1: 0; y1: 0
                x2: overlay.width; y2: overlay.height
                GradientStop { position: 0; color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.18) }
                GradientStop { position: 0.5; color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.02) }
                GradientStop { position: 1; color: "transparent" }
            }
            PathLine { x: overlay.width; y: 0 }
            PathLine { x: overlay.width; y: overlay.height }
            PathLine { x: 0; y: overlay.height }
            PathLine { x: 0; y: 0 }
        }
    }

    Column {
        id: column
        anchors.centerIn: parent
        anchors.verticalCenterOffset: 15
        width: parent.width - 96

        Item { width: 1; height: 22 }
        TextLabel {
            objectName: "badge"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr(overlay.badgeKey)
            leftPadding: 9
            rightPadding: 9
            topPadding: 3
            bottomPadding: 3
            size: Theme.caption
            font.weight: Font.Medium
            color: Theme.accent
            Rectangle {
                z: -1
                anchors.fill: parent
                radius: height / 2
                color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.14)
            }
        }

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 132
            height: 132
            radius: 66
            color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.1)
            Symbol {
                anchors.centerIn: parent
                name: overlay.current.icon ?? ""
                size: 46
                weight: Font.Light
                color: Theme.accent
            }
        }
        Item { width: 1; height: 26 }

        TextLabel {
            objectName: "guideTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr(overlay.current.titleKey ?? "")
            size: Theme.hero
            font.bold: true
            color: Theme.primary
            Accessible.role: Accessible.Heading
        }
        Item { width: 1; height: 10 }
        TextLabel {
            objectName: "guideBody"
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, 440)
            text: qsTr(overlay.current.bodyKey ?? "")
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            lineHeightMode: Text.FixedHeight
            lineHeight: Math.ceil(fontInfo.pixelSize * 1.2) + 3
            size: Theme.large
            color: Theme.secondary
        }

        Item { width: 1; height: 26 }
        Row {
            objectName: "pageDots"
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Theme.gap
            Repeater {
                model: overlay.pages.length
                delegate: Rectangle {
                    required property int index
                    readonly property bool here: index === overlay.step
                    width: here ? 18 : 6
                    height: 6
                    radius: 3
                    color: here ? Theme.accent : Theme.primaryAt(0.15)
                    Behavior on width { NumberAnimation { duration: 180; easing.type: Easing.OutQuad } }
                    Behavior on color { ColorAnimation { duration: 180; easing.type: Easing.OutQuad } }
                }
            }
        }
        Item { width: 1; height: 26 }

        RowLayout {
            width: parent.width
            spacing: Theme.gap
            PlainButton {
                objectName: "skipButton"
                text: qsTr("guide.skip")
                fontSize: Theme.callout
                onClicked: overlay.finish()
            }
            Item { Layout.fillWidth: true }
            BorderedButton {
                objectName: "backButton"
                visible: overlay.step >= 1
                text: qsTr("guide.back")
                fontSize: Theme.callout
                onClicked: overlay.back()
            }
            BorderedButton {
                objectName: "nextButton"
                // A 96-wide button with its label centred.
                leftPadding: Math.max(6, (96 - contentItem.implicitWidth) / 2)
                rightPadding: leftPadding
                prominent: true
                text: overlay.lastStep ? qsTr("guide.start") : qsTr("guide.next")
                fontSize: Theme.body
                weight: Font.Medium
                onClicked: overlay.next()
            }
        }
        Item { width: 1; height: 26 }
    }
}
