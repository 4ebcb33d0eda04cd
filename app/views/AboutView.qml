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
        width: Math.min(parent.width - 56, 480)
        spacing: 14

        AppLogo {
            anchors.horizontalCenter: parent.horizontalCenter
            size: 96
            radius: 22
        }
        TextLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("app.name")
            font.pointSize: Theme.pt(20)
            font.bold: true
            color: Theme.primary
        }
        TextLabel {
            objectName: "versionText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("about.version") + " " + BuildInfo.version
            font.pointSize: Theme.pt(11)
            color: Theme.secondary
        }
        TextLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, 420)
            topPadding: 4
            text: qsTr("about.desc")
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            font.pointSize: Theme.pt(12)
            color: Theme.secondary
        }
        PlainButton {
            objectName: "sourceLink"
            anchors.horizontalCenter: parent.horizontalCenter
            text: BuildInfo.sourceLabel
            fontSize: 11
            tone: Theme.accent
            Accessible.role: Accessible.Link
            onClicked: Desktop.openLink(BuildInfo.sourceUrl)
        }
        TextLabel {
            objectName: "licenseText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("about.license") + " · GPL-3.0-or-later"
            font.pointSize: Theme.pt(10.5)
            color: Theme.secondary
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 8
            TextLabel {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("about.language")
                font.pointSize: Theme.pt(10.5)
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
            fontSize: 11
            onClicked: page.guide()
        }
    }
}
