// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Layouts
import Tidlo.Core

// The Clean page's footer: how many findings are selected and their size, the
// Trash, and the button that asks to move the selection there.
Rectangle {
    id: footer

    required property AppModel app
    signal moveRequested()

    implicitHeight: row.implicitHeight + 24
    color: Theme.windowBG

    Rectangle {
        width: parent.width
        height: 1
        color: Theme.primaryAt(0.1)
    }

    RowLayout {
        id: row
        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter
                  leftMargin: 28; rightMargin: 28 }
        spacing: 8

        TextLabel {
            objectName: "selectedCount"
            Layout.alignment: Qt.AlignBaseline
            text: qsTr("common.selected") + " " + footer.app.selectedCount + " "
                  + qsTr(Lang.countKey("common.items", footer.app.selectedCount))
            font.pointSize: Theme.pt(12)
            color: Theme.secondary
        }
        TextLabel {
            Layout.alignment: Qt.AlignBaseline
            text: "·"
            font.pointSize: Theme.pt(12)
            color: Theme.tertiary
            // A separator, not a word: a screen reader skips it.
            Accessible.ignored: true
        }
        TextLabel {
            objectName: "selectedSize"
            Layout.alignment: Qt.AlignBaseline
            text: footer.app.sizeText(footer.app.selectedSize)
            font.pointSize: Theme.pt(14)
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Item {
            Layout.fillWidth: true
        }
        BorderedButton {
            objectName: "openTrash"
            symbol: "trash"
            fontSize: 11.5
            text: qsTr("common.reveal")
            onClicked: Desktop.openTrash()
        }
        BorderedButton {
            objectName: "moveToTrash"
            prominent: true
            symbol: "trash.slash"
            fontSize: 11.5
            weight: Font.Medium
            text: qsTr("common.delete")
            enabled: footer.app.selectedCount > 0 && !footer.app.cleaning
            onClicked: footer.moveRequested()
        }
    }
}
