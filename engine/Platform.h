// The platform unit: every place where Linux and macOS differ goes through here,
// so the rest of the engine reads the same on both. System tools are named here
// too; every tool the engine starts is started through Shell::run with one of
// these paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

#ifdef __APPLE__
inline constexpr bool kIsMac = true;
#else
inline constexpr bool kIsMac = false;
#endif

// The system tools the engine starts.
namespace Tool {
inline constexpr const char* du = "/usr/bin/du";
inline constexpr const char* find = "/usr/bin/find";
inline constexpr const char* sh = "/bin/sh";
inline constexpr const char* ps = "/bin/ps";
inline constexpr const char* vmStat = "/usr/bin/vm_stat";
inline constexpr const char* tmutil = "/usr/bin/tmutil";
} // namespace Tool

// The user's home folder: $HOME, else the password database; no trailing slash.
std::string homeDir();

// The folder of per-user settings: $XDG_CONFIG_HOME, else ~/.config.
std::string configDir();

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

// The names in a folder, in the order the file system returns them, hidden
// ones included, without "." and "..". No value when it cannot be listed (a
// file, a missing or an unreadable folder).
std::optional<std::vector<std::string>> listFolder(const std::string& path);

// The same names sorted ascending (byte order), so results repeat.
std::optional<std::vector<std::string>> listFolderSorted(const std::string& path);

// Whether standard output is a terminal.
bool stdoutIsTerminal();

} // namespace Platform
