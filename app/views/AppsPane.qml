// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Apps pane: installed applications by size, a search, each row's
// leftovers on demand and an uninstall behind a confirmation. The list, the
// leftovers and the uninstall run off the main thread (InstalledAppModel).
Item {
    id: pane
    objectName: "appsPane"

    required property AppModel app
    // The application whose uninstall waits for confirmation ("" for none).
    property string confirmPath: ""
    property string confirmName: ""

    InstalledAppModel {
        id: apps
        objectName: "appsList"
        services: pane.app.services
        query: searchBox.text
    }

    Component.onCompleted: if (apps.total === 0) apps.refresh()

    Item {
        id: head
        anchors { left: parent.left; right: parent.right; leftMargin: Theme.pageMargin; rightMargin: Theme.pageMargin }
        height: searchBox.height + 8

        TextLabel {
            anchors { left: parent.left; verticalCenter: tools.verticalCenter }
            text: qsTr("tools.appsHint")
            size: Theme.detail
            color: Theme.tertiary
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
                text: qsTr("common.refresh")
                onClicked: apps.refresh()
            }
        }
    }

    LoadingNote {
        anchors.centerIn: list
        visible: apps.loading
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
        visible: !apps.loading
        clip: true
        model: apps
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ListScrollBar {}
        delegate: AppRow {
            width: ListView.view.width
            expanded: apps.expanded === path
            leftovers: apps.leftovers
            leftoversLoaded: apps.leftoversLoaded
            onLeftoversClicked: apps.toggleLeftovers(path)
            onUninstallClicked: {
                pane.confirmPath = path
                pane.confirmName = name
                confirm.open()
            }
        }
    }

    ConfirmDialog {
        id: confirm
        title: qsTr("tools.uninstall")
        message: pane.confirmName + " → " + qsTr("common.delete")
        confirmText: qsTr("common.delete")
        onConfirmed: apps.uninstall(pane.confirmPath)
        // The dialog closes before it reports confirmed(): forget the app
        // only after that.
        onClosed: Qt.callLater(() => {
            pane.confirmPath = ""
            pane.confirmName = ""
        })
    }
}
