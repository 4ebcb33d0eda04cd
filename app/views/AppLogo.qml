// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The application's icon: a rounded accent tile with the sparkles symbol.
// Drawn rather than loaded so it stays sharp at every size it is shown in.
Rectangle {
    id: logo

    property real size: 34

    width: size
    height: size
    radius: size * 9 / 34
    gradient: Gradient {
        GradientStop { position: 0; color: Qt.lighter(Theme.accent, 1.25) }
        GradientStop { position: 1; color: Qt.darker(Theme.accent, 1.15) }
    }

    Symbol {
        anchors.centerIn: parent
        name: "sparkles"
        size: logo.size * 0.52
        color: "white"
    }
}
