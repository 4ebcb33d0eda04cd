// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The History page: the total freed and the number of clean-ups, then one line
// per clean-up, newest first. Read afresh each time the page comes on screen.
Item {
    id: page

    required property AppModel app
    readonly property HistoryModel history: app.history

    Component.onCompleted: app.loadHistory()

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
                }
            }
        }
    }
}
