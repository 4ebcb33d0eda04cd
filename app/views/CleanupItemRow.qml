// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// One item of an opened clean-up: its name and the folder it came from, its
// size, where it is now, and, while it is still in the Trash, Put Back.
Item {
    id: row

    required property int index
    required property string name
    required property string folder
    required property string sizeText
    required property string stateKey
    required property bool inTrash
    // Put Back waits while another put-back is under way.
    property bool busy: false

    signal putBackRequested(int item)

    implicitHeight: Math.max(names.implicitHeight, putBack.implicitHeight) + 8
    Accessible.role: Accessible.ListItem
    Accessible.name: name + ", " + folder + ", " + sizeText + ", " + whereLabel.text

    Row {
        id: content
        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter }
        spacing: Theme.gapLarge

        Column {
            id: names
            anchors.verticalCenter: parent.verticalCenter
            width: content.width - sizeLabel.width - whereLabel.width - putBack.width - 3 * content.spacing
            spacing: 1
            NameText {
                objectName: "itemName"
                width: parent.width
                text: row.name
                size: Theme.body
                color: Theme.primary
            }
            NameText {
                objectName: "itemFolder"
                width: parent.width
                text: row.folder
                elide: Text.ElideMiddle
                size: Theme.caption
                color: Theme.secondary
            }
        }
        TextLabel {
            id: sizeLabel
            anchors.verticalCenter: parent.verticalCenter
            width: 64
            horizontalAlignment: Text.AlignRight
            text: row.sizeText
            size: Theme.body
            color: Theme.primary
        }
        TextLabel {
            id: whereLabel
            objectName: "itemState"
            anchors.verticalCenter: parent.verticalCenter
            width: 84
            text: qsTr(row.stateKey)
            elide: Text.ElideRight
            size: Theme.detail
            color: row.stateKey === "hist.wasPutBack" ? Theme.safe : Theme.secondary
        }
        // Keeps its place when hidden, so the columns line up.
        Item {
            id: putBack
            anchors.verticalCenter: parent.verticalCenter
            implicitWidth: button.implicitWidth
            implicitHeight: button.implicitHeight
            width: implicitWidth
            height: implicitHeight
            BorderedButton {
                id: button
                objectName: "itemPutBack"
                visible: row.inTrash
                enabled: !row.busy
                text: qsTr("hist.putBack")
                fontSize: Theme.detail
                onClicked: row.putBackRequested(row.index)
            }
        }
    }
}
