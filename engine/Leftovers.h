// SPDX-License-Identifier: GPL-3.0-or-later
// The leftover scan (Scanner::leftoverItems) and its rules, which are kept apart
// from the file system so that the tests can check them on plain values. The scan (Leftovers.cpp)
// collects the identifiers and names of every installed application from their Info.plist files,
// then examines eight ~/Library folders: an entry that is not system or vendor data and matches no
// installed application is a leftover. On Linux the Flatpak applications' folders (~/.var/app/<id>)
// are examined too, against the ids Flatpak lists as installed, and so are the folders of
// $XDG_CONFIG_HOME, $XDG_DATA_HOME and ~/snap (LeftoversLinux.cpp): one that no installed
// application, program on PATH or Debian package claims, that the desktop does not keep, and that
// nothing has written for 90 days is a leftover, with that evidence in its note.
#pragma once

#include "CancelToken.h"
#include "Clock.h"
#include "Records.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace Leftovers {

// What an application bundle's Info.plist says about it.
struct BundleInfo
{
    std::optional<std::string> identifier;  // CFBundleIdentifier when a non-empty string
    std::optional<std::string> displayName; // CFBundleDisplayName when a string
};

// Reads the bytes of an Info.plist in XML or binary form. No value when they
// do not parse or the top level is not a dictionary; keys of another type are
// left out.
std::optional<BundleInfo> readInfoPlist(std::string_view bytes);

// The installed applications, lower-cased.
struct Installed
{
    std::unordered_set<std::string> identifiers;
    std::unordered_set<std::string> names;
};

// Adds one bundle: its file name without any ".app", and what its Info.plist
// says (when readable).
void addBundle(const std::string& bundleName, const std::optional<BundleInfo>& info,
               Installed& installed);

// Whether a ~/Library entry name is never examined: hidden, a system name, a
// vendor prefix or one of the product's own words (any letter case).
bool skippedEntry(std::string_view name);

// The matching key of an entry name: lower-cased, without a final ".plist".
std::string entryKey(std::string_view name);

// Whether the entry with this key belongs to an installed application: the
// key is an identifier or a name, contains an identifier, or contains or is
// contained in a name of at least three characters.
bool belongsToInstalled(const std::string& key, const Installed& installed);

// The application ids in the output of `flatpak list --app
// --columns=application`: one per line, blanks around it dropped.
std::unordered_set<std::string> flatpakIds(std::string_view output);

// Whether ~/.var/app/<name> is left over from a Flatpak application that is
// no longer installed: name is no installed id (exact, as Flatpak ids are),
// not hidden and not one of the product's own words.
bool flatpakLeftover(std::string_view name, const std::unordered_set<std::string>& installedIds);

// Whether name is one of the product's own words (any letter case).
bool productOwn(std::string_view name);

// Whether a folder of this name in $XDG_CONFIG_HOME or $XDG_DATA_HOME is the
// desktop's own (dconf, gtk-3.0, Trash, keyrings, ...), whatever application
// is installed: the table in LeftoversLinux.cpp. Any letter case.
bool keptByDesktop(std::string_view name);

// Whether a folder's normalized name (Apps::normalizedKey) is claimed by one
// of the known names (normalized, sorted): equal to one, or, where the
// shorter has at least four letters, the start of one ("jetbrains" of
// "jetbrainstoolbox") or started by one ("gimp" of "gimp210").
bool claimedBy(const std::string& key, const std::vector<std::string>& sortedKnown);

// The newest modification time of path and of what lies below it, down to
// depth folder levels, looking at no more than maxEntries entries and never
// through a link; it stops at the first time at or after stopAt. No value
// when path cannot be examined.
std::optional<Clock::time_point> lastWritten(const std::string& path, Clock::time_point stopAt,
                                             int depth = 3, size_t maxEntries = 4000);

// How long a folder must have been left alone before it counts as left over.
inline constexpr auto kUnusedFor = std::chrono::hours(24 * 90);

// The folders of $XDG_CONFIG_HOME, $XDG_DATA_HOME and ~/snap that applications
// no longer installed left (Linux; none on macOS), measured, kind Leftover,
// risk Care, each with its evidence as its note, largest first. The cheap
// tests come first (names, PATH, age), so the installed applications and
// packages are asked for only when some folder is still in question.
std::vector<ScanItem> unclaimedFolders(const CancelToken* token);

} // namespace Leftovers

namespace Scanner {

// The leftovers of removed applications in the home folder (where it looks:
// above), largest first. A cancelled token stops
// the flatpak run and the measuring, and the result is then empty.
std::vector<ScanItem> leftoverItems(const CancelToken* token = nullptr);

} // namespace Scanner
