// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// One symbol, named as the designs name it ("square.split.2x2"), drawn as a
// Material Icons glyph of the given size in pixels.
Text {
    id: symbol

    property string name
    property real size: 13
    property int weight: Font.Normal

    text: Glyphs.glyph(name)
    font.family: Glyphs.family
    font.pixelSize: Math.round(size * 1.15)
    font.weight: weight
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
}
