// SPDX-License-Identifier: GPL-3.0-or-later
// Leftovers with evidence on a Linux home: folders of $XDG_CONFIG_HOME,
// $XDG_DATA_HOME and ~/snap that nothing installed claims and nothing wrote
// for 90 days.
#include "Leftovers.h"

#include "Apps.h"
#include "Measure.h"
#include "Parsers.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Leftovers {
namespace {

// The names the desktop itself keeps in $XDG_CONFIG_HOME and $XDG_DATA_HOME,
// whatever application is installed; a trailing "*" stands for any ending.
constexpr std::string_view kKeptNames[] = {
    "dconf",               // the GSettings store of every GNOME application
    "gtk-*",               // GTK's settings and the file chooser's bookmarks
    "glib-2.0",            // GLib's settings backend
    "pulse",               // PulseAudio's per-user state
    "pipewire",            // PipeWire's per-user settings
    "wireplumber",         // the session manager of PipeWire
    "systemd",             // user units, timers and their state
    "environment.d",       // the session's environment
    "autostart",           // programs started at login
    "fontconfig",          // the user's font configuration
    "fonts",               // the user's own fonts
    "menus",               // the menus' layout
    "applications",        // the user's desktop entries
    "desktop-directories", // the menus' folders
    "icons",               // the user's icons and themes of them
    "themes",              // the user's desktop themes
    "sounds",              // the user's sound themes
    "backgrounds",         // the user's wallpapers
    "mime",                // the file-type database and its associations
    "Trash",               // the desktop's Trash
    "keyrings",            // the Secret Service's keyrings
    "gvfs-metadata",       // what the file manager remembers of files
    "recently-used*",      // the recent-files list
    "user-dirs*",          // the names of the user folders
    "ibus",                // the input method framework
    "fcitx*",              // the other input method framework
    "xdg-desktop-portal*", // the portals' permission store
    "flatpak",             // Flatpak's installation of the user's applications
    "containers",          // the storage of podman and the other OCI tools
    "session",             // the session's saved windows (KDE)
    "kdedefaults",         // the Plasma look's defaults
    "evolution",           // calendars and contacts the desktop's clock and search read
    "webkitgtk",           // the shared web engine's storage of every GTK application
    "gstreamer-*",         // the media framework's plugins and registry
    "pki",                 // the shared certificate store (NSS)
    "QtProject",           // the shared state of Qt's dialogs
    "vulkan",              // the graphics drivers' layers and settings
    "enchant",             // the shared spell checker's dictionaries
    "goa-*",               // the desktop's online accounts
    "icc",                 // colour profiles the colour manager applies
    "color",               // the same, where older desktops keep them
    "wallpapers",          // the user's wallpapers (KDE)
    "kxmlgui*",            // the toolbar layouts of every KDE application
    "kservices*",          // KDE's service menus
    "kwalletd",            // KDE's password store
};

// The names of everything in the folders of PATH, normalized, sorted.
std::vector<std::string> pathPrograms()
{
    std::vector<std::string> out;
    std::vector<std::string> seen;
    const char* path = std::getenv("PATH");
    for (std::string_view dir : Strings::split(path ? path : "", ':')) {
        if (dir.front() != '/' || std::find(seen.begin(), seen.end(), dir) != seen.end())
            continue;
        seen.emplace_back(dir);
        for (const auto& name :
             Platform::listFolder(std::string(dir)).value_or(std::vector<std::string>{}))
            out.push_back(Apps::normalizedKey(name));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The installed Debian packages, normalized; none without dpkg-query.
std::vector<std::string> installedPackages(const CancelToken* token)
{
    const std::string dpkg = Shell::onPath("dpkg-query");
    if (dpkg.empty())
        return {};
    std::vector<std::string> out;
    for (const auto& name : Parse::dpkgInstalled(
             Shell::run(dpkg, {"-W", "-f=${db:Status-Status}\t${Package}\n"}, token)))
        out.push_back(Apps::normalizedKey(name));
    return out;
}

Clock::time_point modified(const struct stat& st)
{
#ifdef __APPLE__
    const struct timespec& time = st.st_mtimespec;
#else
    const struct timespec& time = st.st_mtim;
#endif
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec)));
}

// lastWritten below the open folder fd (which it closes).
void newestBelow(int fd, int depth, Clock::time_point stopAt, size_t& budget,
                 Clock::time_point& newest)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        if (newest >= stopAt || budget == 0)
            break;
        std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        --budget;
        struct stat st;
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        newest = std::max(newest, modified(st));
        if (depth > 0 && S_ISDIR(st.st_mode)) {
            int child =
                ::openat(::dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                newestBelow(child, depth - 1, stopAt, budget, newest);
        }
    }
    ::closedir(dir);
}

struct Candidate
{
    std::string path;
    std::string name;
    std::string key;
    Clock::time_point written;
};

} // namespace

bool keptByDesktop(std::string_view name)
{
    const std::string lower = Strings::lowercased(name);
    // The table is ASCII: compared letter by letter, lower-cased on the way.
    auto same = [](std::string_view text, std::string_view kept) {
        return text.size() == kept.size() &&
               std::equal(text.begin(), text.end(), kept.begin(), [](char a, char b) {
                   return a == (b >= 'A' && b <= 'Z' ? char(b - 'A' + 'a') : b);
               });
    };
    for (std::string_view kept : kKeptNames) {
        if (kept.ends_with('*')) {
            kept.remove_suffix(1);
            if (same(std::string_view(lower).substr(0, kept.size()), kept))
                return true;
        } else if (same(lower, kept)) {
            return true;
        }
    }
    return false;
}

bool claimedBy(const std::string& key, const std::vector<std::string>& sortedKnown)
{
    if (key.empty())
        return true;
    auto it = std::lower_bound(sortedKnown.begin(), sortedKnown.end(), key);
    if (it != sortedKnown.end() && *it == key)
        return true;
    constexpr size_t kShortest = 4;
    if (key.size() >= kShortest && it != sortedKnown.end() && it->rfind(key, 0) == 0)
        return true;
    for (size_t n = kShortest; n < key.size(); ++n)
        if (std::binary_search(sortedKnown.begin(), sortedKnown.end(), key.substr(0, n)))
            return true;
    return false;
}

std::optional<Clock::time_point> lastWritten(const std::string& path, Clock::time_point stopAt,
                                             int depth, size_t maxEntries)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    Clock::time_point newest = modified(st);
    if (newest >= stopAt || !S_ISDIR(st.st_mode) || depth <= 0)
        return newest;
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        newestBelow(fd, depth - 1, stopAt, maxEntries, newest);
    return newest;
}

std::vector<ScanItem> unclaimedFolders(const CancelToken* token)
{
    if constexpr (!Platform::kXdgHome)
        return {};
    const std::string home = Platform::homeDir();
    const std::string bases[] = {Platform::configDir(), Platform::dataHome(), home + "/snap"};
    // The cheap tests first: the names, then the age (a folder written
    // lately stops at its own time), then the programs on PATH.
    const Apps::Guarded kept = Apps::guarded();
    const auto cutoff = Clock::now() - kUnusedFor;
    std::vector<Candidate> candidates;
    for (const auto& base : bases)
        for (const auto& name :
             Platform::listFolderSorted(base).value_or(std::vector<std::string>{})) {
            if (!Strings::isValidUtf8(name) || name.front() == '.' || keptByDesktop(name) ||
                productOwn(name))
                continue;
            std::string path = base + "/" + name;
            // Directly in the base folder, one lstat tells a real folder (not
            // a link) and its own time.
            struct stat st;
            if (!Apps::mayBeLeftover(path, kept) || ::lstat(path.c_str(), &st) != 0 ||
                !S_ISDIR(st.st_mode) || modified(st) >= cutoff)
                continue;
            candidates.push_back({std::move(path), name, Apps::normalizedKey(name), {}});
        }
    std::erase_if(candidates, [&](Candidate& c) {
        auto written = lastWritten(c.path, cutoff);
        if (!written || *written >= cutoff)
            return true;
        c.written = *written;
        return false;
    });
    if (candidates.empty())
        return {};
    const auto programs = pathPrograms();
    std::erase_if(candidates, [&](const Candidate& c) { return claimedBy(c.key, programs); });
    if (candidates.empty() || (token && token->isCancelled()))
        return {};

    std::vector<std::string> known = installedPackages(token);
    for (const auto& app : Apps::desktopApps(Apps::Detail::KeysOnly, token))
        known.insert(known.end(), app.keys.begin(), app.keys.end());
    std::sort(known.begin(), known.end());
    known.erase(std::unique(known.begin(), known.end()), known.end());
    std::erase_if(candidates, [&](const Candidate& c) { return claimedBy(c.key, known); });

    std::vector<std::string> paths;
    for (const auto& c : candidates)
        paths.push_back(c.path);
    return Scanner::measuredItems(
        paths, 0,
        [&](size_t i, int64_t size) {
            ScanItem item;
            item.path = candidates[i].path;
            item.name = candidates[i].name;
            item.size = size;
            item.kind = ItemKind::Leftover;
            item.risk = Risk::Care;
            item.note =
                L::f("leftover.unclaimed",
                     {candidates[i].name, localTimeText(candidates[i].written, "%Y-%m-%d")});
            return item;
        },
        token);
}

} // namespace Leftovers
