// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop entries of a Linux desktop (the freedesktop.org desktop entry
// format, version 1.5): the folders that hold them ($XDG_DATA_HOME/applications,
// then <dir>/applications for each dir of $XDG_DATA_DIRS), the ids their paths
// give, and what each entry's [Desktop Entry] group says. Reading a folder
// tree is here; reading an entry's text (parse, execWords) is pure, so the
// tests can give it any text. The installed-applications listing (Apps.h)
// builds on these.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DesktopEntries {

// What an application's desktop entry says of itself.
struct Entry
{
    std::string id;        // the desktop-file id without ".desktop" ("org.gnome.Maps")
    std::string path;      // the file it was read from
    std::string shadowed;  // the entry of the same id in a later folder, which this one overrides
    std::string name;      // Name in the first of the locales it has, else Name
    std::string plainName; // Name itself, untranslated
    std::string icon;      // Icon: a theme icon name or an absolute path
    std::string wmClass;   // StartupWMClass
    std::string program;   // the program Exec starts (its first word after env)
    std::string tryExec;   // TryExec: the program whose absence hides the entry
    std::string flatpakId; // the Flatpak it starts (X-Flatpak or "flatpak run ... <id>")
    std::string snapName;  // the snap it starts (X-SnapInstanceName, /snap/bin/<name>, snap run)
    // An application the menus show: Type=Application with a Name, neither
    // Hidden (deleted for this user) nor NoDisplay.
    bool shown = false;
};

// The locales a Name is looked up in for the language of the moment ("zh" or
// "en"), most specific first, from the preferred system language when it is
// of that language ("zh_TW.UTF-8" gives zh_TW, zh), else zh_CN, zh or en.
std::vector<std::string> nameLocales(std::string_view language,
                                     const std::vector<std::string>& preferred);

// A value with the escapes \s \n \t \r \\ read back.
std::string unescapeValue(std::string_view value);

// The words of an Exec value (already unescaped as a value): split at blanks,
// a double-quoted part kept as one word with \" \` \$ \\ read back inside it.
// An unterminated quote gives no words at all.
std::vector<std::string> execWords(std::string_view exec);

// The [Desktop Entry] group of an entry's text, with its id and path set from
// the arguments. No value when the text has no such group. Keys outside that
// group and lines that are no key=value pair are ignored; a later key wins.
std::optional<Entry> parse(std::string_view text, const std::string& id, const std::string& path,
                           const std::vector<std::string>& locales);

// $XDG_DATA_HOME/applications, then <dir>/applications for every absolute dir
// of $XDG_DATA_DIRS (default /usr/local/share:/usr/share), each once, in
// order of precedence. They need not exist.
std::vector<std::string> applicationFolders();

// Every entry of folders (and their subfolders, three levels deep; a
// subfolder's "/" is "-" in the id), the first of each id only, so an entry of
// an earlier folder overrides one of a later folder, hidden or not (the first
// such file is its shadowed). Links to
// entries are followed, links to folders are not; files over 64 KiB are not
// entries. In folder order, then name order.
std::vector<Entry> readAll(const std::vector<std::string>& folders,
                           const std::vector<std::string>& locales);

} // namespace DesktopEntries
