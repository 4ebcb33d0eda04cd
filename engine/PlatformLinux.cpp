// SPDX-License-Identifier: GPL-3.0-or-later
// The platform unit on Linux: the XDG places, /proc, Btrfs snapshots, autostart
// entries and folders measured in process.
#include "Platform.h"

#include "Files.h"
#include "Measure.h"
#include "Parsers.h"
#include "Runner.h"
#include "Strings.h"
#include "XdgDirs.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace Platform {

std::string dataHome()
{
    return XdgDirs::baseDir("XDG_DATA_HOME", homeDir(), "/.local/share");
}

std::string cacheHome()
{
    return XdgDirs::baseDir("XDG_CACHE_HOME", homeDir(), "/.cache");
}

std::string userFolder(UserFolder which)
{
    struct Names
    {
        const char* key;
        const char* name;
    };
    static constexpr Names kNames[] = {
        {"XDG_DESKTOP_DIR", "/Desktop"},    {"XDG_DOCUMENTS_DIR", "/Documents"},
        {"XDG_DOWNLOAD_DIR", "/Downloads"}, {"XDG_MUSIC_DIR", "/Music"},
        {"XDG_PICTURES_DIR", "/Pictures"},  {"XDG_VIDEOS_DIR", "/Videos"},
    };
    const Names& names = kNames[static_cast<int>(which)];
    const std::string home = homeDir();
    std::string folder = home + names.name;
    // The file is a few lines; anything far larger is not one.
    const std::string file = configDir() + "/user-dirs.dirs";
    if (auto text = Files::read(file); text && text->size() < 65536) {
        auto dirs = XdgDirs::parseUserDirs(*text, home);
        if (auto it = dirs.find(names.key); it != dirs.end())
            folder = it->second;
    }
    if (folder == home || folder == "/")
        return "";
    return folder;
}

std::string supportFolder()
{
    return dataHome() + "/TidloCleaner";
}

std::string cacheFolder()
{
    return cacheHome() + "/TidloCleaner";
}

std::string reportFolder()
{
    std::string desktop = userFolder(UserFolder::Desktop);
    struct stat st = {};
    if (!desktop.empty() && ::stat(desktop.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return desktop;
    return homeDir();
}

std::string desktopTrash()
{
    return dataHome() + "/Trash";
}

std::string trashFilesFolder()
{
    return desktopTrash() + "/files";
}

std::string volumePath()
{
    return homeDir();
}

int64_t freeMemory()
{
    return Parse::meminfoAvailable(Files::read("/proc/meminfo").value_or("")).value_or(0);
}

bool psPrintsShortNames()
{
    return true;
}

std::string wholeProcessName(int pid, const std::string& psName)
{
    // ps names a process by the kernel's comm, cut to 15 bytes: the command
    // line and the executable give the whole name back.
    if (psName.size() != Parse::kCommBytes)
        return psName; // a whole name: nothing to read
    const std::string dir = "/proc/" + std::to_string(pid);
    const std::string cmdline = Files::read(dir + "/cmdline", 1 << 20).value_or("");
    char target[4096];
    const ssize_t n = ::readlink((dir + "/exe").c_str(), target, sizeof target);
    return Parse::fullProgramName(psName, cmdline, std::string_view(target, n > 0 ? size_t(n) : 0));
}

std::vector<std::string> freedesktopTrashes()
{
    return {desktopTrash()};
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

std::vector<std::string> namesIn(const std::string& folder)
{
    return listFolderSorted(folder).value_or(std::vector<std::string>{});
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
        if (!allDigits(number) || !Files::isFolder(path))
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
                if (Files::isFolder(folder + "/" + name + "/" + sub))
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
    const std::string home = homeDir();
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

std::vector<Snapshot> snapshotsBelow(const std::string& root, const std::string& btrfs)
{
    std::vector<Snapshot> out;
    const std::string base = root == "/" ? "" : root;
    snapperSnapshots(base, "/", out);
    snapperSnapshots(base, "/home", out);
    timeshiftSnapshots(base, out);
    btrfsListed(btrfs, out);
    return out;
}

std::vector<Snapshot> homeSnapshots()
{
    // Snapshots are the home's disk's concern only where the home is on Btrfs.
    if (!onBtrfs(homeDir()))
        return {};
    return snapshotsBelow("/", Tool::btrfs);
}

std::vector<std::string> snapshotNames()
{
    std::vector<std::string> out;
    for (const auto& snap : homeSnapshots())
        out.push_back(snap.date.empty() ? snap.name : snap.name + " · " + snap.date);
    return out;
}

std::vector<std::string> autostartFolders()
{
    // The relative entries of $XDG_CONFIG_DIRS are ignored, as the XDG base
    // directory rules say.
    std::vector<std::string> out = {configDir() + "/autostart"};
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    for (std::string_view dir : Strings::split(list, ':'))
        if (dir.front() == '/')
            out.push_back(std::string(dir) + "/autostart");
    if (out.size() == 1)
        out.push_back("/etc/xdg/autostart");
    return out;
}

std::string userServiceTool()
{
    return Tool::systemctl;
}

std::vector<std::string> hiddenFoldersShown()
{
    return {".cache", ".config", ".local", ".var"};
}

std::vector<Parse::SizeLine> childSizes(const std::string& folder)
{
    std::vector<Parse::SizeLine> lines;
    if (auto tree = Measure::tree(folder, 1)) {
        for (const DiskNode child : tree->children())
            if (Strings::isValidUtf8(child.name()))
                lines.push_back({child.size(), child.path()});
    }
    return lines;
}

std::optional<DiskNode> folderTree(const std::string& root, int depth, const CancelToken* token)
{
    return Measure::tree(root, depth, token, true);
}

std::map<std::string, int64_t> sizesTogether(const std::vector<std::string>& paths)
{
    std::map<std::string, int64_t> sizes;
    auto measured = Measure::sizes(paths, nullptr, true);
    for (size_t i = 0; i < paths.size(); ++i)
        if (measured[i] >= 0)
            sizes[paths[i]] = measured[i];
    return sizes;
}

std::vector<Parse::SizeLine> filesOver512KiB(const std::vector<std::string>& roots)
{
    // GNU find prints the same lines itself: no shell, nothing to quote.
    std::vector<std::string> args = roots;
    for (const char* a : {"-type", "f", "-size", "+512k", "-printf", "%s\t%p\\0"})
        args.emplace_back(a);
    // Record by record: a name that is not UTF-8 still counts its bytes (only
    // its extension is read) and takes nothing else with it.
    return Parse::toolSizes(Shell::runRecords(Tool::find, args), 1, Parse::RecordEnd::Nul);
}

std::vector<std::string> largeFileExclusions(const std::string& home)
{
    const std::string data = dataHome();
    return {desktopTrash(),
            cacheHome(),
            data + "/containers",
            data + "/flatpak",
            data + "/docker",
            data + "/Steam/steamapps",
            home + "/.var/app",
            home + "/snap",
            home + "/.local/share/gnome-boxes",
            home + "/.local/share/libvirt",
            data + "/gnome-boxes",
            data + "/libvirt"};
}

std::string flatpakAppsFolder()
{
    return homeDir() + "/.var/app";
}

} // namespace Platform

// ---- Sizes of single items (Measure.h): folders by the in-process walk.
namespace Scanner {

int64_t sizeOf(const std::string& path)
{
    return sizesOf({path}, 1).front();
}

std::vector<int64_t> sizesOf(const std::vector<std::string>& paths, unsigned,
                             const CancelToken* token)
{
    // One pool of walks for all the folders, each measured on its own.
    std::vector<int64_t> sizes(paths.size(), 0);
    std::vector<std::string> folders;
    std::vector<size_t> at;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (Files::isFolder(paths[i])) {
            folders.push_back(paths[i]);
            at.push_back(i);
        } else {
            sizes[i] = Files::ownSize(paths[i]);
        }
    }
    auto measured = Measure::sizes(folders, token);
    for (size_t k = 0; k < at.size(); ++k)
        sizes[at[k]] = std::max<int64_t>(measured[k], 0);
    return sizes;
}

} // namespace Scanner
