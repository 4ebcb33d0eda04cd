#include "System.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Scanner.h"

#include <algorithm>
#include <optional>
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
    // The file system that holds the home folder: a separate /home
    // partition is common on Linux, and it is the one a clean-up frees.
    VolumeInfo info;
    const std::string where = Platform::kIsMac ? std::string("/") : Platform::homeDir();
    if (!Platform::volumeCapacity(where, info.total, info.free))
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
    return Parse::largestProcesses(Parse::processLines(out, !Platform::kIsMac), limit);
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
        if (__builtin_add_overflow(info.size, found.size, &info.size))
            info.size = INT64_MAX;
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

std::vector<std::string> snapshots()
{
    return Parse::snapshotLines(Shell::run(Platform::Tool::tmutil, {"listlocalsnapshots", "/"}));
}

std::vector<std::string> loginItems()
{
    std::vector<std::string> out;
    for (const auto& folder :
         {Platform::homeDir() + "/Library/LaunchAgents", std::string("/Library/LaunchAgents")}) {
        for (const auto& name :
             Platform::listFolderSorted(folder).value_or(std::vector<std::string>{})) {
            constexpr std::string_view ext = ".plist";
            if (name.size() > ext.size() &&
                name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
                out.push_back(name.substr(0, name.size() - ext.size()));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace Scanner
