// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Apps pane: installed applications by size with their count, a search by
// name or id, each row's leftovers on demand, and its removal behind a
// confirmation (or the command that removes it, to copy). The list, the
// leftovers and every removal run off the main thread (InstalledAppModel);
// what a removal did shows in the toast. An empty list says why.
Item {
    id: pane
    objectName: "appsPane"

    required property AppModel app
    // The application whose uninstall waits for confirmation ("" for none).
    property string confirmPath: ""
    property string confirmName: ""
    property int confirmRemoval: InstalledAppModel.Trash

    InstalledAppModel {
        id: apps
        objectName: "appsList"
        services: pane.app.services
        query: searchBox.text
        onUninstalled: (name, moved, failed) => {
            let text = Lang.format(qsTr("apps.uninstalled"), [name])
            if (moved > 0)
                text += Lang.format(qsTr(Lang.countKey("apps.moved", moved)), [moved])
            if (failed > 0)
                text += Lang.format(qsTr(Lang.countKey("apps.notMoved", failed)), [failed])
            toast.show(text)
        }
        onUninstallFailed: (name) => toast.show(Lang.format(qsTr("apps.uninstallFailed"), [name]))
        onLeftoverMoved: (moved) => toast.show(qsTr(moved ? "apps.leftoverMoved" : "apps.leftoverStayed"))
    }

    Component.onCompleted: if (apps.total === 0) apps.refresh()

    Item {
        id: head
        anchors { left: parent.left; right: parent.right; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        height: searchBox.height + 8

        Row {
            anchors { left: parent.left; right: tools.left; rightMargin: Theme.gapLarge; verticalCenter: tools.verticalCenter }
            spacing: Theme.gapLarge
            TextLabel {
                objectName: "appsCount"
                visible: !apps.loading && apps.total > 0
                text: Lang.format(qsTr(Lang.countKey("apps.count", apps.count)), [apps.count])
                size: Theme.detail
                font.weight: Font.DemiBold
                color: Theme.secondary
            }
            TextLabel {
                text: qsTr("tools.appsHint")
                size: Theme.detail
                color: Theme.tertiary
            }
        }
        Row {
            id: tools
            anchors.right: parent.right
            spacing: Theme.gapLarge
            SearchField {
                id: searchBox
                objectName: "appSearch"
                fieldWidth: 120
                placeholder: qsTr("common.search")
            }
            BorderedButton {
                objectName: "appsRefresh"
                anchors.verticalCenter: searchBox.verticalCenter
                enabled: !apps.busy
                text: qsTr("common.refresh")
                onClicked: apps.refresh()
            }
        }
    }

    LoadingNote {
        anchors.centerIn: list
        visible: apps.loading || apps.busy
        text: apps.busy ? qsTr("apps.uninstalling") : ""
    }

    TextLabel {
        objectName: "appsEmpty"
        anchors { left: list.left; right: list.right; top: list.top; topMargin: 40; leftMargin: 20; rightMargin: 20 }
        visible: !apps.loading && apps.total === 0 && apps.emptyReason !== ""
        text: apps.emptyReason
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        size: Theme.body
        color: Theme.secondary
    }

    ListView {
        id: list
        objectName: "appRows"
        anchors {
            top: head.bottom
            left: parent.left
            right: parent.right
            bottom: parent.bottom
            leftMargin: 20
            rightMargin: 20
        }
        visible: !apps.loading && !apps.busy
        clip: true
        model: apps
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ListScrollBar {}
        delegate: AppRow {
            width: ListView.view.width
            expanded: apps.expanded === path
            leftovers: apps.leftovers
            leftoversLoaded: apps.leftoversLoaded
            busy: apps.busy
            onLeftoversClicked: apps.toggleLeftovers(path)
            onLeftoverChosen: (leftoverPath, chosen) => apps.chooseLeftover(leftoverPath, chosen)
            onLeftoverTrashClicked: (leftoverPath) => apps.trashLeftover(leftoverPath)
            onUninstallClicked: {
                pane.confirmPath = path
                pane.confirmName = name
                pane.confirmRemoval = removal
                confirm.open()
            }
        }
    }

    ConfirmDialog {
        id: confirm
        title: qsTr("tools.uninstall")
        message: pane.confirmName + " → " + (pane.confirmRemoval === InstalledAppModel.FlatpakUser
                                             ? qsTr("apps.flatpakConfirm") : qsTr("common.delete"))
        confirmText: qsTr(pane.confirmRemoval === InstalledAppModel.FlatpakUser ? "tools.uninstall"
                                                                                : "common.delete")
        onConfirmed: apps.uninstall(pane.confirmPath)
        // The dialog closes before it reports confirmed(): forget the app
        // only after that.
        onClosed: Qt.callLater(() => {
            pane.confirmPath = ""
            pane.confirmName = ""
        })
    }

    Toast {
        id: toast
        objectName: "appsToast"
    }
}
