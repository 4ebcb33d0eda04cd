// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The sidebar: the application's name, one row per page, the activity area
// and the version label.
Rectangle {
    id: sidebar

    required property AppModel app
    required property var pages
    required property string page
    signal pageChosen(string page)

    objectName: "sidebar"
    width: 208
    color: Theme.primaryAt(0.035)

    Column {
        id: top
        anchors { left: parent.left; right: parent.right; top: parent.top }

        Item {
            width: parent.width
            height: 40 + headerRow.height + 18

            Row {
                id: headerRow
                x: 16
                y: 40
                spacing: Theme.gapLarge

                AppLogo {
                    size: 34
                }
                Column {
                    id: names
                    anchors.verticalCenter: parent.verticalCenter
                    // The rest of the sidebar's width, so a long tagline wraps.
                    width: sidebar.width - headerRow.x - 34 - headerRow.spacing - 12
                    spacing: 1
                    TextLabel {
                        text: qsTr("app.name")
                        size: Theme.strong
                        font.weight: Font.DemiBold
                        color: Theme.primary
                    }
                    TextLabel {
                        width: names.width
                        wrapMode: Text.WordWrap
                        text: qsTr("app.tagline")
                        size: Theme.detail
                        color: Theme.secondary
                    }
                }
            }
        }

        Column {
            x: 8
            width: parent.width - 16
            spacing: 3

            Repeater {
                model: sidebar.pages
                delegate: SidebarRow {
                    required property var modelData
                    entry: modelData
                    width: parent.width
                    selected: sidebar.page === modelData.id
                    onClicked: sidebar.pageChosen(modelData.id)
                }
            }
        }
    }

    Column {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }

        ActivityArea {
            objectName: "activityArea"
            width: parent.width
            app: sidebar.app
        }
        TextLabel {
            objectName: "versionLabel"
            x: 18
            text: "v" + BuildInfo.version + " · Tidlo"
            size: Theme.caption
            color: Theme.tertiary
        }
        Item {
            width: 1
            height: 16
        }
    }
}
