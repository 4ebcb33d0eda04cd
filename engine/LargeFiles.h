// SPDX-License-Identifier: GPL-3.0-or-later
// The large-file search: one find over the home folder lists the regular
// files above the threshold outside the Trash, node_modules folders and
// Library/Caches folders (and on Linux the desktop's Trash, the XDG cache
// folder and the stores other programs manage file by file: container and
// Flatpak storage, Steam's games, snaps, virtual machine images); each listed
// path then costs one attribute read for its size. Largest first, equal sizes
// in find's order.
#pragma once

#include "CancelToken.h"
#include "Records.h"

#include <cstdint>
#include <vector>

namespace Scanner {

// The regular files of the home folder above minMB MiB, largest first. A
// cancelled token stops the find, and the result is then empty.
std::vector<ScanItem> largeFiles(int64_t minMB, const CancelToken* token = nullptr);

} // namespace Scanner
