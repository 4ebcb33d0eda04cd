// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The History page: the total freed and the number of clean-ups, then one line
// per clean-up, newest first; a line opens to list its items and put them
// back. Read afresh each time the page comes on screen, and again whenever
// the data folder changes while it is on screen.
Item {
    id: page

    required property AppModel app
    readonly property HistoryModel history: app.history
    // What the confirmation is about: an item of the open line, or -1 for all.
    property int pendingItem: -1

    function askPutBack(item) {
        pendingItem = item
        confirm.count = history.putBackCount(item)
        confirm.open()
    }

    Component.onCompleted: {
        history.watching = true
        app.loadHistory()
    }
    Component.onDestruction: history.watching = false

    Connections {
        target: page.history
        function onPutBackFinished(lines) {
            toast.show(lines.join("\n"))
        }
    }

    Column {
        anchors.fill: parent

        PageHeader {
            id: header
            width: parent.width
            title: qsTr("hist.title")
            subtitle: qsTr("hist.subtitle")
        }

        Row {
            id: totals
            x: Theme.pageMargin
            width: parent.width - 2 * Theme.pageMargin
            spacing: 16
            bottomPadding: 12

            Repeater {
                model: [
                    { name: "totalFreed", key: "hist.total", value: page.history.totalFreedText },
                    { name: "sessions", key: "hist.times", value: String(page.history.count) },
                ]
                delegate: Card {
                    id: total
                    required property var modelData
                    width: (totals.width - totals.spacing) / 2
                    Column {
                        width: parent.width
                        spacing: 3
                        TextLabel {
                            text: qsTr(total.modelData.key)
                            size: Theme.control
                            color: Theme.secondary
                        }
                        FigureText {
                            objectName: total.modelData.name
                            text: total.modelData.value
                            size: Theme.title
                            font.weight: Font.Bold
                        }
                    }
                }
            }
        }

        Item {
            width: parent.width
            height: parent.height - header.height - totals.height

            TextLabel {
                objectName: "noHistory"
                anchors.centerIn: parent
                visible: page.history.count === 0
                text: qsTr("hist.none")
                size: Theme.body
                color: Theme.secondary
            }

            ListView {
                objectName: "historyList"
                anchors { fill: parent; leftMargin: 20; rightMargin: 20 }
                visible: page.history.count > 0
                clip: true
                model: page.history
                bottomMargin: 20
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ListScrollBar {}
                delegate: HistoryLine {
                    width: ListView.view.width
                    openItems: open ? page.history.openItems : null
                    busy: page.history.puttingBack
                    onToggled: page.history.toggleOpen(index)
                    onPutBackAllRequested: page.askPutBack(-1)
                    onPutBackRequested: (item) => page.askPutBack(item)
                }
            }
        }
    }

    Toast {
        id: toast
        objectName: "toast"
    }

    ConfirmDialog {
        id: confirm
        property int count: 0
        title: qsTr("hist.putBackTitle")
        message: Lang.format(qsTr(Lang.countKey("hist.putBackBody", count)), [count])
        confirmText: qsTr("hist.putBack")
        confirmTint: Theme.accent
        alternateText: qsTr("hist.putBeside")
        onConfirmed: page.history.putBack(page.pendingItem, false)
        onAlternated: page.history.putBack(page.pendingItem, true)
    }
}
