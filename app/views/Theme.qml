// SPDX-License-Identifier: GPL-3.0-or-later
pragma Singleton
import QtQuick

// The application's design tokens: palette, type roles, spacing and corner
// radii, so that a colour, a font size or a margin is named once. Fixed
// colours are sRGB; the panel, text and window colours follow the platform
// palette (light or dark).
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

    // Type roles, in pixels like every other size here: the text components
    // (TextLabel, NameText, FigureText) take one as their size and turn it
    // into points. Largest first.
    readonly property real display: 24 // a page's title
    readonly property real hero: 22 // the largest figure of a card, the guide's title
    readonly property real title: 20 // the About page's title, the history's totals
    readonly property real figure: 16 // a statistic's value
    readonly property real lead: 15 // a reminder's title, a chart's total
    readonly property real strong: 14 // the selection's total, the name in the sidebar
    readonly property real heading: 13 // card, dialog and note titles, sidebar rows
    readonly property real large: 12.5 // a row's name, the guide's text
    readonly property real body: 12 // descriptions, a card's sections, a row's size
    readonly property real callout: 11.5 // a statistic's title, dates, messages, commands
    readonly property real control: 11 // buttons, fields, status lines, the map's trail
    readonly property real detail: 10.5 // hints and notes under a title, smaller buttons
    readonly property real caption: 10 // small notes, badges and counts
    readonly property real footnote: 9.5 // the smallest notes, process ids
    readonly property real tiny: 8.5 // a chart's caption

    // Spacing, in pixels.
    readonly property real pageMargin: 28 // between a page's content and its sides
    readonly property real sectionGap: 14 // between a page's cards and a card's parts
    readonly property real gapLarge: 10 // between rows of a list or a card
    readonly property real gap: 8 // between neighbours in a row or a column
    readonly property real gapSmall: 6 // between a mark and its words, tight rows

    // Corner radii, in pixels (pills and dots take half their height).
    readonly property real cardRadius: 14 // cards and the toast
    readonly property real panelRadius: 12 // dialogs and panels over or in a page
    readonly property real rowRadius: 8 // list rows, sidebar rows, boxes in a card
    readonly property real fieldRadius: 7 // code boxes and segmented pickers
    readonly property real controlRadius: 6 // buttons and small rows

    // Sizes are given in device-independent pixels; fonts take points, at the
    // 96 dots per inch Qt assumes for logical pixels.
    function pt(px) {
        return px * 0.75
    }
}
