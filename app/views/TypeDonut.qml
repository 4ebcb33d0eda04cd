// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core
import Tidlo.Views

// The Overview's file-type ring: one arc per bucket, in the storage map's
// colour of the bucket's index, with the total in the middle.
Item {
    id: donut

    required property var buckets
    // The size text of the app, given by the page (AppModel.sizeText).
    property var sizeText: function(bytes) { return "" + bytes }

    readonly property real total: {
        let sum = 0
        for (const b of buckets)
            sum += b.size
        return sum
    }

    // The arcs in degrees from the top, clockwise: each at least 0.4 degrees
    // long, 0.8 degrees short of the next so segments stay apart.
    function segments() {
        const out = []
        let start = -90
        for (const b of buckets) {
            const sweep = donut.total >= 1 ? b.size / donut.total * 360 : 0
            out.push({ start: start, end: Math.max(start + 0.4, start + sweep - 0.8),
                       color: Treemap.color(b.index, 0) })
            start += sweep
        }
        return out
    }

    implicitWidth: 118
    implicitHeight: 118
    Accessible.role: Accessible.Indicator
    Accessible.name: totalText.text + " " + totalLabel.text

    onBucketsChanged: canvas.requestPaint()

    Canvas {
        id: canvas
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const side = Math.min(width, height) - 18
            const r = side / 2
            ctx.lineWidth = 15
            for (const s of donut.segments()) {
                ctx.strokeStyle = s.color
                ctx.beginPath()
                ctx.arc(width / 2, height / 2, r, s.start * Math.PI / 180, s.end * Math.PI / 180, false)
                ctx.stroke()
            }
        }
    }

    Column {
        anchors.centerIn: parent
        FigureText {
            id: totalText
            objectName: "donutTotal"
            anchors.horizontalCenter: parent.horizontalCenter
            text: donut.sizeText(donut.total)
            size: Theme.lead
            font.weight: Font.Bold
        }
        TextLabel {
            id: totalLabel
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("common.total")
            size: Theme.tiny
            color: Theme.secondary
        }
    }
}
