// SPDX-License-Identifier: GPL-3.0-or-later
// The XDG folders of a Linux home: the base folders named by XDG_DATA_HOME,
// XDG_CACHE_HOME and XDG_CONFIG_HOME, and the user folders (Desktop,
// Documents, ...) named in $XDG_CONFIG_HOME/user-dirs.dirs. The parser of that
// file is pure, so it can be tested on sample text; the rest reads the
// environment afresh on every call and never creates anything.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace XdgDirs {

// The base folder named by the variable (normalized, without a trailing
// slash), or home + fallback ("/.local/share") when the value cannot be one:
// unset, empty or relative, "/", the home folder or a folder above it (by
// name or by being the same folder), or an existing folder that this user
// does not own. A base folder is never a place whose every subfolder could be
// offered as a cache or a leftover.
std::string baseDir(const char* variable, const std::string& home, std::string_view fallback);

// The folders named in a user-dirs.dirs text, keyed by variable name
// ("XDG_DESKTOP_DIR"). Only lines of the form NAME="$HOME/..." or
// NAME="/...", where a backslash takes the next character literally, count;
// "$HOME" is expanded to home, trailing slashes are dropped, comments and
// anything else (a value holding a NUL byte too) are ignored. A later line for
// the same name wins.
std::map<std::string, std::string> parseUserDirs(std::string_view text, const std::string& home);

} // namespace XdgDirs
