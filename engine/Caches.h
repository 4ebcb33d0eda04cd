// SPDX-License-Identifier: GPL-3.0-or-later
// The cache scan. Candidates come from three places, in this order: a fixed
// table of well-known developer-tool, browser and media caches; the
// per-application folders directly under ~/Library/Caches; and four commonly
// named cache subfolders of every ~/Library/Application Support entry. On
// Linux each place has its counterparts beside it: the tools' XDG cache
// folders in the table, the entries of $XDG_CACHE_HOME and the Flatpak
// applications' cache folders (~/.var/app/<id>/cache) in the first sweep, the
// application folders of $XDG_CONFIG_HOME and ~/.var/app/<id>/config in the
// second. Linux also has caches of its own: a table of places outside the
// XDG cache folder (old thumbnails, Steam's shader cache, Go's and Maven's
// downloads, the X session log, editors' logs), the caches inside each
// profile of the Chromium-based browsers in $XDG_CONFIG_HOME (never the
// profile) and each snap's ~/snap/<name>/common/.cache.
// The product's own folders are never candidates, nor a base folder or what
// holds one, and neither is a candidate that is a link or lies below one
// (looked at with lstat from the home or base folder it was found in down).
// Swept folders are safe, except those of the XDG cache folder that hold
// models, project environments or downloaded browsers (careful). The first
// candidate with a given path wins, and a swept Linux folder that holds a
// table's row gives way to it; each existing one is measured on its own
// (Scanner::sizesOf: one pool of in-process walks on Linux) and kept above
// 2 MiB. The items come back largest first, equal sizes in candidate order.
#pragma once

#include "CancelToken.h"
#include "Records.h"

#include <vector>

namespace Scanner {

// The cache items of the home folder, largest first. A cancelled token stops
// the measuring, and the result is then empty.
std::vector<ScanItem> cacheItems(const CancelToken* token = nullptr);

} // namespace Scanner
