// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// One finding: check circle, kind icon, name (with a lock when protected) and
// note, risk badge, size and a reveal button. A click anywhere toggles it; the
// context menu reveals it and, where the page allows, protects or unprotects it.
Item {
    id: row

    required property string path
    required property string name
    required property string note
    required property string sizeText
    required property string risk
    required property string icon
    required property bool selected
    required property bool isProtected
    // Whether the row offers protect / unprotect.
    property bool canProtect: false

    signal toggled()
    signal protectToggled()

    readonly property bool hover: area.containsMouse

    implicitHeight: content.implicitHeight + 16
    Accessible.role: Accessible.ListItem
    Accessible.name: name + ", " + sizeText
    Accessible.selectable: canProtect
    // A screen reader's press toggles the row as a click on it does.
    Accessible.onPressAction: row.toggled()
    Accessible.selected: selected

    Rectangle {
        anchors.fill: parent
        radius: Theme.rowRadius
        color: row.hover ? Theme.primaryAt(0.04) : "transparent"
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: (mouse) => {
            if (mouse.button === Qt.RightButton)
                row.openMenu()
            else
                row.toggled()
        }
    }

    Row {
        id: content
        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter
                  leftMargin: 10; rightMargin: 10 }
        spacing: 11

        CheckBox {
            id: check
            objectName: "check"
            anchors.verticalCenter: parent.verticalCenter
            focusPolicy: Qt.NoFocus
            padding: 0
            spacing: 0
            implicitWidth: 18
            implicitHeight: 18
            text: row.name
            // The model owns the state: a click asks the page, which asks the
            // model, and the box follows the model again.
            checked: row.selected
            Accessible.name: row.name
            Accessible.onPressAction: row.toggled()
            contentItem: null
            indicator: Symbol {
                width: check.width
                height: check.height
                name: row.selected ? "checkmark.circle.fill" : "circle"
                size: 15
                color: row.selected ? Theme.accent : Qt.rgba(Theme.secondary.r, Theme.secondary.g,
                                                              Theme.secondary.b, 0.5 * Theme.secondary.a)
            }
            onClicked: {
                checked = Qt.binding(() => row.selected)
                row.toggled()
            }
        }
        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            name: row.icon
            size: 13
            color: Theme.secondary
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: content.width - x - 11 * 3 - badge.width - size.width - reveal.width
            spacing: 1

            Row {
                width: parent.width
                spacing: 5
                NameText {
                    id: nameText
                    objectName: "nameText"
                    width: Math.min(implicitWidth, parent.width - (lock.visible ? lock.width + 5 : 0))
                    text: row.name
                    size: Theme.large
                    font.weight: Font.Medium
                    color: Theme.primary
                    elide: Text.ElideMiddle
                }
                Symbol {
                    id: lock
                    objectName: "lock"
                    anchors.verticalCenter: nameText.verticalCenter
                    visible: row.isProtected
                    name: "lock.fill"
                    size: 8
                    color: Theme.care
                }
            }
            NameText {
                width: parent.width
                visible: row.note !== ""
                text: row.note
                size: Theme.caption
                color: Theme.tertiary
            }
        }
        RiskDot {
            id: badge
            anchors.verticalCenter: parent.verticalCenter
            risk: row.risk
        }
        TextLabel {
            id: size
            anchors.verticalCenter: parent.verticalCenter
            width: 74
            horizontalAlignment: Text.AlignRight
            text: row.sizeText
            size: Theme.body
            font.weight: Font.Medium
            color: Theme.primary
        }
        AbstractButton {
            id: reveal
            objectName: "reveal"
            anchors.verticalCenter: parent.verticalCenter
            focusPolicy: Qt.NoFocus
            hoverEnabled: true
            text: qsTr("common.reveal")
            ToolTip.visible: hovered
            ToolTip.text: text
            ToolTip.delay: 600
            Accessible.role: Accessible.Button
            Accessible.name: text
            Accessible.onPressAction: if (reveal.enabled) reveal.clicked()
            contentItem: Symbol {
                name: "folder"
                size: 11
                color: row.hover ? Theme.accent : Qt.rgba(Theme.secondary.r, Theme.secondary.g,
                                                           Theme.secondary.b, 0.6 * Theme.secondary.a)
            }
            onClicked: Desktop.reveal(row.path)
        }
    }

    // The context menu, made when first asked for: rows are built while
    // scrolling, menus rarely.
    function openMenu() {
        const menu = menuComponent.createObject(row) as Menu
        menu.closed.connect(menu.destroy)
        menu.popup()
    }

    Component {
        id: menuComponent
        Menu {
        MenuItem {
            text: qsTr("common.reveal")
            onTriggered: Desktop.reveal(row.path)
        }
        MenuItem {
            visible: row.canProtect
            height: visible ? implicitHeight : 0
            text: row.isProtected ? qsTr("common.unprotect") : qsTr("common.protect")
            onTriggered: row.protectToggled()
        }
        }
    }
}
