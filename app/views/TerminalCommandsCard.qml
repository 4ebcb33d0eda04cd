// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The Command-line page's list of common commands, each with a Copy button
// that reads "Copied" while its command is the last one copied.
Card {
    id: card

    required property string copiedKey
    // A row's Copy was pressed: the command as listed.
    signal copyCommand(string cmd)

    readonly property var commands: [
        { cmd: "tclean overview", descKey: "term.cmd.overview" },
        { cmd: "tclean scan", descKey: "term.cmd.scan" },
        { cmd: "tclean tree ~ -d 3", descKey: "term.cmd.tree" },
        { cmd: "tclean dupes", descKey: "term.cmd.dupes" },
        { cmd: "tclean big --min 100", descKey: "term.cmd.big" },
        { cmd: "tclean types", descKey: "term.cmd.types" },
        { cmd: "tclean clean --dry-run", descKey: "term.cmd.clean" },
    ]

    Column {
        width: parent.width
        spacing: Theme.gap

        TextLabel {
            text: qsTr("term.commands")
            size: Theme.body
            font.weight: Font.DemiBold
            color: Theme.primary
        }

        Repeater {
            model: card.commands
            delegate: Row {
                id: row
                required property var modelData
                required property int index
                topPadding: 3
                bottomPadding: 3
                spacing: Theme.gap

                TextLabel {
                    anchors.baseline: copyButton.baseline
                    text: row.modelData.cmd
                    font.family: "monospace"
                    size: Theme.callout
                    color: Theme.accent
                }
                TextLabel {
                    anchors.baseline: copyButton.baseline
                    text: qsTr(row.modelData.descKey)
                    size: Theme.detail
                    color: Theme.secondary
                }
                PlainButton {
                    id: copyButton
                    objectName: "copyCommand_" + row.index
                    text: card.copiedKey === row.modelData.cmd ? qsTr("term.copied") : qsTr("term.copy")
                    fontSize: Theme.detail
                    tone: Theme.tertiary
                    onClicked: card.copyCommand(row.modelData.cmd)
                }
            }
        }

        TextLabel {
            width: parent.width
            text: qsTr("term.hint")
            wrapMode: Text.Wrap
            size: Theme.caption
            color: Theme.tertiary
        }
    }
}
