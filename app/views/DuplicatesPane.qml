// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Duplicates pane: content and same-name groups found by the model's
// duplicate search, each a card whose first file can be kept and the rest
// moved to the Trash. Only files compared byte for byte go at one click; a
// group that shares just a name (or a size within a margin) first lists what
// would move, with Cancel the default. The first visit starts a search by
// itself; TID_DUPTAB picks the segment each time the pane is made. A
// cancelled search says so and leaves the earlier results in place.
Item {
    id: pane
    objectName: "dupesPane"

    required property AppModel app
    // 0 content groups; any other number name groups.
    property int tab: 0
    readonly property DuplicateGroupModel shown: tab === 0 ? app.duplicates.content : app.duplicates.names

    Toolbox {
        id: box
    }

    // Lists what keep-the-first would move from a group whose files were
    // not compared, and moves them only once the user confirms.
    function askKeepFirst(groupId) {
        const moves = app.duplicates.keepFirstMoves(groupId)
        keepConfirm.groupId = groupId
        keepConfirm.message = Lang.format(qsTr(Lang.countKey("dupes.confirmBody", moves.length)), [moves.length])
        keepConfirm.names = moves
        keepConfirm.open()
    }

    Component.onCompleted: {
        tab = box.envNumber("TID_DUPTAB")
        if (!app.duplicates.scanned && !app.duplicates.loading)
            app.duplicates.load()
    }

    Item {
        id: head
        anchors { left: parent.left; right: parent.right; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        height: headRow.height + 6

        Row {
            id: headRow
            spacing: Theme.gap
            SegmentButton {
                objectName: "segContent"
                leftPadding: 10
                rightPadding: 10
                text: qsTr("dupes.content")
                count: pane.app.duplicates.content.count
                chosen: pane.tab === 0
                onClicked: pane.tab = 0
            }
            SegmentButton {
                objectName: "segName"
                leftPadding: 10
                rightPadding: 10
                text: qsTr("dupes.name")
                count: pane.app.duplicates.names.count
                chosen: pane.tab !== 0
                onClicked: pane.tab = 1
            }
        }
        Row {
            anchors { right: parent.right; verticalCenter: headRow.verticalCenter }
            spacing: Theme.gap
            TextLabel {
                objectName: "wastedTotal"
                anchors.verticalCenter: parent.verticalCenter
                visible: pane.app.duplicates.content.count > 0
                text: qsTr("tools.wasted") + " " + pane.app.sizeText(pane.app.duplicates.content.totalWasted)
                size: Theme.control
                font.weight: Font.Medium
                color: Theme.accent
            }
            BorderedButton {
                objectName: "dupesScan"
                anchors.verticalCenter: parent.verticalCenter
                prominent: true
                enabled: !pane.app.duplicates.loading
                text: pane.app.duplicates.loading ? qsTr("dupes.scanning") : qsTr("tools.dupesScan")
                onClicked: pane.app.duplicates.load()
            }
            BorderedButton {
                objectName: "dupesCancel"
                anchors.verticalCenter: parent.verticalCenter
                visible: pane.app.duplicates.loading
                text: qsTr("common.cancel")
                onClicked: pane.app.duplicates.cancel()
            }
        }
    }

    TextLabel {
        id: hint
        objectName: "dupesHint"
        anchors { top: head.bottom; left: parent.left; right: parent.right; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        bottomPadding: 10
        text: pane.app.duplicates.cancelled ? qsTr("dupes.cancelled")
                                      : pane.tab === 0 ? qsTr("dupes.contentHint") : qsTr("dupes.nameHint")
        size: Theme.caption
        color: pane.app.duplicates.cancelled ? Theme.care : Theme.tertiary
        wrapMode: Text.Wrap
    }

    Item {
        id: body
        anchors { top: hint.bottom; left: parent.left; right: parent.right; bottom: parent.bottom }

        Column {
            objectName: "dupesLoading"
            anchors.centerIn: parent
            visible: pane.app.duplicates.loading
            spacing: Theme.gapLarge
            LoadingNote {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("dupes.scanning")
            }
            BorderedButton {
                objectName: "dupesCancelScan"
                anchors.horizontalCenter: parent.horizontalCenter
                fontSize: Theme.detail
                text: qsTr("common.cancelScan")
                onClicked: pane.app.duplicates.cancel()
            }
        }

        ListView {
            id: groups
            objectName: "dupGroups"
            anchors { fill: parent; leftMargin: 20; rightMargin: 20 }
            visible: !pane.app.duplicates.loading && pane.shown.count > 0
            clip: true
            spacing: Theme.gapLarge
            bottomMargin: 20
            model: pane.shown
            boundsBehavior: Flickable.StopAtBounds
            // A card per group, never handed on to another group: cards are
            // few, and a card that left with its group never shows again in
            // another group's place.
            reuseItems: false
            ScrollBar.vertical: ListScrollBar {}
            delegate: DuplicateGroupCard {
                width: ListView.view.width
                onKeepFirst: {
                    if (isNameGroup || !sameSize)
                        pane.askKeepFirst(groupId)
                    else
                        pane.app.duplicates.keepFirst(groupId)
                }
            }
        }

        EmptyNote {
            objectName: "dupesEmpty"
            anchors.centerIn: parent
            visible: !pane.app.duplicates.loading && pane.shown.count === 0
            icon: pane.app.duplicates.scanned ? "checkmark.seal" : "square.on.square"
            text: pane.app.duplicates.scanned ? qsTr("tools.dupesEmpty") : qsTr("tools.dupesHint")
        }
    }

    ConfirmDialog {
        id: keepConfirm
        property string groupId
        objectName: "keepConfirm"
        width: 380
        title: qsTr("dupes.keepFirst")
        confirmText: qsTr("common.delete")
        onConfirmed: pane.app.duplicates.keepFirst(groupId)
    }
}
