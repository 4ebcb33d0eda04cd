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
                  leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        spacing: Theme.gap

        TextLabel {
            objectName: "selectedCount"
            Layout.alignment: Qt.AlignBaseline
            text: qsTr("common.selected") + " " + footer.app.selectedCount + " "
                  + qsTr(Lang.countKey("common.items", footer.app.selectedCount))
            size: Theme.body
            color: Theme.secondary
        }
        TextLabel {
            Layout.alignment: Qt.AlignBaseline
            text: "·"
            size: Theme.body
            color: Theme.tertiary
            // A separator, not a word: a screen reader skips it.
            Accessible.ignored: true
        }
        FigureText {
            objectName: "selectedSize"
            Layout.alignment: Qt.AlignBaseline
            text: footer.app.sizeText(footer.app.selectedSize)
            size: Theme.strong
        }
        Item {
            Layout.fillWidth: true
        }
        BorderedButton {
            objectName: "openTrash"
            symbol: "trash"
            fontSize: Theme.callout
            text: qsTr("common.reveal")
            onClicked: Desktop.openTrash()
        }
        BorderedButton {
            objectName: "moveToTrash"
            prominent: true
            symbol: "trash.slash"
            fontSize: Theme.callout
            weight: Font.Medium
            text: qsTr("common.delete")
            enabled: footer.app.selectedCount > 0 && !footer.app.cleaning
            onClicked: footer.moveRequested()
        }
    }
}
