// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The risk badge: the risk's title in its colour on a capsule of that colour.
Rectangle {
    id: dot

    // "safe", "care" or "data".
    required property string risk

    readonly property color tone: Theme.riskColor(risk)
    readonly property string titleKey: risk === "safe" ? "risk.safe" : risk === "care" ? "risk.care" : "risk.data"

    implicitWidth: label.implicitWidth + 14
    implicitHeight: label.implicitHeight + 5
    radius: height / 2
    color: Qt.rgba(tone.r, tone.g, tone.b, 0.14)

    TextLabel {
        id: label
        anchors.centerIn: parent
        text: qsTr(dot.titleKey)
        size: Theme.caption
        font.weight: Font.Medium
        color: dot.tone
    }
}
