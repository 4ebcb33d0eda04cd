// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user preferences store shared by the desktop app and tclean: one small
// JSON object in $XDG_CONFIG_HOME/TidloCleaner/preferences.json. Every read
// loads the file afresh, so a change made by another process shows on the next
// read. A missing, unreadable or corrupt file reads as empty; writes replace the
// file atomically, so a crash never leaves half of one.
#pragma once

#include "Clock.h"

#include <optional>
#include <string>
#include <vector>

namespace Preferences {

// Location of the store file.
std::string filePath();

// Values of one key; no value when the key is absent or holds another type.
std::optional<std::string> string(const std::string& key);
std::optional<std::vector<std::string>> stringArray(const std::string& key);
std::optional<bool> boolean(const std::string& key);
std::optional<Clock::time_point> date(const std::string& key);

// Writes; false when the store could not be written (the old file then stays).
bool setString(const std::string& key, const std::string& value);
bool setStringArray(const std::string& key, const std::vector<std::string>& value);
bool setBoolean(const std::string& key, bool value);
bool setDate(const std::string& key, Clock::time_point value);
bool remove(const std::string& key);

} // namespace Preferences
