// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Clean page: the findings (caches and leftovers) filtered by kind and a
// search text, picked row by row, and moved into the Trash after a
// confirmation. Selection, protection and the move belong to the model.
Item {
    id: page

    required property AppModel model
    // 0 all findings, 1 caches, 2 leftovers.
    property int filter: 0
    property alias query: search.text

    readonly property var source: filter === 1 ? model.cacheItems
                                 : filter === 2 ? model.orphanItems : model.cleanItems

    ItemFilter {
        id: shown
        sourceModel: page.source
        query: page.query
    }

    Connections {
        target: page.model
        function onTrashed(moved, failed, size, notes) {
            const done = Lang.format(qsTr(Lang.countKey("clean.doneBody", moved)),
                                     [moved, page.model.sizeText(size)])
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
                spacing: 8
                baselineOffset: children[0].baselineOffset
                BorderedButton {
                    objectName: "selectAll"
                    text: qsTr("common.selectAll")
                    onClicked: page.model.selectAllIn(shown)
                }
                BorderedButton {
                    objectName: "selectNone"
                    text: qsTr("common.selectNone")
                    onClicked: page.model.clearSelection()
                }
            }
        }

        ScanProgressRow {
            objectName: "progressRow"
            width: parent.width
            visible: page.model.scanning
            height: visible ? implicitHeight : 0
            model: page.model
        }

        Item {
            id: filterRow
            width: parent.width
            height: segments.implicitHeight + 12

            Row {
                id: segments
                x: 28
                spacing: 6
                SegmentButton {
                    objectName: "segmentAll"
                    text: qsTr("clean.filter.all")
                    count: page.model.cleanItems.count
                    chosen: page.filter === 0
                    onClicked: page.filter = 0
                }
                SegmentButton {
                    objectName: "segmentCache"
                    text: qsTr("clean.filter.cache")
                    count: page.model.cacheItems.count
                    chosen: page.filter === 1
                    onClicked: page.filter = 1
                }
                SegmentButton {
                    objectName: "segmentOrphan"
                    text: qsTr("clean.filter.orphan")
                    count: page.model.orphanItems.count
                    chosen: page.filter === 2
                    onClicked: page.filter = 2
                }
            }
            SearchField {
                id: search
                anchors { right: parent.right; rightMargin: 28; verticalCenter: segments.verticalCenter }
                placeholder: qsTr("clean.searchPlaceholder")
            }
        }

        Item {
            width: parent.width
            height: parent.height - header.height - filterRow.height - footer.height
                    - (page.model.scanning ? 30 : 0)

            LoadingNote {
                objectName: "loadingNote"
                anchors.centerIn: parent
                visible: page.model.scanning && shown.count === 0
                text: qsTr("common.loading")
            }
            EmptyNote {
                objectName: "emptyNote"
                anchors.centerIn: parent
                visible: !page.model.scanning && shown.count === 0
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
                    onToggled: page.model.toggleSelected(path)
                    onProtectToggled: page.model.toggleProtect(path)
                }
            }
        }

        CleanFooter {
            id: footer
            width: parent.width
            model: page.model
            onMoveRequested: {
                confirm.names = page.model.selectedProtectedNames()
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
        message: Lang.format(qsTr(Lang.countKey("clean.confirmBody", page.model.selectedCount)),
                             [page.model.selectedCount, page.model.sizeText(page.model.selectedSize)])
                 + (names.length > 0 ? "\n" + Lang.format(qsTr("clean.confirmProtected"), [names.length]) : "")
        confirmText: qsTr("common.delete")
        onConfirmed: page.model.trashSelected()
    }
}
