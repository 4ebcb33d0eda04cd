// SPDX-License-Identifier: GPL-3.0-or-later
#include "System.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>
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
    if (!Platform::volumeCapacity(Platform::volumePath(), info.total, info.free))
        return {};
    return info;
}

MemoryInfo memory()
{
    MemoryInfo info;
    info.total = Platform::physicalMemory();
    if (info.total <= 0)
        info.total = System::kFallbackMemory;
    info.free = std::clamp<int64_t>(Platform::freeMemory(), 0, info.total);
    return info;
}

std::vector<ProcInfo> processes(int limit)
{
    std::string out = Shell::run(Platform::Tool::ps, {"-axo", "pid=,rss=,comm="});
    auto procs =
        Parse::largestProcesses(Parse::processLines(out, Platform::psPrintsShortNames()), limit);
    for (ProcInfo& p : procs)
        p.name = Platform::wholeProcessName(p.pid, p.name);
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
    for (const auto& trash : Platform::freedesktopTrashes())
        add(DesktopTrash::contents(trash));
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
    bool anyThere = home.emptied != Emptied::Absent;
    bool nothingStayed = home.emptied != Emptied::NotAll;
    for (const auto& trash : Platform::freedesktopTrashes()) {
        const auto desktop = DesktopTrash::empty(trash);
        out.otherDevice += desktop.otherDevice;
        anyThere = anyThere || desktop.emptied != Emptied::Absent;
        nothingStayed = nothingStayed && desktop.emptied != Emptied::NotAll;
    }
    // No Trash at all to empty counts as a failure, as before.
    out.all = anyThere && nothingStayed;
    return out;
}

bool emptyTrash()
{
    return emptyTrashReport().all;
}

std::vector<Snapshot> snapshotListBelow(const std::string& root, const std::string& btrfs)
{
    return Platform::snapshotsBelow(root, btrfs);
}

std::vector<Snapshot> snapshotList()
{
    return Platform::homeSnapshots();
}

std::vector<std::string> snapshots()
{
    return Platform::snapshotNames();
}

namespace {

std::vector<std::string> namesIn(const std::string& folder)
{
    return Platform::listFolderSorted(folder).value_or(std::vector<std::string>{});
}

} // namespace

std::vector<std::string> loginItemsFrom(const std::string& systemctl)
{
    std::vector<std::string> out;
    // A file name decided once: the user's entry first, then the first system
    // folder that has it.
    std::set<std::string> decided;
    for (const auto& folder : Platform::autostartFolders()) {
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
    return loginItemsFrom(Platform::userServiceTool());
}

} // namespace Scanner
