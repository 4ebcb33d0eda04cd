// SPDX-License-Identifier: GPL-3.0-or-later
// Installed applications, how each can be removed, and what they left behind.
// appsList lists, on macOS, the ".app" bundles directly inside /Applications
// and ~/Applications, sized as one du run over them all would, each with the
// bundle identifier of its Contents/Info.plist (XML or binary, through
// libplist). On Linux it lists those bundles too (a Mac place is simply absent
// there) and the desktop's applications (AppsLinux.cpp): the desktop entries
// the menus show (DesktopEntries.h), Flatpaks, snaps and AppImages, one
// application per thing, each with its keys: the normalized names its data
// folders go by. leftovers lists the entries of eight Library folders whose
// names contain the bundle identifier or the name, in any case; appLeftovers
// the Linux folders named by one of an application's keys.
#pragma once

#include "CancelToken.h"
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

// How the Apps pane can remove an application.
enum class Removal {
    Trash,       // an AppImage (and its own desktop entry) or a user desktop entry / macOS bundle:
                 // to the Trash
    FlatpakUser, // `flatpak uninstall --user --noninteractive <id>` through the runner
    Command,     // system package, system Flatpak, snap: the pane shows removalCommand to copy
};
Removal removal(const AppInfo& app);

// "sudo apt remove <package>", "flatpak uninstall --system <id>", "sudo snap
// remove <name>"; "" unless Command, and "" for a system entry that no
// package owns (nothing known removes it). A name holding anything but
// letters, digits and . + - _ : is single-quoted for the shell.
std::string removalCommand(const AppInfo& app);

// A name as the keys hold it: lower-cased, without "-", "_", "." and blanks
// ("Org.Gnome_Maps 2" gives "orggnomemaps2").
std::string normalizedKey(std::string_view name);

// The folders no leftover may be: the base folders (the home, the XDG
// folders, ~/.var/app, ~/snap), which no leftover may be or hold, and this
// product's own, which no leftover may be, hold or lie in. Read once per scan.
struct Guarded
{
    std::vector<std::string> bases;
    std::vector<std::string> own;
};
Guarded guarded();

// Whether a folder may be offered as a leftover at all (see Guarded).
bool mayBeLeftover(const std::string& path, const Guarded& guarded);

// The folders whose direct "*.AppImage" files are applications: ~/Applications,
// ~/.local/bin and the downloads folder.
std::vector<std::string> appImageFolders(const std::string& home);

// What the Linux listing costs: with Sizes, each application is measured and
// the Debian packages owning the entries are asked for (dpkg-query);
// KeysOnly gives the applications with their names and keys alone, as the
// leftover scan needs them.
enum class Detail { Sizes, KeysOnly };

// The desktop's applications (Linux; none on macOS): desktop entries, Flatpaks
// (`flatpak list`), snaps (`snap list`) and AppImages, the tools found on
// PATH, an absent or failing tool meaning none of its kind. An entry that
// starts a Flatpak or snap (or an AppImage) is that application; one naming a
// Flatpak or snap not installed is a stale export and left out. In the order
// Flatpaks, snaps, AppImages, entries; not sorted.
std::vector<AppInfo> desktopApps(Detail detail, const CancelToken* token = nullptr);

} // namespace Apps

namespace Scanner {

// The installed applications, largest first. Linux: desktop entries,
// Flatpaks, snaps, AppImages (and any .app bundles of the two folders).
std::vector<AppInfo> appsList();
// What app left in the Library folders (leftoverFolders), in folder order.
std::vector<std::string> leftovers(const AppInfo& app);

// An application's own leftovers: the folders directly in $XDG_CONFIG_HOME,
// $XDG_DATA_HOME, $XDG_CACHE_HOME, ~/.var/app and ~/snap whose normalized
// name is one of its keys, with sizes, kind Leftover, risk Care, largest
// first. Never a link or a folder below one, never a base folder (nor one
// holding a base folder), never this product's own folders.
std::vector<ScanItem> appLeftovers(const AppInfo& app);

// What Removal::Trash moves for app: the AppImage file and its own desktop
// entries (those of $XDG_DATA_HOME/applications whose Exec starts it), or the
// user's desktop entry, or the bundle; empty otherwise.
std::vector<std::string> uninstallPaths(const AppInfo& app);

// Removal::FlatpakUser: runs `flatpak uninstall --user --noninteractive <id>`;
// true when it exited 0. False at once for any other application.
bool uninstallFlatpak(const AppInfo& app);

} // namespace Scanner
