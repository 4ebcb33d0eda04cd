// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A short-lived message over the bottom centre of a page: show(text) fades it
// in; 3 seconds later it fades out again. A new message restarts the clock.
Rectangle {
    id: toast

    property string text
    property int lifetime: 3000
    readonly property bool shown: state === "shown"

    function show(message) {
        text = message
        state = "shown"
        timer.restart()
    }

    anchors.horizontalCenter: parent.horizontalCenter
    anchors.bottom: parent.bottom
    anchors.bottomMargin: 76
    implicitWidth: label.implicitWidth + 28
    implicitHeight: label.implicitHeight + 18
    radius: height / 2
    color: Theme.primaryAt(0.85)
    opacity: 0
    visible: opacity > 0
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    states: State {
        name: "shown"
        PropertyChanges { target: toast; opacity: 1 }
    }
    transitions: Transition {
        NumberAnimation { property: "opacity"; duration: 250; easing.type: Easing.InOutQuad }
    }

    TextLabel {
        id: label
        anchors.centerIn: parent
        text: toast.text
        textFormat: Text.PlainText
        horizontalAlignment: Text.AlignHCenter
        font.pointSize: Theme.pt(11.5)
        color: Theme.windowBG
    }

    Timer {
        id: timer
        interval: toast.lifetime
        onTriggered: toast.state = ""
    }
}
