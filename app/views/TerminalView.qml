// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Command-line page: where the in-app tclean lies and how to install it,
// the common commands to copy, and a tree of the home folder run right here.
// The page's state (the output, the depth, the last copy) lives as long as the
// page is shown.
Item {
    id: page

    required property AppModel app
    // Key of the most recent copy; cleared 1.4 s later unless another copy came.
    property string copiedKey: ""
    // The tree output or the last install/run message.
    property string output: ""
    property int depth: 2
    readonly property alias tool: tool

    function copy(text, key) {
        Desktop.copyText(text)
        copiedKey = key
        copiedTimer.restart()
    }

    function runTree() {
        output = ""
        tool.runTree(depth)
    }

    Component.onCompleted: {
        Navigator.touchFeature("cli")
        tool.refresh()
    }

    CommandLineTool {
        id: tool
        onInstallFinished: (ok, reason, startupFile, pathWritten) => {
            if (!ok)
                page.output = qsTr("term.fail.install") + reason
            else if (startupFile === "")
                page.output = qsTr("term.installDoneOnPath")
            else
                page.output = Lang.format(qsTr(pathWritten ? "term.installDone"
                                                           : "term.installDoneNoPath"),
                                          [startupFile])
        }
        onTreeFinished: (text) => page.output = text
        onTreeFailed: (reason) => page.output = qsTr("term.fail.run") + reason
    }

    Timer {
        id: copiedTimer
        interval: 1400
        onTriggered: page.copiedKey = ""
    }

    ScrollView {
        id: scroll
        anchors.fill: parent
        contentWidth: availableWidth
        // In the view's own right margin, as the ScrollView's own bar sits.
        ScrollBar.vertical: ListScrollBar {
            parent: scroll
            x: scroll.mirrored ? 0 : scroll.width - width
            y: scroll.topPadding
            height: scroll.availableHeight
        }

        Column {
            width: scroll.availableWidth
            spacing: Theme.sectionGap
            bottomPadding: 24

            PageHeader {
                width: parent.width
                title: qsTr("term.title")
                subtitle: qsTr("term.subtitle")
            }

            TerminalInstallCard {
                x: Theme.pageMargin
                width: parent.width - 2 * Theme.pageMargin
                tool: tool
                onCopy: (text, key) => page.copy(text, key)
            }

            TerminalCommandsCard {
                x: Theme.pageMargin
                width: parent.width - 2 * Theme.pageMargin
                copiedKey: page.copiedKey
                onCopyCommand: (cmd) => page.copy(tool.commandText(cmd), cmd)
            }

            TerminalTreeCard {
                x: Theme.pageMargin
                width: parent.width - 2 * Theme.pageMargin
                tool: tool
                depth: page.depth
                output: page.output
                onDepthMoved: (value) => page.depth = value
                onRunAsked: page.runTree()
                onTerminalAsked: {
                    if (!Desktop.openTerminal())
                        toast.show(qsTr("term.noTerminal"))
                }
            }
        }
    }

    Toast {
        id: toast
        objectName: "terminalToast"
    }
}
