// SPDX-License-Identifier: GPL-3.0-or-later
// Live readings of the machine: the startup volume, memory, the processes that
// hold most of it, this program's own memory, the Trash, Time Machine local
// snapshots and login agents, and Empty Trash. The macOS tools (vm_stat,
// tmutil) are absent on Linux: memory is read from /proc/meminfo there and the
// snapshot list is empty. On Linux the Trash is the desktop's Trash
// (DesktopTrash.h) together with ~/.Trash where that exists. Tool output is read by the parsers of
// Parsers.h.
#pragma once

#include <cstdint>
#include <string>

namespace System {

// Used when the system reports no physical memory.
inline constexpr int64_t kFallbackMemory = 8589934592;

// Whether path is a folder itself, not a link to one.
bool isRealFolder(const std::string& path);

} // namespace System
