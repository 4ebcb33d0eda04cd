// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tidlo.Core

// The Command-line page's tree card: the depth (1 to 5), the run button, Open
// Terminal, and the output area, which shows the placeholder command until
// there is output.
Card {
    id: card

    required property CommandLineTool tool
    required property int depth
    required property string output
    signal depthMoved(int value)
    signal runAsked()
    // Open Terminal was clicked; the page starts it and says so when there is none.
    signal terminalAsked()

    Column {
        width: parent.width
        spacing: Theme.gap

        RowLayout {
            width: parent.width
            spacing: Theme.gap

            TextLabel {
                text: qsTr("term.tree")
                size: Theme.body
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            Item {
                Layout.fillWidth: true
            }
            TextLabel {
                objectName: "depthText"
                text: qsTr("term.level") + " " + card.depth
                size: Theme.detail
                color: Theme.secondary
            }
            Stepper {
                objectName: "depthStepper"
                value: card.depth
                from: 1
                to: 5
                label: qsTr("term.level")
                onMoved: (value) => card.depthMoved(value)
            }
            BorderedButton {
                objectName: "runTree"
                text: qsTr("term.try")
                symbol: "play.fill"
                fontSize: Theme.detail
                enabled: !card.tool.running
                onClicked: card.runAsked()
            }
            PlainButton {
                objectName: "openTerminal"
                text: qsTr("term.openTerminal")
                fontSize: Theme.detail
                tone: Theme.tertiary
                onClicked: card.terminalAsked()
            }
        }

        Rectangle {
            width: parent.width
            height: 190
            radius: Theme.rowRadius
            color: Qt.rgba(0, 0, 0, 0.05)

            Flickable {
                id: flick
                anchors.fill: parent
                anchors.margins: 9
                clip: true
                contentWidth: width
                contentHeight: outputText.implicitHeight
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ListScrollBar {}

                TextEdit {
                    id: outputText
                    objectName: "outputText"
                    width: flick.width
                    readOnly: true
                    selectByMouse: true
                    textFormat: TextEdit.PlainText
                    wrapMode: TextEdit.Wrap
                    text: card.output !== "" ? card.output : "$ tclean tree ~ -d " + card.depth
                    color: card.output !== "" ? Theme.secondary : Theme.tertiary
                    font.family: "monospace"
                    font.pointSize: Theme.pt(Theme.detail)
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                }
            }
        }
    }
}
