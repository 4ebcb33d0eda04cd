// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A confirmation over the page: title, message, the names of what it is
// about (when given), Cancel and a destructive button, and, when given, a
// second way to go ahead (alternateText). Cancel is the default: it has the
// focus, and Return, Enter and Escape close the dialog as it does. Only the
// other buttons close it and report confirmed() or alternated().
Popup {
    id: dialog

    property string title
    property string message
    property string confirmText
    // The go-ahead button's colour: risky unless nothing is lost by it.
    property color confirmTint: Theme.risky
    // The second way to go ahead ("" for none), reported by alternated().
    property string alternateText
    // Names (or paths) listed under the message, the first few of them.
    property var names: []

    readonly property int shownNames: 6

    signal confirmed()
    signal alternated()

    objectName: "confirmDialog"
    modal: true
    focus: true
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: alternateText === "" ? 320 : 460
    padding: 20
    closePolicy: Popup.CloseOnEscape
    onOpened: cancel.forceActiveFocus()

    background: Rectangle {
        radius: Theme.panelRadius
        color: Theme.windowBG
        border.width: 1
        border.color: Theme.primaryAt(0.12)
    }

    contentItem: Column {
        width: dialog.availableWidth
        spacing: Theme.gapLarge
        Keys.onReturnPressed: dialog.close()
        Keys.onEnterPressed: dialog.close()

        TextLabel {
            width: parent.width
            text: dialog.title
            size: Theme.heading
            font.bold: true
            color: Theme.primary
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
        TextLabel {
            objectName: "confirmMessage"
            width: parent.width
            text: dialog.message
            size: Theme.control
            color: Theme.primary
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
        Column {
            objectName: "confirmNames"
            width: parent.width
            visible: dialog.names.length > 0
            spacing: 2
            Repeater {
                model: dialog.names.slice(0, dialog.shownNames)
                NameText {
                    required property string modelData
                    objectName: "confirmName"
                    width: parent.width
                    text: modelData
                    elide: Text.ElideMiddle
                    horizontalAlignment: Text.AlignHCenter
                    size: Theme.detail
                    color: Theme.secondary
                }
            }
            TextLabel {
                width: parent.width
                visible: dialog.names.length > dialog.shownNames
                text: "+ " + (dialog.names.length - dialog.shownNames) + " …"
                horizontalAlignment: Text.AlignHCenter
                size: Theme.detail
                color: Theme.tertiary
            }
        }
        Item {
            width: 1
            height: 4
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Theme.gapLarge

            BorderedButton {
                id: cancel
                objectName: "confirmCancel"
                width: Math.max(120, implicitWidth)
                text: qsTr("common.cancel")
                Accessible.defaultButton: true
                onClicked: dialog.close()
            }
            BorderedButton {
                objectName: "confirmAccept"
                width: Math.max(120, implicitWidth)
                prominent: true
                tint: dialog.confirmTint
                text: dialog.confirmText
                onClicked: {
                    dialog.close()
                    dialog.confirmed()
                }
            }
            BorderedButton {
                objectName: "confirmAlternate"
                visible: dialog.alternateText !== ""
                width: Math.max(120, implicitWidth)
                text: dialog.alternateText
                onClicked: {
                    dialog.close()
                    dialog.alternated()
                }
            }
        }
    }
}
