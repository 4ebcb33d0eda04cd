// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tidlo.Core

// The app's own folder chooser, over the page, for desktops without a folder
// chooser of their own: the folder shown and its path, Up and Home, its
// subfolders (a click goes into one), hidden folders on request, and a
// button that chooses the folder shown, never a row of the list. Escape and
// Cancel close it without a choice.
Popup {
    id: chooser

    // The folder chosen, as a file URL.
    signal chosen(url folder)

    // Opens the chooser at path (the home folder when empty).
    function openAt(path) {
        folders.folder = path
        open()
    }

    objectName: "folderChooser"
    modal: true
    focus: true
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: parent ? Math.min(560, parent.width - 48) : 560
    height: parent ? Math.min(480, parent.height - 48) : 480
    padding: 18
    closePolicy: Popup.CloseOnEscape
    onOpened: choose.forceActiveFocus()

    SubfolderModel {
        id: folders
    }

    background: Rectangle {
        radius: Theme.panelRadius
        color: Theme.windowBG
        border.width: 1
        border.color: Theme.primaryAt(0.12)
    }

    contentItem: ColumnLayout {
        spacing: Theme.gapLarge

        TextLabel {
            objectName: "chooserTitle"
            Layout.fillWidth: true
            text: qsTr("chooser.title")
            size: Theme.heading
            font.bold: true
            color: Theme.primary
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            PlainButton {
                objectName: "chooserUp"
                enabled: folders.parentFolder !== ""
                symbol: "arrow.up.left"
                text: qsTr("map.up")
                onClicked: folders.folder = folders.parentFolder
            }
            PlainButton {
                objectName: "chooserHome"
                symbol: "house"
                text: qsTr("map.home")
                onClicked: folders.folder = folders.homeFolder
            }
            NameText {
                objectName: "chooserPath"
                Layout.fillWidth: true
                text: folders.shownPath
                elide: Text.ElideMiddle
                size: Theme.control
                font.weight: Font.Medium
                color: Theme.primary
            }
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: Theme.rowRadius
            color: Theme.cardBG
            border.width: 1
            border.color: Theme.primaryAt(0.12)
            clip: true

            ListView {
                id: list
                objectName: "chooserList"
                anchors.fill: parent
                anchors.margins: 4
                model: folders
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: AbstractButton {
                    id: row
                    required property string name
                    required property string path
                    required property bool hidden
                    objectName: "chooserRow"
                    width: ListView.view.width
                    height: 30
                    hoverEnabled: true
                    focusPolicy: Qt.TabFocus
                    text: name
                    Accessible.role: Accessible.Button
                    Accessible.name: name
                    Accessible.onPressAction: row.clicked()
                    onClicked: folders.folder = row.path
                    background: Rectangle {
                        radius: Theme.controlRadius
                        color: row.down ? Theme.primaryAt(0.12)
                                        : row.hovered || row.activeFocus ? Theme.primaryAt(0.06)
                                                                         : "transparent"
                    }
                    contentItem: RowLayout {
                        spacing: Theme.gap
                        Symbol {
                            Layout.leftMargin: 8
                            name: "folder"
                            size: 13
                            color: row.hidden ? Theme.tertiary : Theme.accent
                        }
                        NameText {
                            Layout.fillWidth: true
                            text: row.name
                            size: Theme.control
                            color: row.hidden ? Theme.secondary : Theme.primary
                        }
                        Symbol {
                            Layout.rightMargin: 8
                            name: "chevron.right"
                            size: 9
                            color: Theme.tertiary
                        }
                    }
                }
            }
            TextLabel {
                objectName: "chooserNote"
                anchors.centerIn: parent
                visible: !folders.loading && folders.count === 0
                text: folders.readable ? qsTr("chooser.empty") : qsTr("chooser.unreadable")
                size: Theme.control
                color: Theme.secondary
            }
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: Theme.gapLarge
            CheckBox {
                id: hidden
                objectName: "chooserHidden"
                padding: 0
                text: qsTr("chooser.hidden")
                checked: folders.showHidden
                Accessible.name: text
                onToggled: folders.showHidden = checked
                // Drawn as the app's other check marks are.
                indicator: Symbol {
                    x: hidden.leftPadding
                    anchors.verticalCenter: parent.verticalCenter
                    name: hidden.checked ? "checkmark.circle.fill" : "circle"
                    size: 15
                    color: hidden.checked ? Theme.accent : Theme.secondary
                }
                contentItem: Text {
                    leftPadding: hidden.indicator.width + 6
                    verticalAlignment: Text.AlignVCenter
                    text: hidden.text
                    font.pointSize: Theme.pt(Theme.control)
                    color: Theme.primary
                    textFormat: Text.PlainText
                }
            }
            Item {
                Layout.fillWidth: true
            }
            BorderedButton {
                objectName: "chooserCancel"
                text: qsTr("common.cancel")
                onClicked: chooser.close()
            }
            BorderedButton {
                id: choose
                objectName: "chooserChoose"
                prominent: true
                enabled: folders.readable
                text: qsTr("chooser.choose")
                Accessible.defaultButton: true
                Keys.onReturnPressed: clicked()
                Keys.onEnterPressed: clicked()
                onClicked: {
                    chooser.close()
                    chooser.chosen(folders.folderUrl)
                }
            }
        }
    }
}
