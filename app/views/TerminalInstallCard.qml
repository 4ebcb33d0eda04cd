import QtQuick
import Tidlo.Core

// The Command-line page's install card: where the in-app tclean lies (Copy,
// Reveal, Install to ~/bin, the "Installed" label) and the line that puts
// ~/bin on the search path, with its own Copy.
Card {
    id: card

    required property CommandLineTool tool
    // A copy was asked for: the text and the key it is remembered by.
    signal copy(string text, string key)

    Column {
        width: parent.width
        spacing: 10

        Row {
            spacing: 6
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "terminal"
                size: 13
                color: Theme.accent
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("term.path")
                font.pointSize: Theme.pt(12)
                font.weight: Font.DemiBold
                color: Theme.primary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
            Row {
                objectName: "installedLabel"
                anchors.verticalCenter: parent.verticalCenter
                visible: card.tool.installed
                spacing: 3
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "checkmark.circle.fill"
                    size: 10.5
                    color: Theme.safe
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("term.installed")
                    font.pointSize: Theme.pt(10.5)
                    color: Theme.safe
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                }
            }
        }

        Row {
            id: pathRow
            width: parent.width
            spacing: 8

            CodeBox {
                objectName: "toolPath"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, pathRow.width - buttons.width - pathRow.spacing)
                text: card.tool.toolPath
                elide: Text.ElideMiddle
                textColor: Theme.secondary
            }
            Row {
                id: buttons
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                BorderedButton {
                    objectName: "copyPath"
                    text: qsTr("term.copy")
                    onClicked: card.copy(card.tool.toolPath, "path")
                }
                BorderedButton {
                    objectName: "revealTool"
                    text: qsTr("term.reveal")
                    onClicked: Desktop.reveal(card.tool.toolPath)
                }
                BorderedButton {
                    objectName: "installButton"
                    text: qsTr("term.install")
                    prominent: true
                    enabled: !card.tool.installed && !card.tool.installing
                    onClicked: card.tool.install()
                }
            }
        }

        Rectangle {
            width: parent.width
            height: 1
            color: Theme.primaryAt(0.1)
            opacity: 0.6
        }

        Text {
            text: qsTr("term.addPath")
            font.pointSize: Theme.pt(11)
            color: Theme.secondary
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        Row {
            width: parent.width
            spacing: 8

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
