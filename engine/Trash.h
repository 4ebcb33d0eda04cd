// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the Trash mover, the history file and the scan report that
// the tests check on plain values. Scanner::moveToTrash renames items into
// the desktop's Trash on Linux, one entry per item named after a stamp
// (DesktopTrash.h), and on macOS into a dated folder under
// ~/.Trash/米团清理的东西/; it never replaces anything. The history is one
// compact JSON array, newest first, rewritten atomically, in the support
// folder; the report is a Markdown file in the report folder (Platform.h).
#pragma once

#include "Records.h"

#include <string>
#include <string_view>
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

// Seconds between 1970-01-01 and 2001-01-01 UTC, the history's reference date.
inline constexpr double kReferenceDate = 978307200.0;

// The history file's text for entries, compact.
std::string encodeHistory(const std::vector<HistoryEntry>& entries);

// Entries read from the history file's text. Empty when the text is not a
// JSON array of objects that all have a UUID "id", a number "date" and
// integer "items" and "freed": one malformed entry spoils the whole list.
std::vector<HistoryEntry> decodeHistory(std::string_view text);

// The Markdown report for three lists and a volume, dated now.
std::string reportText(const std::vector<ScanItem>& cache, const std::vector<ScanItem>& orphan,
                       const std::vector<ScanItem>& large, const VolumeInfo& volume,
                       Clock::time_point now);

} // namespace Trash
