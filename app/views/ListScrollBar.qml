// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic

// The scroll bar of every list and scrolling page: a thin rounded handle in
// the text colour, shown only when there is more than fits, while the content
// moves or the pointer is on the bar, and fading out a moment after. A wheel
// or touchpad scroll moves the content without the view's "moving", which
// alone would leave the bar hidden: any change of position shows it too.
ScrollBar {
    id: bar

    // Whether the handle is shown now.
    readonly property bool shown: contentItem.state === "shown"
    // The content moved a moment ago.
    property bool scrolled: false

    policy: ScrollBar.AsNeeded
    hoverEnabled: true
    minimumSize: 0.08
    onPositionChanged: {
        scrolled = true
        rest.restart()
    }

    Timer {
        id: rest
        interval: 700
        onTriggered: bar.scrolled = false
    }

    contentItem: Rectangle {
        objectName: "scrollHandle"
        implicitWidth: bar.hovered || bar.pressed ? 8 : 6
        implicitHeight: implicitWidth
        radius: Math.min(width, height) / 2
        color: Theme.primaryAt(bar.pressed ? 0.5 : bar.hovered ? 0.4 : 0.3)
        opacity: 0

        states: State {
            name: "shown"
            when: bar.policy === ScrollBar.AlwaysOn || ((bar.active || bar.scrolled) && bar.size < 1)
            PropertyChanges { bar.contentItem.opacity: 1 }
        }
        transitions: Transition {
            from: "shown"
            SequentialAnimation {
                PauseAnimation { duration: 600 }
                NumberAnimation {
                    target: bar.contentItem
                    property: "opacity"
                    to: 0
                    duration: 200
                }
            }
        }
    }
}
