// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A figure that stands on its own: a size, a share or a total, set off from
// the words around it in the figure type role, semi-bold and in the primary
// colour unless the place asks for another. Plain text and read by a screen
// reader by what it shows, as every TextLabel.
TextLabel {
    size: Theme.figure
    font.weight: Font.DemiBold
    color: Theme.primary
}
