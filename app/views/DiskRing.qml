// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The Overview's disk ring: a faint full circle and over it an arc from the
// top for the used share, with the percentage in the middle.
Item {
    id: ring

    // Used share of the volume, 0 to 1.
    property real ratio: 0

    implicitWidth: 118
    implicitHeight: 118
    Accessible.role: Accessible.Indicator
    Accessible.name: percent.text + " " + used.text

    onRatioChanged: canvas.requestPaint()

    Canvas {
        id: canvas
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const line = 14
            const r = (Math.min(width, height) - line) / 2
            const cx = width / 2
            const cy = height / 2
            ctx.lineWidth = line
            ctx.strokeStyle = Theme.primaryAt(0.07)
            ctx.beginPath()
            ctx.arc(cx, cy, r, 0, 2 * Math.PI, false)
            ctx.stroke()
            const share = Math.max(0, Math.min(1, ring.ratio))
            if (share <= 0)
                return
            const gradient = ctx.createLinearGradient(0, 0, 0, height)
            gradient.addColorStop(0, Theme.accent)
            gradient.addColorStop(1, Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.55))
            ctx.strokeStyle = gradient
            ctx.lineCap = "round"
            ctx.beginPath()
            ctx.arc(cx, cy, r, -Math.PI / 2, -Math.PI / 2 + share * 2 * Math.PI, false)
            ctx.stroke()
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 1
        TextLabel {
            id: percent
            objectName: "ringPercent"
            anchors.horizontalCenter: parent.horizontalCenter
            text: Math.floor(Math.max(0, ring.ratio) * 100) + "%"
            font.pointSize: Theme.pt(22)
            font.bold: true
            color: Theme.primary
        }
        TextLabel {
            id: used
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("ov.used")
            font.pointSize: Theme.pt(10)
            color: Theme.secondary
        }
    }
}
