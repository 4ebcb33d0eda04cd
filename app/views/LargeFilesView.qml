// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Large Files page: the biggest single files, read-only. The minimum size
// can be stepped and the search run again; a click on a row shows the file in
// the file manager.
Item {
    id: page

    required property AppModel app

    Column {
        anchors.fill: parent

        PageHeader {
            id: header
            width: parent.width
            title: qsTr("files.title")
            subtitle: qsTr("files.subtitle")
            trailing: Row {
                spacing: Theme.gapLarge
                baselineOffset: rescan.y + rescan.baselineOffset
                TextLabel {
                    objectName: "minText"
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("files.min") + ": " + page.app.largeMinMB + " MB"
                    size: Theme.control
                    color: Theme.secondary
                }
                Stepper {
                    objectName: "minStepper"
                    anchors.verticalCenter: parent.verticalCenter
                    from: 50
                    to: 2000
                    stepSize: 50
                    value: page.app.largeMinMB
                    label: qsTr("files.min")
                    onMoved: (v) => {
                        page.app.largeMinMB = v
                        page.app.rescanLarge()
                    }
                }
                TextLabel {
                    objectName: "largeSearchingText"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: page.app.largeSearching && list.count > 0
                    text: qsTr("files.scanning")
                    size: Theme.control
                    color: Theme.accent
                }
                BorderedButton {
                    id: rescan
                    objectName: "rescan"
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("common.rescan")
                    onClicked: page.app.rescanLarge()
                }
            }
        }

        ListView {
            id: list
            objectName: "largeList"
            x: 20
            width: parent.width - 40
            height: parent.height - header.height
            clip: true
            model: page.app.largeItems
            bottomMargin: 40
            boundsBehavior: Flickable.StopAtBounds
            reuseItems: true
            ScrollBar.vertical: ListScrollBar {}
            delegate: ItemRow {
                width: ListView.view.width
                onToggled: Desktop.reveal(path)
            }

            // A search under way says so on the page; a finished one that
            // found nothing says that nothing is above the minimum.
            LoadingNote {
                objectName: "largeLoading"
                anchors.centerIn: parent
                visible: (page.app.largeSearching || page.app.scanning) && list.count === 0
                text: qsTr("files.scanning")
            }
            EmptyNote {
                objectName: "largeEmpty"
                anchors.centerIn: parent
                visible: page.app.largeSearched && !page.app.largeSearching
                         && !page.app.scanning && list.count === 0
                icon: "checkmark.seal"
                text: qsTr("files.none")
            }
        }
    }
}
