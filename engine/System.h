// SPDX-License-Identifier: GPL-3.0-or-later
// Live readings of the machine: the volume that holds the home folder, memory,
// the processes that hold most of it, this program's own memory, the Trash and
// Empty Trash, file-system snapshots and what starts with the session. On Linux
// memory is read from /proc/meminfo, the Trash is the desktop's Trash
// (DesktopTrash.h) together with ~/.Trash where that exists, and snapshots are
// Btrfs ones; on macOS vm_stat and tmutil answer. Tool output is read by the
// parsers of Parsers.h.
#pragma once

#include "Records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace System {

// Used when the system reports no physical memory.
inline constexpr int64_t kFallbackMemory = 8589934592;

// Whether path is a folder itself, not a link to one.
bool isRealFolder(const std::string& path);

} // namespace System

namespace Scanner {

// Physical memory and how much of it is available, in bytes.
struct MemoryInfo
{
    int64_t total = 0;
    int64_t free = 0;
};
// What the Trash holds: bytes and entries.
struct TrashInfo
{
    int64_t size = 0;
    int count = 0;
};
// The capacity of the volume that holds the home folder ("/" on macOS); zero
// when it cannot be read.
VolumeInfo volume();
// Physical memory (kFallbackMemory when unknown) and the available part of it,
// never more than the total.
MemoryInfo memory();
// The limit processes that hold most memory, largest first, read from ps.
std::vector<ProcInfo> processes(int limit = 12);
// This program's resident memory in bytes, read from ps.
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
