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
    VolumeInfo info;
    if (!Platform::volumeCapacity("/", info.total, info.free))
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
    TrashInfo info;
    auto add = [&info](const std::string& folder) {
        if (auto names = Platform::listFolderSorted(folder)) {
            info.count += int(names->size());
            info.size += sizeOf(folder);
        }
    };
    if constexpr (!Platform::kIsMac) {
        // The desktop's Trash counts only when neither it nor its files
        // folder is a link: such a Trash is refused everywhere else too.
        const std::string trash = Platform::desktopTrash();
        if (System::isRealFolder(trash) && System::isRealFolder(trash + "/files"))
            add(trash + "/files");
    }
    add(Platform::homeTrash());
    return info;
}

bool emptyTrash()
{
    using DesktopTrash::Emptied;
    // ~/.Trash as it always was: everything but .DS_Store, links removed
    // themselves and never what they lead to.
    Emptied home = DesktopTrash::emptyFolder(Platform::homeTrash(), ".DS_Store");
    if constexpr (Platform::kIsMac)
        return home == Emptied::All;
    Emptied desktop = DesktopTrash::empty(Platform::desktopTrash());
    if (home == Emptied::Absent && desktop == Emptied::Absent)
        return false; // no Trash at all to empty
    return home != Emptied::NotAll && desktop != Emptied::NotAll;
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
