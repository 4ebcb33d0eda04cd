// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A name or a path (of a file, folder, application, process or login item)
// shown exactly as it is: plain text (as every TextLabel), so markup in a name
// is never drawn as markup, on one line, elided, and read by a screen reader
// by the same text.
// The model has already turned control characters into "?".
TextLabel {
    maximumLineCount: 1
    elide: Text.ElideRight
    horizontalAlignment: Text.AlignLeft
}
