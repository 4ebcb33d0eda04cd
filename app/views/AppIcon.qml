// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import Tidlo.Core

// The icon of the file, folder or application at path, filling 24 x 24.
FileIcon {
    id: icon

    width: 24
    height: 24
}
