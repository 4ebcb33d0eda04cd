// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Controls.Basic
import Tidlo.Core

// One group of duplicates on a card: a kind badge, the title (count × size, or
// the shared name), what removing the copies would free, keep-the-first, and
// the first eight paths with a reveal button each ("+ N …" for the rest).
Card {
    id: card

    required property string groupId
    required property bool isNameGroup
    required property bool isFolder
    required property bool sameSize
    required property bool sameName
    required property int fileCount
    required property string sizeText
    required property real wasted
    required property string wastedText
    required property string name
    required property var shownFiles
    required property var shownPaths
    required property int moreFiles

    signal keepFirst()

    readonly property string badge: isNameGroup ? (isFolder ? qsTr("dupes.kind.folder") : qsTr("dupes.kind.file"))
                                                : (sameName ? qsTr("dupes.byName") : "")
    readonly property color badgeColor: isNameGroup ? Theme.care : Theme.accent
    readonly property string title: !isNameGroup ? fileCount + " × " + sizeText
                                                 : (name !== "" ? name : fileCount + " " + qsTr(Lang.countKey("common.items", fileCount)))

    implicitHeight: column.implicitHeight + 2 * padding

    Column {
        id: column
        width: card.width - 2 * card.padding
        spacing: 7

        Item {
            width: parent.width
            height: Math.max(titleRow.height, keep.height)

            Row {
                id: titleRow
                anchors.verticalCenter: parent.verticalCenter
                spacing: Theme.gap
                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: card.badge !== ""
                    width: badgeText.implicitWidth + 12
                    height: badgeText.implicitHeight + 4
                    radius: height / 2
                    color: Qt.rgba(card.badgeColor.r, card.badgeColor.g, card.badgeColor.b, 0.15)
                    TextLabel {
                        id: badgeText
                        anchors.centerIn: parent
                        text: card.badge
                        size: Theme.footnote
                        font.weight: Font.Medium
                        color: card.badgeColor
                    }
                }
                NameText {
                    objectName: "groupTitle"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, column.width - keep.width - 160)
                    text: card.title
                    size: Theme.body
                    font.weight: Font.DemiBold
                    color: Theme.primary
                }
            }
            Row {
                anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                spacing: Theme.gap
                TextLabel {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: card.wasted >= 1
                    text: qsTr("tools.wasted") + " " + card.wastedText
                    size: Theme.detail
                    color: Theme.care
                }
                BorderedButton {
                    id: keep
                    objectName: "keepFirst"
                    visible: card.sameSize
                    fontSize: Theme.detail
                    text: qsTr("dupes.keepFirst")
                    onClicked: card.keepFirst()
                }
            }
        }

        Repeater {
            model: card.shownFiles.length
            Row {
                required property int index
                objectName: "groupFile"
                width: column.width
                spacing: Theme.gapSmall
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: card.isFolder ? "folder" : "doc"
                    size: 9
                    color: Theme.tertiary
                }
                NameText {
                    objectName: "groupFileName"
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - 40
                    text: card.shownFiles[index] ?? ""
                    elide: Text.ElideMiddle
                    size: Theme.caption
                    color: Theme.secondary
                }
                AbstractButton {
                    id: revealFile
                    anchors.verticalCenter: parent.verticalCenter
                    focusPolicy: Qt.NoFocus
                    hoverEnabled: true
                    ToolTip.visible: hovered
                    ToolTip.text: qsTr("common.reveal")
                    Accessible.role: Accessible.Button
                    Accessible.name: ToolTip.text
                    Accessible.onPressAction: if (revealFile.enabled) revealFile.clicked()
                    contentItem: Symbol {
                        name: "folder"
                        size: 9
                        color: Theme.tertiary
                    }
                    background: null
                    onClicked: Desktop.reveal(card.shownPaths[index])
                }
            }
        }

        TextLabel {
            objectName: "moreFiles"
            visible: card.moreFiles > 0
            text: "+ " + card.moreFiles + " …"
            size: Theme.caption
            color: Theme.tertiary
        }
    }
}
