// SPDX-License-Identifier: GPL-3.0-or-later
pragma Singleton
import QtQuick

// The application's palette and type scale. Fixed colours are sRGB; the
// panel, text and window colours follow the platform palette (light or dark).
QtObject {
    id: theme

    readonly property color accent: Qt.rgba(0.09, 0.62, 0.58, 1)
    readonly property color accentSoft: Qt.rgba(0.09, 0.62, 0.58, 0.12)
    readonly property color safe: Qt.rgba(0.16, 0.60, 0.36, 1)
    readonly property color care: Qt.rgba(0.85, 0.55, 0.10, 1)
    readonly property color risky: Qt.rgba(0.85, 0.33, 0.20, 1)

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property color cardBG: palette.base
    readonly property color windowBG: palette.window
    // Text in three strengths, like the platform's label colours.
    readonly property color primary: palette.windowText
    readonly property color secondary: Qt.rgba(primary.r, primary.g, primary.b, 0.55)
    readonly property color tertiary: Qt.rgba(primary.r, primary.g, primary.b, 0.3)

    // The colour of a risk level ("safe", "care", "data").
    function riskColor(risk) {
        return risk === "safe" ? safe : risk === "care" ? care : risky
    }

    // The primary colour at an opacity.
    function primaryAt(opacity) {
        return Qt.rgba(primary.r, primary.g, primary.b, opacity)
    }

    // Sizes are given in device-independent pixels; fonts take points, at the
    // 96 dots per inch Qt assumes for logical pixels.
    function pt(px) {
        return px * 0.75
    }
}
