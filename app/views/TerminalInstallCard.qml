// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The Command-line page's install card: where the in-app tclean lies (Copy,
// Reveal, Install to ~/.local/bin, the "Installed" label) and, while
// ~/.local/bin is not on PATH, the line that puts it there, with its own Copy.
// When the installed package's tclean is on PATH, the card shows that one,
// says it came with the package, and offers no copy.
Card {
    id: card

    required property CommandLineTool tool
    readonly property bool packaged: tool.packagedPath !== ""
    // A copy was asked for: the text and the key it is remembered by.
    signal copy(string text, string key)

    Column {
        width: parent.width
        spacing: Theme.gapLarge

        Row {
            spacing: Theme.gapSmall
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "terminal"
                size: 13
                color: Theme.accent
            }
            TextLabel {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("term.path")
                size: Theme.body
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            Row {
                objectName: "installedLabel"
                anchors.verticalCenter: parent.verticalCenter
                visible: card.tool.installed || card.packaged
                spacing: 3
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "checkmark.circle.fill"
                    size: 10.5
                    color: Theme.safe
                }
                TextLabel {
                    anchors.verticalCenter: parent.verticalCenter
                    text: card.packaged ? qsTr("term.packaged") : qsTr("term.installed")
                    size: Theme.detail
                    color: Theme.safe
                }
            }
        }

        Row {
            id: pathRow
            width: parent.width
            spacing: Theme.gap

            CodeBox {
                objectName: "toolPath"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, pathRow.width - buttons.width - pathRow.spacing)
                text: card.packaged ? card.tool.packagedPath : card.tool.toolPath
                elide: Text.ElideMiddle
                textColor: Theme.secondary
            }
            Row {
                id: buttons
                anchors.verticalCenter: parent.verticalCenter
                spacing: Theme.gap
                BorderedButton {
                    objectName: "copyPath"
                    text: qsTr("term.copy")
                    onClicked: card.copy(card.packaged ? card.tool.packagedPath : card.tool.toolPath,
                                         "path")
                }
                BorderedButton {
                    objectName: "revealTool"
                    text: qsTr("term.reveal")
                    onClicked: Desktop.reveal(card.packaged ? card.tool.packagedPath
                                                            : card.tool.toolPath)
                }
                BorderedButton {
                    objectName: "installButton"
                    text: qsTr("term.install")
                    prominent: true
                    visible: !card.packaged
                    enabled: !card.tool.installed && !card.tool.installing
                    onClicked: card.tool.install()
                }
            }
        }

        Rectangle {
            visible: pathLine.visible
            width: parent.width
            height: 1
            color: Theme.primaryAt(0.1)
            opacity: 0.6
        }

        TextLabel {
            visible: pathLine.visible
            text: qsTr("term.addPath")
            size: Theme.control
            color: Theme.secondary
        }

        Row {
            id: pathLine
            // Only while ~/.local/bin is not on PATH and the copy is the one to use.
            visible: !card.packaged && !card.tool.binOnPath
            width: parent.width
            spacing: Theme.gap

            CodeBox {
                objectName: "exportLine"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - copyLine.width - parent.spacing
                text: card.tool.exportLine
                fill: Qt.rgba(0, 0, 0, 0.045)
            }
            BorderedButton {
                id: copyLine
                objectName: "copyPathLine"
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("term.copy")
                onClicked: card.copy(card.tool.exportLine, "pathline")
            }
        }
    }
}
