// SPDX-License-Identifier: GPL-3.0-or-later
// The Scanner operations, grouped by unit. Every operation is synchronous,
// stateless and never fails: what cannot be read yields an empty list, zero or
// no value. Results are returned by value; the caller owns them. Operations
// that run system tools block the calling thread while the tool runs.
//
// Each group is implemented in its own file (Caches.cpp, Leftovers.cpp,
// LargeFiles.cpp, Trash.cpp, DiskTree.cpp, Usage.cpp, Duplicates.cpp,
// Apps.cpp, System.cpp); the runner and sizeOf live in Runner.h.
#pragma once

#include "Records.h"
#include "Runner.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Scanner {

// ---- Cleaning: caches, leftovers, large files (Caches.cpp, Leftovers.cpp,
// LargeFiles.cpp). The token is accepted and not consulted.
std::vector<ScanItem> cacheItems(const CancelToken* token = nullptr);
std::vector<ScanItem> orphanItems(const CancelToken* token = nullptr);
std::vector<ScanItem> largeFiles(int64_t minMB, const CancelToken* token = nullptr);

// ---- Trash, history and report (Trash.cpp).
// The one Trash mover of the product: the app's clean-up (empty subfolder:
// the bare stamp), tclean clean and the Toolbox's removals all go through it.
// Where the Trash and the product's other folders are: Platform.h.
// Moves each path into the user's Trash under one stamp taken now, never
// replacing anything and never copying: on Linux one entry of the desktop's
// Trash per path, named "<stamp>[_<subfolder>] <name>" with its .trashinfo
// record (DesktopTrash.h). Element i of the result says what became of
// paths[i]: Moved, or why it stayed where it was.
std::vector<MoveOutcome> moveToTrash(const std::vector<std::string>& paths,
                                     const std::string& subfolder);
// moveToTrash counted: how many of paths were moved. The subfolder word is
// the Toolbox's in the language of the moment (工具箱 / Toolbox) unless given.
int trashPaths(const std::vector<std::string>& paths, const std::string& subfolder);
int trashPaths(const std::vector<std::string>& paths);
std::vector<HistoryEntry> loadHistory();
void appendHistory(const HistoryEntry& entry);
std::optional<std::string> exportReport(const std::vector<ScanItem>& cache,
                                        const std::vector<ScanItem>& orphan,
                                        const std::vector<ScanItem>& large,
                                        const VolumeInfo& volume);

// ---- Folder-size tree with its 30-minute cache (DiskTree.cpp).
DiskNode diskTree(const std::string& root, int depth, bool useCache = true,
                  const CancelToken* token = nullptr);

// ---- Usage by top-level folder and by file type (Usage.cpp).
std::vector<Category> topLevelUsage();
std::vector<TypeBucket> fileTypeUsage();

// ---- Duplicate finders (Duplicates.cpp).
std::vector<DupGroup> duplicates(int64_t minKB = 64, int64_t limit = 1500,
                                 const CancelToken* token = nullptr);
std::vector<DupGroup> sameNameGroups(int64_t limit = 80, const CancelToken* token = nullptr);

// ---- Installed applications and their leftovers (Apps.cpp).
std::vector<AppInfo> appsList();
std::vector<std::string> leftovers(const AppInfo& app);

// ---- System readings (System.cpp).
struct MemoryInfo
{
    int64_t total = 0;
    int64_t free = 0;
};
struct TrashInfo
{
    int64_t size = 0;
    int count = 0;
};
VolumeInfo volume();
MemoryInfo memory();
std::vector<ProcInfo> processes(int limit = 12);
int64_t ownMemory();
// What Empty Trash would remove: entries of the desktop's Trash and of
// ~/.Trash (but its .DS_Store), nothing behind a link or on another file
// system; a Trash folder that is a link counts nothing.
TrashInfo trashSize();
// The outcome of Empty Trash: whether everything went, and how many files or
// folders it left alone because they are mounted there from elsewhere (another
// device, or a bind mount of another folder).
struct EmptiedTrash
{
    bool all = false;
    int otherDevice = 0;
};
// Empties both Trashes (DesktopTrash::empty, DesktopTrash::emptyFolder): never
// through a link, never across a file-system boundary. all is false when
// anything stayed, or when there is no Trash at all.
EmptiedTrash emptyTrashReport();
// emptyTrashReport().all.
bool emptyTrash();
// Btrfs snapshots the user can see, read-only, below root ("/" but in tests):
// Snapper's <root>/.snapshots and <root>/home/.snapshots (<n>/snapshot, with
// date and description from <n>/info.xml), Timeshift's
// <root>/timeshift-btrfs/snapshots/<date>/{@,@home} and the same below
// <root>/run/timeshift/backup, and, when btrfs names the tool and the home
// folder is on Btrfs, "btrfs subvolume list -s" of the home's file system where
// it runs without root (an absent tool or a refusal gives none). Sizes are
// unknown (-1): Btrfs knows them only with quotas. Each has the command that
// deletes it, with the system's paths (root left off). Empty where there are
// none; on macOS always.
std::vector<Snapshot> snapshotListBelow(const std::string& root, const std::string& btrfs);
// snapshotListBelow("/", "/usr/bin/btrfs") where the home folder is on Btrfs;
// empty where it is not.
std::vector<Snapshot> snapshotList();
// One line per snapshot: on macOS tmutil's names, on Linux "<name> · <date>"
// of snapshotList() (the name alone when the date is unknown).
std::vector<std::string> snapshots();
// What starts with the user's session, by name, sorted: on Linux the entries
// of $XDG_CONFIG_HOME/autostart (their Name, else the file name) that are not
// hidden or switched off, the entries of each $XDG_CONFIG_DIRS/autostart
// (default /etc/xdg) that no user entry of the same file name replaces and
// that are not hidden or switched off, and the systemd user units that
// "systemctl --user list-unit-files --state=enabled" lists when systemctl
// names the tool ("" for none); plus ~/Library/LaunchAgents and
// /Library/LaunchAgents where they exist.
std::vector<std::string> loginItemsFrom(const std::string& systemctl);
std::vector<std::string> loginItems();

} // namespace Scanner
