import QtQuick
import QtQuick.Controls.Basic

// A confirmation over the page: title, message, Cancel and a destructive
// button. Cancel (or Escape) only closes it; the other button closes it and
// reports confirmed().
Popup {
    id: dialog

    property string title
    property string message
    property string confirmText

    signal confirmed()

    objectName: "confirmDialog"
    modal: true
    focus: true
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: 320
    padding: 20
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        radius: 12
        color: Theme.windowBG
        border.width: 1
        border.color: Theme.primaryAt(0.12)
    }

    contentItem: Column {
        width: dialog.availableWidth
        spacing: 10

        Text {
            width: parent.width
            text: dialog.title
            font.pointSize: Theme.pt(13)
            font.bold: true
            color: Theme.primary
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
        Text {
            objectName: "confirmMessage"
            width: parent.width
            text: dialog.message
            font.pointSize: Theme.pt(11)
            color: Theme.primary
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
        Item {
            width: 1
            height: 4
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10

            BorderedButton {
                objectName: "confirmCancel"
                width: 120
                text: qsTr("common.cancel")
                onClicked: dialog.close()
            }
            BorderedButton {
                objectName: "confirmAccept"
                width: 120
                prominent: true
                tint: Theme.risky
                text: dialog.confirmText
                onClicked: {
                    dialog.close()
                    dialog.confirmed()
                }
            }
        }
    }
}
