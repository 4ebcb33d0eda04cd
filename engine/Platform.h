// SPDX-License-Identifier: GPL-3.0-or-later
// The platform unit: every place where Linux and macOS differ goes through here,
// so the rest of the engine reads the same on both. System tools are named here
// too; every tool the engine starts is started through Shell::run with one of
// these paths. What both platforms share is in Platform.cpp; what differs is in
// PlatformLinux.cpp and PlatformMac.cpp, of which the build takes the one of the
// platform it builds for. The scan units ask here and read the answers the same
// way on both.
#pragma once

#include "FolderTree.h"
#include "Parsers.h"
#include "Records.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CancelToken;

namespace Platform {

#ifdef __APPLE__
inline constexpr bool kIsMac = true;
#else
inline constexpr bool kIsMac = false;
#endif

// What the scan units ask of the platform, named by what it means rather than
// by the system: whether the home follows the XDG base folders (its caches and
// data under $XDG_CACHE_HOME and $XDG_DATA_HOME), whether a clean-up goes into
// the freedesktop.org Trash (one entry per item with its record) rather than
// into one stamped folder of ~/.Trash, and whether find can end its records
// with NUL, so a name holding a line feed stays one path.
inline constexpr bool kXdgHome = !kIsMac;
inline constexpr bool kDesktopTrash = !kIsMac;
inline constexpr bool kFindPrintsNul = !kIsMac;

// The system tools the engine starts.
namespace Tool {
inline constexpr const char* du = "/usr/bin/du";
inline constexpr const char* find = "/usr/bin/find";
inline constexpr const char* sh = "/bin/sh";
inline constexpr const char* ps = "/bin/ps";
inline constexpr const char* vmStat = "/usr/bin/vm_stat";
inline constexpr const char* tmutil = "/usr/bin/tmutil";
inline constexpr const char* flatpak = "/usr/bin/flatpak";
inline constexpr const char* systemctl = "/usr/bin/systemctl";
inline constexpr const char* btrfs = "/usr/bin/btrfs";
} // namespace Tool

// The user's home folder: $HOME, else the password database; no trailing slash.
std::string homeDir();

// ---- Where things are. Every place below is computed afresh from HOME and
// the XDG variables on each call; none of these functions creates anything,
// and nothing on Linux ever names ~/Library.

// The folder of per-user settings: $XDG_CONFIG_HOME, else ~/.config.
std::string configDir();

// Per-user data: $XDG_DATA_HOME, else ~/.local/share (Linux); ~/Library on macOS.
std::string dataHome();

// Per-user caches: $XDG_CACHE_HOME, else ~/.cache (Linux); ~/Library/Caches on macOS.
std::string cacheHome();

// The user's own folders, by what they hold.
enum class UserFolder { Desktop, Documents, Downloads, Music, Pictures, Videos };

// One user folder: on Linux the one named in $XDG_CONFIG_HOME/user-dirs.dirs,
// else ~/Desktop, ~/Documents, ~/Downloads, ~/Music, ~/Pictures, ~/Videos; on
// macOS ~/Desktop ... ~/Movies. "" when it would be the home folder itself
// (a user folder set to $HOME), which no scan walks whole.
std::string userFolder(UserFolder which);

// The user folders of which, in that order, leaving out those that are "",
// repeat an earlier one or lie inside another of them (so that no file is
// walked twice). They need not exist.
std::vector<std::string> userFolders(const std::vector<UserFolder>& which);

// The product's support folder, which holds the clean-up history:
// $XDG_DATA_HOME/TidloCleaner; ~/Library/Application Support/TidloCleaner on macOS.
std::string supportFolder();

// The product's cache folder, which holds the folder-size tree caches:
// $XDG_CACHE_HOME/TidloCleaner; the support folder on macOS.
std::string cacheFolder();

// Where a scan report goes: the desktop folder when it exists, else the home
// folder (Linux); ~/Desktop on macOS.
std::string reportFolder();

// The desktop's Trash, where clean-ups go: $XDG_DATA_HOME/Trash (its items are
// in "files", their records in "info"); ~/.Trash on macOS.
std::string desktopTrash();

// The folder a file manager shows as the Trash: desktopTrash() + "/files" on
// Linux, ~/.Trash on macOS.
std::string trashFilesFolder();

// The home folder's own ~/.Trash. On Linux it is read and emptied beside the
// desktop's Trash where it exists, and never written.
std::string homeTrash();

// Where Flatpak keeps each application's per-user data (<folder>/<id>):
// ~/.var/app on Linux; "" on macOS, which has no Flatpak.
std::string flatpakAppsFolder();

// The folders the large-file search leaves out beside the Trash, node_modules
// and Library/Caches folders (PlatformLinux.cpp, PlatformMac.cpp): on Linux
// the desktop's Trash, the XDG cache folder and the stores other programs
// manage file by file (container and Flatpak storage, Steam's games, snaps,
// virtual machine images), moving one file out of which breaks the program
// that keeps them; none on macOS. They may lie outside home and need not exist.
std::vector<std::string> largeFileExclusions(const std::string& home);

// The user's preferred languages, most preferred first ("zh_CN.UTF-8", "en").
// LANGUAGE (a colon list), else LC_ALL, LC_MESSAGES, LANG; "C", "POSIX" and
// empty values count as English.
std::vector<std::string> preferredLanguages();

// Installed physical memory in bytes.
int64_t physicalMemory();

// Capacity of the volume holding path: total bytes and bytes available to the
// user. False when it cannot be read.
bool volumeCapacity(const std::string& path, int64_t& total, int64_t& available);

enum class RenameResult { Moved, TargetExists, CrossDevice, Failed };

// Renames from to to without ever replacing what is at to (an atomic check in
// the kernel, not a test before the rename). A move across devices is refused.
RenameResult renameNoReplace(const std::string& from, const std::string& to);

// The same for a name in the open folder fromDir to a name in the open folder
// toDir; neither name may hold a "/".
RenameResult renameNoReplaceAt(int fromDir, const std::string& from, int toDir,
                               const std::string& to);

// The names in a folder, in the order the file system returns them, hidden
// ones included, without "." and "..". No value when it cannot be listed (a
// file, a missing or an unreadable folder).
std::optional<std::vector<std::string>> listFolder(const std::string& path);

// The same names sorted ascending (byte order), so results repeat.
std::optional<std::vector<std::string>> listFolderSorted(const std::string& path);

// Whether standard output is a terminal.
bool stdoutIsTerminal();

// ---- What the machine says of itself.

// The folder whose file system the volume figures describe: the home folder on
// Linux (a separate /home partition is common, and it is the one a clean-up
// frees); the start-up volume "/" on macOS.
std::string volumePath();

// Free memory in bytes, not capped: MemAvailable of /proc/meminfo on Linux (0
// when it cannot be read); the free, inactive and speculative pages of vm_stat
// on macOS.
int64_t freeMemory();

// Whether ps -axo comm= prints a short command name (Linux: the kernel's comm,
// which may hold a "/") rather than the executable's path (macOS): the rule
// Parse::processLines takes.
bool psPrintsShortNames();

// The whole name of process pid that ps listed as psName: on Linux a name the
// kernel cut to Parse::kCommBytes is completed from /proc/<pid> (cmdline,
// exe), any other name is kept; on macOS psName as it is.
std::string wholeProcessName(int pid, const std::string& psName);

// The desktop Trashes read and emptied beside ~/.Trash (DesktopTrash.h):
// desktopTrash() on Linux; none on macOS, where ~/.Trash is the Trash.
std::vector<std::string> freedesktopTrashes();

// The file-system snapshots below root ("/" but in tests), as
// Scanner::snapshotListBelow describes them: on Linux Snapper's, Timeshift's
// and those the btrfs tool lists (btrfs "" for no tool); none on macOS.
std::vector<Snapshot> snapshotsBelow(const std::string& root, const std::string& btrfs);

// The snapshots of the home folder's file system: snapshotsBelow("/",
// Tool::btrfs) where the home folder is on Btrfs, else none (Linux); none on
// macOS.
std::vector<Snapshot> homeSnapshots();

// One line per snapshot: "<name> · <date>" of homeSnapshots() (the name alone
// when the date is unknown) on Linux; the local Time Machine snapshots that
// tmutil lists on macOS.
std::vector<std::string> snapshotNames();

// The folders of autostart desktop entries, the user's first:
// $XDG_CONFIG_HOME/autostart, then <dir>/autostart for each absolute dir of
// $XDG_CONFIG_DIRS (default /etc/xdg), on Linux; none on macOS.
std::vector<std::string> autostartFolders();

// The tool that lists the user's enabled services: systemctl on Linux; ""
// (none) on macOS.
std::string userServiceTool();

// The hidden folders of the home that the top-level usage lists under their
// own names: .cache, .config, .local and .var on Linux, where programs keep
// most of their data; none on macOS.
std::vector<std::string> hiddenFoldersShown();

// ---- Measuring. On Linux the in-process walk (Measure.h) gives what du
// would print; on macOS du itself is run.

// The size of each folder right inside folder, in bytes, as du -k -d 1 folder
// gives it; the folder's own line may be among them. On Linux the names that
// are not UTF-8 are left out, as they cannot be shown. Empty when it cannot be
// measured.
std::vector<Parse::SizeLine> childSizes(const std::string& folder);

// The tree du -k -d depth root prints, children largest first (see
// Measure::tree); on macOS without file counts or files. No value when the
// root cannot be examined (Linux) or the walk was cancelled.
std::optional<DiskNode> folderTree(const std::string& root, int depth, const CancelToken* token);

// The size in bytes of each of paths that can be measured, as one du -sk run
// over all of them gives it: a file linked from two of them counts in the
// first. Paths that cannot be measured are left out.
std::map<std::string, int64_t> sizesTogether(const std::vector<std::string>& paths);

// Size and path of every regular file larger than 512 KiB below roots, in
// bytes, one record per file as the tool printed it: GNU find -printf with
// NUL-ended records, run directly (Linux); find | xargs stat through sh, one
// line per file (macOS).
std::vector<Parse::SizeLine> filesOver512KiB(const std::vector<std::string>& roots);

} // namespace Platform
