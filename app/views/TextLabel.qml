// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Every text of the interface that is not a name, a button's own caption or an
// icon: a title, a subtitle, a hint, a figure. A screen reader reads it as a
// label with the text it shows, so a whole page can be read aloud and a test
// can find any word on it.
Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
