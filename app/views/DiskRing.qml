// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtQuick.Shapes
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

    // The ring's geometry: line width, centre, radius of the line's middle,
    // and the used arc's ends in degrees, clockwise from the top.
    readonly property real line: 14
    readonly property real cx: width / 2
    readonly property real cy: height / 2
    readonly property real r: (Math.min(width, height) - line) / 2
    readonly property real from: -90
    readonly property real to: -90 + Math.max(0, Math.min(1, ratio)) * 360

    // Shapes are nodes of the scene, drawn in the very frame the ring first
    // shows (a Canvas paints a frame later, so the window would open without
    // it). Where the GPU draws the scene, a multisampled layer smooths their
    // edges; the software renderer smooths them itself, and its layers would
    // show a frame late.
    Item {
        anchors.fill: parent
        layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software
        layer.samples: 4

        Shape {
            anchors.fill: parent
            antialiasing: true
            ShapePath {
                fillColor: "transparent"
                strokeColor: Theme.primaryAt(0.07)
                strokeWidth: ring.line
                PathAngleArc {
                    centerX: ring.cx
                    centerY: ring.cy
                    radiusX: ring.r
                    radiusY: ring.r
                    startAngle: 0
                    sweepAngle: 360
                }
            }
        }

        // The used arc is drawn as its outline, filled, as a stroke takes no
        // gradient: outer edge, round end, inner edge back, round start.
        Shape {
            objectName: "usedArc"
            anchors.fill: parent
            antialiasing: true
            visible: ring.to > ring.from
            ShapePath {
                strokeColor: "transparent"
                strokeWidth: -1
                // Where the round ends meet near a full ring, both stay filled.
                fillRule: ShapePath.WindingFill
                fillGradient: LinearGradient {
                    x1: 0
                    y1: 0
                    x2: 0
                    y2: ring.height
                    GradientStop { position: 0; color: Theme.accent }
                    GradientStop {
                        position: 1
                        color: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.55)
                    }
                }
                PathAngleArc {
                    centerX: ring.cx
                    centerY: ring.cy
                    radiusX: ring.r + ring.line / 2
                    radiusY: radiusX
                    startAngle: ring.from
                    sweepAngle: ring.to - ring.from
                }
                PathArc {
                    x: ring.cx + (ring.r - ring.line / 2) * Math.cos(ring.to * Math.PI / 180)
                    y: ring.cy + (ring.r - ring.line / 2) * Math.sin(ring.to * Math.PI / 180)
                    radiusX: ring.line / 2
                    radiusY: ring.line / 2
                }
                PathAngleArc {
                    moveToStart: false
                    centerX: ring.cx
                    centerY: ring.cy
                    radiusX: ring.r - ring.line / 2
                    radiusY: radiusX
                    startAngle: ring.to
                    sweepAngle: ring.from - ring.to
                }
                PathArc {
                    x: ring.cx + (ring.r + ring.line / 2) * Math.cos(ring.from * Math.PI / 180)
                    y: ring.cy + (ring.r + ring.line / 2) * Math.sin(ring.from * Math.PI / 180)
                    radiusX: ring.line / 2
                    radiusY: ring.line / 2
                }
            }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 1
        FigureText {
            id: percent
            objectName: "ringPercent"
            anchors.horizontalCenter: parent.horizontalCenter
            text: Math.floor(Math.max(0, ring.ratio) * 100) + "%"
            size: Theme.hero
            font.weight: Font.Bold
        }
        TextLabel {
            id: used
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("ov.used")
            size: Theme.caption
            color: Theme.secondary
        }
    }
}
