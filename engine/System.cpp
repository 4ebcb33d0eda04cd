#include "System.h"

#include "Files.h"
#include "Parsers.h"
#include "Platform.h"
#include "Scanner.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace System {

std::string trashFolder(const std::string& home)
{
    return home + "/.Trash";
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
    std::string trash = System::trashFolder(Platform::homeDir());
    TrashInfo info;
    info.size = sizeOf(trash);
    if (auto names = Platform::listFolderSorted(trash))
        info.count = int(names->size());
    return info;
}

bool emptyTrash()
{
    std::string trash = System::trashFolder(Platform::homeDir());
    auto names = Platform::listFolderSorted(trash);
    if (!names)
        return false;
    bool allGone = true;
    for (const auto& name : *names) {
        if (name == ".DS_Store")
            continue;
        // remove_all takes a symbolic link away itself and never what it
        // points to.
        std::error_code ec;
        std::filesystem::remove_all(trash + "/" + name, ec);
        if (ec)
            allGone = false;
    }
    return allGone;
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
