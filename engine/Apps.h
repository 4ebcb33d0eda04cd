// SPDX-License-Identifier: GPL-3.0-or-later
// Installed applications and what they left in the user's Library. appsList
// lists the ".app" bundles directly inside /Applications and ~/Applications,
// sizes them all as one du run over them all would (in process on Linux,
// Measure.h; a bundle not reported is measured on its own) and reads each bundle identifier from
// Contents/Info.plist (XML or binary, through libplist). leftovers lists the entries of eight
// Library folders whose names contain the bundle identifier or the name, in any case.
#pragma once

#include "Records.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Apps {

// The two folders whose direct ".app" entries are listed.
std::vector<std::string> appFolders(const std::string& home);

// The eight folders below ~/Library that leftovers looks into, in order. Not
// the leftover scan's eight (Leftovers.cpp): Preferences here, Logs there.
std::vector<std::string> leftoverFolders(const std::string& home);

// CFBundleIdentifier of an Info.plist's bytes; no value when the data is not a
// property list, its top level is not a dictionary, or the key is missing or
// not a string.
std::optional<std::string> bundleIdentifier(std::string_view plistData);

// The index of the first key that entry contains, both lower-cased; -1 for none.
int matchingKey(const std::string& entry, const std::vector<std::string>& keys);

} // namespace Apps

namespace Scanner {

// The installed applications, largest first.
std::vector<AppInfo> appsList();
// What app left in the Library folders (leftoverFolders), in folder order.
std::vector<std::string> leftovers(const AppInfo& app);

} // namespace Scanner
