// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Layouts

// The title block at the top of a page: bold title, secondary subtitle, and on
// the right the page-wide controls, when the page gives them.
Item {
    id: header

    property string title
    property string subtitle
    // Controls shown at the right end of the row, aligned on the title's baseline.
    property Component trailing: null

    implicitWidth: row.implicitWidth + 2 * Theme.pageMargin
    implicitHeight: row.implicitHeight + 46

    RowLayout {
        id: row
        anchors {
            left: parent.left
            right: parent.right
            top: parent.top
            leftMargin: Theme.pageMargin
            rightMargin: Theme.pageMargin
            topMargin: 30
        }
        spacing: Theme.gap

        Column {
            id: titles
            Layout.alignment: Qt.AlignLeft | Qt.AlignTop
            spacing: 4

            TextLabel {
                id: titleText
                text: header.title
                size: Theme.display
                font.bold: true
                color: Theme.primary
            }
            TextLabel {
                text: header.subtitle
                size: Theme.body
                color: Theme.secondary
                visible: text !== ""
            }
        }

        Item {
            Layout.fillWidth: true
        }

        Loader {
            id: trailingLoader
            sourceComponent: header.trailing
            active: header.trailing !== null
            // First-baseline alignment: the trailing controls' baseline meets the title's.
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: item ? Math.max(0, titleText.baselineOffset - (item as Item).baselineOffset) : 0
        }
    }
}
