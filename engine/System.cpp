// SPDX-License-Identifier: GPL-3.0-or-later
#include "System.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace System {

bool isRealFolder(const std::string& path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace System

namespace Scanner {

VolumeInfo volume()
{
    VolumeInfo info;
    if (!Platform::volumeCapacity(Platform::userVolumeFolder(), info.total, info.free))
        return {};
    return info;
}

MemoryInfo memory()
{
    MemoryInfo info;
    info.total = Platform::physicalMemory();
    if (info.total <= 0)
        info.total = System::kFallbackMemory;
    int64_t free = 0;
    if constexpr (Platform::kIsMac) {
        free = Parse::vmStatFree(Shell::run(Platform::Tool::vmStat, {}));
    } else {
        free = Parse::meminfoAvailable(Files::read("/proc/meminfo").value_or("")).value_or(0);
    }
    info.free = std::clamp<int64_t>(free, 0, info.total);
    return info;
}

std::vector<ProcInfo> processes(int limit)
{
    std::string out = Shell::run(Platform::Tool::ps, {"-axo", "pid=,rss=,comm="});
    auto procs = Parse::largestProcesses(Parse::processLines(out, !Platform::kIsMac), limit);
    if constexpr (!Platform::kIsMac) {
        // ps names a process by the kernel's comm, cut to 15 bytes: the
        // command line and the executable give the whole name back.
        for (ProcInfo& p : procs) {
            if (p.name.size() != Parse::kCommBytes)
                continue; // a whole name: nothing to read
            const std::string dir = "/proc/" + std::to_string(p.pid);
            const std::string cmdline = Files::read(dir + "/cmdline", 1 << 20).value_or("");
            char target[4096];
            const ssize_t n = ::readlink((dir + "/exe").c_str(), target, sizeof target);
            p.name = Parse::fullProgramName(p.name, cmdline,
                                            std::string_view(target, n > 0 ? size_t(n) : 0));
        }
    }
    return procs;
}

int64_t ownMemory()
{
    return Parse::ownRss(
        Shell::run(Platform::Tool::ps, {"-o", "rss=", "-p", std::to_string(::getpid())}));
}

TrashInfo trashSize()
{
    // What Empty Trash would remove, so the figure is what it frees: the
    // entries of the desktop's Trash and of ~/.Trash but .DS_Store, nothing
    // behind a link or mounted from elsewhere.
    TrashInfo info;
    auto add = [&info](const DesktopTrash::Contents& found) {
        info.count += found.count;
        info.size = Strings::addSaturated(info.size, found.size);
    };
    if constexpr (!Platform::kIsMac)
        add(DesktopTrash::contents(Platform::desktopTrash()));
    add(DesktopTrash::folderContents(Platform::homeTrash(), ".DS_Store"));
    return info;
}

EmptiedTrash emptyTrashReport()
{
    using DesktopTrash::Emptied;
    // ~/.Trash as it always was: everything but .DS_Store, links removed
    // themselves and never what they lead to.
    const auto home = DesktopTrash::emptyFolder(Platform::homeTrash(), ".DS_Store");
    EmptiedTrash out;
    out.otherDevice = home.otherDevice;
    if constexpr (Platform::kIsMac) {
        out.all = home.emptied == Emptied::All;
        return out;
    }
    const auto desktop = DesktopTrash::empty(Platform::desktopTrash());
    out.otherDevice += desktop.otherDevice;
    // No Trash at all to empty counts as a failure, as before.
    out.all = !(home.emptied == Emptied::Absent && desktop.emptied == Emptied::Absent) &&
              home.emptied != Emptied::NotAll && desktop.emptied != Emptied::NotAll;
    return out;
}

bool emptyTrash()
{
    return emptyTrashReport().all;
}

namespace {

constexpr long kBtrfsMagic = 0x9123683E;

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool isFolder(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> namesIn(const std::string& folder)
{
    return Platform::listFolderSorted(folder).value_or(std::vector<std::string>{});
}

bool allDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The Snapper configuration whose SUBVOLUME is mount, from
// <root>/etc/snapper/configs; "root" for "/" when none says so.
std::string snapperConfig(const std::string& root, const std::string& mount)
{
    const std::string folder = root + "/etc/snapper/configs";
    for (const auto& name : namesIn(folder)) {
        const std::string text = Files::read(folder + "/" + name, 65536).value_or("");
        for (std::string_view line : Strings::split(text, '\n')) {
            line = Strings::trimBlanks(line);
            if (line == "SUBVOLUME=\"" + mount + "\"" || line == "SUBVOLUME=" + mount)
                return name;
        }
    }
    return mount == "/" ? "root" : "";
}

void snapperSnapshots(const std::string& root, const std::string& mount, std::vector<Snapshot>& out)
{
    const std::string folder = root + (mount == "/" ? "" : mount) + "/.snapshots";
    const std::string config = snapperConfig(root, mount);
    for (const auto& number : namesIn(folder)) {
        const std::string path = folder + "/" + number + "/snapshot";
        if (!allDigits(number) || !isFolder(path))
            continue;
        const auto [date, description] = Parse::snapperInfo(
            Files::read(folder + "/" + number + "/info.xml", 65536).value_or(""));
        Snapshot snap;
        snap.name = description.empty() ? number : number + " (" + description + ")";
        snap.path = path;
        snap.date = date;
        const std::string systemPath = path.substr(root.size());
        if (config == "root")
            snap.deleteCommand = "sudo snapper delete " + number;
        else if (!config.empty())
            snap.deleteCommand = "sudo snapper -c " + shellQuoted(config) + " delete " + number;
        else
            snap.deleteCommand = "sudo btrfs subvolume delete " + shellQuoted(systemPath);
        out.push_back(std::move(snap));
    }
}

// "2024-03-05_09-00-01" as "2024-03-05 09:00:01"; "" for another name.
std::string timeshiftDate(const std::string& name)
{
    constexpr std::string_view kForm = "dddd-dd-dd_dd-dd-dd";
    if (name.size() != kForm.size())
        return "";
    for (size_t i = 0; i < kForm.size(); ++i)
        if (kForm[i] == 'd' ? !(name[i] >= '0' && name[i] <= '9') : name[i] != kForm[i])
            return "";
    return name.substr(0, 10) + " " + name.substr(11, 2) + ":" + name.substr(14, 2) + ":" +
           name.substr(17, 2);
}

void timeshiftSnapshots(const std::string& root, std::vector<Snapshot>& out)
{
    std::set<std::string> seen;
    for (const char* place :
         {"/timeshift-btrfs/snapshots", "/run/timeshift/backup/timeshift-btrfs/snapshots"}) {
        const std::string folder = root + place;
        for (const auto& name : namesIn(folder)) {
            std::vector<std::string> parts;
            for (const char* sub : {"@", "@home"})
                if (isFolder(folder + "/" + name + "/" + sub))
                    parts.push_back(sub);
            // The same snapshot seen at its second mount is listed once.
            if (parts.empty() || !seen.insert(name).second)
                continue;
            Snapshot snap;
            snap.name =
                name + " (" + parts.front() + (parts.size() > 1 ? ", " + parts[1] : "") + ")";
            snap.path = folder + "/" + name;
            snap.date = timeshiftDate(name);
            snap.deleteCommand = "sudo timeshift --delete --snapshot " + shellQuoted(name);
            out.push_back(std::move(snap));
        }
    }
}

// The top of the file system (or Btrfs subvolume) that holds path: the last
// folder going up that is still on path's device.
std::string mountOf(std::string path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        return "";
    while (path.size() > 1) {
        const size_t slash = path.rfind('/');
        std::string parent = slash == 0 ? "/" : path.substr(0, slash);
        struct stat up = {};
        if (::stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev)
            break;
        path = parent;
    }
    return path;
}

bool onBtrfs(const std::string& path)
{
    struct statfs fs = {};
    return ::statfs(path.c_str(), &fs) == 0 && static_cast<long>(fs.f_type) == kBtrfsMagic;
}

void btrfsListed(const std::string& btrfs, std::vector<Snapshot>& out)
{
    const std::string home = Platform::homeDir();
    if (btrfs.empty() || !onBtrfs(home))
        return;
    auto listed = Shell::runSucceeding(btrfs, {"subvolume", "list", "-s", home});
    if (!listed)
        return;
    const std::string mount = mountOf(home);
    for (const auto& [date, relative] : Parse::btrfsSnapshots(*listed)) {
        const std::string path = (mount == "/" ? "" : mount) + "/" + relative;
        // One that Snapper or Timeshift already named stays under that name.
        const std::string tail = "/" + relative;
        if (std::any_of(out.begin(), out.end(),
                        [&tail](const Snapshot& s) { return s.path.ends_with(tail); }))
            continue;
        Snapshot snap;
        snap.name = relative;
        snap.path = path;
        snap.date = date;
        snap.deleteCommand = "sudo btrfs subvolume delete " + shellQuoted(path);
        out.push_back(std::move(snap));
    }
}

} // namespace

std::vector<Snapshot> snapshotListBelow(const std::string& root, const std::string& btrfs)
{
    std::vector<Snapshot> out;
    if constexpr (Platform::kIsMac)
        return out;
    const std::string base = root == "/" ? "" : root;
    snapperSnapshots(base, "/", out);
    snapperSnapshots(base, "/home", out);
    timeshiftSnapshots(base, out);
    btrfsListed(btrfs, out);
    return out;
}

std::vector<Snapshot> snapshotList()
{
    // Snapshots are the home's disk's concern only where the home is on Btrfs.
    if (Platform::kIsMac || !onBtrfs(Platform::homeDir()))
        return {};
    return snapshotListBelow("/", "/usr/bin/btrfs");
}

std::vector<std::string> snapshots()
{
    if constexpr (Platform::kIsMac)
        return Parse::snapshotLines(
            Shell::run(Platform::Tool::tmutil, {"listlocalsnapshots", "/"}));
    std::vector<std::string> out;
    for (const auto& snap : snapshotList())
        out.push_back(snap.date.empty() ? snap.name : snap.name + " · " + snap.date);
    return out;
}

namespace {

// The autostart folders of $XDG_CONFIG_DIRS (default /etc/xdg), in order;
// relative entries are ignored as the XDG base directory rules say.
std::vector<std::string> systemAutostartFolders()
{
    std::vector<std::string> out;
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    for (std::string_view dir : Strings::split(list, ':'))
        if (dir.front() == '/')
            out.push_back(std::string(dir) + "/autostart");
    if (out.empty())
        out.push_back("/etc/xdg/autostart");
    return out;
}

} // namespace

std::vector<std::string> loginItemsFrom(const std::string& systemctl)
{
    std::vector<std::string> out;
    if constexpr (!Platform::kIsMac) {
        // A file name decided once: the user's entry first, then the first
        // system folder that has it.
        std::set<std::string> decided;
        std::vector<std::string> folders = {Platform::configDir() + "/autostart"};
        for (auto& folder : systemAutostartFolders())
            folders.push_back(std::move(folder));
        for (const auto& folder : folders) {
            for (const auto& file : namesIn(folder)) {
                if (!file.ends_with(".desktop") || !decided.insert(file).second)
                    continue;
                const std::string path = folder + "/" + file;
                struct stat st = {};
                if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                    continue;
                const auto entry = Parse::desktopEntry(Files::read(path, 65536).value_or(""));
                if (entry.hidden || entry.disabled)
                    continue;
                out.push_back(entry.name.empty() ? file.substr(0, file.size() - 8) : entry.name);
            }
        }
        if (!systemctl.empty()) {
            for (auto& unit : Parse::enabledUnits(
                     Shell::run(systemctl, {"--user", "list-unit-files", "--state=enabled",
                                            "--no-legend", "--no-pager"})))
                out.push_back(std::move(unit));
        }
    }
    for (const auto& folder :
         {Platform::homeDir() + "/Library/LaunchAgents", std::string("/Library/LaunchAgents")}) {
        for (const auto& name : namesIn(folder)) {
            constexpr std::string_view ext = ".plist";
            if (name.size() > ext.size() &&
                name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
                out.push_back(name.substr(0, name.size() - ext.size()));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> loginItems()
{
    return loginItemsFrom(Platform::Tool::systemctl);
}

} // namespace Scanner
