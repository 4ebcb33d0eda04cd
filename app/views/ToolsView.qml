// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// The Toolbox page: five tools under one header and a row of tab buttons. The
// chosen tool's pane is made afresh each time its tab is chosen, so it starts
// from its first state; TID_TAB picks the first tab each time the page is made.
Item {
    id: page

    required property AppModel app
    // 0 apps, 1 duplicates, 2 snapshots, 3 system; any other number processes.
    property int tab: 0
    readonly property int shownTab: tab >= 0 && tab <= 3 ? tab : 4

    Component.onCompleted: tab = box.envNumber("TID_TAB")

    Toolbox {
        id: box
        services: page.app.services
    }

    PageHeader {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("tools.title")
        subtitle: qsTr("tools.subtitle")
    }

    Row {
        id: tabs
        objectName: "toolTabs"
        anchors { left: parent.left; top: header.bottom; leftMargin: Theme.pageMargin }
        spacing: Theme.gap

        Repeater {
            model: [qsTr("tools.tab.apps"), qsTr("tools.tab.dupes"), qsTr("tools.tab.snap"),
                    qsTr("tools.tab.sys"), qsTr("proc.title")]
            SegmentButton {
                required property string modelData
                required property int index
                objectName: "tab" + index
                leftPadding: 12
                rightPadding: 12
                text: modelData
                chosen: page.shownTab === index
                onClicked: page.tab = index
            }
        }
    }

    Loader {
        id: pane
        objectName: "toolPane"
        anchors {
            left: parent.left
            right: parent.right
            top: tabs.bottom
            bottom: parent.bottom
            topMargin: 12
        }
        sourceComponent: [appsPane, dupesPane, snapPane, sysPane, procPane][page.shownTab]
    }

    Component {
        id: appsPane
        AppsPane { app: page.app }
    }
    Component {
        id: dupesPane
        DuplicatesPane { app: page.app }
    }
    Component {
        id: snapPane
        SnapPane { app: page.app }
    }
    Component {
        id: sysPane
        SysPane { app: page.app }
    }
    Component {
        id: procPane
        ProcPane { app: page.app }
    }
}
