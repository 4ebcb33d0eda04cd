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

    required property AppModel model
    // 0 content groups; any other number name groups.
    property int tab: 0
    readonly property DupGroupList shown: tab === 0 ? model.dupContent : model.dupNames

    Toolbox {
        id: box
    }

    // Lists what keep-the-first would move from a group whose files were
    // not compared, and moves them only once the user confirms.
    function askKeepFirst(groupId) {
        const moves = model.keepFirstMoves(groupId)
        keepConfirm.groupId = groupId
        keepConfirm.message = Lang.format(qsTr(Lang.countKey("dupes.confirmBody", moves.length)), [moves.length])
        keepConfirm.names = moves
        keepConfirm.open()
    }

    Component.onCompleted: {
        tab = box.envNumber("TID_DUPTAB")
        if (!model.dupScanned && !model.dupLoading)
            model.loadDuplicates()
    }

    Item {
        id: head
        anchors { left: parent.left; right: parent.right; leftMargin: 28; rightMargin: 28 }
        height: headRow.height + 6

        Row {
            id: headRow
            spacing: 8
            SegmentButton {
                objectName: "segContent"
                leftPadding: 10
                rightPadding: 10
                text: qsTr("dupes.content")
                count: pane.model.dupContent.count
                chosen: pane.tab === 0
                onClicked: pane.tab = 0
            }
            SegmentButton {
                objectName: "segName"
                leftPadding: 10
                rightPadding: 10
                text: qsTr("dupes.name")
                count: pane.model.dupNames.count
                chosen: pane.tab !== 0
                onClicked: pane.tab = 1
            }
        }
        Row {
            anchors { right: parent.right; verticalCenter: headRow.verticalCenter }
            spacing: 8
            TextLabel {
                objectName: "wastedTotal"
                anchors.verticalCenter: parent.verticalCenter
                visible: pane.model.dupContent.count > 0
                text: qsTr("tools.wasted") + " " + pane.model.sizeText(pane.model.dupContent.totalWasted)
                font.pointSize: Theme.pt(11)
                font.weight: Font.Medium
                color: Theme.accent
            }
            BorderedButton {
                objectName: "dupesScan"
                anchors.verticalCenter: parent.verticalCenter
                prominent: true
                enabled: !pane.model.dupLoading
                text: pane.model.dupLoading ? qsTr("dupes.scanning") : qsTr("tools.dupesScan")
                onClicked: pane.model.loadDuplicates()
            }
            BorderedButton {
                objectName: "dupesCancel"
                anchors.verticalCenter: parent.verticalCenter
                visible: pane.model.dupLoading
                text: qsTr("common.cancel")
                onClicked: pane.model.cancelDuplicates()
            }
        }
    }

    TextLabel {
        id: hint
        objectName: "dupesHint"
        anchors { top: head.bottom; left: parent.left; right: parent.right; leftMargin: 28; rightMargin: 28 }
        bottomPadding: 10
        text: pane.model.dupCancelled ? qsTr("dupes.cancelled")
                                      : pane.tab === 0 ? qsTr("dupes.contentHint") : qsTr("dupes.nameHint")
        font.pointSize: Theme.pt(10)
        color: pane.model.dupCancelled ? Theme.care : Theme.tertiary
        wrapMode: Text.Wrap
    }

    Item {
        id: body
        anchors { top: hint.bottom; left: parent.left; right: parent.right; bottom: parent.bottom }

        Column {
            objectName: "dupesLoading"
            anchors.centerIn: parent
            visible: pane.model.dupLoading
            spacing: 10
            LoadingNote {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("dupes.scanning")
            }
            BorderedButton {
                objectName: "dupesCancelScan"
                anchors.horizontalCenter: parent.horizontalCenter
                fontSize: 10.5
                text: qsTr("common.cancelScan")
                onClicked: pane.model.cancelDuplicates()
            }
        }

        ListView {
            id: groups
            objectName: "dupGroups"
            anchors { fill: parent; leftMargin: 20; rightMargin: 20 }
            visible: !pane.model.dupLoading && pane.shown.count > 0
            clip: true
            spacing: 10
            bottomMargin: 20
            model: pane.shown
            boundsBehavior: Flickable.StopAtBounds
            // A card per group, never handed on to another group: cards are
            // few, and a card that left with its group never shows again in
            // another group's place.
            reuseItems: false
            ScrollBar.vertical: ListScrollBar {}
            delegate: DupGroupCard {
                width: ListView.view.width
                onKeepFirst: {
                    if (isNameGroup || !sameSize)
                        pane.askKeepFirst(groupId)
                    else
                        pane.model.keepFirst(groupId)
                }
            }
        }

        EmptyNote {
            objectName: "dupesEmpty"
            anchors.centerIn: parent
            visible: !pane.model.dupLoading && pane.shown.count === 0
            icon: pane.model.dupScanned ? "checkmark.seal" : "square.on.square"
            text: pane.model.dupScanned ? qsTr("tools.dupesEmpty") : qsTr("tools.dupesHint")
        }
    }

    ConfirmDialog {
        id: keepConfirm
        property string groupId
        objectName: "keepConfirm"
        width: 380
        title: qsTr("dupes.keepFirst")
        confirmText: qsTr("common.delete")
        onConfirmed: pane.model.keepFirst(groupId)
    }
}
