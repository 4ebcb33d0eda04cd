// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Clean page: the findings (caches and leftovers) filtered by kind and a
// search text, picked row by row, and moved into the Trash after a
// confirmation. Selection, protection and the move belong to the model.
Item {
    id: page

    required property AppModel app
    // 0 all findings, 1 caches, 2 leftovers.
    property int filter: 0
    property alias query: search.text

    readonly property var source: filter === 1 ? app.cacheItems
                                 : filter === 2 ? app.leftoverItems : app.cleanItems

    ItemFilter {
        id: shown
        sourceModel: page.source
        query: page.query
    }

    Connections {
        target: page.app
        function onTrashed(moved, failed, size, notes) {
            const done = Lang.format(qsTr(Lang.countKey("clean.doneBody", moved)),
                                     [moved, page.app.sizeText(size)])
            toast.show([done].concat(notes).join("\n"))
        }
    }

    Column {
        anchors.fill: parent

        PageHeader {
            id: header
            width: parent.width
            title: qsTr("clean.title")
            subtitle: qsTr("clean.subtitle")
            trailing: Row {
                spacing: Theme.gap
                baselineOffset: children[0].baselineOffset
                BorderedButton {
                    objectName: "selectAll"
                    text: qsTr("common.selectAll")
                    onClicked: page.app.selectAllIn(shown)
                }
                BorderedButton {
                    objectName: "selectNone"
                    text: qsTr("common.selectNone")
                    onClicked: page.app.clearSelection()
                }
            }
        }

        ScanProgressRow {
            objectName: "progressRow"
            width: parent.width
            visible: page.app.scanning
            height: visible ? implicitHeight : 0
            app: page.app
        }

        Item {
            id: filterRow
            width: parent.width
            height: segments.implicitHeight + 12

            Row {
                id: segments
                x: Theme.pageMargin
                spacing: Theme.gapSmall
                SegmentButton {
                    objectName: "segmentAll"
                    text: qsTr("clean.filter.all")
                    count: page.app.cleanItems.count
                    chosen: page.filter === 0
                    onClicked: page.filter = 0
                }
                SegmentButton {
                    objectName: "segmentCache"
                    text: qsTr("clean.filter.cache")
                    count: page.app.cacheItems.count
                    chosen: page.filter === 1
                    onClicked: page.filter = 1
                }
                SegmentButton {
                    objectName: "segmentOrphan"
                    text: qsTr("clean.filter.orphan")
                    count: page.app.leftoverItems.count
                    chosen: page.filter === 2
                    onClicked: page.filter = 2
                }
            }
            SearchField {
                id: search
                anchors { right: parent.right; rightMargin: Theme.pageMargin; verticalCenter: segments.verticalCenter }
                placeholder: qsTr("clean.searchPlaceholder")
            }
        }

        Item {
            width: parent.width
            height: parent.height - header.height - filterRow.height - footer.height
                    - (page.app.scanning ? 30 : 0)

            LoadingNote {
                objectName: "loadingNote"
                anchors.centerIn: parent
                visible: page.app.scanning && shown.count === 0
                text: qsTr("common.loading")
            }
            EmptyNote {
                objectName: "emptyNote"
                anchors.centerIn: parent
                visible: !page.app.scanning && shown.count === 0
                icon: "checkmark.seal"
                text: qsTr("common.empty")
            }
            ListView {
                id: list
                objectName: "itemList"
                anchors { fill: parent; leftMargin: 20; rightMargin: 20 }
                visible: shown.count > 0
                clip: true
                model: shown
                bottomMargin: 90
                boundsBehavior: Flickable.StopAtBounds
                reuseItems: true
                ScrollBar.vertical: ListScrollBar {}
                delegate: ItemRow {
                    width: ListView.view.width
                    canProtect: true
                    onToggled: page.app.toggleSelected(path)
                    onProtectToggled: page.app.toggleProtect(path)
                }
            }
        }

        CleanFooter {
            id: footer
            width: parent.width
            app: page.app
            onMoveRequested: {
                confirm.names = page.app.selectedProtectedNames()
                confirm.open()
            }
        }
    }

    Toast {
        id: toast
        objectName: "toast"
    }

    ConfirmDialog {
        id: confirm
        title: qsTr("clean.confirmTitle")
        // Select All ticks protected findings too; the confirmation says how
        // many of them will move and names them.
        message: Lang.format(qsTr(Lang.countKey("clean.confirmBody", page.app.selectedCount)),
                             [page.app.selectedCount, page.app.sizeText(page.app.selectedSize)])
                 + (names.length > 0 ? "\n" + Lang.format(qsTr("clean.confirmProtected"), [names.length]) : "")
        confirmText: qsTr("common.delete")
        onConfirmed: page.app.trashSelected()
    }
}
