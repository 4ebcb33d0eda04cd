// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tidlo.Core

// The Overview page: the home volume's capacity, what can be reclaimed, and
// where space goes by file type and by top-level folder. It starts the full
// scan and exports the report (shown in the file manager once written, and
// named with its folder in a toast, which also says when it could not be).
Item {
    id: page

    required property AppModel app
    signal goClean()

    Connections {
        target: page.app
        function onReportExported(path, onDesktop) {
            if (path === "") {
                toast.show(qsTr("ov.exportFailed"))
                return
            }
            toast.show(qsTr(onDesktop ? "clean.exported" : "ov.exportedHome"), path)
            Desktop.reveal(path)
        }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight + Theme.pageMargin
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ListScrollBar {}

        ColumnLayout {
            id: content
            width: flick.width
            spacing: 18

            PageHeader {
                objectName: "pageHeader"
                Layout.fillWidth: true
                title: qsTr("ov.title")
                subtitle: qsTr("app.tagline")
                trailing: Row {
                    spacing: Theme.gap
                    baselineOffset: scan.y + scan.baselineOffset
                    BorderedButton {
                        objectName: "exportReport"
                        anchors.verticalCenter: parent.verticalCenter
                        enabled: !page.app.scanning
                        symbol: "square.and.arrow.up"
                        fontSize: Theme.callout
                        text: qsTr("common.export")
                        onClicked: page.app.exportReport()
                    }
                    BorderedButton {
                        id: scan
                        objectName: "fullScan"
                        anchors.verticalCenter: parent.verticalCenter
                        enabled: !page.app.scanning
                        prominent: true
                        symbol: "arrow.triangle.2.circlepath"
                        fontSize: Theme.callout
                        weight: Font.Medium
                        text: page.app.scanning ? qsTr("ov.scanning") : qsTr("ov.scanAll")
                        onClicked: page.app.fullScan()
                    }
                }
            }

            ScanProgressRow {
                Layout.fillWidth: true
                Layout.topMargin: -6
                visible: page.app.scanning
                app: page.app
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: Theme.pageMargin
                Layout.rightMargin: Theme.pageMargin
                spacing: Theme.sectionGap
                DiskCard {
                    // 250 wide, or wider where the figures need it (long sizes, languages).
                    Layout.preferredWidth: Math.max(250, implicitWidth)
                    Layout.alignment: Qt.AlignTop
                    app: page.app
                }
                ColumnLayout {
                    Layout.fillWidth: true
                    Layout.alignment: Qt.AlignTop
                    spacing: Theme.sectionGap
                    StatCard {
                        objectName: "reclaimableCard"
                        Layout.fillWidth: true
                        symbol: "sparkles"
                        tint: Theme.accent
                        title: qsTr("ov.quickClean")
                        value: page.app.sizeText(page.app.reclaimable)
                        hint: qsTr("ov.quickCleanHint")
                        onClicked: page.goClean()
                    }
                    StatCard {
                        objectName: "leftoversCard"
                        Layout.fillWidth: true
                        symbol: "questionmark.folder"
                        tint: Theme.risky
                        title: qsTr("ov.orphans")
                        value: page.app.sizeText(page.app.leftoverTotal)
                        hint: qsTr("ov.orphansHint")
                        onClicked: page.goClean()
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: Theme.pageMargin
                Layout.rightMargin: Theme.pageMargin
                spacing: Theme.sectionGap
                TypeCard {
                    Layout.alignment: Qt.AlignTop
                    Layout.preferredWidth: implicitWidth
                    app: page.app
                }
                // The card sizes itself: when the page is built again with
                // its rows already there, the row's layout would keep the
                // height it first gave the card (its header's) and paint the
                // rows below it on the page.
                Item {
                    Layout.alignment: Qt.AlignTop
                    Layout.fillWidth: true
                    Layout.minimumWidth: 360
                    implicitHeight: categoryCard.implicitHeight
                    CategoryCard {
                        id: categoryCard
                        width: parent.width
                        app: page.app
                    }
                }
            }
        }
    }

    Toast {
        id: toast
        objectName: "overviewToast"
        anchors.bottomMargin: Theme.pageMargin
    }
}
