// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The About page: the icon, name, version, description and source link, the
// language choice (which redraws the whole window at once) and the button
// that replays the onboarding.
Item {
    id: page

    required property AppModel app
    // The replay button was pressed; the window shows the onboarding again.
    signal guide()

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width - 2 * Theme.pageMargin, 480)
        spacing: Theme.sectionGap

        AppLogo {
            anchors.horizontalCenter: parent.horizontalCenter
            size: 96
            radius: 22
        }
        TextLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("app.name")
            size: Theme.title
            font.bold: true
            color: Theme.primary
        }
        TextLabel {
            objectName: "versionText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("about.version") + " " + BuildInfo.version
            size: Theme.control
            color: Theme.secondary
        }
        TextLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, 420)
            topPadding: 4
            text: qsTr("about.desc")
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            size: Theme.body
            color: Theme.secondary
        }
        PlainButton {
            objectName: "sourceLink"
            anchors.horizontalCenter: parent.horizontalCenter
            text: BuildInfo.sourceLabel
            fontSize: Theme.control
            tone: Theme.accent
            Accessible.role: Accessible.Link
            onClicked: Desktop.openLink(BuildInfo.sourceUrl)
        }
        TextLabel {
            objectName: "licenseText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("about.license") + " · GPL-3.0-or-later"
            size: Theme.detail
            color: Theme.secondary
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Theme.gap
            TextLabel {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("about.language")
                size: Theme.detail
                color: Theme.secondary
            }
            SegmentedPicker {
                objectName: "languagePicker"
                anchors.verticalCenter: parent.verticalCenter
                width: 250
                choices: [
                    { text: qsTr("about.lang.auto"), value: "auto" },
                    { text: "中文", value: "zh" },
                    { text: "English", value: "en" },
                ]
                value: Lang.langSel
                onPicked: (value) => Lang.langSel = value
            }
        }
        BorderedButton {
            objectName: "replayGuide"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("common.guide")
            fontSize: Theme.control
            onClicked: page.guide()
        }
    }
}
