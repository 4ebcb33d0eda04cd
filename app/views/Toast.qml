// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick

// A short-lived message over the bottom centre of a page: show(text) fades it
// in; 3 seconds later it fades out again. A new message restarts the clock.
// show(text, path) adds a line with a file's path, shown as a name is.
Rectangle {
    id: toast

    property string text
    property string path
    property int lifetime: 3000
    readonly property bool shown: state === "shown"

    function show(message, filePath) {
        text = message
        path = filePath || ""
        state = "shown"
        timer.restart()
    }

    anchors.horizontalCenter: parent.horizontalCenter
    anchors.bottom: parent.bottom
    anchors.bottomMargin: 76
    implicitWidth: Math.min(Math.max(label.implicitWidth, pathText.implicitWidth),
                            parent.width - 80) + 28
    implicitHeight: lines.implicitHeight + 18
    radius: path === "" ? height / 2 : Theme.cardRadius
    color: Theme.primaryAt(0.85)
    opacity: 0
    visible: opacity > 0
    Accessible.role: Accessible.AlertMessage
    Accessible.name: path === "" ? text : text + " " + path

    states: State {
        name: "shown"
        PropertyChanges { target: toast; opacity: 1 }
    }
    transitions: Transition {
        NumberAnimation { property: "opacity"; duration: 250; easing.type: Easing.InOutQuad }
    }

    Column {
        id: lines
        anchors.centerIn: parent
        width: toast.width - 28
        spacing: 2
        TextLabel {
            id: label
            width: parent.width
            text: toast.text
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            size: Theme.callout
            color: Theme.windowBG
        }
        NameText {
            id: pathText
            objectName: "toastPath"
            width: parent.width
            visible: toast.path !== ""
            text: toast.path
            elide: Text.ElideMiddle
            horizontalAlignment: Text.AlignHCenter
            size: Theme.caption
            color: Theme.windowBG
            opacity: 0.85
        }
    }

    Timer {
        id: timer
        interval: toast.lifetime
        onTriggered: toast.state = ""
    }
}
