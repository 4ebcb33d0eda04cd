// SPDX-License-Identifier: GPL-3.0-or-later
// The command functions of tclean. Each calls one or two engine operations,
// formats the records with the terminal helpers and prints them. Paths are
// printed with the home folder shortened to "~".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
// Writes the findings scan lists (caches of at least minMB, leftovers) with
// their identities to the plan file at path; 1 when it cannot be written.
int cmdScanPlan(const std::string& path, int64_t minMB);
// Moves the items of the plan at path that are unchanged since the scan (only
// with dryRun false) and lists the ones that changed. 1 when the plan cannot
// be read or some items could not be moved.
int cmdCleanPlan(const std::string& path, bool safeOnly, bool dryRun, int64_t minMB);
// Lists past clean-ups (no args), or shows and with dryRun false puts back
// the items of "last", a clean-up named by its date or a prefix of its id, or
// the items at or below the paths given. 0 when every chosen item is back (or
// nothing was asked), 1 otherwise.
int cmdRestore(const std::vector<std::string>& args, bool dryRun, bool beside);
// This tool's and the largest processes' memory.
void cmdProcs();

} // namespace Cli
