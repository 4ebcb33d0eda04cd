// SPDX-License-Identifier: GPL-3.0-or-later
// The command functions of tclean. Each calls one or two engine operations,
// formats the records with the terminal helpers and prints them. Paths are
// printed with the home folder shortened to "~".
#pragma once

#include <cstdint>
#include <string>

namespace Cli {

// Disk, memory and where the space goes.
void cmdOverview();
// Cleanable caches and leftovers, as text or JSON; minMB filters by size.
void cmdScan(bool json, int64_t minMB);
// The folder-size tree of path; returns 1 when path is not a folder.
int cmdTree(const std::string& path, int depth, int count);
// Files with the same content; limit caps the files examined.
void cmdDuplicates(int64_t limit);
// Files and folders with the same name and size.
void cmdNames();
// The largest files of at least minMB.
void cmdBig(int64_t minMB, int limit);
// Usage by file extension.
void cmdTypes();
// Moves caches (and leftovers) into the Trash; only with dryRun false. The exit
// status: 1 when some listed items could not be moved, 0 otherwise.
int cmdClean(bool safeOnly, bool dryRun, int64_t minMB);
// This tool's and the largest processes' memory.
void cmdProcs();

} // namespace Cli
