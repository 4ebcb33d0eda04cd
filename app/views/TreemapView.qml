// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tidlo.Core
import Tidlo.Views

// The Storage Map page: the folder shown as nested rectangles sized by disk
// usage. The model measures and keeps the tree; the painted TreemapItem lays
// it out, draws it and says which cell is under the pointer; this page adds
// the controls, the hover outline and chip, and the right-click menu.
Item {
    id: page

    required property AppModel app

    Component.onCompleted: page.app.map.open()

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        PageHeader {
            Layout.fillWidth: true
            title: qsTr("map.title")
            subtitle: qsTr("map.subtitle")
            trailing: Row {
                spacing: Theme.gapLarge
                baselineOffset: choose.y + choose.baselineOffset
                Row {
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: Theme.gapSmall
                    TextLabel {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("map.depth")
                        size: Theme.control
                        color: Theme.secondary
                    }
                    Stepper {
                        objectName: "depthStepper"
                        anchors.verticalCenter: parent.verticalCenter
                        from: page.app.map.minDepth
                        to: page.app.map.maxDepth
                        value: page.app.map.depth
                        label: qsTr("map.depth")
                        onMoved: (v) => page.app.map.reloadAtDepth(v)
                    }
                    TextLabel {
                        objectName: "depthValue"
                        anchors.verticalCenter: parent.verticalCenter
                        width: 10
                        text: page.app.map.depth
                        size: Theme.control
                        font.weight: Font.Medium
                        color: Theme.primary
                    }
                    TextLabel {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("map.depthHint")
                        size: Theme.footnote
                        color: Theme.tertiary
                    }
                }
                BorderedButton {
                    id: choose
                    objectName: "chooseFolder"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "folder.badge.plus"
                    text: qsTr("map.choose")
                    // The desktop's own chooser where there is one (Desktop
                    // reports back), else ours; both open at the folder shown.
                    onClicked: Desktop.chooseFolder(qsTr("chooser.title"), page.app.map.path)
                }
                BorderedButton {
                    objectName: "refreshMap"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "arrow.clockwise"
                    Accessible.name: qsTr("common.refresh")
                    ToolTip.visible: hovered
                    ToolTip.text: qsTr("common.refresh")
                    onClicked: page.app.map.refresh()
                }
            }
        }

        MapTrail {
            Layout.fillWidth: true
            Layout.leftMargin: Theme.pageMargin
            Layout.rightMargin: Theme.pageMargin
            Layout.bottomMargin: 10
            app: page.app
        }

        Item {
            id: area
            objectName: "mapArea"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24

            Rectangle {
                anchors.fill: parent
                radius: Theme.panelRadius
                color: Theme.primaryAt(0.025)
            }
            LoadingNote {
                objectName: "mapLoading"
                anchors.centerIn: parent
                visible: page.app.map.loading
                text: qsTr("map.loading")
            }
            TextLabel {
                objectName: "mapEmpty"
                anchors.centerIn: parent
                visible: !page.app.map.loading && page.app.map.hasRoot
                         && page.app.map.childCount === 0
                text: "0 " + qsTr("common.items")
                size: Theme.body
                color: Theme.secondary
            }
            TreemapItem {
                id: map
                objectName: "treemap"
                anchors.fill: parent
                anchors.margins: 10
                visible: !page.app.map.loading && page.app.map.childCount > 0
                mapState: page.app.map
                language: Lang.lang
                backdrop: Qt.tint(Theme.windowBG, Theme.primaryAt(0.025))
                Accessible.role: Accessible.Graphic
                Accessible.name: page.app.map.name + " " + page.app.sizeText(page.app.map.size)
                onContextMenuRequested: (path, name, x, y) => {
                    if (path === "")
                        return
                    menu.path = path
                    menu.popup(map, x, y)
                }

                Rectangle {
                    objectName: "hoverOutline"
                    visible: map.hoveredIndex >= 0
                    x: map.hoveredRect.x - 0.5
                    y: map.hoveredRect.y - 0.5
                    width: map.hoveredRect.width + 1
                    height: map.hoveredRect.height + 1
                    radius: 3
                    color: "transparent"
                    border.color: "white"
                    border.width: 1.5
                }
            }
            // The pointer layer: hover tracking, a click, a right click.
            MouseArea {
                objectName: "mapPointer"
                anchors.fill: map
                enabled: map.visible
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPositionChanged: (mouse) => map.hoverAt(mouse.x, mouse.y)
                onExited: map.clearHover()
                onClicked: (mouse) => {
                    if (mouse.button === Qt.RightButton)
                        map.contextAt(mouse.x, mouse.y)
                    else
                        map.clickAt(mouse.x, mouse.y)
                }
            }
            // The top cells as elements of their own: a screen reader reads
            // and presses them, and keyboard focus moves across them (arrows;
            // Enter or Space opens a folder; Backspace goes up).
            FocusScope {
                id: cellLayer
                objectName: "mapCells"
                anchors.fill: map
                visible: map.visible
                activeFocusOnTab: true
                Accessible.role: Accessible.List
                Accessible.name: map.Accessible.name
                onActiveFocusChanged: {
                    if (activeFocus && map.focusedIndex < 0)
                        map.focusedIndex = map.neighbour(-1, 0)
                }
                Keys.onPressed: (event) => {
                    switch (event.key) {
                    case Qt.Key_Left:
                    case Qt.Key_Right:
                    case Qt.Key_Up:
                    case Qt.Key_Down:
                        map.focusedIndex = map.neighbour(map.focusedIndex, event.key)
                        break
                    case Qt.Key_Return:
                    case Qt.Key_Enter:
                    case Qt.Key_Space:
                        map.activate(map.focusedIndex)
                        break
                    case Qt.Key_Backspace:
                        page.app.map.up()
                        break
                    default:
                        return
                    }
                    event.accepted = true
                }
                // A new layout clears the focus: it goes to the first cell.
                Connections {
                    target: map
                    function onMapBuilt() {
                        if (cellLayer.activeFocus)
                            map.focusedIndex = map.neighbour(-1, 0)
                    }
                }

                Repeater {
                    model: map.cells
                    delegate: Item {
                        required property int cell
                        required property rect rect
                        required property string name
                        required property string sizeText
                        required property string kind
                        x: rect.x
                        y: rect.y
                        width: rect.width
                        height: rect.height
                        focus: map.focusedIndex === cell
                        Accessible.role: kind === "folder" ? Accessible.Button : Accessible.StaticText
                        Accessible.name: name + " " + sizeText
                        Accessible.focusable: true
                        Accessible.onPressAction: map.activate(cell)
                    }
                }

                Rectangle {
                    objectName: "focusRing"
                    readonly property rect r: map.focusedIndex >= 0 ? map.cellRect(map.focusedIndex)
                                                                    : Qt.rect(0, 0, 0, 0)
                    visible: cellLayer.activeFocus && map.focusedIndex >= 0
                    x: r.x - 1
                    y: r.y - 1
                    width: r.width + 2
                    height: r.height + 2
                    radius: 4
                    color: "transparent"
                    border.color: Theme.accent
                    border.width: 2
                }
            }
            MapHoverChip {
                objectName: "hoverChip"
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.rightMargin: 36
                anchors.bottomMargin: 26
                visible: map.visible && map.hoveredIndex >= 0
                map: map
                app: page.app
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: Theme.pageMargin
            Layout.rightMargin: Theme.pageMargin
            Layout.topMargin: 10
            Layout.bottomMargin: 10
            spacing: Theme.sectionGap
            Row {
                spacing: 4
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "hand.tap"
                    size: 10
                    color: Theme.tertiary
                }
                TextLabel {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("map.hint")
                    size: Theme.caption
                    color: Theme.tertiary
                }
            }
            Item {
                Layout.fillWidth: true
            }
            TextLabel {
                objectName: "mapCount"
                text: page.app.map.childCount + " " + qsTr(Lang.countKey("common.items", page.app.map.childCount))
                size: Theme.caption
                color: Theme.tertiary
            }
        }
    }

    Connections {
        target: Desktop
        function onFolderChosen(folder) { page.app.map.chooseFolder(folder) }
        function onFolderChooserMissing(startFolder) { folderChooser.openAt(startFolder) }
    }
    FolderChooser {
        id: folderChooser
        onChosen: (folder) => page.app.map.chooseFolder(folder)
    }

    Menu {
        id: menu
        objectName: "mapMenu"
        property string path
        MenuItem {
            text: qsTr("map.reveal")
            Accessible.name: text
            onTriggered: Desktop.reveal(menu.path)
        }
        MenuItem {
            text: qsTr("map.copyPath")
            Accessible.name: text
            onTriggered: Desktop.copyText(menu.path)
        }
    }
}
