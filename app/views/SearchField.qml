// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic

// A search field: a magnifying glass and a plain text field on a faint capsule.
Rectangle {
    id: search

    property alias text: field.text
    property string placeholder
    property real fieldWidth: 150

    implicitWidth: row.implicitWidth + 18
    implicitHeight: row.implicitHeight + 10
    radius: height / 2
    color: Theme.primaryAt(0.05)

    Row {
        id: row
        x: 9
        anchors.verticalCenter: parent.verticalCenter
        spacing: 5

        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            name: "magnifyingglass"
            size: 10
            color: Theme.tertiary
        }
        TextField {
            id: field
            objectName: "searchField"
            width: search.fieldWidth
            padding: 0
            background: null
            font.pointSize: Theme.pt(Theme.control)
            color: Theme.primary
            placeholderText: search.placeholder
            placeholderTextColor: Theme.tertiary
            selectByMouse: true
            Accessible.role: Accessible.EditableText
            Accessible.name: search.placeholder
        }
    }
}
