// SPDX-License-Identifier: GPL-3.0-or-later
// The one Trash mover of the product: the app's clean-up (empty subfolder:
// the bare stamp), tclean clean and the Toolbox's removals all go through it.
// Scanner::moveToTrash renames items into the desktop's Trash on Linux, one
// entry per item named after a stamp (DesktopTrash.h), and on macOS into a
// dated folder under ~/.Trash/米团清理的东西/; it never replaces anything and
// never copies. Where the Trash and the product's other folders are:
// Platform.h.
#pragma once

#include "Clock.h"
#include "Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Trash {

// The Trash root below the home folder on macOS, with its final slash.
inline constexpr const char* kRoot = "/.Trash/米团清理的东西/";

// The clean-up stamp: local time as "yyyy-MM-dd_HHmm".
std::string stamp(Clock::time_point time);

// macOS: renames path into folder under its last component, or that name followed
// by "_2", "_3" … when taken. Never replaces what is at the target, even when
// it appeared after the check: the rename itself refuses, and the next name
// is tried. A symbolic link is moved itself, never followed. False when the
// path is missing, cannot be renamed (another device included) or has no name.
bool moveInto(const std::string& path, const std::string& folder);
// The same, telling the name the item got in folder; no value when it stayed.
std::optional<std::string> moveIntoNamed(const std::string& path, const std::string& folder);

// What became of one item moved into the Trash, and where it went: its entry
// (Linux: its name in Trash/files; macOS: "<stamp>/<name>" below the root)
// and the device, inode and modification time (nanoseconds since 1970) it
// had when it moved. Only outcome is set when it stayed.
struct Moved
{
    MoveOutcome outcome = MoveOutcome::Failed;
    std::string entry;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modified = 0;
};

} // namespace Trash

namespace Scanner {

// Moves each path into the user's Trash under one stamp taken now, never
// replacing anything and never copying: on Linux one entry of the desktop's
// Trash per path, named "<stamp>[_<subfolder>] <name>" with its .trashinfo
// record (DesktopTrash.h). Element i of the result says what became of
// paths[i]: Moved, or why it stayed where it was.
std::vector<MoveOutcome> moveToTrash(const std::vector<std::string>& paths,
                                     const std::string& subfolder);
// moveToTrash telling where each moved item went.
std::vector<Trash::Moved> moveToTrashNamed(const std::vector<std::string>& paths,
                                           const std::string& subfolder);
// moveToTrash counted: how many of paths were moved. The subfolder word is
// the Toolbox's in the language of the moment (工具箱 / Toolbox) unless given.
int trashPaths(const std::vector<std::string>& paths, const std::string& subfolder);
int trashPaths(const std::vector<std::string>& paths);

} // namespace Scanner
