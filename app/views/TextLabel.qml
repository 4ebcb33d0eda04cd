// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Every text of the interface that is not a button's own caption or an icon:
// a title, a subtitle, a hint, a figure, a name. It shows its text as plain
// text (never as markup) in one of the Theme's type roles, and a screen
// reader reads it as a label with the text it shows, so a whole page can be
// read aloud and a test can find any word on it.
Text {
    // The type role: one of the Theme's sizes (Theme.body, Theme.caption, ...).
    property real size: Theme.body

    font.pointSize: Theme.pt(size)
    textFormat: Text.PlainText
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
